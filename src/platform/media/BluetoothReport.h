#pragma once
// The Bluetooth battery report of velk-btprofiler: what BlueZ (org.bluez on the system bus)
// knows of the connected devices' batteries, in the report shape the app's battery poller
// reads:
//   {"SPBluetoothDataType": [ {"device_connected": [ {"<name>": {"device_batteryLevelMain": "80%"}} ]} ]}
// one section per adapter, one entry per connected device that has a Battery1 level. Without
// BlueZ or without an adapter the report has no sections.
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QVariantMap>

namespace velk {

// Object path -> interface name -> properties, as org.freedesktop.DBus.ObjectManager gives them.
using BluezInterfaces = QMap<QString, QVariantMap>;
using BluezObjects = QMap<QDBusObjectPath, BluezInterfaces>;

class BluetoothReport {
public:
    static constexpr int kCallTimeoutMs = 2000;

    // The report of a set of BlueZ objects.
    static QJsonObject build(const BluezObjects& objects);
    // BlueZ's objects on the bus; empty when BlueZ is not there or does not answer in time.
    static BluezObjects read(const QDBusConnection& bus);
    // Makes the nested map type known to Qt's D-Bus marshalling (once).
    static void registerTypes();
};

} // namespace velk

Q_DECLARE_METATYPE(velk::BluezInterfaces)
Q_DECLARE_METATYPE(velk::BluezObjects)
