#include "shared/data/weather/WeatherPlaceEntity.h"

#include "platform/core/DoubleText.h"

namespace velk {

WeatherPlaceEntity WeatherPlaceEntity::of(const WeatherProvider::Place& place)
{
    return {place.name + QLatin1Char('|') + shortestDoubleText(place.latitude) + QLatin1Char('|') +
            shortestDoubleText(place.longitude)};
}

WeatherProvider::Place WeatherPlaceEntity::place() const
{
    const QStringList pieces = id.split(QLatin1Char('|'), Qt::SkipEmptyParts);
    if (pieces.size() != 3) return WeatherProvider::londonPlace();
    const auto latitude = parseDecimalDouble(pieces[1]);
    const auto longitude = parseDecimalDouble(pieces[2]);
    if (!latitude || !longitude) return WeatherProvider::londonPlace();
    const WeatherProvider::Place place{pieces[0], *latitude, *longitude};
    // Coordinates off the globe would reach the forecast and the cache key as they stand.
    if (!place.hasValidCoordinates()) return WeatherProvider::londonPlace();
    return place;
}

std::vector<WeatherPlaceEntity> WeatherPlaceQuery::entitiesFor(const QStringList& identifiers) const
{
    std::vector<WeatherPlaceEntity> out;
    out.reserve(size_t(identifiers.size()));
    for (const QString& id : identifiers)
        out.push_back({id});
    return out;
}

std::vector<WeatherPlaceEntity> WeatherPlaceQuery::entitiesMatching(const QString& text) const
{
    std::vector<WeatherPlaceEntity> out;
    const auto places = WeatherProvider::searchPlaces(text);
    if (!places) return out;
    for (const auto& place : *places)
        out.push_back(WeatherPlaceEntity::of(place));
    return out;
}

std::vector<WeatherPlaceEntity> WeatherPlaceQuery::suggestedEntities() const
{
    return {WeatherPlaceEntity::of(WeatherProvider::defaultPlace())};
}

std::optional<WeatherPlaceEntity> WeatherPlaceQuery::defaultResult() const
{
    return WeatherPlaceEntity::of(WeatherProvider::defaultPlace());
}

} // namespace velk
