// The root view every widget renders through: theme and surface resolution, the scale unit,
// glow, scanlines, background and numeral fonts, checked in the inspected tree.
#include "shared/look/WidgetRoot.h"

#include "TreeQuery.h"
#include "platform/core/Clock.h"
#include "shared/look/ThemeStore.h"

#include <gtest/gtest.h>

#include <memory>

using namespace velk;
using namespace velk::view;
using velk::testing::frameOf;
using velk::testing::hasFlag;
using velk::testing::inspectAt;
using velk::testing::nodesOfKind;
using Surface = ThemeSettings::SurfaceStyle;

namespace {

const VelkTheme& theme(const char* id)
{
    return *VelkThemes::all().constFind(QString::fromLatin1(id));
}

// The background fill as the inspection dump writes it.
QJsonValue fillJson(const Color& c)
{
    return c.hex();
}
QJsonValue gradientJson(const Color& top, const Color& bottom)
{
    return QJsonObject{{"gradient", QJsonArray{QJsonObject{{"color", top.hex()}, {"location", 0}},
                                               QJsonObject{{"color", bottom.hex()}, {"location", 1}}}}};
}

struct Rendered {
    QJsonObject tree;
    WCtx ctx;
};

class RootTest : public ::testing::Test {
protected:
    void TearDown() override { Defaults::shared().remove(ThemeStore::kKey); }

    static void store(const char* themeID, Surface surface)
    {
        ThemeStore::save({QString::fromLatin1(themeID), surface});
    }

    // Renders a root whose content records the context it was given.
    static Rendered render(SurfaceOption option, QSizeF design, QSizeF size, Environment env = {},
                           std::function<View(const WCtx&)> draw = {})
    {
        auto seen = std::make_shared<std::optional<WCtx>>();
        const VelkWidgetRoot root{WidgetPalette::Tone::dark, design, option, [seen, draw](const WCtx& ctx) {
                                      *seen = ctx;
                                      return draw ? draw(ctx) : Rectangle().fill(ctx.pal.ink);
                                  }};
        Rendered r{inspectAt(root, size, env), {}};
        EXPECT_TRUE(seen->has_value()) << "the content was never built";
        if (*seen) r.ctx = **seen;
        return r;
    }

