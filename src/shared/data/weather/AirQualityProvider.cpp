#include "shared/data/weather/AirQualityProvider.h"

#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "platform/core/DoubleText.h"
#include "platform/core/HttpLoader.h"
#include "platform/core/Log.h"

namespace velk {

namespace {

struct ApiCurrent {
    std::optional<qint64> us_aqi;
    VELK_FIELDS(ApiCurrent, us_aqi)
};

struct ApiResponse {
    ApiCurrent current;
    VELK_FIELDS(ApiResponse, current)
};

} // namespace

std::optional<qint64> AirQualityProvider::parseIndex(const QByteArray& body)
{
    const auto api = decodeJson<ApiResponse>(body);
    if (!api) return std::nullopt;
    const std::optional<qint64> index = api->current.us_aqi;
    if (index && (*index < 0 || *index > kMaxIndex)) {
        qCDebug(lcWeb) << "air quality: index" << *index << "is out of range; taken as no reading";
        return std::nullopt;
    }
    return index;
}

std::optional<AirQualitySnapshot> AirQualityProvider::cached(const WeatherProvider::Place& place)
{
    const auto key = WeatherProvider::cacheSuffix(place);
    if (!key) return std::nullopt;
    const auto bytes = Defaults::shared().data(QLatin1String(kCacheKey));
    if (!bytes) return std::nullopt;
    // A reading without a place key, or for another place, is not this place's reading.
    const auto cache = decodeJson<Cache>(*bytes);
    if (!cache || cache->placeKey != *key) return std::nullopt;
    return AirQualitySnapshot{cache->aqi, cache->updated};
}

std::optional<AirQualitySnapshot> AirQualityProvider::snapshot(const WeatherProvider::Place& place)
{
    const auto key = WeatherProvider::cacheSuffix(place);
    if (!key) return std::nullopt; // no coordinates to ask for
    if (const auto hit = AirQualityProvider::cached(place);
        hit && Clock::now().secondsSince(hit->updated) < kFreshSeconds)
        return hit;

    const QUrl base =
        HttpLoader::serviceBase("VELK_AIR_QUALITY_URL", QStringLiteral("https://air-quality-api.open-meteo.com"));
    const auto url = HttpLoader::buildUrl(base, QStringLiteral("/v1/air-quality"),
                                          {{QStringLiteral("latitude"), shortestDoubleText(place.latitude)},
                                           {QStringLiteral("longitude"), shortestDoubleText(place.longitude)},
                                           {QStringLiteral("current"), QStringLiteral("us_aqi")}});
    if (!url) return AirQualityProvider::cached(place);
    const HttpResult result = HttpLoader::get(*url);
    if (!result.ok()) {
        qCDebug(lcWeb) << "air quality failed:" << result.errorText;
        return AirQualityProvider::cached(place);
    }
    const auto index = parseIndex(result.body);
    if (!index) {
        qCDebug(lcWeb) << "air quality: no index in the answer (HTTP" << result.status << ")";
        return AirQualityProvider::cached(place);
    }
    const AirQualitySnapshot reading{*index, Clock::now()};
    if (const auto bytes = encodeJson(Cache{reading.aqi, reading.updated, *key}))
        Defaults::shared().setData(QLatin1String(kCacheKey), *bytes);
    return reading;
}

} // namespace velk
