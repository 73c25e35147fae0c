#include "shared/data/stocks/StocksProvider.h"

#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "platform/core/HttpLoader.h"
#include "platform/core/Log.h"

#include <unicode/smpdtfmt.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace velk {

namespace {

// An array of numbers in which some entries may be null.
struct NullableNumbers {
    std::vector<std::optional<double>> values;
};

} // namespace
} // namespace velk

namespace velk::coding {
template <>
struct ValueCoder<velk::NullableNumbers> {
    static bool encode(const velk::NullableNumbers& v, QJsonValue& out)
    {
        QJsonArray a;
        for (const auto& e : v.values)
            a.append(e ? QJsonValue(*e) : QJsonValue());
        out = a;
        return true;
    }
    static bool decode(const QJsonValue& in, velk::NullableNumbers& out)
    {
        if (!in.isArray()) return false;
        const QJsonArray a = in.toArray();
        out.values.clear();
        out.values.reserve(size_t(a.size()));
        for (const QJsonValue& e : a) {
            if (e.isNull()) {
                out.values.push_back(std::nullopt);
            } else if (e.isDouble()) {
                out.values.push_back(e.toDouble());
            } else {
                return false;
            }
        }
        return true;
    }
};
} // namespace velk::coding

namespace velk {

namespace {

struct ApiQuote {
    std::optional<NullableNumbers> close;
    VELK_FIELDS(ApiQuote, close)
};

struct ApiIndicators {
    std::vector<ApiQuote> quote;
    VELK_FIELDS(ApiIndicators, quote)
};

struct ApiMeta {
    std::optional<double> regularMarketPrice;
    std::optional<double> chartPreviousClose;
    VELK_FIELDS(ApiMeta, regularMarketPrice, chartPreviousClose)
};

struct ApiResult {
    ApiMeta meta;
    std::optional<std::vector<qint64>> timestamp;
    ApiIndicators indicators;
    VELK_FIELDS(ApiResult, meta, timestamp, indicators)
};

struct ApiChart {
    std::optional<std::vector<ApiResult>> result;
    VELK_FIELDS(ApiChart, result)
};

struct Api {
    ApiChart chart;
    VELK_FIELDS(Api, chart)
};

// A price the service could mean: finite and within what any listed share has cost. Anything
// else (1e308, inf) is taken as absent.
constexpr double kMaxPrice = 1e9;
std::optional<double> plausiblePrice(std::optional<double> value)
{
    if (value && std::isfinite(*value) && std::abs(*value) <= kMaxPrice) return value;
    return std::nullopt;
}

bool isInlineSpace(QChar c)
{
    return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space;
}

} // namespace

QString StocksProvider::normalizedSymbol(const QString& symbol)
{
    const QString upper = symbol.toUpper();
    qsizetype from = 0;
    qsizetype to = upper.size();
    while (from < to && isInlineSpace(upper[from]))
        ++from;
    while (to > from && isInlineSpace(upper[to - 1]))
        --to;
    return upper.mid(from, to - from);
}

std::optional<StockSnapshot> StocksProvider::parseChart(const QByteArray& body, const QString& symbol, Date now,
                                                        const TimeZone& zone, const Locale& locale)
{
    const auto api = decodeJson<Api>(body);
    if (!api || !api->chart.result || api->chart.result->empty()) return std::nullopt;
    const ApiResult& result = api->chart.result->front();
    const std::optional<double> quoted = plausiblePrice(result.meta.regularMarketPrice);
    if (!quoted) {
        if (result.meta.regularMarketPrice)
            qCDebug(lcWeb) << "stocks:" << symbol << "price" << *result.meta.regularMarketPrice << "is out of range";
        return std::nullopt;
    }
    const double price = *quoted;

    std::vector<std::optional<double>> rawCloses;
    if (!result.indicators.quote.empty() && result.indicators.quote.front().close)
        rawCloses = result.indicators.quote.front().close->values;
    const std::vector<qint64> rawTimes = result.timestamp.value_or(std::vector<qint64>{});

    // When both lists pair up one to one, a null close takes its timestamp with it, so every
    // caption stays under its own point. Lists of different lengths cannot be paired; their
    // closes are filtered alone.
    const bool paired = rawCloses.size() == rawTimes.size();
    std::vector<double> closes;
    std::vector<qint64> times;
    for (size_t i = 0; i < rawCloses.size(); ++i) {
        if (!plausiblePrice(rawCloses[i])) continue; // null or out of range: no point
        closes.push_back(*rawCloses[i]);
        if (paired) times.push_back(rawTimes[i]);
    }
    if (!paired) times = rawTimes;

    const std::optional<double> previousClose = plausiblePrice(result.meta.chartPreviousClose);
    const double previous = previousClose ? *previousClose : !closes.empty() ? closes.front() : price;

    UErrorCode status = U_ZERO_ERROR;
    icu::SimpleDateFormat caption(icu::UnicodeString("ha", -1, US_INV), locale.icuLocale(), status);
    const bool canCaption = U_SUCCESS(status);
    if (canCaption) caption.setTimeZone(zone.icuZone());

    StockSnapshot s;
    s.symbol = symbol;
    s.price = price;
    // A change from a previous close next to nothing would be a number without meaning (or
    // inf): taken as no change, as when there is no previous close.
    const double change = previous > 0 ? (price - previous) / previous * 100 : 0;
    s.changePercent = std::isfinite(change) && std::abs(change) <= 1e6 ? change : 0;
    s.updated = now;
    const size_t n = closes.size();
    const size_t step = std::max(n, size_t(8)) / 8;
    for (size_t i = 0, k = 0; i < n && k < 8; i += step, ++k) {
        StockSnapshot::Point point{closes[i], std::nullopt};
        if (k % 2 == 0 && i < times.size() && canCaption) {
            icu::UnicodeString text;
            caption.format(double(times[i]) * 1000.0, text);
            point.label = icutext::fromIcu(text).toUpper();
        }
        s.points.push_back(point);
    }
    return s;
}

std::optional<StockSnapshot> StocksProvider::fetch(const QString& symbol, QString* error)
{
    const auto fail = [&](const QString& why) -> std::optional<StockSnapshot> {
        if (error) *error = why;
        qCDebug(lcWeb) << "quote failed:" << why;
        return std::nullopt;
    };
    const QUrl base = HttpLoader::serviceBase("VELK_CHART_URL", QStringLiteral("https://query1.finance.yahoo.com"));
    const auto url =
        HttpLoader::buildUrl(base, QStringLiteral("/v8/finance/chart/") + HttpLoader::encodeComponent(symbol),
                             {{QStringLiteral("range"), QStringLiteral("1d")},
                              {QStringLiteral("interval"), QStringLiteral("30m")},
                              {QStringLiteral("includePrePost"), QStringLiteral("false")}});
    if (!url) return fail(QStringLiteral("no chart address for this symbol"));
    const HttpResult result = HttpLoader::get(*url, {{"User-Agent", "Mozilla/5.0"}});
    if (!result.ok()) return fail(result.errorText);
    auto quote = parseChart(result.body, symbol, Clock::now(), TimeZone::current(), Locale::current());
    if (!quote) return fail(QStringLiteral("no quote in the answer (HTTP %1)").arg(result.status));
    return quote;
}

std::optional<StockSnapshot> StocksProvider::cached(const QString& symbol)
{
    const auto bytes = Defaults::shared().data(QLatin1String(kCacheKeyPrefix) + symbol);
    if (!bytes) return std::nullopt;
    return decodeJson<StockSnapshot>(*bytes);
}

std::optional<StockSnapshot> StocksProvider::snapshot(const QString& symbol)
{
    const QString normalized = normalizedSymbol(symbol);
    if (const auto hit = cached(normalized); hit && Clock::now().secondsSince(hit->updated) < kFreshSeconds) return hit;
    if (auto fresh = fetch(normalized)) {
        if (const auto bytes = encodeJson(*fresh))
            Defaults::shared().setData(QLatin1String(kCacheKeyPrefix) + normalized, *bytes);
        return fresh;
    }
    return cached(normalized);
}

} // namespace velk
