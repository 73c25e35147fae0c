#include "shared/look/WidgetPalette.h"

namespace velk {

WidgetPalette WidgetPalette::resolve(ThemeSettings::SurfaceStyle surface, const VelkTheme& theme)
{
    if (surface == ThemeSettings::SurfaceStyle::glass) {
        // On the translucent material the theme's ink would fight the wallpaper, so content is
        // drawn in plain white (or a near-black on light themes); only accent and alert keep
        // the theme's colours.
        const Color b = theme.isLight ? Color::rgb255(26, 28, 30) : Color::white(1);
        return WidgetPalette{
            .ink = b,
            .inkDim = b.opacity(0.65),
            .inkFaint = b.opacity(0.5),
            .accent = theme.accent(),
            .alert = theme.err,
            .track = b.opacity(0.22),
            .fill = b,
            .hairline = b.opacity(0.18),
            .chip = b.opacity(0.1),
        };
    }
    const Color t = theme.t;
    return WidgetPalette{
        .ink = t,
        .inkDim = t.opacity(theme.dimAlpha),
        .inkFaint = t.opacity(theme.dimAlpha * 0.6),
        .accent = theme.accent(),
        .alert = theme.err,
        .track = t.opacity(theme.lineAlpha),
        .fill = t,
        .hairline = t.opacity(theme.lineAlpha),
        .chip = Color::white(0, theme.isLight ? 0.05 : 0.3),
    };
}

WidgetBackground WidgetPalette::background(ThemeSettings::SurfaceStyle surface, const VelkTheme& theme)
{
    switch (surface) {
    case ThemeSettings::SurfaceStyle::glass:
        return WidgetBackground::ultraThinMaterial();
    case ThemeSettings::SurfaceStyle::accent:
        return WidgetBackground::topToBottom(theme.pane, theme.warn.opacity(theme.isLight ? 0.14 : 0.1));
    case ThemeSettings::SurfaceStyle::solid:
        break;
    }
    return WidgetBackground::solid(theme.pane);
}

} // namespace velk
