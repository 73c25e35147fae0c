#include "widgets/time/WorldClockFace.h"

#include "shared/data/config/TimeZoneEntity.h"
#include "shared/look/Captions.h"
#include "shared/look/ClockHands.h"
#include "shared/look/DotPieces.h"
#include "widgets/time/AnalogFaces.h"

#include <algorithm>

namespace velk {

using namespace view;

bool isDaytime(Date date, const TimeZone& zone)
{
    const int hour = localSecondOfDay(date, zone) / 3600;
    return hour >= 7 && hour <= 19;
}

View ClockWorld::column(int position) const
{
    const qreal u = ctx.u;
    const auto& pal = ctx.pal;
    const TimeZone& zone = zones[size_t(position)];
    const QString city = cityName(zone.identifier());
    const View caption = position == homeIndex ? View(DotCaption{city, 10, 0.14, pal.accent, pal.ink, ctx})
                                               : View(Caption{city, 10, 0.14, pal.inkDim, ctx});
    const Color timeColor = isDaytime(date, zone) ? pal.ink : pal.ink.opacity(kNightOpacity);
    return VStack(HAlign::center, 4 * u, {caption, TimeText{date, zone, 26, timeColor, Weight::black, ctx}})
        .frame(Frame::maxWidthInfinity(Alignment::center));
}

View ClockWorld::body() const
{
    const qreal u = ctx.u;
    const auto& pal = ctx.pal;
    const int shown = std::min<int>(kMaxColumns, int(zones.size()));
    Views columns;
    for (int i = 0; i < shown; ++i)
        columns.push_back(column(i));
    // With no city there is no row at all, so the rule is not pushed down by an empty one.
    const View row = shown > 0 ? HStack(VAlign::top, 0, std::move(columns)) : EmptyView();
    return VStack(HAlign::leading, 14 * u, {row, DotBar{0, 0, 12, 6, pal.track, pal.fill, Color::clear(), u}})
        .padding(Edge::horizontal, 28 * u)
        .frame(Frame::maxInfinity(Alignment::center));
}

} // namespace velk
