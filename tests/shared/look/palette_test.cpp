#include "shared/look/WidgetPalette.h"

#include <gtest/gtest.h>

using namespace velk;
using Surface = ThemeSettings::SurfaceStyle;

namespace {

const VelkTheme& theme(const char* id)
{
    return *VelkThemes::all().constFind(QString::fromLatin1(id));
}

Color rgb(int r, int g, int b, double a = 1.0)
{
    return Color::rgb255(r, g, b, a);
}

} // namespace

TEST(WidgetPalette, SolidAndAccentDrawWithTheThemeInk)
{
    // "teal": a CRT theme, so its accent is its ink.
    const Color teal = rgb(64, 224, 207);
    const WidgetPalette expected{
        .ink = teal,
        .inkDim = teal.withAlpha(0.62),
        .inkFaint = teal.withAlpha(0.62 * 0.6),
        .accent = teal,
        .alert = rgb(255, 90, 90),
        .track = teal.withAlpha(0.2),
        .fill = teal,
        .hairline = teal.withAlpha(0.2),
        .chip = Color{0, 0, 0, 0.3},
    };
    EXPECT_EQ(WidgetPalette::resolve(Surface::solid, theme("teal")), expected);
    EXPECT_EQ(WidgetPalette::resolve(Surface::accent, theme("teal")), expected);
    EXPECT_NEAR(expected.inkFaint.a, 0.372, 1e-12);

    // "paper": light, so a faint chip; accent falls back to its error colour.
    const WidgetPalette paper = WidgetPalette::resolve(Surface::solid, theme("paper"));
    EXPECT_EQ(paper.ink, rgb(26, 28, 30));
    EXPECT_EQ(paper.accent, rgb(198, 40, 40));
    EXPECT_EQ(paper.alert, rgb(198, 40, 40));
    EXPECT_EQ(paper.inkDim, rgb(26, 28, 30, 0.58));
    EXPECT_EQ(paper.track, rgb(26, 28, 30, 0.16));
    EXPECT_EQ(paper.chip, (Color{0, 0, 0, 0.05}));
}

TEST(WidgetPalette, GlassDrawsWithAPlainBase)
{
    struct Case {
        const char* id;
        Color base;
        Color accent;
        Color alert;
    };
    const Case cases[] = {
        {"macdark", Color::white(1), rgb(255, 90, 90), rgb(255, 90, 90)},
        {"macoslight", rgb(26, 28, 30), rgb(215, 0, 21), rgb(215, 0, 21)},
        // The ink goes white, but the accent keeps the phosphor green.
        {"green", Color::white(1), rgb(93, 240, 93), rgb(255, 90, 90)},
        {"paper", rgb(26, 28, 30), rgb(198, 40, 40), rgb(198, 40, 40)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const Color b = c.base;
        const WidgetPalette expected{
            .ink = b,
            .inkDim = b.withAlpha(0.65),
            .inkFaint = b.withAlpha(0.5),
            .accent = c.accent,
            .alert = c.alert,
            .track = b.withAlpha(0.22),
            .fill = b,
            .hairline = b.withAlpha(0.18),
            .chip = b.withAlpha(0.1),
        };
        EXPECT_EQ(WidgetPalette::resolve(Surface::glass, theme(c.id)), expected);
    }
}

TEST(WidgetPalette, EveryThemeAndSurfaceIsOpaqueWhereItShouldBe)
{
    // The theme's ink is used straight on solid and accent; only glass ignores it.
    for (const VelkTheme& t : VelkThemes::all()) {
        SCOPED_TRACE(t.id.toStdString());
        for (Surface s : kAllSurfaceStyles) {
            const WidgetPalette pal = WidgetPalette::resolve(s, t);
            EXPECT_EQ(pal.fill, pal.ink);
            EXPECT_EQ(pal.alert, t.err);
            EXPECT_EQ(pal.accent, t.accent());
            EXPECT_EQ(pal.ink.a, 1.0);
            if (s != Surface::glass) {
                EXPECT_EQ(pal.ink, t.t);
                EXPECT_EQ(pal.track, pal.hairline);
                EXPECT_EQ(pal.inkDim.a, t.dimAlpha);
            }
        }
    }
}

TEST(WidgetPalette, BackgroundPerSurface)
{
    EXPECT_EQ(WidgetPalette::background(Surface::solid, theme("paper")), WidgetBackground::solid(rgb(251, 251, 248)));
    EXPECT_EQ(WidgetPalette::background(Surface::accent, theme("amberlight")),
              WidgetBackground::topToBottom(rgb(255, 252, 243), rgb(194, 65, 12, 0.14)));
    EXPECT_EQ(WidgetPalette::background(Surface::accent, theme("macdark")),
              WidgetBackground::topToBottom(rgb(25, 25, 27), rgb(255, 179, 71, 0.1)));
    // Glass is the same material whatever the theme.
    for (const VelkTheme& t : VelkThemes::all())
        EXPECT_EQ(WidgetPalette::background(Surface::glass, t), WidgetBackground::ultraThinMaterial());
}
