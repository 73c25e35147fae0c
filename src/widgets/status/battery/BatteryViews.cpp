#include "widgets/status/battery/BatteryViews.h"

#include "platform/core/TimeZone.h"
#include "shared/data/clock/ClockFormat.h"
#include "shared/data/system/PowerSource.h"
#include "shared/look/Captions.h"
#include "shared/look/DotPieces.h"

#include <algorithm>

namespace velk {

using namespace view;

namespace {

// The built-in snapshot's name for the computer it describes.
const QString kSampleComputer = QStringLiteral("MacBook");

double chargeFraction(const PowerSnapshot& data)
{
    return double(data.percent) / 100.0;
}

// One line, shrinking to 0.55 of its size before it truncates.
View fitted(View text)
{
    return text.lineLimit(1).minimumScaleFactor(0.55);
}

// The row of dots every battery view uses for a charge.
View chargeBar(double fraction, Color fill, const WCtx& ctx)
{
    return DotBar{fraction, 0, 8, 6.7, ctx.pal.track, fill, Color::clear(), ctx.u};
}

} // namespace

// ---- BatteryRing ------------------------------------------------------------------------------

QString BatteryRing::label() const
{
    if (!data.devices.empty() && data.devices.front().name == kSampleComputer) return kSampleComputer;
    return PowerSource::machineName();
}

View BatteryRing::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    Frame readingFrame;
    readingFrame.maxWidth = 62 * u;
    const View reading =
        HStack(
            VAlign::lastTextBaseline, 1 * u,
            {fitted(Text(QString::number(data.percent)).font(ctx.numerals(22, Weight::black)).foregroundColor(pal.ink)),
             Caption{QStringLiteral("%"), 9, 0, pal.inkDim, ctx}})
            .frame(readingFrame);
    // The arc starts at twelve o'clock and runs clockwise; a charge over 100 closes the ring.
    const View ring =
        ZStack({Circle().stroke(pal.track, 14 * u),
                Circle().trim(0, chargeFraction(data)).stroke(pal.fill, 14 * u).rotationEffect(-90), reading})
            .frame(96 * u, 96 * u)
            .frame(Frame::maxInfinity())
            .padding(Edge::top, 10 * u);
    const View caption =
        Caption{label(), 9, 0.16, pal.inkDim, ctx}.body().padding(Edge::top, 20 * u).padding(Edge::leading, 22 * u);
    return ZStack(Alignment::topLeading, {caption, ring}).frame(Frame::maxInfinity());
}

// ---- BatteryPercent ---------------------------------------------------------------------------

QString BatteryPercent::statusLine() const
{
    if (data.isCharging) return QStringLiteral("Charging");
    return data.remaining.value_or(QStringLiteral("\u2014")) + QStringLiteral(" remaining");
}

View BatteryPercent::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    const View reading =
        HStack(
            VAlign::lastTextBaseline, 1 * u,
            {fitted(Text(QString::number(data.percent)).font(ctx.numerals(48, Weight::black)).foregroundColor(pal.ink)),
             Text(QStringLiteral("%")).font(ctx.numerals(24, Weight::black)).foregroundColor(pal.inkFaint)})
            .padding(Edge::top, 10 * u);
    return VStack(HAlign::leading, 0,
                  {Caption{QStringLiteral("Battery"), 10, 0.16, pal.inkDim, ctx}, reading, Spacer(0),
                   chargeBar(chargeFraction(data), pal.fill, ctx).padding(Edge::bottom, 8 * u),
                   Caption{statusLine(), 9.5, 0, pal.inkDim, ctx}})
        .padding(EdgeInsets{20 * u, 22 * u, 20 * u, 22 * u})
        .frame(Frame::maxInfinity(Alignment::leading));
}

// ---- BatteryDevices ---------------------------------------------------------------------------

View BatteryDevices::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    Views rows;
    for (const PowerSnapshot::Device& device : data.devices) {
        const bool low = isLow(device.percent);
        const Color ink = low ? pal.alert : pal.ink;
        rows.push_back(HStack(
            VAlign::center, 14 * u,
            {Caption{device.name, 10, 0.1, ink, ctx}.body().frame(76 * u, std::nullopt, Alignment::leading),
             chargeBar(double(device.percent) / 100.0, low ? pal.alert : pal.fill, ctx),
             fitted(Text(QString::number(device.percent)).font(ctx.numerals(16, Weight::heavy)).foregroundColor(ink))
                 .frame(38 * u, std::nullopt, Alignment::trailing)}));
    }
    return VStack(HAlign::center, 13 * u, std::move(rows))
        .padding(Edge::horizontal, 26 * u)
        .frame(Frame::maxInfinity());
}

// ---- BatteryLog -------------------------------------------------------------------------------

View BatteryLog::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    const View header = HStack(VAlign::center, std::nullopt,
                               {Caption{QStringLiteral("Power log"), 10, 0.16, pal.inkDim, ctx}, Spacer(),
                                DotCaption{data.isCharging ? QStringLiteral("Charging") : QStringLiteral("On battery"),
                                           9, 0, pal.accent, pal.inkDim, ctx}});
    const TimeZone here = TimeZone::current();
    Views lines;
    const size_t first = data.log.size() > 3 ? data.log.size() - 3 : 0;
    for (size_t i = first; i < data.log.size(); ++i) {
        const PowerSnapshot::LogEntry& entry = data.log[i];
        lines.push_back(HStack(
            VAlign::top, 12 * u,
            {Caption{ClockFormat::hhmm(entry.time, here), 10, 0, entry.isCurrent ? pal.accent : pal.inkFaint, ctx}
                 .body()
                 .frame(40 * u, std::nullopt, Alignment::leading),
             Caption{entry.message, 10, 0, entry.isCurrent ? pal.accent : pal.ink, ctx}}));
    }
    return VStack(HAlign::leading, 0,
                  {header, VStack(HAlign::leading, 7 * u, std::move(lines)).padding(Edge::top, 12 * u), Spacer(0),
                   chargeBar(chargeFraction(data), pal.fill, ctx)})
        .padding(EdgeInsets{20 * u, 26 * u, 20 * u, 26 * u})
        .frame(Frame::maxInfinity(Alignment::leading));
}

} // namespace velk
