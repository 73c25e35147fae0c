#include "shared/look/ClockHands.h"

#include <cmath>

namespace velk {

using namespace view;

int localSecondOfDay(Date date, const TimeZone& zone)
{
    const double local = std::floor(date.unix()) + zone.secondsFromGMT(date);
    return int(local - 86400.0 * std::floor(local / 86400.0));
}

ClockHands::Angles ClockHands::angles() const
{
    const int second = localSecondOfDay(date, timeZone);
    const int hour = second / 3600 % 12;
    const int minute = second / 60 % 60;
    Angles a;
    a.hour = 30.0 * hour + 0.5 * minute;
    a.minute = 6.0 * minute;
    a.accent = liveSeconds ? 6.0 * *liveSeconds : a.minute + 150;
    return a;
}

View ClockHands::hand(qreal length, qreal width, Color color, bool rounded) const
{
    const qreal u = ctx.u;
    const View bar =
        RoundedRectangle(rounded ? width * u / 2 : 0, CornerStyle::continuous).fill(color).frame(width * u, length * u);
    // The bar stands on an empty block of its own length with nothing between them, so the
    // stack's centre, which the rotation turns about, is the pivot at the bar's foot.
    return VStack(HAlign::center, 0, {bar, ColorView(Color::clear()).frame(0, length * u)});
}

View ClockHands::body() const
{
    const Angles a = angles();
    const qreal u = ctx.u;
    View cap = Circle().fill(accentColor).frame(capSize * u, capSize * u);
    if (capRing) cap = cap.overlay(Circle().strokeBorder(*capRing, 2 * u));
    return ZStack(Alignment::center,
                  {hand(hourLength, hourWidth, handColor, true).rotationEffect(a.hour),
                   hand(minuteLength, minuteWidth, handColor, true).rotationEffect(a.minute),
                   hand(accentLength, accentWidth, accentColor, false).rotationEffect(a.accent), cap});
}

} // namespace velk
