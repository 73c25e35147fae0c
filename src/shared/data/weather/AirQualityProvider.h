#pragma once
// The current US air-quality index of a place, cached for the whole system for 30 minutes.
// Service address: VELK_AIR_QUALITY_URL (see platform/core/HttpLoader.h). Blocks the calling
// thread while it fetches.
#include "shared/data/weather/WeatherProvider.h"
#include "shared/models/SkyRecords.h"

#include <QByteArray>
#include <optional>

namespace velk {

class AirQualityProvider {
public:
    AirQualityProvider() = delete;

    static constexpr const char* kCacheKey = "velk.aq.cache.v1";
    static constexpr double kFreshSeconds = 1800;

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
    static std::optional<AirQualitySnapshot> snapshot(const WeatherProvider::Place& place);
    // The index of an air-quality answer; nothing when the body holds none.
    static std::optional<qint64> parseIndex(const QByteArray& body);

private:
    static std::optional<AirQualitySnapshot> cached(const WeatherProvider::Place& place);
};

} // namespace velk
