#include "platform/core/Defaults.h"
#include "shared/data/weather/WeatherProvider.h"

#include <cmath>

namespace velk {

bool WeatherProvider::Place::hasValidCoordinates() const
{
    return std::isfinite(latitude) && std::isfinite(longitude) && std::fabs(latitude) <= 90 &&
           std::fabs(longitude) <= 180;
}

size_t qHash(const WeatherProvider::Place& place, size_t seed)
{
    // Equal doubles hash alike (0.0 and -0.0 included).
    const double lat = place.latitude == 0 ? 0.0 : place.latitude;
    const double lon = place.longitude == 0 ? 0.0 : place.longitude;
    return qHashMulti(seed, place.name, lat, lon);
}

std::optional<QString> WeatherProvider::cacheSuffix(const Place& place)
{
    if (!place.hasValidCoordinates()) return std::nullopt;
    // Truncated as computed in doubles: 0.29 * 100 is 28.999..., so 28.
    const auto half = [](double degrees) { return QString::number(qint64(std::trunc(degrees * 100))); };
    return half(place.latitude) + QLatin1Char(',') + half(place.longitude);
}

std::optional<WeatherSnapshot> WeatherProvider::cached(const Place& place)
{
    const auto suffix = cacheSuffix(place);
    if (!suffix) return std::nullopt;
    const auto bytes = Defaults::shared().data(QLatin1String(kCacheKeyPrefix) + *suffix);
    if (!bytes) return std::nullopt;
    const auto cache = decodeJson<Cache>(*bytes);
    if (!cache || cache->placeKey != *suffix) return std::nullopt;
    return cache->snapshot;
}

void WeatherProvider::store(const WeatherSnapshot& snapshot, const Place& place)
{
    const auto suffix = cacheSuffix(place);
    if (!suffix) return;
    const auto bytes = encodeJson(Cache{*suffix, snapshot});
    if (!bytes) return;
    Defaults::shared().setData(QLatin1String(kCacheKeyPrefix) + *suffix, *bytes);
}

} // namespace velk
