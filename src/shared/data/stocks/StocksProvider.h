#pragma once
// One quote per ticker symbol: price, change against the previous close and up to eight points
// of the day's chart, each symbol cached in the shared suite for 15 minutes. Service address:
// VELK_CHART_URL (see platform/core/HttpLoader.h). Blocks the calling thread while it fetches.
#include "platform/core/Date.h"
#include "platform/core/Locale.h"
#include "platform/core/TimeZone.h"
#include "shared/models/MediaRecords.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace velk {

namespace StocksProvider {

inline constexpr const char* kCacheKeyPrefix = "velk.stock.cache.";
inline constexpr double kFreshSeconds = 900;

// Upper case first, then trimmed of spaces and tabs at both ends (line breaks stay).
QString normalizedSymbol(const QString& symbol);

// The symbol's fresh cached quote, else a new quote (stored), else the cached quote of any
// age, else nothing.
std::optional<StockSnapshot> snapshot(const QString& symbol);
// One request to the chart service; nothing (with the reason in *error) on a failure.
std::optional<StockSnapshot> fetch(const QString& symbol, QString* error = nullptr);
// The quote that a chart answer gives, or nothing when it has no first result or no price.
// Captions are hours in the zone and locale given ("9AM").
std::optional<StockSnapshot> parseChart(const QByteArray& body, const QString& symbol, Date now, const TimeZone& zone,
                                        const Locale& locale);

// Used by this file's functions only.
std::optional<StockSnapshot> cached(const QString& symbol);

} // namespace StocksProvider

} // namespace velk
