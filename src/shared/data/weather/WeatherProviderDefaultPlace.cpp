#include "platform/core/Defaults.h"
#include "platform/core/Log.h"
#include "platform/core/TimeZone.h"
#include "shared/data/config/TimeZoneEntity.h"
#include "shared/data/weather/WeatherProvider.h"

#include <QScopeGuard>
#include <QSet>
#include <QThreadPool>

#include <map>
#include <mutex>

namespace velk {

namespace {

std::optional<WeatherProvider::Place> storedPlace(const char* key)
{
    const auto bytes = Defaults::shared().data(QLatin1String(key));
    if (!bytes) return std::nullopt;
    auto place = decodeJson<WeatherProvider::Place>(*bytes);
    if (!place || !place->hasValidCoordinates()) return std::nullopt;
    return place;
}

// One search now and then: its thread ends with it rather than idling for half a minute.
QThreadPool& backgroundSearches()
{
    static QThreadPool pool;
    pool.setExpiryTimeout(0);
    return pool;
}

// The cities being looked up now: every weather widget of a reload wave asks at once, and one
// search answers them all.
struct Running {
    std::mutex lock;
    QSet<QString> cities;
};
Running& running()
{
    static Running r;
    return r;
}

} // namespace

const WeatherProvider::Place& WeatherProvider::londonPlace()
{
    static const Place london{QStringLiteral("London"), 51.5072, -0.1276};
    return london;
}

std::optional<std::pair<double, double>> WeatherProvider::timeZoneCoords(const QString& zoneId)
{
    static const std::map<QString, std::pair<double, double>> table = {
        {QStringLiteral("America/Los_Angeles"), {34.0522, -118.2437}},
        {QStringLiteral("America/Denver"), {39.7392, -104.9903}},
        {QStringLiteral("America/Phoenix"), {33.4484, -112.074}},
        {QStringLiteral("America/Chicago"), {41.8781, -87.6298}},
        {QStringLiteral("America/New_York"), {40.7128, -74.006}},
        {QStringLiteral("America/Toronto"), {43.6532, -79.3832}},
        {QStringLiteral("America/Vancouver"), {49.2827, -123.1207}},
        {QStringLiteral("America/Mexico_City"), {19.4326, -99.1332}},
        {QStringLiteral("America/Sao_Paulo"), {-23.5505, -46.6333}},
        {QStringLiteral("Europe/London"), {51.5072, -0.1276}},
        {QStringLiteral("Europe/Paris"), {48.8566, 2.3522}},
        {QStringLiteral("Europe/Berlin"), {52.52, 13.405}},
        {QStringLiteral("Europe/Madrid"), {40.4168, -3.7038}},
        {QStringLiteral("Europe/Rome"), {41.9028, 12.4964}},
        {QStringLiteral("Europe/Amsterdam"), {52.3676, 4.9041}},
        {QStringLiteral("Asia/Tokyo"), {35.6762, 139.6503}},
        {QStringLiteral("Asia/Shanghai"), {31.2304, 121.4737}},
        {QStringLiteral("Asia/Hong_Kong"), {22.3193, 114.1694}},
        {QStringLiteral("Asia/Singapore"), {1.3521, 103.8198}},
        {QStringLiteral("Asia/Dubai"), {25.2048, 55.2708}},
        {QStringLiteral("Asia/Kolkata"), {28.6139, 77.209}},
        {QStringLiteral("Australia/Sydney"), {-33.8688, 151.2093}},
        {QStringLiteral("Pacific/Auckland"), {-36.8509, 174.7645}},
    };
    const auto it = table.find(zoneId);
    if (it == table.end()) return std::nullopt;
    return it->second;
}

std::optional<WeatherProvider::Place> WeatherProvider::myLocation()
{
    return storedPlace(kMyLocationKey);
}

WeatherProvider::Place WeatherProvider::defaultPlace()
{
    if (auto here = myLocation()) return *here;
    if (auto stored = storedPlace(kDefaultPlaceKey)) return *stored;

    const QString zoneId = TimeZone::current().identifier();
    const QString city = cityName(zoneId);
    if (const auto coords = timeZoneCoords(zoneId)) return {city, coords->first, coords->second};

    // Look the zone's city up in the background for later calls. Until then the weather is
    // London's, so it carries London's name: the zone's city name on London's weather would
    // be wrong, and London's cache would keep that wrong name.
    {
        Running& r = running();
        const std::lock_guard hold(r.lock);
        if (r.cities.contains(city)) return londonPlace();
        r.cities.insert(city);
    }
    backgroundSearches().start([city] {
        const auto done = qScopeGuard([&city] {
            Running& r = running();
            const std::lock_guard hold(r.lock);
            r.cities.remove(city);
        });
        const auto places = searchPlaces(city);
        if (!places || places->empty() || !places->front().hasValidCoordinates()) return;
        const auto bytes = encodeJson(places->front());
        if (!bytes) return;
        Defaults::shared().setData(QLatin1String(kDefaultPlaceKey), *bytes);
        qCDebug(lcWeb) << "default place stored:" << places->front().name;
    });
    return londonPlace();
}

void WeatherProvider::waitForBackgroundSearches()
{
    backgroundSearches().waitForDone();
}

} // namespace velk
