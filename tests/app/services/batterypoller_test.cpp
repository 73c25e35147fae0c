// Peripheral batteries: the report parsing rules, and polls that run fixture tools.
#include "app/services/PeripheralBatteryPoller.h"
#include "platform/core/Defaults.h"
#include "platform/timeline/WidgetCenter.h"
#include "support/WaitFor.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

using namespace velk;
using Device = PeripheralBatteryPoller::Device;

namespace {

std::vector<Device> parse(const QByteArray& devicesJson)
{
    return PeripheralBatteryPoller::parseReport(R"({"SPBluetoothDataType":[{"device_connected":[)" + devicesJson +
                                                "]}]}");
}

const QStringList kBatteryKinds{"velk.battery.devices", "velk.battery.ring", "velk.battery.percent",
                                "velk.battery.log"};

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
    EXPECT_EQ(
        parse(
            R"({"Buds":{"device_batteryLevelLeft":"80%","device_batteryLevelRight":"60%","device_batteryLevelCase":"40%"}})"),
        (std::vector<Device>{{"Buds", 60}, {"Buds Case", 40}}));
    EXPECT_EQ(parse(R"({"A":{"device_batteryLevelLeft":"70%","device_batteryLevelMain":"55%"}})"),
              (std::vector<Device>{{"A", 55}}));
    EXPECT_EQ(parse(R"({"A":{"device_batteryLevelLeft":"70%","device_batteryLevelCase":"30%"}})"),
              std::vector<Device>{});
    EXPECT_EQ(parse(R"({"A":{"device_batteryLevelMain":"55%","device_batteryLevel":"10%"}})"),
              (std::vector<Device>{{"A", 55}}));
    EXPECT_EQ(parse(R"({"A":{"device_batteryLevel":"10%"}})"), (std::vector<Device>{{"A", 10}}));
    EXPECT_EQ(
        parse(
            R"({"A":{"device_batteryLevel":42},"B":{"device_batteryLevel":" 42 %"},"C":{"device_batteryLevel":"4a%"},"D":{"device_batteryLevel":4.5},"E":"x"})"),
        (std::vector<Device>{{"A", 42}, {"B", 42}}));
    // Only 0-100 is a level; anything else is no reading, whatever its form.
    EXPECT_EQ(
        parse(
            R"({"A":{"device_batteryLevel":"999999%"},"B":{"device_batteryLevel":-5},"C":{"device_batteryLevel":"-9223372036854775808%"},)"
            R"("D":{"device_batteryLevel":101},"E":{"device_batteryLevel":"0%"},"F":{"device_batteryLevel":100},)"
            R"("G":{"device_batteryLevelLeft":"-1%","device_batteryLevelRight":"50%","device_batteryLevelMain":"30%"}})"),
        (std::vector<Device>{{"E", 0}, {"F", 100}, {"G", 30}}));
}

TEST(BatteryReport, NamesAndOrder)
{
    EXPECT_EQ(PeripheralBatteryPoller::cleanName(QStringLiteral("Kim’s Earbuds")), QStringLiteral("Earbuds"));
    EXPECT_EQ(PeripheralBatteryPoller::cleanName(QStringLiteral("Kim's  Mouse \t")), QStringLiteral("Mouse"));
    EXPECT_EQ(PeripheralBatteryPoller::cleanName(QStringLiteral("  Keyboard")), QStringLiteral("Keyboard"));
    EXPECT_EQ(
        parse(
            R"({"b":{"device_batteryLevel":1}},{"Z":{"device_batteryLevel":2}},{"Kim's Z":{"device_batteryLevel":3}})"),
        (std::vector<Device>{{"Z", 2}, {"Z", 3}, {"b", 1}}));
    for (const QByteArray& bad : {QByteArray(""), QByteArray("[]"), QByteArray(R"({"SPBluetoothDataType":{}})"),
                                  QByteArray(R"({"SPBluetoothDataType":[1]})")})
        EXPECT_TRUE(PeripheralBatteryPoller::parseReport(bad).empty()) << bad.constData();
}

TEST(BatteryPollerTest, StoresWhatTheToolReportsAndReloads)
{
    QTemporaryDir dir;
    const QString tool = script(
        dir,
        "echo run >> \"$(dirname \"$0\")/runs\"\necho oops >&2\n"
        "echo "
        "'{\"SPBluetoothDataType\":[{\"device_connected\":[{\"Mouse\":{\"device_batteryLevelMain\":\"77%\"}}]}]}'\n");
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

namespace {

// Alive and not merely waiting to be reaped by whoever adopted it.
bool running(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return false;
    const QByteArray line = stat.readAll();
    const qsizetype paren = line.lastIndexOf(')');
    return paren > 0 && line.mid(paren + 2, 1) != "Z";
}

} // namespace

// A tool that prints without end is read no further than the cap and its report is refused;
// one that leaves a child holding its output has that child ended with it on the time-out.
TEST(BatteryPollerTest, EndlessOutputAndLeftoverChildrenAreEnded)
{
    QTemporaryDir dir;
    // A valid report, then blanks (still valid JSON) past the cap: endless, or 2 MB and done.
    const QByteArray report = "printf '{\"SPBluetoothDataType\":[{\"device_connected\":[{\"Mouse\":"
                              "{\"device_batteryLevelMain\":\"77%%\"}}]}]}'\n";
    for (const QByteArray& blanks :
         {QByteArray("exec yes ''\n"), QByteArray("head -c 2000000 /dev/zero | tr '\\0' ' '\n")}) {
        SCOPED_TRACE(blanks.constData());
        EXPECT_TRUE(PeripheralBatteryPoller::readBluetoothBatteries(script(dir, report + blanks)).empty());
    }
    // Within the cap the same report is read.
    EXPECT_EQ(PeripheralBatteryPoller::readBluetoothBatteries(script(dir, report)),
              (std::vector<Device>{{"Mouse", 77}}));

    const QString pidFile = dir.path() + "/child";
    const QString leaves = script(dir, "sleep 600 &\necho $! > \"" + pidFile.toUtf8() +
                                           "\"\n"
                                           "echo '{\"SPBluetoothDataType\":[]}'\nexec sleep 600\n");
    EXPECT_TRUE(PeripheralBatteryPoller::readBluetoothBatteries(leaves, 200).empty());
    QFile f(pidFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const pid_t child = pid_t(f.readAll().trimmed().toLongLong());
    ASSERT_GT(child, 0);
    EXPECT_TRUE(velk::test::waitFor([&] { return !running(child); })) << "pid " << child;
    if (running(child)) ::kill(child, SIGKILL);
}
