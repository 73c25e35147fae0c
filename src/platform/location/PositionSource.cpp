#include "platform/location/PositionSource.h"

#include "platform/core/FileSave.h"
#include "platform/core/Log.h"

#include <QBuffer>
#include <QGeoPositionInfoSource>
#include <QNmeaPositionInfoSource>

#include <deque>

namespace velk {

namespace {

constexpr int kFixTimeoutMs = 30000;
// A recording is read whole, once: hours of sentences fit in the cap. Of its lines only the
// last kMaxNmeaLines are kept (the newest part of the journey), however short they are.
constexpr qint64 kMaxNmeaFileBytes = 16 * 1024 * 1024;
constexpr qsizetype kMaxNmeaLines = 100'000;

// The replay of a recording, from the lines kept in memory. The file goes through the one safe
// read: a FIFO or a device at the path never holds up the caller, and a file past the cap is
// refused with a warning rather than read.
QGeoPositionInfoSource* nmeaSource(const QString& file, QObject* parent)
{
    QString why;
    const std::optional<QByteArray> bytes = readRegularFile(file, kMaxNmeaFileBytes, &why);
    if (!bytes) {
        qCWarning(lcGeneral) << "no NMEA replay:" << why;
        return nullptr;
    }
    std::deque<QByteArrayView> lines; // a ring of the newest lines
    qsizetype dropped = 0;
    const QByteArrayView all(*bytes);
    for (qsizetype at = 0; at < all.size();) {
        qsizetype end = all.indexOf('\n', at);
        if (end < 0) end = all.size();
        lines.push_back(all.sliced(at, end - at));
        if (qsizetype(lines.size()) > kMaxNmeaLines) {
            lines.pop_front();
            ++dropped;
        }
        at = end + 1;
    }
    if (dropped > 0)
        qCWarning(lcGeneral) << "NMEA replay of" << file << "keeps its last" << kMaxNmeaLines << "lines;" << dropped
                             << "earlier ones are left out";
    QByteArray kept;
    for (const QByteArrayView line : lines) {
        kept += line;
        kept += '\n';
    }
    auto* source = new QNmeaPositionInfoSource(QNmeaPositionInfoSource::SimulationMode, parent);
    auto* device = new QBuffer(source);
    device->setData(kept);
    device->open(QIODevice::ReadOnly);
    source->setDevice(device);
    return source;
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
        emit failed(error == QGeoPositionInfoSource::AccessError          ? QStringLiteral("access refused")
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
