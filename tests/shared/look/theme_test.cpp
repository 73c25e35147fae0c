#include "shared/look/Theme.h"

#include <gtest/gtest.h>

using namespace velk;

namespace {

struct Row {
    const char* id;
    const char* label;
    int bg[3], pane[3], t[3], warn[3], err[3];
    double dimAlpha, lineAlpha, scanA, glowA;
    bool isLight, isMacFamily;
};

Color rgb(const int (&c)[3])
{
    return Color::rgb255(c[0], c[1], c[2]);
}

// Typed independently of the table in Theme.cpp, so a slip in either shows.
const Row kRows[] = {
    {"teal",
     "TEAL \u2014 CRYO BAY",
     {2, 9, 8},
     {4, 19, 18},
     {64, 224, 207},
     {255, 179, 71},
     {255, 90, 90},
     0.62,
     0.2,
     0.15,
     0.45,
     false,
     false},
    {"ice",
     "ICE BLUE \u2014 HYPERSLEEP",
     {4, 7, 11},
     {8, 16, 25},
     {165, 216, 255},
     {255, 179, 71},
     {255, 90, 90},
     0.6,
     0.2,
     0.15,
     0.45,
     false,
     false},
    {"green",
     "GREEN PHOSPHOR \u2014 NOSTROMO",
     {5, 8, 5},
     {10, 18, 10},
     {93, 240, 93},
     {255, 179, 71},
     {255, 90, 90},
     0.62,
     0.2,
     0.15,
     0.45,
     false,
     false},
    {"amber",
     "AMBER \u2014 MONOCHROME",
     {10, 6, 2},
     {20, 13, 4},
     {255, 176, 0},
     {255, 179, 71},
     {255, 90, 90},
     0.62,
     0.2,
     0.15,
     0.45,
     false,
     false},
    {"mono",
     "WHITE ON BLACK \u2014 MONO",
     {6, 6, 6},
     {16, 16, 16},
     {230, 230, 230},
     {255, 179, 71},
     {255, 90, 90},
     0.55,
     0.16,
     0.15,
     0.45,
     false,
     false},
    {"paper",
     "BLACK ON WHITE \u2014 PAPER",
     {241, 241, 237},
     {251, 251, 248},
     {26, 28, 30},
     {154, 91, 0},
     {198, 40, 40},
     0.58,
     0.16,
     0.045,
     0,
     true,
     false},
    {"amberlight",
     "AMBER ON WHITE \u2014 SEPIA",
     {250, 245, 234},
     {255, 252, 243},
     {143, 89, 0},
     {194, 65, 12},
     {198, 40, 40},
     0.6,
     0.2,
     0.045,
     0,
     true,
     false},
    {"macoslight",
     "MACOS \u2014 LIGHT",
     {232, 232, 234},
     {255, 255, 255},
     {29, 29, 31},
     {178, 80, 0},
     {215, 0, 21},
     0.56,
     0.12,
     0,
     0,
     true,
     true},
    {"macosdark",
     "MACOS \u2014 DARK",
     {30, 30, 30},
     {43, 43, 45},
     {245, 245, 247},
     {255, 159, 10},
     {255, 69, 58},
     0.56,
     0.14,
     0,
     0,
     false,
     true},
    {"macclassic",
     "CLASSIC MAC",
     {204, 199, 186},
     {228, 225, 215},
     {69, 64, 54},
     {138, 90, 0},
     {179, 38, 30},
     0.62,
     0.24,
     0,
     0,
     true,
     false},
    {"maclight",
     "CLASSIC MAC \u2014 LIGHT",
     {243, 241, 234},
     {251, 250, 245},
     {53, 50, 44},
     {154, 91, 0},
     {198, 40, 40},
     0.58,
     0.17,
     0,
     0,
     true,
     false},
    {"macdark",
     "CLASSIC MAC \u2014 DARK",
     {13, 13, 14},
     {25, 25, 27},
     {183, 185, 188},
     {255, 179, 71},
     {255, 90, 90},
     0.55,
     0.17,
     0,
     0,
     false,
     false},
};

} // namespace

TEST(ThemeTable, HoldsExactlyTheTwelveThemes)
{
    const auto& all = VelkThemes::all();
    ASSERT_EQ(all.size(), qsizetype(std::size(kRows)));
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.id);
        ASSERT_TRUE(all.contains(QString::fromLatin1(row.id)));
        const VelkTheme& theme = all[QString::fromLatin1(row.id)];
        const VelkTheme expected{QString::fromLatin1(row.id),
                                 QString::fromUtf8(row.label),
                                 rgb(row.bg),
                                 rgb(row.pane),
                                 rgb(row.t),
                                 row.dimAlpha,
                                 row.lineAlpha,
                                 rgb(row.warn),
                                 rgb(row.err),
                                 row.scanA,
                                 row.glowA,
                                 row.isLight,
                                 row.isMacFamily};
        EXPECT_EQ(theme, expected);
        EXPECT_EQ(theme.label, expected.label); // the em dash, byte for byte
        // The CRT themes (and only they) take their ink as accent; "mono" is not one of them.
        const bool crt = QString::fromLatin1(row.id) == "teal" || QString::fromLatin1(row.id) == "ice" ||
                         QString::fromLatin1(row.id) == "green" || QString::fromLatin1(row.id) == "amber";
        EXPECT_EQ(theme.accent(), crt ? theme.t : theme.err);
        EXPECT_EQ(theme.t.a, 1.0);
    }
}

TEST(ThemeTable, EqualityIsFieldByField)
{
    const auto& all = VelkThemes::all();
    EXPECT_EQ(all["paper"], all["paper"]);
    // Same warn and err, different everything else.
    EXPECT_NE(all["paper"], all["maclight"]);
    VelkTheme changed = all["teal"];
    changed.glowA = 0.44;
    EXPECT_NE(changed, all["teal"]);
}

TEST(ThemeTable, AccentOfACopyFollowsItsId)
{
    VelkTheme theme = VelkThemes::all()["teal"];
    EXPECT_EQ(theme.accent(), Color::rgb255(64, 224, 207));
    theme.id = QStringLiteral("TEAL"); // the CRT list matches exactly
    EXPECT_EQ(theme.accent(), Color::rgb255(255, 90, 90));
}

TEST(ThemeResolve, FollowsTheRules)
{
    struct Case {
        QString id;
        bool systemDark;
        const char* expected;
    };
    const Case cases[] = {
        {"macos", true, "macosdark"},
        {"macos", false, "macoslight"},
        {"paper", true, "paper"},
        {"paper", false, "paper"},
        {"macosdark", false, "macosdark"}, // appearance only matters for the pseudo-id
        {"macoslight", true, "macoslight"},
        {"", true, "macdark"},
        {"", false, "macdark"},
        {"TEAL", false, "macdark"},
        {"MACOS", true, "macdark"},
        {" macos", true, "macdark"},
        {"teal ", false, "macdark"},
        {"solarized", false, "macdark"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id.toStdString() + (c.systemDark ? " dark" : " light"));
        EXPECT_EQ(VelkThemes::resolve(c.id, c.systemDark).id, QString::fromLatin1(c.expected));
    }
}

TEST(ThemeResolve, EveryTableIdResolvesToItself)
{
    for (const VelkTheme& theme : VelkThemes::all())
        for (bool dark : {false, true})
            EXPECT_EQ(VelkThemes::resolve(theme.id, dark), theme);
}

TEST(ThemeTokens, InkIsAFixedNearBlack)
{
    EXPECT_EQ(VelkTokens::ink, (Color{22 / 255.0, 22 / 255.0, 22 / 255.0, 1.0}));
}
