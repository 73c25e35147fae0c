#pragma once
// The configurations of the countdown, ticker, watchlist and clock widgets: what the user set
// in the widget editor, with the defaults a newly placed widget starts from.
#include "platform/core/Date.h"
#include "platform/core/TimeZone.h"
#include "platform/intents/Intent.h"
#include "shared/data/config/TimeZoneEntity.h"
#include "shared/widget/OptionEnums.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace velk {

struct CountdownConfigIntent {
    static constexpr const char* typeName = "CountdownConfigIntent";
    static constexpr const char* title = "Countdown Options";

    QString name = QStringLiteral("Launch");
    std::optional<Date> target;
    SurfaceOption surface = SurfaceOption::followApp;

    static auto parameters()
    {
        return std::make_tuple(intents::parameter("name", "Title", &CountdownConfigIntent::name),
                               intents::parameter("target", "Date", &CountdownConfigIntent::target),
                               intents::parameter("surface", "Background", &CountdownConfigIntent::surface));
    }
    friend bool operator==(const CountdownConfigIntent&, const CountdownConfigIntent&) = default;
};

struct StockConfigIntent {
    static constexpr const char* typeName = "StockConfigIntent";
    static constexpr const char* title = "Ticker Options";

    QString symbol = QStringLiteral("AAPL");
    SurfaceOption surface = SurfaceOption::followApp;

    static auto parameters()
    {
        return std::make_tuple(intents::parameter("symbol", "Symbol", &StockConfigIntent::symbol),
                               intents::parameter("surface", "Background", &StockConfigIntent::surface));
    }
    friend bool operator==(const StockConfigIntent&, const StockConfigIntent&) = default;
};

struct WatchlistConfigIntent {
    static constexpr const char* typeName = "WatchlistConfigIntent";
    static constexpr const char* title = "Watchlist Options";

    QString symbol1 = QStringLiteral("AAPL");
    QString symbol2 = QStringLiteral("MSFT");
    QString symbol3 = QStringLiteral("NVDA");
    SurfaceOption surface = SurfaceOption::followApp;

    static auto parameters()
    {
        return std::make_tuple(intents::parameter("symbol1", "Symbol 1", &WatchlistConfigIntent::symbol1),
                               intents::parameter("symbol2", "Symbol 2", &WatchlistConfigIntent::symbol2),
                               intents::parameter("symbol3", "Symbol 3", &WatchlistConfigIntent::symbol3),
                               intents::parameter("surface", "Background", &WatchlistConfigIntent::surface));
    }

    // The symbols to fetch, in field order: each trimmed of spaces and tabs (not line breaks)
    // and upper-cased; empty ones left out, repeats kept.
    QStringList symbols() const;

    friend bool operator==(const WatchlistConfigIntent&, const WatchlistConfigIntent&) = default;
};

struct ClockConfigIntent {
    static constexpr const char* typeName = "ClockConfigIntent";
    static constexpr const char* title = "Clock Options";

    std::optional<TimeZoneEntity> city;
    SurfaceOption surface = SurfaceOption::followApp;

    static auto parameters()
    {
        return std::make_tuple(intents::parameter("city", "City", &ClockConfigIntent::city),
                               intents::parameter("surface", "Background", &ClockConfigIntent::surface));
    }

    // The city's zone; the current zone when no city is set or its zone is unknown.
    TimeZone timeZone() const;

    friend bool operator==(const ClockConfigIntent&, const ClockConfigIntent&) = default;
};

struct WorldClockConfigIntent {
    static constexpr const char* typeName = "WorldClockConfigIntent";
    static constexpr const char* title = "World Clock Options";

    std::optional<TimeZoneEntity> city1;
    std::optional<TimeZoneEntity> city2;
    std::optional<TimeZoneEntity> city3;
    SurfaceOption surface = SurfaceOption::followApp;

    static auto parameters()
    {
        return std::make_tuple(intents::parameter("city1", "City 1", &WorldClockConfigIntent::city1),
                               intents::parameter("city2", "City 2", &WorldClockConfigIntent::city2),
                               intents::parameter("city3", "City 3", &WorldClockConfigIntent::city3),
                               intents::parameter("surface", "Background", &WorldClockConfigIntent::surface));
    }

    // Always three zones: each city's zone, or for an unset city the current zone, New York
    // and Tokyo; a city whose zone is unknown gives the current zone.
    std::array<TimeZone, 3> zones() const;

    friend bool operator==(const WorldClockConfigIntent&, const WorldClockConfigIntent&) = default;
};

// The dual-time widget resolves its two cities itself, with defaults of its own.
struct DualClockConfigIntent {
    static constexpr const char* typeName = "DualClockConfigIntent";
    static constexpr const char* title = "Dual Time Options";

    std::optional<TimeZoneEntity> home;
    std::optional<TimeZoneEntity> away;
    SurfaceOption surface = SurfaceOption::followApp;

    static auto parameters()
    {
        return std::make_tuple(intents::parameter("home", "Home", &DualClockConfigIntent::home),
                               intents::parameter("away", "Away", &DualClockConfigIntent::away),
                               intents::parameter("surface", "Background", &DualClockConfigIntent::surface));
    }
    friend bool operator==(const DualClockConfigIntent&, const DualClockConfigIntent&) = default;
};

} // namespace velk
