#include "widgets/time/DualClockFace.h"

#include "platform/core/Clock.h"
#include "shared/data/clock/ClockFormat.h"
#include "shared/data/config/TimeZoneEntity.h"
#include "shared/look/Captions.h"
#include "widgets/time/AnalogFaces.h"
#include "widgets/time/WorldClockFace.h"

namespace velk {

using namespace view;

QString ClockDual::status(const TimeZone& zone) const
{
    // The offset as it stands when the face is drawn; day or night follows the moment shown.
    return ClockFormat::gmtLabel(zone, Clock::now()) + QStringLiteral(" \u00B7 ") +
           (isDaytime(date, zone) ? QStringLiteral("Day") : QStringLiteral("Night"));
}

View ClockDual::column(const QString& label, const TimeZone& zone, bool dotted) const
{
    const auto& pal = ctx.pal;
    const View caption = dotted ? View(DotCaption{label, 10, 0.16, pal.accent, pal.inkDim, ctx})
                                : View(Caption{label, 10, 0.16, pal.inkDim, ctx});
    return VStack(HAlign::leading, 4 * ctx.u,
                  {caption, TimeText{date, zone, 40, pal.ink, Weight::black, ctx},
                   Caption{status(zone), 9, 0.14, pal.inkFaint, ctx}});
}

View ClockDual::body() const
{
    const qreal u = ctx.u;
    auto side = [&](View content) {
        return content.padding(Edge::leading, 28 * u).frame(Frame::maxWidthInfinity(Alignment::leading));
    };
    // A hairline stays one point wide at any size.
    const View divider = Rectangle().fill(ctx.pal.hairline).frame(1, std::nullopt).padding(Edge::vertical, 24 * u);
    return HStack(VAlign::center, 0,
                  {side(column(QStringLiteral("Home"), homeZone, false)), divider,
                   side(column(cityName(awayZone.identifier()), awayZone, true))})
        .frame(Frame::maxInfinity(Alignment::center));
}

} // namespace velk
