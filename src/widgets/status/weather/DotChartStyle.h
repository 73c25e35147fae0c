#pragma once
// What the dot-column charts of the status widgets (rain by the hour, screen time by the day)
// share beyond the chart itself: the grey of their ordinary bars and the font of their labels.
#include "platform/core/Color.h"
#include "platform/view/View.h"
#include "shared/look/WidgetRoot.h"

namespace velk {

// The one colour outside the palette, the same in every theme.
inline constexpr Color kChartGrey = Color::rgb255(76, 76, 76);

// The bar labels: 8.5 points, medium, monospaced except in the desktop-font themes.
inline view::Font chartLabelFont(const WCtx& ctx)
{
    using view::Design;
    return view::Font::system(8.5 * ctx.u, view::Weight::medium,
                              ctx.resolved.isMacFamily ? Design::proportional : Design::monospaced);
}

} // namespace velk
