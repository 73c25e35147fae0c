#pragma once
// The digital clock text every face with digits uses, and the two analogue dials: the classic
// one with hour and minute ticks and a second-style accent hand, and the minimal one with four
// dots. Both can carry a digital readout above the centre (the hybrid widgets).
#include "platform/core/Color.h"
#include "platform/core/Date.h"
#include "platform/core/TimeZone.h"
#include "platform/view/View.h"
#include "shared/look/WidgetRoot.h"

#include <optional>

namespace velk {

// Hours and minutes on one line in the numeral font, shrinking rather than wrapping.
struct TimeText {
    Date date;
    TimeZone timeZone = TimeZone::utc();
    qreal size = 15;
    Color color;
    view::Weight weight = view::Weight::black;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }
};

// The side of the square both dials are drawn in, design points.
inline constexpr qreal kDialSide = 122;

struct ClockAnalogClassic {
    Date date;
    TimeZone timeZone = TimeZone::utc();
    std::optional<double> liveSeconds;
    bool digital = false;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

private:
    view::View tickRing(int count, qreal tickLength, qreal tickWidth, Color color, qreal radius) const;
};

struct ClockAnalogMinimal {
    // The dots stay this grey whatever the theme.
    static constexpr Color kDotGrey = Color::rgb255(76, 76, 76);

    Date date;
    TimeZone timeZone = TimeZone::utc();
    std::optional<double> liveSeconds;
    bool digital = false;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }
};

} // namespace velk
