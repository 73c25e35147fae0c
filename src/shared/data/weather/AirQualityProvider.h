#pragma once
// The current US air-quality index of a place, cached for the whole system for 30 minutes.
// Service address: VELK_AIR_QUALITY_URL (see platform/core/HttpLoader.h). Blocks the calling
// thread while it fetches.
#include "shared/data/weather/WeatherProvider.h"
#include "shared/models/SkyRecords.h"

#include <QByteArray>
#include <optional>

namespace velk {

namespace AirQualityProvider {

inline constexpr const char* kCacheKey = "velk.aq.cache.v1";
inline constexpr double kFreshSeconds = 1800;

// The stored reading: the snapshot's members plus the place it was read for (the weather
// cache's place key), so it never stands in for another place.
struct Cache {
    qint64 aqi = 0;
    Date updated;
    QString placeKey;
    VELK_FIELDS(Cache, aqi, updated, placeKey)
};

// The place's fresh cached reading, else a new reading (stored), else the place's cached
// reading of any age, else nothing. A reading cached for another place counts as absent.
std::optional<AirQualitySnapshot> snapshot(const WeatherProvider::Place& place);
// The index of an air-quality answer; nothing when the body holds none.
// The US index runs 0 to 500, and readings past the scale are reported up to 999; anything
// else in an answer is no reading.
inline constexpr qint64 kMaxIndex = 999;
std::optional<qint64> parseIndex(const QByteArray& body);

// Used by this file's functions only.
std::optional<AirQualitySnapshot> cached(const WeatherProvider::Place& place);

} // namespace AirQualityProvider

} // namespace velk
