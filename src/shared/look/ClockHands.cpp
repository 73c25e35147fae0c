#include "shared/look/ClockHands.h"

#include "platform/core/Calendar.h"

namespace velk {

using namespace view;

ClockHands::Angles ClockHands::angles() const
{
    Calendar calendar = Calendar::current();
    calendar.setTimeZone(timeZone);
    const int hour = calendar.component(CalendarComponent::hour, date) % 12;
    const int minute = calendar.component(CalendarComponent::minute, date);
    Angles a;
    a.hour = 30.0 * hour + 0.5 * minute;
    a.minute = 6.0 * minute;
    a.accent = liveSeconds ? 6.0 * *liveSeconds : a.minute + 150;
    return a;
}

View ClockHands::hand(qreal length, qreal width, Color color, bool rounded) const
{
    const qreal u = ctx.u;
    const View bar = RoundedRectangle(rounded ? width * u / 2 : 0, CornerStyle::continuous)
                         .fill(color)
                         .frame(width * u, length * u);
    // The bar stands on an empty block of its own length with nothing between them, so the
    // stack's centre, which the rotation turns about, is the pivot at the bar's foot.
    return VStack(HAlign::center, 0, {bar, ColorView(Color::clear()).frame(0, length * u)});
}

View ClockHands::body() const
{
    const Angles a = angles();
    const qreal u = ctx.u;
    View cap = Circle().fill(accentColor).frame(capSize * u, capSize * u);
    if (capRing)
        cap = cap.overlay(Circle().strokeBorder(*capRing, 2 * u));
    return ZStack(Alignment::center,
                  {hand(hourLength, hourWidth, handColor, true).rotationEffect(a.hour),
                   hand(minuteLength, minuteWidth, handColor, true).rotationEffect(a.minute),
                   hand(accentLength, accentWidth, accentColor, false).rotationEffect(a.accent), cap});
}

} // namespace velk
