#include "widgets/time/DotDialFace.h"

#include "shared/look/ClockHands.h"

namespace velk {

using namespace view;

View ClockDotDial::body() const
{
    const qreal u = ctx.u;
    const qreal r = kNumeralRadius * u;
    const Font font = ctx.numerals(19, Weight::heavy);
    auto numeral = [&](const char* text, qreal x, qreal y) {
        return Text(QString::fromLatin1(text))
            .font(font)
            .lineLimit(1)
            .minimumScaleFactor(0.55)
            .foregroundColor(ctx.pal.ink)
            .offset(x, y);
    };
    return ZStack(Alignment::center, {numeral("12", 0, -r), numeral("3", r, 0), numeral("6", 0, r), numeral("9", -r, 0),
                                      ClockHands{date, timeZone, 26, 38, 44, 5, 3.5, 1.5, ctx.pal.ink, ctx.pal.accent,
                                                 8, std::nullopt, ctx, liveSeconds}})
        .frame(kSide * u, kSide * u);
}

} // namespace velk
