#pragma once
// What the ticker, system, sky, quote and inbox views share beyond the look pieces: how their
// numerals fit, their body text, the one grey outside the palette, and the guard every drawn
// share goes through.
#include "platform/core/Color.h"
#include "platform/view/View.h"
#include "shared/look/WidgetRoot.h"

#include <algorithm>
#include <cmath>

namespace velk::extras {

// Plain text: medium weight, monospaced unless the theme uses the desktop font.
inline view::Font bodyFont(qreal size, const WCtx& ctx)
{
    return view::Font::system(size * ctx.u, view::Weight::medium,
                              ctx.resolved.isMacFamily ? view::Design::proportional : view::Design::monospaced);
}

// Ordinary chart bars and the moon's unlit half: the same grey on every theme.
inline constexpr Color kFixedGrey = Color::white(76.0 / 255.0);

// A share as a view may draw or round it: a value that is not a number (a stored record, a
// driver's figure, a division by an absurd total) draws nothing rather than an undefined count,
// and no share lights less than none or more than all.
inline double drawnShare(double value)
{
    return std::isfinite(value) ? std::clamp(value, 0.0, 1.0) : 0.0;
}

} // namespace velk::extras
