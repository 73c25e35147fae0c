#pragma once
// The place the weather widgets use when none is configured: one position fix at a time,
// named by reverse geocoding ("My Location" when no name is found), stored under
// "velk.weather.mylocation.v1", then the six weather kinds are reloaded. Without a position
// source it stores nothing and logs that it has none.
#include "platform/location/PositionSource.h"
#include "platform/location/ReverseGeocoder.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

namespace velk {

class LocationService : public QObject {
    Q_OBJECT
public:
    using Geocoder = std::function<std::optional<ReverseGeocoder::Placemark>(double latitude, double longitude)>;

    static LocationService& shared();
    explicit LocationService(std::unique_ptr<PositionSource> manager, Geocoder geocoder = &ReverseGeocoder::reverse,
                             QObject* parent = nullptr);

    bool authorized() const { return authorized_; }
    const std::optional<QString>& placeName() const { return placeName_; }
    PositionSource& manager() { return *manager_; }

    // The connect banner's action: a fix when allowed, the desktop's location settings when not.
    void request();
    // One fix, when there is a source to ask (the hub's start-up request).
    void requestLocation();

    // Handling of a fix (the last of a list); an empty list changes nothing.
    void didUpdateLocations(const QList<std::pair<double, double>>& locations);
    // The name of a placemark: its district, else its town, else its county.
    static std::optional<QString> nameOf(const std::optional<ReverseGeocoder::Placemark>& place);

signals:
    void authorizedChanged();
    void placeNameChanged();
    // A fix was handled (stored when it could be encoded) and the weather kinds reloaded.
    void placeStored();

private:
    void authorizationDidChange(int status);
    void noteNoSource();

    std::unique_ptr<PositionSource> manager_;
    Geocoder geocoder_;
    bool authorized_ = false;
    std::optional<QString> placeName_;
    bool toldNoSource_ = false;
};

} // namespace velk
