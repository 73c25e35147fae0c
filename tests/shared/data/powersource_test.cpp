#include "shared/data/system/PowerSource.h"

#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"

#include "fixtures/sysinfo/SysinfoFixtures.h"

#include <QSysInfo>
#include <gtest/gtest.h>

using namespace velk;

namespace {
const Date kNoon = Date::fromUnix(1741348800); // 2025-03-07 12:00 UTC
const QString kBattery = PowerSourceDescription::kInternalBattery;

PowerSourceDescription battery(qint64 current, qint64 max, bool charging = false, std::optional<qint64> toFull = {},
                               std::optional<qint64> toEmpty = {})
{
    return {QStringLiteral("BAT0"), kBattery, current, max, charging, toFull, toEmpty};
}

class PowerSourceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Defaults::shared().remove(PowerLog::kKey);
        Defaults::shared().remove(PowerSource::kBluetoothKey);
    }
};
} // namespace

TEST_F(PowerSourceTest, BatteryReadingFromThePowerSources)
{
    struct Case {
        const char* what;
        std::vector<PowerSourceDescription> sources;
        std::optional<BatteryReading> reading;
    };
    PowerSourceDescription ups = battery(10, 10);
    ups.type = PowerSourceDescription::kUps;
    const Case cases[] = {
        {"71.25 rounds down", {battery(57, 80)}, BatteryReading{71, false, {}}},
        {"12.5 rounds away from zero", {battery(1, 8)}, BatteryReading{13, false, {}}},
        {"a zero maximum gives no percentage", {battery(5, 0)}, std::nullopt},
        {"a negative maximum too", {battery(5, -3)}, std::nullopt},
        {"the first usable battery wins",
         {ups, battery(5, 0), battery(3, 4), battery(1, 1)},
         BatteryReading{75, false, {}}},
        {"no sources", {}, std::nullopt},
        {"59 minutes to empty", {battery(1, 2, false, {}, 59)}, BatteryReading{50, false, QStringLiteral("59m")}},
        {"60 minutes to empty", {battery(1, 2, false, {}, 60)}, BatteryReading{50, false, QStringLiteral("1h 0m")}},
        {"125 minutes to empty", {battery(1, 2, false, {}, 125)}, BatteryReading{50, false, QStringLiteral("2h 5m")}},
        {"a negative time to empty", {battery(1, 2, false, {}, -1)}, BatteryReading{50, false, {}}},
        {"charging, 45 minutes to full",
         {battery(1, 2, true, 45, 300)},
         BatteryReading{50, true, QStringLiteral("45m")}},
        {"charging, no estimate yet", {battery(1, 2, true, 0, 300)}, BatteryReading{50, true, {}}},
        {"above a full charge is not clamped", {battery(105, 100)}, BatteryReading{105, false, {}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PowerSource::batteryFrom(c.sources), c.reading) << c.what;
}

TEST_F(PowerSourceTest, PeripheralsAreNamedByKind)
{
    const std::vector<PeripheralBattery> batteries = {
        {QStringLiteral("Aurora KEYBOARD"), 84},
        {QStringLiteral("Pointer Wireless Mouse"), 12},
        {QStringLiteral("Glide Trackpad 2"), 40},
        {QStringLiteral("Sköne Headset"), 70},
        {std::nullopt, 55},
        {QStringLiteral("Keyboard without level"), std::nullopt},
        {QStringLiteral("Mouse and keyboard combo"), 9},
    };
    const std::vector<PowerSnapshot::Device> expected = {
        {"Keyboard", 84}, {"Mouse", 12},   {"Trackpad", 40}, {QStringLiteral("Sköne Headset"), 70},
        {"Device", 55},   {"Keyboard", 9},
    };
    EXPECT_EQ(PowerSource::devicesFrom(batteries), expected);
}

TEST_F(PowerSourceTest, LaptopSnapshotMergesStoredPeripheralsAndStartsTheDaysLog)
{
    // The app's copy: a "Keyboard" the system already reports is dropped, a lower-case one
    // stays, and of two equal stored names the first wins.
    Defaults::shared().setData(PowerSource::kBluetoothKey,
                               R"([{"name":"Keyboard","percent":50},{"name":"keyboard","percent":40},)"
                               R"({"name":"Pen","percent":30},{"name":"Pen","percent":20}])");
    SysinfoPathsOverride paths(test::sysinfoFixture("laptop"));
    ClockPin pin(kNoon);
    const PowerSnapshot snap = PowerSource::snapshot();
    EXPECT_EQ(snap.percent, 80);
    EXPECT_FALSE(snap.isCharging);
    EXPECT_EQ(snap.remaining, QStringLiteral("4h 10m"));
    const std::vector<PowerSnapshot::Device> devices = {
        {"Aero 14 Gen 3", 80}, {"Keyboard", 84}, {"Mouse", 12}, {"keyboard", 40}, {"Pen", 30}};
    EXPECT_EQ(snap.devices, devices);
    ASSERT_EQ(snap.log.size(), 1u);
    EXPECT_EQ(snap.log[0], (PowerSnapshot::LogEntry{kNoon, QStringLiteral("80% \u00B7 4h 10m remaining"), true}));
}

TEST_F(PowerSourceTest, DesktopWithoutBatteryLeavesTheStoredLogAlone)
{
    Defaults::shared().setData(PowerSource::kBluetoothKey, "not json");
    Defaults::shared().setData(PowerLog::kKey, "{\"kept\": true}");
    SysinfoPathsOverride paths(test::sysinfoFixture("desktop"));
    ClockPin pin(kNoon);
    const PowerSnapshot snap = PowerSource::snapshot();
    EXPECT_EQ(snap.percent, 100);
    EXPECT_TRUE(snap.isCharging);
    EXPECT_FALSE(snap.remaining);
    EXPECT_TRUE(snap.devices.empty());
    EXPECT_EQ(snap.log, (std::vector<PowerSnapshot::LogEntry>{{kNoon, QStringLiteral("100%"), true}}));
    EXPECT_EQ(Defaults::shared().data(PowerLog::kKey), QByteArray("{\"kept\": true}"));
}

TEST_F(PowerSourceTest, TheMachineIsNamedByItsFirmwareElseItsHostName)
{
    EXPECT_EQ(PowerSource::machineName(test::sysinfoFixture("laptop")), "Aero 14 Gen 3");
    // A board's filler text, or no firmware table at all, is no name.
    EXPECT_EQ(PowerSource::machineName(test::sysinfoFixture("desktop")), QSysInfo::machineHostName());
    EXPECT_EQ(PowerSource::machineName(test::sysinfoFixture("odd-batteries")), QSysInfo::machineHostName());
}

TEST_F(PowerSourceTest, ABatteryWithoutAFullCapacityIsPassedOver)
{
    SysinfoPathsOverride paths(test::sysinfoFixture("odd-batteries"));
    EXPECT_EQ(PowerSource::readInternalBattery(), (BatteryReading{25, true, QStringLiteral("1h 30m")}));
}
