#include "platform/media/BluetoothReport.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QJsonArray>

#include <mutex>

namespace velk {

void BluetoothReport::registerTypes()
{
    static std::once_flag once;
    std::call_once(once, [] {
        qDBusRegisterMetaType<BluezInterfaces>();
        qDBusRegisterMetaType<BluezObjects>();
    });
}

BluezObjects BluetoothReport::read(const QDBusConnection& bus)
{
    registerTypes();
    if (!bus.isConnected()) return {};
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.bluez"), QStringLiteral("/"),
                                                       QStringLiteral("org.freedesktop.DBus.ObjectManager"),
                                                       QStringLiteral("GetManagedObjects"));
    // BlueZ is started by the system when a device needs it; a report never starts it.
    call.setAutoStartService(false);
    const QDBusReply<BluezObjects> reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (!reply.isValid()) return {};
    return reply.value();
}

QJsonObject BluetoothReport::build(const BluezObjects& objects)
{
    const QString adapterInterface = QStringLiteral("org.bluez.Adapter1");
    const QString deviceInterface = QStringLiteral("org.bluez.Device1");
    const QString batteryInterface = QStringLiteral("org.bluez.Battery1");

    QJsonArray sections;
    for (auto adapter = objects.cbegin(); adapter != objects.cend(); ++adapter) {
        if (!adapter.value().contains(adapterInterface)) continue;
        QJsonArray connected;
        for (auto device = objects.cbegin(); device != objects.cend(); ++device) {
            const BluezInterfaces& ifaces = device.value();
            if (!ifaces.contains(deviceInterface) || !ifaces.contains(batteryInterface)) continue;
            const QVariantMap props = ifaces.value(deviceInterface);
            const QString owner = qvariant_cast<QDBusObjectPath>(props.value(QStringLiteral("Adapter"))).path();
            if (owner != adapter.key().path()) continue;
            if (!props.value(QStringLiteral("Connected")).toBool()) continue;
            const QVariant level = ifaces.value(batteryInterface).value(QStringLiteral("Percentage"));
            bool isNumber = false;
            const uint percent = level.toUInt(&isNumber);
            if (!isNumber || percent > 100) continue; // no reading, whatever a device claims
            QString name = props.value(QStringLiteral("Alias")).toString();
            if (name.isEmpty()) name = props.value(QStringLiteral("Name")).toString();
            if (name.isEmpty()) name = props.value(QStringLiteral("Address")).toString();
            connected.append(QJsonObject{
                {name, QJsonObject{{QStringLiteral("device_batteryLevelMain"), QString::number(percent) + u'%'}}}});
        }
        QJsonObject section;
        section.insert(QStringLiteral("device_connected"), connected);
        sections.append(section);
    }
    return QJsonObject{{QStringLiteral("SPBluetoothDataType"), sections}};
}

} // namespace velk
