#include "platform/core/HttpLoader.h"
#include "platform/core/Log.h"
#include "shared/data/weather/WeatherProvider.h"

#include <algorithm>
#include <span>

namespace velk {

namespace {

struct GeoResult {
    QString name;
    double latitude = 0;
    double longitude = 0;
    std::optional<QString> country_code;
    VELK_FIELDS(GeoResult, name, latitude, longitude, country_code)
};

struct GeoResponse {
    std::optional<std::vector<GeoResult>> results;
    VELK_FIELDS(GeoResponse, results)
};

} // namespace

std::optional<std::vector<WeatherProvider::Place>> WeatherProvider::parsePlaces(const QByteArray& body)
{
    const auto response = decodeJson<GeoResponse>(body);
    if (!response) return std::nullopt;
    std::vector<Place> places;
    if (!response->results) return places;
    const size_t kept = std::min(response->results->size(), size_t(kMaxPlaces));
    places.reserve(kept);
    for (const GeoResult& r : std::span(response->results->data(), kept)) {
        const QString name = r.country_code ? r.name + QStringLiteral(", ") + *r.country_code : r.name;
        places.push_back({name, r.latitude, r.longitude});
    }
    return places;
}

std::optional<std::vector<WeatherProvider::Place>> WeatherProvider::searchPlaces(const QString& query, QString* error)
{
    const auto fail = [&](const QString& why) -> std::optional<std::vector<Place>> {
        if (error) *error = why;
        qCDebug(lcWeb) << "place search failed:" << why;
        return std::nullopt;
    };
    const QUrl base =
        HttpLoader::serviceBase("VELK_GEOCODING_URL", QStringLiteral("https://geocoding-api.open-meteo.com"));
    const auto url = HttpLoader::buildUrl(base, QStringLiteral("/v1/search"),
                                          {{QStringLiteral("name"), query},
                                           {QStringLiteral("count"), QString::number(kMaxPlaces)},
                                           {QStringLiteral("language"), QStringLiteral("en")}});
    if (!url) return fail(QStringLiteral("no geocoding address"));
    const HttpResult result = HttpLoader::get(*url);
    if (!result.ok()) return fail(result.errorText);
    auto places = parsePlaces(result.body);
    if (!places) return fail(QStringLiteral("not a place search document (HTTP %1)").arg(result.status));
    return places;
}

} // namespace velk
