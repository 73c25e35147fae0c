#pragma once
// One position fix at a time, from Qt Positioning: the GeoClue 2 service of the desktop, or,
// when $VELK_NMEA_FILE names a file, a replay of its NMEA sentences (recorded journeys, tests).
//
// The permission is the desktop's: GeoClue asks the user through its own agent and answers a
// refused request with an access error. The status follows the numbering the app uses:
// 1 restricted (no position source on this machine), 2 denied (the last request was refused),
// 3 authorised (a source is there and has not refused). It is never 0: there is no separate
// question to ask before the first request.
#include <QObject>
#include <QString>
#include <memory>

class QGeoPositionInfoSource;
class QGeoPositionInfo;

namespace velk {

class PositionSource : public QObject {
    Q_OBJECT
public:
    enum Status { notDetermined = 0, restricted = 1, denied = 2, authorizedAlways = 3 };

    // The source named by the environment (see above); a missing source gives restricted.
    explicit PositionSource(QObject* parent = nullptr);
    // A replay of an NMEA file, read once and whole (nothing behind it when it is not a regular
    // file, cannot be read or is larger than the cap; only its newest lines past a bound).
    static std::unique_ptr<PositionSource> replaying(const QString& nmeaFile, QObject* parent = nullptr);
    ~PositionSource() override;

    bool hasSource() const { return source_ != nullptr; }
    int authorizationStatus() const;
    // Asks for one fix; the answer is located() or failed(). False when there is no source.
    bool requestLocation();
    // Nothing to ask on this desktop; the status is reported as it stands.
    void requestWhenInUseAuthorization();

signals:
    void located(double latitude, double longitude);
    void failed(const QString& reason);
    void authorizationChanged(int status);

private:
    struct NoSource {};
    PositionSource(NoSource, QObject* parent);
    void adopt(QGeoPositionInfoSource* source);

    QGeoPositionInfoSource* source_ = nullptr;
    bool refused_ = false;
};

} // namespace velk
