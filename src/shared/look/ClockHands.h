#pragma once
// The hands and centre cap of every analogue clock face, showing a moment in a given zone.
// The hour hand creeps with the minutes, the minute hand jumps once a minute, and the accent
// hand shows live seconds when given them and otherwise sits at a fixed decorative angle.
#include "platform/core/Color.h"
#include "platform/core/Date.h"
#include "platform/core/TimeZone.h"
#include "platform/view/View.h"
#include "shared/look/WidgetRoot.h"

#include <optional>

namespace velk {

// Seconds since local midnight of `date` in `zone`, from the zone's offset at that moment:
// every calendar's day has the same hours, and building a calendar for two fields cost more
// than the hands it placed.
int localSecondOfDay(Date date, const TimeZone& zone);

struct ClockHands {
    Date date;
    TimeZone timeZone = TimeZone::utc();
    // From the pivot, design points.
    qreal hourLength = 30;
    qreal minuteLength = 42;
    qreal accentLength = 46;
    qreal hourWidth = 4;
    qreal minuteWidth = 3;
    qreal accentWidth = 1.5;
    Color handColor;
    // The accent hand and the centre cap.
    Color accentColor;
    qreal capSize = 6;
    std::optional<Color> capRing;
    WCtx ctx;
    std::optional<double> liveSeconds;

    view::View body() const;
    operator view::View() const { return body(); }

    // Degrees clockwise from twelve o'clock.
    struct Angles {
        double hour = 0;
        double minute = 0;
        double accent = 0;
    };
    Angles angles() const;

private:
    view::View hand(qreal length, qreal width, Color color, bool rounded) const;
};

} // namespace velk
