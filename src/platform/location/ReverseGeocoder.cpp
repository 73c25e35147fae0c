#include "platform/location/ReverseGeocoder.h"

#include "platform/core/HttpLoader.h"
#include "platform/core/Log.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace velk {

QUrl ReverseGeocoder::serviceBase()
{
    return HttpLoader::serviceBase("VELK_REVERSE_GEOCODING_URL", QStringLiteral("https://nominatim.openstreetmap.org"));
}

std::optional<QUrl> ReverseGeocoder::requestUrl(double latitude, double longitude)
{
    if (!std::isfinite(latitude) || !std::isfinite(longitude) || std::fabs(latitude) > 90 || std::fabs(longitude) > 180)
        return std::nullopt;
    return HttpLoader::buildUrl(serviceBase(), QStringLiteral("/reverse"),
                                {{QStringLiteral("format"), QStringLiteral("jsonv2")},
                                 {QStringLiteral("lat"), QString::number(latitude, 'f', 6)},
                                 {QStringLiteral("lon"), QString::number(longitude, 'f', 6)},
                                 {QStringLiteral("zoom"), QStringLiteral("14")}});
}

std::optional<ReverseGeocoder::Placemark> ReverseGeocoder::parse(const QByteArray& body)
{
    const QJsonDocument doc = QJsonDocument::fromJson(body);
    if (!doc.isObject()) return std::nullopt;
    const QJsonValue addressValue = doc.object().value(QStringLiteral("address"));
    if (!addressValue.isObject()) return std::nullopt;
    const QJsonObject address = addressValue.toObject();
    const auto first = [&](std::initializer_list<const char*> keys) -> std::optional<QString> {
        for (const char* key : keys) {
            const QString v = address.value(QLatin1String(key)).toString().trimmed();
            if (v.size() > kMaxNameChars) {
                qCWarning(lcWeb) << "reverse geocoding: the" << key << "name is" << v.size()
                                 << "characters long, more than" << kMaxNameChars << "; not taken as a place name";
                continue;
            }
            if (!v.isEmpty()) return v;
        }
        return std::nullopt;
    };
    Placemark place;
    place.subLocality = first({"suburb", "city_district", "borough", "quarter", "neighbourhood"});
    place.locality = first({"city", "town", "village", "municipality", "hamlet"});
    place.subAdministrativeArea = first({"county", "state_district"});
    return place;
}

std::optional<ReverseGeocoder::Placemark> ReverseGeocoder::reverse(double latitude, double longitude)
{
    const std::optional<QUrl> url = requestUrl(latitude, longitude);
    if (!url) return std::nullopt;
    // The public service asks every client to name itself.
    const HttpResult result = HttpLoader::get(*url, {{"User-Agent", "VELK/"
                                                                    "0.1 (desktop widgets)"},
                                                     {"Accept", "application/json"}});
    if (!result.ok() || result.status != 200) return std::nullopt;
    return parse(result.body);
}

} // namespace velk
