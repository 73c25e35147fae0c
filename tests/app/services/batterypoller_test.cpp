// Peripheral batteries: the report parsing rules, and polls that run fixture tools.
#include "app/services/PeripheralBatteryPoller.h"
#include "platform/core/Defaults.h"
#include "platform/timeline/WidgetCenter.h"
#include "support/WaitFor.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velk;
using Device = PeripheralBatteryPoller::Device;

namespace {

std::vector<Device> parse(const QByteArray& devicesJson)
{
    return PeripheralBatteryPoller::parseReport(R"({"SPBluetoothDataType":[{"device_connected":[)" + devicesJson + "]}]}");
}

const QStringList kBatteryKinds{"velk.battery.devices", "velk.battery.ring", "velk.battery.percent", "velk.battery.log"};

QString script(const QTemporaryDir& dir, const QByteArray& body)
{
    const QString path = dir.path() + "/tool.sh";
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("#!/bin/sh\n" + body);
    f.close();
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return path;
}

} // namespace

TEST(BatteryReport, LevelsByTheRules)
{
    EXPECT_EQ(parse(R"({"Buds":{"device_batteryLevelLeft":"80%","device_batteryLevelRight":"60%","device_batteryLevelCase":"40%"}})"),
              (std::vector<Device>{{"Buds", 60}, {"Buds Case", 40}}));
    EXPECT_EQ(parse(R"({"A":{"device_batteryLevelLeft":"70%","device_batteryLevelMain":"55%"}})"), (std::vector<Device>{{"A", 55}}));
    EXPECT_EQ(parse(R"({"A":{"device_batteryLevelLeft":"70%","device_batteryLevelCase":"30%"}})"), std::vector<Device>{});
    EXPECT_EQ(parse(R"({"A":{"device_batteryLevelMain":"55%","device_batteryLevel":"10%"}})"), (std::vector<Device>{{"A", 55}}));
    EXPECT_EQ(parse(R"({"A":{"device_batteryLevel":"10%"}})"), (std::vector<Device>{{"A", 10}}));
    EXPECT_EQ(parse(R"({"A":{"device_batteryLevel":42},"B":{"device_batteryLevel":" 42 %"},"C":{"device_batteryLevel":"4a%"},"D":{"device_batteryLevel":4.5},"E":"x"})"),
              (std::vector<Device>{{"A", 42}, {"B", 42}}));
}

TEST(BatteryReport, NamesAndOrder)
{
    EXPECT_EQ(PeripheralBatteryPoller::cleanName(QStringLiteral("Kim’s Earbuds")), QStringLiteral("Earbuds"));
    EXPECT_EQ(PeripheralBatteryPoller::cleanName(QStringLiteral("Kim's  Mouse \t")), QStringLiteral("Mouse"));
    EXPECT_EQ(PeripheralBatteryPoller::cleanName(QStringLiteral("  Keyboard")), QStringLiteral("Keyboard"));
    EXPECT_EQ(parse(R"({"b":{"device_batteryLevel":1}},{"Z":{"device_batteryLevel":2}},{"Kim's Z":{"device_batteryLevel":3}})"),
              (std::vector<Device>{{"Z", 2}, {"Z", 3}, {"b", 1}}));
    for (const QByteArray& bad : {QByteArray(""), QByteArray("[]"), QByteArray(R"({"SPBluetoothDataType":{}})"),
                                  QByteArray(R"({"SPBluetoothDataType":[1]})")})
        EXPECT_TRUE(PeripheralBatteryPoller::parseReport(bad).empty()) << bad.constData();
}

TEST(BatteryPollerTest, StoresWhatTheToolReportsAndReloads)
{
    QTemporaryDir dir;
    const QString tool = script(dir, "echo run >> \"$(dirname \"$0\")/runs\"\necho oops >&2\n"
                                     "echo '{\"SPBluetoothDataType\":[{\"device_connected\":[{\"Mouse\":{\"device_batteryLevelMain\":\"77%\"}}]}]}'\n");
    timeline::WidgetCenterRecorder reloads;
    PeripheralBatteryPoller poller(tool);
    int polls = 0;
    QObject::connect(&poller, &PeripheralBatteryPoller::polled, [&] { ++polls; });
    poller.start();
    poller.start();
    ASSERT_TRUE(velk::test::waitFor([&] { return polls == 1; }));
    EXPECT_EQ(Defaults::shared().data(PeripheralBatteryPoller::kKey), QByteArray(R"([{"name":"Mouse","percent":77}])"));
    EXPECT_EQ(reloads.kinds(), kBatteryKinds);
    QFile runs(dir.path() + "/runs");
    ASSERT_TRUE(runs.open(QIODevice::ReadOnly));
    EXPECT_EQ(runs.readAll(), QByteArray("run\n"));
}

TEST(BatteryPollerTest, AMissingOrBrokenToolStoresAnEmptyList)
{
    QTemporaryDir dir;
    for (const QString& tool : {dir.path() + "/missing", script(dir, "echo not json\nexit 3\n")}) {
        Defaults::shared().setData(PeripheralBatteryPoller::kKey, R"([{"name":"Old","percent":1}])");
        timeline::WidgetCenterRecorder reloads;
        PeripheralBatteryPoller poller(tool);
        bool done = false;
        QObject::connect(&poller, &PeripheralBatteryPoller::polled, [&] { done = true; });
        poller.poll();
        ASSERT_TRUE(velk::test::waitFor([&] { return done; }));
        EXPECT_EQ(Defaults::shared().data(PeripheralBatteryPoller::kKey), QByteArray("[]"));
        EXPECT_EQ(reloads.kinds(), kBatteryKinds);
    }
}
