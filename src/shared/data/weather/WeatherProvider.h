#pragma once
// Weather for a place: the place record, the per-place forecast cache in the shared suite, the
// forecast fetch and its parsing, the place search and the default place.
//
// The calls that reach the network block the calling thread (widget providers and entity
// queries run on worker threads). Service addresses: VELK_FORECAST_URL and VELK_GEOCODING_URL
// (see platform/core/HttpLoader.h).
#include "platform/core/Coding.h"
#include "platform/core/Date.h"
#include "platform/core/Locale.h"
#include "platform/core/TimeZone.h"
#include "shared/models/WeatherRecords.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>
#include <vector>

namespace velk {

namespace WeatherProvider {

struct Place {
    QString name;
    double latitude = 0;  // degrees north, -90...90
    double longitude = 0; // degrees east, -180...180

    VELK_FIELDS(Place, name, latitude, longitude)
    friend bool operator==(const Place&, const Place&) = default;

    // Finite coordinates within their geographic ranges.
    bool hasValidCoordinates() const;
};

struct Cache {
    QString placeKey;
    WeatherSnapshot snapshot;

    VELK_FIELDS(Cache, placeKey, snapshot)
};

// What the forecast parser needs from the surroundings; forecastEnvironment() reads them
// from the process (current zone, locale and hour style).
struct ForecastEnvironment {
    Date now;
    TimeZone deviceZone;
    Locale locale;
    bool uses24Hour = true;
};

// --- cache -------------------------------------------------------------------------------
inline constexpr const char* kCacheKeyPrefix = "velk.weather.cache.v1";
inline constexpr double kFreshSeconds = 1500;

// Latitude and longitude times 100, truncated toward zero: "150,-12". Nothing for a place
// whose coordinates are not finite or out of range, so such a place is never cached.
std::optional<QString> cacheSuffix(const Place& place);
// The place's cached snapshot of any age, or nothing.
std::optional<WeatherSnapshot> cached(const Place& place);

// --- forecast ----------------------------------------------------------------------------
// The fresh cache, else a new forecast (stored), else the cache of any age, else nothing.
std::optional<WeatherSnapshot> snapshot(const Place& place);
// One request to the forecast service; nothing (with the reason in *error) on a transport
// or decoding failure.
std::optional<WeatherSnapshot> fetch(const Place& place, QString* error = nullptr);
// The snapshot that a forecast answer gives for the place, or nothing when the body is not
// a forecast document.
std::optional<WeatherSnapshot> parseForecast(const QByteArray& body, const Place& place,
                                             const ForecastEnvironment& env);
ForecastEnvironment forecastEnvironment();
QString conditionText(qint64 code, bool isDay);

// --- place search ------------------------------------------------------------------------
// Up to eight matches of a typed place name; nothing (with the reason) on a failure.
inline constexpr int kMaxPlaces = 8;
std::optional<std::vector<Place>> searchPlaces(const QString& query, QString* error = nullptr);
// The first kMaxPlaces results, however many the answer holds.
std::optional<std::vector<Place>> parsePlaces(const QByteArray& body);

// --- the user's places -------------------------------------------------------------------
inline constexpr const char* kMyLocationKey = "velk.weather.mylocation.v1";
inline constexpr const char* kDefaultPlaceKey = "velk.weather.defaultplace.v1";
const Place& londonPlace(); // {London, 51.5072, -0.1276}

// The place the app measured last, of any age.
std::optional<Place> myLocation();
// The measured place, else the stored default, else the current zone's city; for a zone
// not in the table, London until a background search has stored the zone's city.
Place defaultPlace();
// The coordinates of a zone's main city, for 23 zones.
std::optional<std::pair<double, double>> timeZoneCoords(const QString& zoneId);
// Waits for the background searches that defaultPlace() started (tests, shutdown).
void waitForBackgroundSearches();

// Used by this file's functions only.
void store(const WeatherSnapshot& snapshot, const Place& place);

} // namespace WeatherProvider

size_t qHash(const WeatherProvider::Place& place, size_t seed = 0);

} // namespace velk
