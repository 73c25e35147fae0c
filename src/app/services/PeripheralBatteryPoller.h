#pragma once
// Bluetooth peripherals' charge levels for the battery widgets: every 600 seconds the report
// tool (velk-btprofiler, which asks BlueZ) runs off the main thread, its JSON report becomes a
// list of devices sorted by name, stored whole under "velk.btbatteries.v1", and the four
// battery kinds are reloaded. A tool that cannot run or gives no usable report stores an
// empty list, as does one whose report is larger than the cap. A level outside 0-100 is no
// reading and is left out.
//
// The tool runs in a process group of its own, so that on the time-out a child it left holding
// the output ends with it.
#include "shared/models/PowerRecords.h"

#include <QJsonValue>
#include <QObject>
#include <QString>
#include <QTimer>
#include <vector>

namespace velk {

class PeripheralBatteryPoller : public QObject {
    Q_OBJECT
public:
    using Device = PowerSnapshot::Device;
    static constexpr int kPollIntervalMs = 600'000;
    // The report never takes this long; a tool that hangs is stopped and its output used.
    static constexpr int kToolTimeoutMs = 30'000;
    // A report of every device a machine can pair is a few kilobytes; past this it is no report.
    static constexpr qint64 kMaxReportBytes = 1024 * 1024;
    static inline const QString kKey = QStringLiteral("velk.btbatteries.v1");

    static PeripheralBatteryPoller& shared();
    explicit PeripheralBatteryPoller(QString toolPath = defaultToolPath(), QObject* parent = nullptr);

    // $VELK_BTPROFILER when set, else velk-btprofiler beside this program, else on $PATH.
    static QString defaultToolPath();

    void start();
    bool isStarted() const { return timer_ != nullptr; }
    void poll();

    // Runs the tool and parses its report (blocks; every failure gives an empty list).
    static std::vector<Device> readBluetoothBatteries(const QString& toolPath, int timeoutMs = kToolTimeoutMs);
    static std::vector<Device> parseReport(const QByteArray& json);
    static QString cleanName(QString name);
    static std::optional<qint64> percent(const QJsonValue& value);

signals:
    // A poll's list was stored (or could not be encoded) and the kinds were reloaded.
    void polled();

private:
    QString toolPath_;
    QTimer* timer_ = nullptr;
};

} // namespace velk
