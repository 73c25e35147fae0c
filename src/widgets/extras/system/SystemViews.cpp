#include "widgets/extras/system/SystemViews.h"

#include "shared/look/Captions.h"
#include "shared/look/DotPieces.h"
#include "widgets/extras/system/ExtrasLook.h"

#include <cmath>

namespace velk {

using namespace view;
using extras::drawnShare;

// ---- SystemView -------------------------------------------------------------------------------

View SystemView::row(const QString& label, qint64 percent) const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    const bool hot = percent >= kHotPercent;
    const Color ink = hot ? pal.alert : pal.ink;
    return HStack(VAlign::center, 14 * u,
                  {Caption{label, 10, 0.1, ink, ctx}.body().frame(56 * u, std::nullopt, Alignment::leading),
                   // A driver may report a load past 100 or below 0; the bar shows none to all.
                   DotBar{drawnShare(double(percent) / 100.0), 0, 8, 6.7, pal.track, hot ? pal.alert : pal.fill,
                          Color::clear(), u},
                   numeralFit(Text(QString::number(percent) + QLatin1Char('%'))
                                  .font(ctx.numerals(15, Weight::heavy))
                                  .foregroundColor(ink))
                       .frame(44 * u, std::nullopt, Alignment::trailing)});
}

View SystemView::body() const
{
    Views rows{row(QStringLiteral("CPU"), data.cpuPercent), row(QStringLiteral("Memory"), data.memoryPercent)};
    if (data.gpuPercent) rows.push_back(row(QStringLiteral("GPU"), *data.gpuPercent));
    return VStack(HAlign::center, 13 * ctx.u, std::move(rows))
        .padding(Edge::horizontal, 26 * ctx.u)
        .frame(Frame::maxInfinity());
}

// ---- NetworkView ------------------------------------------------------------------------------

QString NetworkView::rateText(std::optional<double> rate)
{
    if (!rate || !std::isfinite(*rate) || *rate < 0) return QStringLiteral("\u2014");
    if (*rate < 10) return QString::asprintf("%.1f", *rate);
    // Whole numbers, halves away from zero; printed without an integer type, so no rate is
    // too large to show.
    return QString::asprintf("%.0f", std::round(*rate));
}

View NetworkView::block(const QString& label, std::optional<double> rate) const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    return VStack(
        HAlign::leading, 2 * u,
        {Caption{label, 9, 0.16, pal.inkDim, ctx},
         HStack(VAlign::lastTextBaseline, 2 * u,
                {numeralFit(Text(rateText(rate)).font(ctx.numerals(30, Weight::black)).foregroundColor(pal.ink)),
                 Text(QStringLiteral(" MB/s").toUpper())
                     .font(ctx.numerals(14, Weight::heavy))
                     .foregroundColor(pal.inkDim)})});
}

View NetworkView::body() const
{
    const std::optional<double> down = data ? std::optional(data->downMBs) : std::nullopt;
    const std::optional<double> up = data ? std::optional(data->upMBs) : std::nullopt;
    return VStack(HAlign::leading, 14 * ctx.u,
                  {block(QStringLiteral("\u2193 Down"), down), block(QStringLiteral("\u2191 Up"), up)})
        .padding(Edge::horizontal, 22 * ctx.u)
        .frame(Frame::maxInfinity(Alignment::leading));
}

// ---- StorageView ------------------------------------------------------------------------------

double StorageView::ringFraction(const StorageSnapshot& data)
{
    if (data.totalGB <= 0) return 0;
    // More used than the total (a volume that grew between readings) draws the whole ring.
    return drawnShare(double(data.usedGB) / double(data.totalGB));
}

View StorageView::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    const View ring = ZStack(
        {Circle().stroke(pal.track, 13 * u),
         Circle()
             .trim(0, ringFraction(data))
             .stroke(pal.fill, StrokeStyle{13 * u, LineCap::butt, LineJoin::miter, {}, 0})
             .rotationEffect(-90),
         VStack(HAlign::center, 1 * u,
                {numeralFit(
                     Text(QString::number(data.usedGB)).font(ctx.numerals(26, Weight::black)).foregroundColor(pal.ink)),
                 Caption{QStringLiteral("Of ") + data.totalLabel(), 8, 0, pal.inkDim, ctx}})
             .frame(70 * u, std::nullopt)});
    return ZStack(Alignment::topLeading,
                  {Caption{QStringLiteral("Storage"), 9, 0.16, pal.inkDim, ctx}
                       .body()
                       .padding(Edge::top, 20 * u)
                       .padding(Edge::leading, 22 * u),
                   ring.frame(92 * u, 92 * u).frame(Frame::maxInfinity()).padding(Edge::top, 12 * u)})
        .frame(Frame::maxInfinity());
}

} // namespace velk
