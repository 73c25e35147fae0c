#pragma once
// The root every widget renders through. It reads the user's look afresh, resolves the theme
// for the system appearance, settles the surface the widget really uses, works out the scale
// unit from its family's design size, and hands the widget a context to draw with. It also
// lays the glow, the scanlines and the container background around the widget's view.
#include "platform/view/View.h"
#include "shared/look/Theme.h"
#include "shared/look/ThemeSettings.h"
#include "shared/look/WidgetPalette.h"
#include "shared/widget/OptionEnums.h"

#include <QRectF>
#include <QSizeF>
#include <functional>
#include <vector>

namespace velk {

// What every widget view draws with, rebuilt for each render.
struct WCtx {
    // As stored: its surface is the app-wide style, not necessarily the one in effect.
    ThemeSettings theme;
    VelkTheme resolved;
    WidgetPalette pal;
    // Real points per design point.
    qreal u = 1;

    // The font of every numeral, `size` in design points. Black is set bold; the desktop-font
    // themes use the proportional design, every other theme the monospaced one.
    view::Font numerals(qreal size, view::Weight weight) const;
};

// Horizontal dark lines over the whole widget, for the terminal themes' CRT look.
struct ScanlineOverlay {
    double opacity = 0;

    view::View body() const;
    operator view::View() const { return body(); }

    // The opacity each line is drawn at.
    static double lineOpacity(double opacity);
    // The lines for a canvas of `size`: 1 point high every 3 points from the top edge, in
    // points whatever the scale unit, so they stay crisp lines at any widget size.
    static std::vector<QRectF> lines(QSizeF size);
};

// The surface in effect for a widget: its own option, or the app's style for followApp. Any
// tinted rendering mode draws on glass whatever was chosen.
ThemeSettings::SurfaceStyle effectiveSurface(SurfaceOption option, ThemeSettings::SurfaceStyle appStyle,
                                             view::RenderingMode mode);

// The view layer's fill for a widget background. There is no blurring material on the desktop:
// the material is the theme's pane colour, translucent, and the host gives such a widget a
// translucent window so the desktop shows through.
view::Fill backgroundFill(const WidgetBackground& background, const VelkTheme& theme);

inline constexpr double kUltraThinMaterialOpacity = 0.4;

struct VelkWidgetRoot {
    using Content = std::function<view::View(const WCtx&)>;

    // Handed by the widget; the rendering does not depend on it.
    WidgetPalette::Tone tone = WidgetPalette::Tone::dark;
    // The family's design size the content is laid out for.
    QSizeF designSize;
    // Normally the entry's surface.
    SurfaceOption surface = SurfaceOption::followApp;
    Content content;

    view::View body() const;
    operator view::View() const { return body(); }

    // Real points per design point for a real size: the smaller of the two ratios, so the
    // design always fits. A design dimension that is not positive does not take part.
    static qreal scaleUnit(QSizeF designSize, QSizeF size);
};

} // namespace velk
