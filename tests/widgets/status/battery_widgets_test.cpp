// The four battery widgets as the bundle offers them, on fixture /sys trees: a laptop whose
// battery is discharging, a desktop without one, and peripherals stored by the app.
#include "widgets/status/battery/BatteryWidgets.h"

#include "battery_notes_support.h"
#include "fixtures/sysinfo/SysinfoFixtures.h"
#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "platform/view/Layout.h"
#include "shared/data/clock/ClockFormat.h"
#include "shared/data/system/PowerSource.h"
#include "shared/look/TreeQuery.h"
#include "support/UtcDate.h"

#include <gtest/gtest.h>

using namespace velk;
using namespace velk::testing;
using timeline::WidgetDefinition;
using timeline::WidgetFamily;

namespace {

const Date kNoon = test::utc("2026-12-09T12:00:00");

std::vector<DeclaredWidget> declared()
{
    return {{BatteryRingWidget{}.body(), "velk.battery.ring", "Battery Ring", WidgetFamily::small},
            {BatteryPercentWidget{}.body(), "velk.battery.percent", "Battery", WidgetFamily::small},
            {BatteryDevicesWidget{}.body(), "velk.battery.devices", "Devices", WidgetFamily::medium},
            {BatteryLogWidget{}.body(), "velk.battery.log", "Power Log", WidgetFamily::medium}};
}

class BatteryWidgets : public ::testing::Test {
protected:
    void SetUp() override
    {
        Defaults::shared().setInteger(ClockFormat::kTimeFormatKey, 24);
        Defaults::shared().remove(PowerLog::kKey);
        Defaults::shared().remove(PowerSource::kBluetoothKey);
    }
    void TearDown() override
    {
        Defaults::shared().remove(ClockFormat::kTimeFormatKey);
        Defaults::shared().remove(PowerLog::kKey);
        Defaults::shared().remove(PowerSource::kBluetoothKey);
    }
    ClockPin pin{kNoon};
};

TEST_F(BatteryWidgets, DeclaredWithTheirKindsNamesAndFamiliesAndOpenNothing)
{
    for (const DeclaredWidget& d : declared())
        expectDeclaredAsListed(d);
}

TEST_F(BatteryWidgets, ALaptopDischargingShowsItsOwnBatteryFirst)
{
    Defaults::shared().setData(PowerSource::kBluetoothKey, R"([{"name":"Headphones","percent":15}])");
    SysinfoPathsOverride paths(test::sysinfoFixture("laptop"));
    const auto w = declared();
    EXPECT_EQ(placedTexts(w[0].widget), "AERO 14 GEN 3 | 80 | %");
    EXPECT_EQ(placedTexts(w[1].widget), "BATTERY | 80 | % | 4H 10M REMAINING");
    // A name wider than the name column is cut short there.
    const std::string devices = placedTexts(w[2].widget);
    EXPECT_TRUE(devices.starts_with("AERO 14")) << devices;
    EXPECT_TRUE(devices.ends_with(" | 80 | KEYBOARD | 84 | MOUSE | 12 | HEADPHONES | 15")) << devices;
    EXPECT_EQ(placedTexts(w[3].widget), "POWER LOG | ON BATTERY | 12:00 | 80% \u00B7 4H 10M REMAINING");
}

TEST_F(BatteryWidgets, ADesktopShowsFullAndChargingWithOnlyItsPeripherals)
{
    SysinfoPathsOverride paths(test::sysinfoFixture("desktop"));
    const auto w = declared();
    // The ring names the machine (its host name here, the board having no product name).
    EXPECT_TRUE(placedTexts(w[0].widget).ends_with(" | 100 | %")) << placedTexts(w[0].widget);
    EXPECT_EQ(placedTexts(w[1].widget), "BATTERY | 100 | % | CHARGING");
    EXPECT_EQ(placedTexts(w[2].widget), "");
    // The log ends with the present state on mains power.
    EXPECT_EQ(placedTexts(w[3].widget), "POWER LOG | CHARGING | 12:00 | 100%");

    // What the app has stored from Bluetooth shows in the devices widget.
    Defaults::shared().setData(PowerSource::kBluetoothKey,
                               R"([{"name":"Keyboard","percent":84},{"name":"Mouse","percent":9}])");
    EXPECT_EQ(placedTexts(w[2].widget), "KEYBOARD | 84 | MOUSE | 9");
}

TEST_F(BatteryWidgets, PreviewsShowTheSampleAndPlacedWidgetsTheLiveReading)
{
    SysinfoPathsOverride paths(test::sysinfoFixture("laptop"));
    const BatteryProvider provider;
    SurfaceConfigIntent glass;
    glass.surface = SurfaceOption::glass;
    const timeline::TimelineContext preview{WidgetFamily::small, {160, 160}, true};

    const auto placeholder = provider.placeholder(preview);
    EXPECT_EQ(placeholder.data, PowerSnapshot::sample());
    EXPECT_EQ(placeholder.surface, SurfaceOption::followApp);

    const auto previewed = provider.snapshot(glass, preview);
    EXPECT_EQ(previewed.data, PowerSnapshot::sample());
    EXPECT_EQ(previewed.surface, SurfaceOption::glass);
    EXPECT_EQ(provider.snapshot(glass, {}).data.percent, 80);

    // A timeline in a preview context still reads live: one entry now, a reload 15 minutes on.
    const auto t = provider.timeline(glass, preview);
    ASSERT_EQ(t.entries.size(), 1u);
    EXPECT_EQ(t.entries[0].date, kNoon);
    EXPECT_EQ(t.entries[0].data.percent, 80);
    EXPECT_EQ(t.entries[0].surface, SurfaceOption::glass);
    EXPECT_EQ(t.policy, timeline::ReloadPolicy::after(kNoon.addingSeconds(15 * 60)));
}

} // namespace
