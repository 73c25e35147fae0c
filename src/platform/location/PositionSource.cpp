#include "platform/location/PositionSource.h"

#include <QFileInfo>
#include <QGeoPositionInfoSource>
#include <QUrl>
#include <QVariantMap>

namespace velk {

namespace {

constexpr int kFixTimeoutMs = 30000;

QGeoPositionInfoSource* nmeaSource(const QString& file, QObject* parent)
{
    if (!QFileInfo(file).isReadable()) return nullptr;
    const QVariantMap params{{QStringLiteral("nmea.source"), QUrl::fromLocalFile(file).toString()}};
    return QGeoPositionInfoSource::createSource(QStringLiteral("nmea"), params, parent);
}

} // namespace

PositionSource::PositionSource(NoSource, QObject* parent) : QObject(parent) {}

PositionSource::PositionSource(QObject* parent) : QObject(parent)
{
    const QString nmea = qEnvironmentVariable("VELK_NMEA_FILE");
    adopt(!nmea.isEmpty() ? nmeaSource(nmea, this)
                          : QGeoPositionInfoSource::createSource(QStringLiteral("geoclue2"), this));
}

std::unique_ptr<PositionSource> PositionSource::replaying(const QString& nmeaFile, QObject* parent)
{
    std::unique_ptr<PositionSource> source(new PositionSource(NoSource{}, parent));
    source->adopt(nmeaSource(nmeaFile, source.get()));
    return source;
}

PositionSource::~PositionSource() = default;

void PositionSource::adopt(QGeoPositionInfoSource* source)
{
    source_ = source;
    if (!source_) return;
    connect(source_, &QGeoPositionInfoSource::positionUpdated, this, [this](const QGeoPositionInfo& info) {
        if (!info.isValid()) return;
        if (refused_) {
            refused_ = false;
            emit authorizationChanged(authorizationStatus());
        }
        emit located(info.coordinate().latitude(), info.coordinate().longitude());
    });
    connect(source_, &QGeoPositionInfoSource::errorOccurred, this, [this](QGeoPositionInfoSource::Error error) {
        if (error == QGeoPositionInfoSource::AccessError && !refused_) {
            refused_ = true;
            emit authorizationChanged(authorizationStatus());
        }
        emit failed(error == QGeoPositionInfoSource::AccessError        ? QStringLiteral("access refused")
                    : error == QGeoPositionInfoSource::UpdateTimeoutError ? QStringLiteral("no fix in time")
                                                                          : QStringLiteral("position source error"));
    });
}

int PositionSource::authorizationStatus() const
{
    if (!source_) return restricted;
    return refused_ ? denied : authorizedAlways;
}

bool PositionSource::requestLocation()
{
    if (!source_) return false;
    source_->requestUpdate(kFixTimeoutMs);
    return true;
}

void PositionSource::requestWhenInUseAuthorization()
{
    emit authorizationChanged(authorizationStatus());
}

} // namespace velk
