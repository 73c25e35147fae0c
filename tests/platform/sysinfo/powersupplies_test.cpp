#include "platform/sysinfo/PowerSupplies.h"

#include "fixtures/sysinfo/SysinfoFixtures.h"

#include <gtest/gtest.h>

using namespace velk;

namespace {
PowerSupplyProperties props(std::initializer_list<std::pair<const char*, const char*>> list)
{
    PowerSupplyProperties p;
    for (const auto& [k, v] : list)
        p.insert(QString::fromLatin1(k), QString::fromLatin1(v));
    return p;
}
} // namespace

TEST(PowerSupplies, ParsesUeventLines)
{
    const auto p = parsePowerSupplyUevent("POWER_SUPPLY_NAME=BAT0\nPOWER_SUPPLY_ENERGY_NOW=5\n"
                                          "DEVTYPE=x\nPOWER_SUPPLY_MODEL_NAME=A=B\n\nnonsense\n");
    EXPECT_EQ(p, props({{"name", "BAT0"}, {"energy_now", "5"}, {"model_name", "A=B"}}));
}

TEST(PowerSupplies, LaptopBatteryWithTimeToEmptyFromThePowerDraw)
{
    const auto sources = readPowerSources(test::sysinfoFixture("laptop"));
    ASSERT_EQ(sources.size(), 1u); // the mains adapter and the peripherals are not power sources
    const PowerSourceDescription& bat = sources[0];
    EXPECT_EQ(bat.name, "BAT0");
    EXPECT_EQ(bat.type, PowerSourceDescription::kInternalBattery);
    EXPECT_EQ(bat.currentCapacity, 40000000);
    EXPECT_EQ(bat.maxCapacity, 50000000);
    EXPECT_FALSE(bat.isCharging);
    EXPECT_EQ(bat.timeToEmpty, 250); // 40 Wh at 9.6 W
    EXPECT_FALSE(bat.timeToFullCharge);
}

TEST(PowerSupplies, DesktopHasNoPowerSourceAndNoPeripherals)
{
    EXPECT_TRUE(readPowerSources(test::sysinfoFixture("desktop")).empty());
    EXPECT_TRUE(readPeripheralBatteries(test::sysinfoFixture("desktop")).empty());
    EXPECT_TRUE(readPowerSources(test::sysinfoFixture("no-such-tree")).empty());
}

TEST(PowerSupplies, ChargeCountersFromAttributeFilesZeroFullAndAbsentBatteries)
{
    const auto sources = readPowerSources(test::sysinfoFixture("odd-batteries"));
    ASSERT_EQ(sources.size(), 2u); // BAT2 is marked absent
    // A zero full capacity is passed on as such; the reader decides what it is worth.
    EXPECT_EQ(sources[0].name, "BAT0");
    EXPECT_EQ(sources[0].maxCapacity, 0);
    // Charging at 2 A (signed negative by its driver) with 3 Ah to go: 90 minutes.
    EXPECT_EQ(sources[1].name, "BAT1");
    EXPECT_EQ(sources[1].currentCapacity, 1000000);
    EXPECT_EQ(sources[1].maxCapacity, 4000000);
    EXPECT_TRUE(sources[1].isCharging);
    EXPECT_EQ(sources[1].timeToFullCharge, 90);
    EXPECT_FALSE(sources[1].timeToEmpty);
}

TEST(PowerSupplies, DescribesSourcesFromTheirProperties)
{
    struct Case {
        const char* what;
        PowerSupplyProperties in;
        std::optional<PowerSourceDescription> out;
    };
    const QString bat = PowerSourceDescription::kInternalBattery;
    const Case cases[] = {
        {"percentage only", props({{"type", "Battery"}, {"status", "Full"}, {"capacity", "100"}}),
         PowerSourceDescription{"", bat, 100, 100, false, {}, {}}},
        {"kernel estimate wins over the rate",
         props({{"type", "Battery"},
                {"status", "Discharging"},
                {"energy_now", "10"},
                {"energy_full", "20"},
                {"power_now", "10"},
                {"time_to_empty_now", "3660"}}),
         PowerSourceDescription{"", bat, 10, 20, false, {}, 61}},
        {"no rate, no time",
         props({{"type", "Battery"},
                {"status", "Discharging"},
                {"energy_now", "10"},
                {"energy_full", "20"},
                {"power_now", "0"}}),
         PowerSourceDescription{"", bat, 10, 20, false, {}, {}}},
        {"not charging on mains has no time",
         props({{"type", "Battery"},
                {"status", "Not charging"},
                {"energy_now", "10"},
                {"energy_full", "20"},
                {"power_now", "5"}}),
         PowerSourceDescription{"", bat, 10, 20, false, {}, {}}},
        {"zero energy full falls back to the charge pair",
         props({{"type", "Battery"},
                {"energy_now", "0"},
                {"energy_full", "0"},
                {"charge_now", "3"},
                {"charge_full", "4"}}),
         PowerSourceDescription{"", bat, 3, 4, false, {}, {}}},
        {"ups", props({{"type", "UPS"}, {"capacity", "90"}}),
         PowerSourceDescription{"", PowerSourceDescription::kUps, 90, 100, false, {}, {}}},
        {"peripheral", props({{"type", "Battery"}, {"scope", "Device"}, {"capacity", "50"}}), std::nullopt},
        {"mains", props({{"type", "Mains"}, {"online", "1"}}), std::nullopt},
        {"absent", props({{"type", "Battery"}, {"present", "0"}, {"capacity", "50"}}), std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(describePowerSource(c.in), c.out) << c.what;
}

TEST(PowerSupplies, PeripheralBatteriesAreTheDeviceScopedOnes)
{
    const auto devices = readPeripheralBatteries(test::sysinfoFixture("laptop"));
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0], (PeripheralBattery{QStringLiteral("Aurora KEYBOARD"), 84}));
    EXPECT_EQ(devices[1], (PeripheralBattery{QStringLiteral("Pointer Wireless Mouse"), 12}));
    // A device that only gives a charge level has no percentage; one without a model no product.
    EXPECT_EQ(describePeripheralBattery(props({{"type", "Battery"}, {"scope", "Device"}, {"capacity_level", "Low"}})),
              (PeripheralBattery{std::nullopt, std::nullopt}));
}
