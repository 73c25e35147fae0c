// velk-btprofiler: prints the connected Bluetooth devices' battery levels as JSON (see
// platform/media/BluetoothReport.h) and exits 0, also when there is no BlueZ, no adapter or no
// system bus (the report then has no devices). Arguments are accepted and ignored, so the
// poller can call it as it calls any report tool.
#include "platform/media/BluetoothReport.h"

#include <QCoreApplication>
#include <QJsonDocument>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QJsonObject report = velk::BluetoothReport::build(velk::BluetoothReport::read(QDBusConnection::systemBus()));
    const QByteArray out = QJsonDocument(report).toJson(QJsonDocument::Indented);
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    return 0;
}
