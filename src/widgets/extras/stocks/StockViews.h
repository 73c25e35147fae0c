#pragma once
// The ticker's and the watchlist's faces: price and day change, the day's points as a dot chart
// (ticker), and one row per symbol with a bar as long as the day's move (watchlist).
#include "shared/look/WidgetRoot.h"
#include "shared/models/MediaRecords.h"

#include <QString>
#include <vector>

namespace velk {

// The change as both views print it: "+1.2%" or "−1.2%" (a true minus sign), one decimal.
QString stockChangeText(double changePercent);
// Two decimals, no grouping, no currency.
QString stockPriceText(double price);

// Medium: symbol, price and change over the day's chart.
struct StockView {
    StockSnapshot data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    // Each point's bar height as a share of the chart: the day's low at a quarter, its high at
    // the full height.
    static std::vector<double> barValues(const std::vector<StockSnapshot::Point>& points);
};

// Medium: up to three symbols, one row each.
struct StockWatchlistView {
    std::vector<StockSnapshot> stocks;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    // The gallery's three symbols, updated at the clock's now.
    static std::vector<StockSnapshot> sample();
    // How much of a row's bar the day's move lights: all of it from a 4 % move.
    static double moveFraction(double changePercent);

private:
    view::View row(const StockSnapshot& stock) const;
};

} // namespace velk
