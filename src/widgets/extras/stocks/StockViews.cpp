#include "widgets/extras/stocks/StockViews.h"

#include "platform/core/Clock.h"
#include "shared/look/Captions.h"
#include "shared/look/DotPieces.h"
#include "widgets/extras/system/ExtrasLook.h"

#include <algorithm>
#include <cmath>

namespace velk {

using namespace view;
using extras::drawnShare;

namespace {

Color changeColor(double changePercent, const WidgetPalette& pal)
{
    return changePercent < 0 ? pal.alert : pal.inkDim;
}

// The symbol as the views letter it: upper case, tracked out unless the desktop font is used.
View symbolText(const QString& symbol, qreal size, Color color, const WCtx& ctx)
{
    return numeralFit(Text(symbol.toUpper())
                          .font(ctx.numerals(size, Weight::heavy))
                          .tracking(ctx.resolved.isMacFamily ? 0 : 0.06 * size * ctx.u)
                          .foregroundColor(color));
}

View priceText(double price, qreal size, const WCtx& ctx)
{
    return numeralFit(Text(stockPriceText(price)).font(ctx.numerals(size, Weight::heavy)).foregroundColor(ctx.pal.ink));
}

} // namespace

QString stockChangeText(double changePercent)
{
    const QString sign = changePercent < 0 ? QStringLiteral("\u2212") : QStringLiteral("+");
    return sign + QString::asprintf("%.1f%%", std::fabs(changePercent));
}

QString stockPriceText(double price)
{
    return QString::asprintf("%.2f", price);
}

// ---- StockView --------------------------------------------------------------------------------

std::vector<double> StockView::barValues(const std::vector<StockSnapshot::Point>& points)
{
    double lo = 0, hi = 1;
    if (!points.empty()) {
        const auto [min, max] = std::minmax_element(points.begin(), points.end(),
                                                    [](const auto& a, const auto& b) { return a.value < b.value; });
        lo = min->value;
        hi = max->value;
    }
    const double range = std::max(0.0001, hi - lo);
    std::vector<double> values;
    values.reserve(points.size());
    // A point that is not a number, or a range too wide to divide by, must not reach the
    // chart's dot count.
    for (const auto& p : points)
        values.push_back(drawnShare(0.25 + 0.75 * (p.value - lo) / range));
    return values;
}

View StockView::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;

    const std::vector<double> values = barValues(data.points);
    const size_t n = values.size();
    std::vector<DotBarChart::Bar> bars;
    bars.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        const bool lastTwo = i + 2 >= n;
        const Color color = lastTwo ? (data.changePercent < 0 ? pal.alert : pal.fill)
                                    : (values[i] > 0.62 ? pal.fill : extras::kFixedGrey);
        bars.emplace_back(values[i], color, data.points[i].label.value_or(QString()));
    }

    const View header =
        HStack(VAlign::firstTextBaseline, std::nullopt,
               {symbolText(data.symbol, 17, pal.ink, ctx), Spacer(),
                HStack(VAlign::firstTextBaseline, 8 * u,
                       {priceText(data.price, 17, ctx), Caption{stockChangeText(data.changePercent), 10, 0,
                                                                changeColor(data.changePercent, pal), ctx}})});
    const View chart =
        DotBarChart{std::move(bars), 24, 58, 8, 6.4, pal.track, extras::bodyFont(8.5, ctx), pal.inkFaint, u};
    return VStack(HAlign::center, 0, {header, Spacer(0), chart})
        .padding(EdgeInsets{20 * u, 26 * u, 14 * u, 26 * u})
        .frame(Frame::maxInfinity());
}

// ---- StockWatchlistView -----------------------------------------------------------------------

std::vector<StockSnapshot> StockWatchlistView::sample()
{
    const Date now = Clock::now();
    return std::vector<StockSnapshot>{{QStringLiteral("AAPL"), 243.18, -1.2, {}, now},
                                      {QStringLiteral("MSFT"), 512.44, 0.6, {}, now},
                                      {QStringLiteral("NVDA"), 1187.4, 2.4, {}, now}};
}

double StockWatchlistView::moveFraction(double changePercent)
{
    // Capped at a full row by the guard, which also lights nothing for a change that is not a
    // number (std::min would pass a NaN on as a full row).
    return drawnShare(0.25 * std::fabs(changePercent));
}

View StockWatchlistView::row(const StockSnapshot& stock) const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    const bool down = stock.changePercent < 0;
    return HStack(VAlign::center, 14 * u,
                  {symbolText(stock.symbol, 15, pal.accent, ctx).frame(74 * u, std::nullopt, Alignment::leading),
                   DotBar{moveFraction(stock.changePercent), 0, 8, 6.7, pal.track, down ? pal.alert : pal.fill,
                          Color::clear(), u},
                   VStack(HAlign::trailing, 1 * u,
                          {priceText(stock.price, 14, ctx), Caption{stockChangeText(stock.changePercent), 9, 0,
                                                                    changeColor(stock.changePercent, pal), ctx}})
                       .frame(62 * u, std::nullopt, Alignment::trailing)});
}

View StockWatchlistView::body() const
{
    const qreal u = ctx.u;
    Views rows;
    for (size_t i = 0; i < stocks.size() && i < 3; ++i)
        rows.push_back(row(stocks[i]));
    if (stocks.empty())
        rows.push_back(Caption{QStringLiteral("Pick symbols with Edit Widget"), 11, 0, ctx.pal.inkDim, ctx});
    return VStack(HAlign::center, 13 * u, std::move(rows))
        .padding(EdgeInsets{0, 26 * u, 0, 26 * u})
        .frame(Frame::maxInfinity());
}

} // namespace velk
