#include "shared/look/WidgetRoot.h"

#include "shared/look/ThemeStore.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace velk {

using Surface = ThemeSettings::SurfaceStyle;

namespace {

constexpr qreal kGlowRadius = 7;      // design points
constexpr double kGlowStrength = 0.8; // of the theme's glow opacity
constexpr qreal kScanPeriod = 3;
constexpr qreal kScanHeight = 1;

} // namespace

view::Font WCtx::numerals(qreal size, view::Weight weight) const
{
    const view::Weight w = weight == view::Weight::black ? view::Weight::bold : weight;
    const view::Design design = resolved.isMacFamily ? view::Design::proportional : view::Design::monospaced;
    return view::Font::system(size * u, w, design);
}

double ScanlineOverlay::lineOpacity(double opacity)
{
    return std::min(opacity * 1.8, 1.0);
}

std::vector<QRectF> ScanlineOverlay::lines(QSizeF size)
{
    std::vector<QRectF> out;
    if (!(size.height() > 0) || !std::isfinite(size.height())) return out;
    out.reserve(size_t(std::ceil(size.height() / kScanPeriod)));
    for (qreal y = 0; y < size.height(); y += kScanPeriod)
        out.emplace_back(0, y, size.width(), kScanHeight);
    return out;
}

view::View ScanlineOverlay::body() const
{
    if (!(opacity > 0)) return view::EmptyView();
    // The lines are drawn opaque and faded as one, which paints the same as fading each line
    // (they never overlap) and keeps the strength visible in the inspected tree.
    return view::Canvas([](QPainter& p, QSizeF size, const view::Environment&) {
               const std::vector<QRectF> rects = lines(size);
               p.setPen(Qt::NoPen);
               p.setBrush(Qt::black);
               p.drawRects(rects.data(), int(rects.size()));
           })
        .opacity(lineOpacity(opacity))
        .allowsHitTesting(false);
}

Surface effectiveSurface(SurfaceOption option, Surface appStyle, view::RenderingMode mode)
{
    if (mode != view::RenderingMode::fullColor) return Surface::glass;
    switch (option) {
    case SurfaceOption::followApp:
        return appStyle;
    case SurfaceOption::solid:
        return Surface::solid;
    case SurfaceOption::glass:
        return Surface::glass;
    case SurfaceOption::accent:
        return Surface::accent;
    }
    return appStyle;
}

view::Fill backgroundFill(const WidgetBackground& background, const VelkTheme& theme)
{
    switch (background.kind) {
    case WidgetBackground::Kind::color:
        return background.color;
    case WidgetBackground::Kind::ultraThinMaterial:
        return theme.pane.opacity(kUltraThinMaterialOpacity);
    case WidgetBackground::Kind::linearGradient:
        return view::LinearGradient::evenly({background.gradient[0], background.gradient[1]}, view::UnitPoint::top,
                                            view::UnitPoint::bottom);
    }
    return background.color;
}

qreal VelkWidgetRoot::scaleUnit(QSizeF designSize, QSizeF size)
{
    qreal u = std::numeric_limits<qreal>::infinity();
    if (designSize.width() > 0) u = std::min(u, size.width() / designSize.width());
    if (designSize.height() > 0) u = std::min(u, size.height() / designSize.height());
    return std::isfinite(u) ? std::max<qreal>(u, 0) : 1;
}

view::View VelkWidgetRoot::body() const
{
    using namespace view;
    // Copied into the readers: the root value may be gone by the time the layout runs them.
    return EnvironmentReader([designSize = designSize, option = surface, content = content](const Environment& env) {
        const ThemeSettings settings = ThemeStore::current();
        const VelkTheme& resolved = VelkThemes::resolve(settings.themeID, env.colorScheme == ColorScheme::dark);
        const Surface style = effectiveSurface(option, settings.surface, env.renderingMode);
        const WidgetBackground background = env.renderingMode == RenderingMode::fullColor
                                                ? WidgetPalette::background(style, resolved)
                                                : WidgetBackground::ultraThinMaterial();

        return GeometryReader([=](QSizeF size) {
                   const qreal u = scaleUnit(designSize, size);
                   const WCtx ctx{settings, resolved, WidgetPalette::resolve(style, resolved), u};
                   const bool glows = style != Surface::glass && resolved.glowA > 0;
                   const Color glow = glows ? resolved.t.opacity(resolved.glowA * kGlowStrength) : Color::clear();
                   const qreal radius = resolved.glowA > 0 ? kGlowRadius * u : 0;
                   View body = content ? content(ctx) : EmptyView();
                   return ZStack(Alignment::center,
                                 {body.frame(size.width(), size.height()).shadow(glow, radius),
                                  style != Surface::glass ? View(ScanlineOverlay{resolved.scanA}) : EmptyView()});
               })
            .background(Rectangle().fill(backgroundFill(background, resolved)));
    });
}

} // namespace velk
