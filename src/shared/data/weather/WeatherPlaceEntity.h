#pragma once
// A place the user picks for a weather-based widget. Its identifier packs the place as
// "name|latitude|longitude" with the numbers in round-trip form ("Denver, US|39.7392|-104.9903"),
// so a stored configuration gives back exactly the place that was picked.
#include "platform/intents/AppEntity.h"
#include "shared/data/weather/WeatherProvider.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace velk {

struct WeatherPlaceQuery;

struct WeatherPlaceEntity {
    static constexpr const char* typeDisplayName = "Place";
    using Query = WeatherPlaceQuery;

    QString id;

    static WeatherPlaceEntity of(const WeatherProvider::Place& place);
    // The packed place; an identifier that is not a name and two finite coordinates within
    // range gives London.
    WeatherProvider::Place place() const;
    QString displayTitle() const { return place().name; }

    friend bool operator==(const WeatherPlaceEntity&, const WeatherPlaceEntity&) = default;
};

// Queries block while they search (the host runs them on worker threads).
struct WeatherPlaceQuery {
    // One entity per identifier, in order, unchecked.
    std::vector<WeatherPlaceEntity> entitiesFor(const QStringList& identifiers) const;
    // The place search's matches; none when the search fails.
    std::vector<WeatherPlaceEntity> entitiesMatching(const QString& text) const;
    // The default place, alone.
    std::vector<WeatherPlaceEntity> suggestedEntities() const;
    std::optional<WeatherPlaceEntity> defaultResult() const;
};

} // namespace velk
