#include "shared/look/Theme.h"

#include <array>

namespace velk {

Color VelkTheme::accent() const
{
    static const std::array<QString, 4> crt = {QStringLiteral("teal"), QStringLiteral("ice"), QStringLiteral("green"),
                                               QStringLiteral("amber")};
    for (const QString& c : crt)
        if (id == c) return t;
    return err;
}

namespace {

struct Rgb {
    int r, g, b;
    Color color() const { return Color::rgb255(r, g, b); }
};

VelkTheme make(const char* id, const char* label, Rgb bg, Rgb pane, Rgb t, Rgb warn, Rgb err, double dimAlpha,
               double lineAlpha, double scanA, double glowA, bool isLight, bool isMacFamily)
{
    return VelkTheme{QString::fromLatin1(id),
                     QString::fromUtf8(label),
                     bg.color(),
                     pane.color(),
                     t.color(),
                     dimAlpha,
                     lineAlpha,
                     warn.color(),
                     err.color(),
                     scanA,
                     glowA,
                     isLight,
                     isMacFamily};
}

QHash<QString, VelkTheme> buildTable()
{
    // Columns: id, label, bg, pane, t, warn, err, dimAlpha, lineAlpha, scanA, glowA, isLight,
    // isMacFamily. Labels use an em dash with a space either side.
    const VelkTheme themes[] = {
        make("teal", "TEAL \u2014 CRYO BAY", {2, 9, 8}, {4, 19, 18}, {64, 224, 207}, {255, 179, 71}, {255, 90, 90},
             0.62, 0.2, 0.15, 0.45, false, false),
        make("ice", "ICE BLUE \u2014 HYPERSLEEP", {4, 7, 11}, {8, 16, 25}, {165, 216, 255}, {255, 179, 71},
             {255, 90, 90}, 0.6, 0.2, 0.15, 0.45, false, false),
        make("green", "GREEN PHOSPHOR \u2014 NOSTROMO", {5, 8, 5}, {10, 18, 10}, {93, 240, 93}, {255, 179, 71},
             {255, 90, 90}, 0.62, 0.2, 0.15, 0.45, false, false),
        make("amber", "AMBER \u2014 MONOCHROME", {10, 6, 2}, {20, 13, 4}, {255, 176, 0}, {255, 179, 71}, {255, 90, 90},
             0.62, 0.2, 0.15, 0.45, false, false),
        make("mono", "WHITE ON BLACK \u2014 MONO", {6, 6, 6}, {16, 16, 16}, {230, 230, 230}, {255, 179, 71},
             {255, 90, 90}, 0.55, 0.16, 0.15, 0.45, false, false),
        make("paper", "BLACK ON WHITE \u2014 PAPER", {241, 241, 237}, {251, 251, 248}, {26, 28, 30}, {154, 91, 0},
             {198, 40, 40}, 0.58, 0.16, 0.045, 0, true, false),
        make("amberlight", "AMBER ON WHITE \u2014 SEPIA", {250, 245, 234}, {255, 252, 243}, {143, 89, 0}, {194, 65, 12},
             {198, 40, 40}, 0.6, 0.2, 0.045, 0, true, false),
        make("macoslight", "MACOS \u2014 LIGHT", {232, 232, 234}, {255, 255, 255}, {29, 29, 31}, {178, 80, 0},
             {215, 0, 21}, 0.56, 0.12, 0, 0, true, true),
        make("macosdark", "MACOS \u2014 DARK", {30, 30, 30}, {43, 43, 45}, {245, 245, 247}, {255, 159, 10},
             {255, 69, 58}, 0.56, 0.14, 0, 0, false, true),
        make("macclassic", "CLASSIC MAC", {204, 199, 186}, {228, 225, 215}, {69, 64, 54}, {138, 90, 0}, {179, 38, 30},
             0.62, 0.24, 0, 0, true, false),
        make("maclight", "CLASSIC MAC \u2014 LIGHT", {243, 241, 234}, {251, 250, 245}, {53, 50, 44}, {154, 91, 0},
             {198, 40, 40}, 0.58, 0.17, 0, 0, true, false),
        make("macdark", "CLASSIC MAC \u2014 DARK", {13, 13, 14}, {25, 25, 27}, {183, 185, 188}, {255, 179, 71},
             {255, 90, 90}, 0.55, 0.17, 0, 0, false, false),
    };
    QHash<QString, VelkTheme> table;
    for (const VelkTheme& theme : themes)
        table.insert(theme.id, theme);
    return table;
}

} // namespace

namespace VelkThemes {

const QHash<QString, VelkTheme>& all()
{
    static const QHash<QString, VelkTheme> table = buildTable();
    return table;
}

const VelkTheme& resolve(const QString& id, bool systemDark)
{
    const QString key =
        id == kFollowSystemID ? (systemDark ? QStringLiteral("macosdark") : QStringLiteral("macoslight")) : id;
    const auto& table = all();
    const auto it = table.constFind(key);
    if (it != table.constEnd()) return *it;
    return *table.constFind(QStringLiteral("macdark"));
}

} // namespace VelkThemes

} // namespace velk
