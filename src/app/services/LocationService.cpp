#include "app/services/LocationService.h"

#include "app/services/ServiceSupport.h"
#include "platform/core/Coding.h"
#include "platform/core/Defaults.h"
#include "platform/core/Log.h"
#include "platform/location/LocationSettings.h"
#include "shared/data/activity/ExtrasStore.h"
#include "shared/data/weather/WeatherProvider.h"
#include "shared/widget/WidgetKinds.h"

#include <QCoreApplication>
#include <QFutureWatcher>
#include <QtConcurrent>

namespace velk {

LocationService& LocationService::shared()
{
    static LocationService* service = new LocationService(std::make_unique<PositionSource>(), &ReverseGeocoder::reverse,
                                                          QCoreApplication::instance());
    return *service;
}

LocationService::LocationService(std::unique_ptr<PositionSource> manager, Geocoder geocoder, QObject* parent)
    : QObject(parent), manager_(std::move(manager)), geocoder_(std::move(geocoder))
{
    if (const std::optional<WeatherProvider::Place> stored = WeatherProvider::myLocation()) placeName_ = stored->name;
    connect(manager_.get(), &PositionSource::located, this, [this](double lat, double lon) {
        didUpdateLocations({{lat, lon}});
    });
    connect(manager_.get(), &PositionSource::authorizationChanged, this,
            [this](int status) { services::queue(this, [this, status] { authorizationDidChange(status); }); });
    // A failed fix changes nothing; the next request tries again.
    authorized_ = manager_->authorizationStatus() == PositionSource::authorizedAlways;
}

void LocationService::noteNoSource()
{
    if (toldNoSource_) return;
    toldNoSource_ = true;
    qCInfo(lcGeneral).noquote() << "no position source (GeoClue is not available): the location is not stored";
}

void LocationService::requestLocation()
{
    if (!manager_->requestLocation()) noteNoSource();
}

void LocationService::request()
{
    switch (manager_->authorizationStatus()) {
    case PositionSource::authorizedAlways:
        manager_->requestLocation();
        break;
    case PositionSource::notDetermined:
        manager_->requestWhenInUseAuthorization();
        break;
    default:
        if (!manager_->hasSource()) noteNoSource();
        LocationSettings::open();
        break;
    }
}

void LocationService::authorizationDidChange(int status)
{
    const bool now = status == PositionSource::authorizedAlways;
    if (now != authorized_) {
        authorized_ = now;
        emit authorizedChanged();
    }
    if (authorized_) manager_->requestLocation();
}

std::optional<QString> LocationService::nameOf(const std::optional<ReverseGeocoder::Placemark>& place)
{
    if (!place) return std::nullopt;
    if (place->subLocality) return place->subLocality;
    if (place->locality) return place->locality;
    return place->subAdministrativeArea;
}

void LocationService::didUpdateLocations(const QList<std::pair<double, double>>& locations)
{
    if (locations.isEmpty()) return;
    const auto [latitude, longitude] = locations.last();
    // Geocoding waits on the network; it runs on a worker and the result comes back here.
    auto* watcher = new QFutureWatcher<std::optional<QString>>(this);
    connect(watcher, &QFutureWatcher<std::optional<QString>>::finished, this, [this, watcher, latitude, longitude] {
        const std::optional<QString> found = watcher->result();
        watcher->deleteLater();
        const WeatherProvider::Place place{found.value_or(QStringLiteral("My Location")), latitude, longitude};
        if (const std::optional<QByteArray> bytes = encodeJson(place))
            Defaults::shared().setData(QString::fromLatin1(WeatherProvider::kMyLocationKey), *bytes);
        placeName_ = place.name;
        emit placeNameChanged();
        reloadKinds({kinds::weatherCurrent, kinds::weatherNight, kinds::weatherForecast, kinds::weatherRain,
                     kinds::daylight, kinds::airQuality},
                    ReloadNotice::none);
        emit placeStored();
    });
    const Geocoder geocoder = geocoder_;
    watcher->setFuture(
        QtConcurrent::run([geocoder, latitude, longitude] { return nameOf(geocoder(latitude, longitude)); }));
}

} // namespace velk
