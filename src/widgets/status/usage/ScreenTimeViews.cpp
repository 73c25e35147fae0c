#include "widgets/status/usage/ScreenTimeViews.h"

#include "shared/look/Captions.h"
#include "shared/look/DotPieces.h"
#include "widgets/status/weather/DotChartStyle.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace velk {

using namespace view;

namespace {

// Minutes as hours and minutes: 45M, 1H, 3H 24M. Both parts truncate toward zero and keep the
// sign of the count (-125 reads -2H -5M).
QString hm(qint64 minutes)
{
    const qint64 h = minutes / 60;
    const qint64 r = minutes % 60;
    if (minutes >= -59 && minutes <= 59) return QString::number(r) + QStringLiteral("M");
    if (r != 0) return QString::number(h) + QStringLiteral("H ") + QString::number(r) + QStringLiteral("M");
    return QString::number(h) + QStringLiteral("H");
}

} // namespace

// ---- ScreenTimeTotal --------------------------------------------------------------------------

View ScreenTimeTotal::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    const qint64 t = data.totalMinutes;
    const qint64 b = data.budgetMinutes;
    const qint64 over = t - b;
    // The budget is at least a minute as the provider reads it; a snapshot made otherwise must
    // still not divide by zero.
    const double whole = double(std::max<qint64>({t, b, 1}));

    const View status =
        over > 0 ? Caption{hm(over) + QStringLiteral(" over limit"), 9, 0, pal.alert, ctx}
                 : Caption{hm(std::max<qint64>(0, b - t)) + QStringLiteral(" left today"), 9, 0, pal.inkDim, ctx};

    return VStack(HAlign::leading, 0,
                  {Caption{QStringLiteral("Screen time"), 9, 0.16, pal.inkDim, ctx},
                   // The outer one-line limit sits around the padding so that numeralFit's own
                   // shrink factor, the inner setting, is the one the text keeps.
                   numeralFit(Text(hm(t)).font(ctx.numerals(38, Weight::black)).foregroundColor(pal.ink))
                       .padding(Edge::top, 10 * u)
                       .lineLimit(1)
                       .minimumScaleFactor(0.7),
                   Spacer(0),
                   DotBar{double(std::min(t, b)) / whole, double(std::max<qint64>(0, over)) / whole, 8, 6.7, pal.track,
                          pal.fill, pal.alert, u}
                       .body()
                       .padding(Edge::bottom, 8 * u),
                   status})
        .padding(20 * u)
        .frame(Frame::maxInfinity(Alignment::topLeading));
}

// ---- ScreenTimeElapsed ------------------------------------------------------------------------

View ScreenTimeElapsed::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    const double share = double(data.totalMinutes) / double(data.budgetMinutes);
    // No budget to burn counts as all of it burned; the grid never shows more than its dots.
    const double ratio = std::isnan(share) ? 1.0 : std::clamp(share, 0.0, 1.0);
    const qint64 percent = std::llround(ratio * 100);
    const int lit = int(std::llround(ratio * 70));

    return VStack(HAlign::leading, 0,
                  {HStack(VAlign::firstTextBaseline, std::nullopt,
                          {Caption{QStringLiteral("Elapsed"), 9, 0.14, pal.inkDim, ctx}, Spacer(),
                           numeralFit(Text(QString::number(percent) + QStringLiteral("%"))
                                          .font(ctx.numerals(18, Weight::black))
                                          .foregroundColor(pal.ink))}),
                   DotGrid{10, 7, lit, 4.4, pal.track, pal.fill, std::nullopt, Color::clear(), u}.body().padding(
                       Edge::top, 12 * u),
                   Caption{QStringLiteral("Of ") + hm(data.budgetMinutes) + QStringLiteral(" daily budget"), 9, 0,
                           pal.inkDim, ctx}
                       .body()
                       .padding(Edge::top, 10 * u)})
        .padding(20 * u)
        .frame(Frame::maxInfinity(Alignment::topLeading));
}

// ---- ScreenTimeApps ---------------------------------------------------------------------------

View ScreenTimeApps::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    // Against the most used of all apps, not only the three shown. When every app has less
    // than a whole minute there is no scale, and every bar is drawn empty.
    qint64 scale = 1;
    for (const UsageSnapshot::App& app : data.apps)
        scale = std::max(scale, app.minutes);

    Views rows;
    for (size_t i = 0; i < data.apps.size() && i < 3; ++i) {
        const UsageSnapshot::App& app = data.apps[i];
        rows.push_back(
            HStack(VAlign::center, 14 * u,
                   {Caption{app.name, 10, 0.08, app.isFlagged ? pal.alert : pal.ink, ctx}.body().frame(
                        70 * u, std::nullopt, Alignment::leading),
                    DotBar{double(app.minutes) / double(scale) * 0.74, 0, 8, 6.7, pal.track,
                           app.isFlagged ? pal.alert : pal.fill, Color::clear(), u},
                    Caption{hm(app.minutes), 10, 0, app.isFlagged ? pal.alert : pal.inkDim, ctx}.body().frame(
                        44 * u, std::nullopt, Alignment::trailing)}));
    }
    return VStack(HAlign::center, 12 * u, std::move(rows))
        .padding(Edge::horizontal, 26 * u)
        .frame(Frame::maxInfinity());
}

// ---- ScreenTimeWeekly -------------------------------------------------------------------------

View ScreenTimeWeekly::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    const qint64 sum = std::accumulate(data.week.begin(), data.week.end(), qint64(0),
                                       [](qint64 acc, const UsageSnapshot::Day& d) { return acc + d.minutes; });
    const qint64 average = data.week.empty() ? 0 : sum / qint64(data.week.size());
    // A week of days under a minute each has no scale: its bars stay at the one-row floor.
    qint64 peak = 1;
    for (const UsageSnapshot::Day& day : data.week)
        peak = std::max(peak, day.minutes);

    std::vector<DotBarChart::Bar> bars;
    bars.reserve(data.week.size());
    for (const UsageSnapshot::Day& day : data.week) {
        const double value = double(day.minutes) / double(peak);
        if (day.isToday)
            bars.emplace_back(value, pal.accent, day.label, pal.accent);
        else
            bars.emplace_back(value, day.isPeak ? pal.fill : kChartGrey, day.label);
    }

    return VStack(
               HAlign::center, 0,
               {HStack(VAlign::firstTextBaseline, std::nullopt,
                       {Caption{QStringLiteral("Daily average"), 10, 0.14, pal.inkDim, ctx}, Spacer(),
                        numeralFit(Text(hm(average)).font(ctx.numerals(20, Weight::heavy)).foregroundColor(pal.ink))}),
                Spacer(0),
                DotBarChart{std::move(bars), 30, 56, 8, 6.4, pal.track, chartLabelFont(ctx), pal.inkFaint, u}})
        .padding(EdgeInsets{20 * u, 26 * u, 16 * u, 26 * u})
        .frame(Frame::maxInfinity());
}

} // namespace velk