    ClockPin clock{Date(700000000)};
};

// The background rectangle is the root's second child; the glow wraps the content.
QJsonObject backgroundRect(const QJsonObject& tree)
{
    return tree["children"].toArray().at(1).toObject();
}

struct SurfaceCase {
    const char* name;
    const char* storedTheme;
    Surface storedSurface;
    SurfaceOption option;
    RenderingMode mode;
    ColorScheme scheme;
    const char* drawnTheme;
    Surface style;
    QJsonValue background;
    Color glow;       // clear when there is no visible glow
    qreal glowRadius; // at u = 2
    double scanlines; // line opacity, 0 for no overlay
};

void PrintTo(const SurfaceCase& c, std::ostream* os)
{
    *os << c.name;
}

class RootSurface : public RootTest, public ::testing::WithParamInterface<SurfaceCase> {};

TEST_P(RootSurface, ResolvesThemeSurfaceGlowAndScanlines)
{
    const SurfaceCase& c = GetParam();
    store(c.storedTheme, c.storedSurface);
    const Rendered r = render(c.option, {160, 160}, {320, 320}, Environment{c.scheme, c.mode});

    EXPECT_EQ(r.ctx.theme, (ThemeSettings{QString::fromLatin1(c.storedTheme), c.storedSurface}));
    EXPECT_EQ(r.ctx.resolved.id, QString::fromLatin1(c.drawnTheme));
    EXPECT_EQ(r.ctx.pal, WidgetPalette::resolve(c.style, theme(c.drawnTheme)));
    EXPECT_EQ(r.ctx.u, 2.0);

    EXPECT_EQ(backgroundRect(r.tree)["kind"].toString(), "Rectangle");
    EXPECT_EQ(backgroundRect(r.tree)["fill"], c.background);
    EXPECT_EQ(frameOf(backgroundRect(r.tree)), QRectF(0, 0, 320, 320));

    const auto shadows = nodesOfKind(r.tree, "shadow");
    ASSERT_EQ(shadows.size(), 1u);
    const QJsonObject shadow = shadows[0]["shadow"].toObject();
    EXPECT_EQ(shadow["color"].toString(), c.glow.hex());
    EXPECT_DOUBLE_EQ(shadow["radius"].toDouble(), c.glowRadius);
    EXPECT_EQ(shadow["x"].toDouble(), 0);
    EXPECT_EQ(shadow["y"].toDouble(), 0);

    const auto canvases = nodesOfKind(r.tree, "Canvas");
    if (c.scanlines == 0) {
        EXPECT_TRUE(canvases.empty());
    } else {
        ASSERT_EQ(canvases.size(), 1u);
        EXPECT_EQ(frameOf(canvases[0]), QRectF(0, 0, 320, 320));
        const auto fades = nodesOfKind(r.tree, "opacity");
        ASSERT_EQ(fades.size(), 1u);
        EXPECT_DOUBLE_EQ(fades[0]["opacity"].toDouble(), c.scanlines);
    }
}

const Color kClear = Color::clear();

INSTANTIATE_TEST_SUITE_P(
    Cases, RootSurface,
    ::testing::Values(
        SurfaceCase{"green solid follows app", "green", Surface::solid, SurfaceOption::followApp,
                    RenderingMode::fullColor, ColorScheme::dark, "green", Surface::solid,
                    fillJson(Color::rgb255(10, 18, 10)), Color::rgb255(93, 240, 93, 0.36), 14, 0.27},
        SurfaceCase{"paper accent follows app", "paper", Surface::accent, SurfaceOption::followApp,
                    RenderingMode::fullColor, ColorScheme::light, "paper", Surface::accent,
                    gradientJson(Color::rgb255(251, 251, 248), Color::rgb255(154, 91, 0, 0.14)), kClear, 0, 0.081},
        SurfaceCase{"glass option overrides a stored solid", "macdark", Surface::solid, SurfaceOption::glass,
                    RenderingMode::fullColor, ColorScheme::dark, "macdark", Surface::glass,
                    fillJson(Color::rgb255(25, 25, 27, kUltraThinMaterialOpacity)), kClear, 0, 0},
        SurfaceCase{"glass suppresses a terminal theme's glow", "teal", Surface::glass, SurfaceOption::followApp,
                    RenderingMode::fullColor, ColorScheme::dark, "teal", Surface::glass,
                    fillJson(Color::rgb255(4, 19, 18, kUltraThinMaterialOpacity)), kClear, 14, 0},
        SurfaceCase{"solid option on a glass app", "amber", Surface::glass, SurfaceOption::solid,
                    RenderingMode::fullColor, ColorScheme::dark, "amber", Surface::solid,
                    fillJson(Color::rgb255(20, 13, 4)), Color::rgb255(255, 176, 0, 0.36), 14, 0.27},
        SurfaceCase{"accented mode draws solid as glass", "green", Surface::solid, SurfaceOption::solid,
                    RenderingMode::accented, ColorScheme::dark, "green", Surface::glass,
                    fillJson(Color::rgb255(10, 18, 10, kUltraThinMaterialOpacity)), kClear, 14, 0},
        SurfaceCase{"vibrant mode draws accent as glass", "paper", Surface::solid, SurfaceOption::accent,
                    RenderingMode::vibrant, ColorScheme::light, "paper", Surface::glass,
                    fillJson(Color::rgb255(251, 251, 248, kUltraThinMaterialOpacity)), kClear, 0, 0},
        SurfaceCase{"macos in the dark", "macos", Surface::accent, SurfaceOption::followApp, RenderingMode::fullColor,
                    ColorScheme::dark, "macosdark", Surface::accent,
                    gradientJson(Color::rgb255(43, 43, 45), Color::rgb255(255, 159, 10, 0.1)), kClear, 0, 0},
        SurfaceCase{"macos in the light", "macos", Surface::solid, SurfaceOption::followApp, RenderingMode::fullColor,
                    ColorScheme::light, "macoslight", Surface::solid, fillJson(Color::rgb255(255, 255, 255)), kClear, 0,
                    0}));

TEST_F(RootTest, ScaleUnitIsTheSmallerRatioAndTheContentFillsTheWidget)
{
    struct Case {
        QSizeF design, size;
        qreal u;
    };
    for (const Case& c : {Case{{344, 160}, {364, 170}, 364.0 / 344.0}, Case{{344, 160}, {344, 150}, 150.0 / 160.0},
                          Case{{160, 160}, {160, 160}, 1.0}, Case{{344, 344}, {688, 700}, 2.0}}) {
        const Rendered r = render(SurfaceOption::followApp, c.design, c.size);
        EXPECT_DOUBLE_EQ(r.ctx.u, c.u) << c.size.width() << "x" << c.size.height();
        // The content is framed to the whole widget, whatever it answers itself.
        const QJsonObject framed = nodesOfKind(r.tree, "shadow").at(0)["children"].toArray().at(0).toObject();
        EXPECT_EQ(framed["kind"].toString(), "frame");
        EXPECT_EQ(frameOf(framed), QRectF(QPointF(0, 0), c.size));
    }
    // A design size with no extent in one direction cannot divide the other.
    EXPECT_EQ(VelkWidgetRoot::scaleUnit({0, 160}, {100, 320}), 2.0);
    EXPECT_EQ(VelkWidgetRoot::scaleUnit({0, 0}, {100, 320}), 1.0);
}

TEST_F(RootTest, ReadsTheStoredLookAtEveryRender)
{
    store("green", Surface::solid);
    const VelkWidgetRoot root{WidgetPalette::Tone::dark, {160, 160}, SurfaceOption::followApp, [](const WCtx& ctx) {
                                  return Rectangle().fill(ctx.pal.ink);
                              }};
    const Environment dark{ColorScheme::dark, RenderingMode::fullColor};
    EXPECT_EQ(backgroundRect(inspectAt(root, {160, 160}, dark))["fill"], fillJson(Color::rgb255(10, 18, 10)));

    store("paper", Surface::solid);
    const QJsonObject after = inspectAt(root, {160, 160}, dark);
    EXPECT_EQ(backgroundRect(after)["fill"], fillJson(Color::rgb255(251, 251, 248)));
    EXPECT_EQ(nodesOfKind(after, "Rectangle").at(0)["fill"], fillJson(Color::rgb255(26, 28, 30)));

    // Nothing usable stored: the default look.
    Defaults::shared().setData(ThemeStore::kKey, QByteArray("{not json"));
    EXPECT_EQ(backgroundRect(inspectAt(root, {160, 160}, dark))["fill"], fillJson(Color::rgb255(25, 25, 27)));
}

TEST_F(RootTest, TapsPassThroughTheScanlines)
{
    store("green", Surface::solid);
    const ButtonAction action{QStringLiteral("ToggleIntent"), {}};
    const VelkWidgetRoot root{WidgetPalette::Tone::dark, {160, 160}, SurfaceOption::followApp, [action](const WCtx&) {
                                  return Button(action, Rectangle());
                              }};
    const LaidOutTree tree = layout(root, {160, 160}, Environment{ColorScheme::dark, RenderingMode::fullColor});
    ASSERT_EQ(nodesOfKind(inspect(tree), "Canvas").size(), 1u);
    EXPECT_EQ(hitTest(tree, {80, 80}), action);
}

TEST_F(RootTest, NumeralFontsFollowTheThemeFamily)
{
    struct Case {
        const char* theme;
        Weight weight;
        const char* weightShown;
        const char* design;
    };
    for (const Case& c :
         {Case{"macosdark", Weight::black, "bold", "proportional"},
          Case{"macdark", Weight::black, "bold", "monospaced"}, Case{"macdark", Weight::medium, "medium", "monospaced"},
          Case{"macoslight", Weight::regular, "regular", "proportional"},
          Case{"macclassic", Weight::heavy, "heavy", "monospaced"}}) {
        store(c.theme, Surface::solid);
        const Rendered r =
            render(SurfaceOption::followApp, {160, 160}, {240, 240}, Environment{},
                   [&](const WCtx& ctx) { return Text(QStringLiteral("42")).font(ctx.numerals(20, c.weight)); });
        const QJsonObject font = nodesOfKind(r.tree, "Text").at(0)["font"].toObject();
        EXPECT_EQ(font["size"].toDouble(), 30) << c.theme;
        EXPECT_EQ(font["weight"].toString(), c.weightShown) << c.theme;
        EXPECT_EQ(font["design"].toString(), c.design) << c.theme;
    }
}

TEST(ScanlineOverlay, LinesAndStrength)
{
    EXPECT_TRUE(ScanlineOverlay{0}.body().isEmpty());
    EXPECT_TRUE(ScanlineOverlay{-0.5}.body().isEmpty());

    // Capped at fully opaque, and never in the way of a tap.
    const QJsonObject strong = inspectAt(ScanlineOverlay{0.6}, {100, 100});
    EXPECT_EQ(strong["kind"].toString(), "allowsHitTesting");
    EXPECT_TRUE(hasFlag(strong, "hitTestingDisabled"));
    EXPECT_EQ(nodesOfKind(strong, "opacity").at(0)["opacity"].toDouble(), 1.0);

    EXPECT_TRUE(ScanlineOverlay::lines({100, 0}).empty());
    EXPECT_EQ(ScanlineOverlay::lines({50, 10}),
              (std::vector<QRectF>{{0, 0, 50, 1}, {0, 3, 50, 1}, {0, 6, 50, 1}, {0, 9, 50, 1}}));
    // Points, not design units: a large widget at scale 1 has 115 lines, at scale 2 twice as many.
    EXPECT_EQ(ScanlineOverlay::lines({344, 344}).size(), 115u);
    EXPECT_EQ(ScanlineOverlay::lines({688, 688}).size(), 230u);

    // Painted: every third row dark at the line strength, the rows between left clear.
    const QImage painted = view::renderImage(ScanlineOverlay{0.25}, {12, 12}, 1);
    for (int y = 0; y < 12; ++y) {
        const QColor c = painted.pixelColor(6, y);
        EXPECT_NEAR(c.alphaF(), y % 3 == 0 ? ScanlineOverlay::lineOpacity(0.25) : 0.0, 0.01) << y;
    }
}

} // namespace
