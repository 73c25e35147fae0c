#pragma once
// An analogue dial reduced to the numerals 12, 3, 6 and 9 around the hands.
#include "platform/core/Date.h"
#include "platform/core/TimeZone.h"
#include "platform/view/View.h"
#include "shared/look/WidgetRoot.h"

#include <optional>

namespace velk {

struct ClockDotDial {
    // Side of the dial and distance of the numerals from its centre, design points.
    static constexpr qreal kSide = 124;
    static constexpr qreal kNumeralRadius = 52;

    Date date;
    TimeZone timeZone = TimeZone::utc();
    std::optional<double> liveSeconds;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }
};

} // namespace velk
