#include "widgets/time/AnalogFaces.h"

#include "shared/data/clock/ClockFormat.h"
#include "shared/look/ClockHands.h"

#include <vector>

namespace velk {

using namespace view;

namespace {

// A dial element stands at the centre, is lifted by `radius` and then turned about the centre,
// so the turn carries it round the dial.
View onDial(const View& element, qreal radius, qreal degrees, qreal u)
{
    return element.offset(0, -radius * u).rotationEffect(degrees);
}

// The hybrid faces' digital time, above the pivot and under the hands.
View readout(Date date, const TimeZone& zone, const WCtx& ctx)
{
    return TimeText{date, zone, 15, ctx.pal.ink, Weight::black, ctx}.body().offset(0, -27 * ctx.u);
}

} // namespace

View TimeText::body() const
{
    return Text(ClockFormat::hhmm(date, timeZone))
        .font(ctx.numerals(size, weight))
        .lineLimit(1)
        .minimumScaleFactor(0.55)
        .foregroundColor(color);
}

View ClockAnalogClassic::tickRing(int count, qreal tickLength, qreal tickWidth, Color color, qreal radius) const
{
    const qreal u = ctx.u;
    Views ticks;
    ticks.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        const View tick = Rectangle().fill(color).frame(tickWidth * u, tickLength * u);
        ticks.push_back(onDial(tick, radius - tickLength / 2, 360.0 * i / count, u));
    }
    return ZStack(Alignment::center, std::move(ticks));
}

View ClockAnalogClassic::body() const
{
    const qreal u = ctx.u;
    Views layers{tickRing(12, 12, 2.5, ctx.pal.ink, 61), tickRing(60, 7, 1, ctx.pal.inkFaint, 61)};
    if (digital) layers.push_back(readout(date, timeZone, ctx));
    layers.push_back(ClockHands{date, timeZone, 32, 46, 52, 6, 4.5, 2, ctx.pal.ink, ctx.pal.accent, 9, VelkTokens::ink,
                                ctx, liveSeconds});
    return ZStack(Alignment::center, std::move(layers)).frame(kDialSide * u, kDialSide * u);
}

View ClockAnalogMinimal::body() const
{
    const qreal u = ctx.u;
    Views layers;
    for (int i = 0; i < 4; ++i)
        layers.push_back(onDial(Circle().fill(kDotGrey).frame(5 * u, 5 * u), 58.5, i * 90.0, u));
    if (digital) layers.push_back(readout(date, timeZone, ctx));
    layers.push_back(ClockHands{date, timeZone, 32, 46, 0, 6, 4.5, 0, ctx.pal.ink, ctx.pal.accent, 9, std::nullopt, ctx,
                                liveSeconds});
    return ZStack(Alignment::center, std::move(layers)).frame(kDialSide * u, kDialSide * u);
}

} // namespace velk
