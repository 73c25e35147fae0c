// The Bluetooth battery report: built from BlueZ's objects, and printed by velk-btprofiler
// from a fake BlueZ on the test's bus or with no BlueZ at all.
#include "platform/media/BluetoothReport.h"
#include "support/WaitFor.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

using velk::BluetoothReport;
using velk::BluezObjects;

namespace {

QVariantMap device(const QString& adapter, const QString& alias, bool connected)
{
    return {{QStringLiteral("Adapter"), QVariant::fromValue(QDBusObjectPath(adapter))},
            {QStringLiteral("Alias"), alias},
            {QStringLiteral("Connected"), connected}};
}

BluezObjects sampleObjects()
{
    BluezObjects objects;
    objects[QDBusObjectPath("/org/bluez")] = {{QStringLiteral("org.bluez.AgentManager1"), {}}};
    objects[QDBusObjectPath("/org/bluez/hci0")] = {{QStringLiteral("org.bluez.Adapter1"), {}}};
    objects[QDBusObjectPath("/org/bluez/hci0/dev_AA")] = {
        {QStringLiteral("org.bluez.Device1"), device("/org/bluez/hci0", QStringLiteral("Kim’s Earbuds"), true)},
        {QStringLiteral("org.bluez.Battery1"), {{QStringLiteral("Percentage"), QVariant::fromValue(uchar(80))}}}};
    objects[QDBusObjectPath("/org/bluez/hci0/dev_BB")] = {
        // not connected
        {QStringLiteral("org.bluez.Device1"), device("/org/bluez/hci0", QStringLiteral("Mouse"), false)},
        {QStringLiteral("org.bluez.Battery1"), {{QStringLiteral("Percentage"), QVariant::fromValue(uchar(40))}}}};
    objects[QDBusObjectPath("/org/bluez/hci0/dev_CC")] = {
        // no battery
        {QStringLiteral("org.bluez.Device1"), device("/org/bluez/hci0", QStringLiteral("Speaker"), true)}};
    objects[QDBusObjectPath("/org/bluez/hci0/dev_DD")] = {
        // a level that is no reading
        {QStringLiteral("org.bluez.Device1"), device("/org/bluez/hci0", QStringLiteral("Pen"), true)},
        {QStringLiteral("org.bluez.Battery1"), {{QStringLiteral("Percentage"), QVariant::fromValue(uchar(250))}}}};
    return objects;
}

const QByteArray kExpected =
    R"({"SPBluetoothDataType":[{"device_connected":[{"Kim’s Earbuds":{"device_batteryLevelMain":"80%"}}]}]})";

class BluezAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.DBus.ObjectManager")
public:
    BluezAdaptor(QObject* parent, QString connection) : QDBusAbstractAdaptor(parent), connection_(std::move(connection))
    {}
public slots:
    void GetManagedObjects(const QDBusMessage& message)
    {
        message.setDelayedReply(true);
        QDBusConnection(connection_).send(message.createReply(QVariant::fromValue(sampleObjects())));
    }

private:
    QString connection_;
};

QByteArray runHelper(const QByteArray& systemBusAddress, int* exitCode)
{
    QProcess helper;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), QString::fromUtf8(systemBusAddress));
    helper.setProcessEnvironment(env);
    helper.start(qEnvironmentVariable("VELK_BTPROFILER"), {"SPBluetoothDataType", "-json", "-detailLevel", "mini"});
    // The helper blocks on D-Bus; keep this thread's event loop (the fake BlueZ) turning.
    velk::test::waitFor([&] { return helper.state() == QProcess::NotRunning; }, 20000);
    *exitCode = helper.exitCode();
    return helper.readAllStandardOutput();
}

} // namespace

TEST(BluetoothReportTest, ConnectedDevicesWithALevelAreReported)
{
    EXPECT_EQ(QJsonDocument(BluetoothReport::build(sampleObjects())).toJson(QJsonDocument::Compact), kExpected);
    EXPECT_EQ(QJsonDocument(BluetoothReport::build({})).toJson(QJsonDocument::Compact),
              QByteArray(R"({"SPBluetoothDataType":[]})"));
}

TEST(BtProfilerHelper, AsksBluezOnTheBus)
{
    BluetoothReport::registerTypes();
    const QString name = QStringLiteral("fake-bluez");
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
    QObject root;
    new BluezAdaptor(&root, name);
    ASSERT_TRUE(bus.registerObject(QStringLiteral("/"), &root, QDBusConnection::ExportAdaptors));
    ASSERT_TRUE(bus.registerService(QStringLiteral("org.bluez")));

    int exitCode = -1;
    const QByteArray out = runHelper(qgetenv("DBUS_SESSION_BUS_ADDRESS"), &exitCode);
    bus.unregisterService(QStringLiteral("org.bluez"));
    QDBusConnection::disconnectFromBus(name);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(QJsonDocument::fromJson(out).toJson(QJsonDocument::Compact), kExpected);
}

TEST(BtProfilerHelper, WithoutBluezTheReportIsEmpty)
{
    for (const QByteArray& address : {QByteArray("unix:path=/nonexistent/bus"), qgetenv("DBUS_SESSION_BUS_ADDRESS")}) {
        int exitCode = -1;
        const QByteArray out = runHelper(address, &exitCode);
        EXPECT_EQ(exitCode, 0);
        EXPECT_EQ(QJsonDocument::fromJson(out).toJson(QJsonDocument::Compact),
                  QByteArray(R"({"SPBluetoothDataType":[]})"));
    }
}

#include "btprofiler_test.moc"
