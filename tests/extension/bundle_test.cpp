#include "extension/VelkWidgetsBundle.h"
#include "platform/timeline/WidgetExtension.h"

#include <QPluginLoader>
#include <gtest/gtest.h>

using namespace velk;

namespace {

// The gallery order, group by group.
const QStringList kOrder = {
    "velk.clock.analogClassic", "velk.clock.analogMinimal", "velk.clock.hybridClassic", "velk.clock.hybridMinimal",
    "velk.clock.matrixSmall", "velk.clock.stacked", "velk.clock.matrixMedium", "velk.clock.world",
    "velk.clock.dotDial", "velk.clock.dual",
    "velk.weather.current", "velk.weather.night", "velk.weather.forecast", "velk.weather.rain",
    "velk.battery.ring", "velk.battery.percent", "velk.battery.devices", "velk.battery.log",
    "velk.reminders.checklist", "velk.reminders.nextUp", "velk.reminders.single", "velk.reminders.today",
    "velk.calendar.bigDate", "velk.calendar.monthGrid", "velk.calendar.dayEvents", "velk.calendar.agenda",
    "velk.notes.quick", "velk.notes.single", "velk.notes.list", "velk.notes.pinned",
    "velk.screentime.total", "velk.screentime.elapsed", "velk.screentime.apps", "velk.screentime.weekly",
    "velk.nowplaying", "velk.remote", "velk.stock", "velk.focus.timer", "velk.stopwatch",
    "velk.habits.week", "velk.countdown", "velk.steps", "velk.water",
    "velk.stock.watchlist", "velk.system.monitor", "velk.system.network", "velk.system.storage",
    "velk.weather.moon", "velk.weather.daylight", "velk.weather.airquality", "velk.quote", "velk.year", "velk.inbox",
};

} // namespace

TEST(VelkWidgetsBundleTest, OffersItsWidgetsOnceEachInGalleryOrder)
{
    ASSERT_EQ(kOrder.size(), 53);
    ASSERT_EQ(QSet<QString>(kOrder.begin(), kOrder.end()).size(), 53);
    // Widgets join as they are built; whatever is there keeps the gallery order, and nothing
    // else is offered (the bundle itself refuses a kind offered twice).
    const QStringList kinds = VelkWidgetsBundle{}.body().kinds();
    qsizetype next = 0;
    for (const QString& kind : kinds) {
        const qsizetype at = kOrder.indexOf(kind, next);
        ASSERT_GE(at, 0) << kind.toStdString() << " is out of order or not in the gallery";
        next = at + 1;
    }
}

TEST(VelkWidgetsBundleTest, RegistersEveryButtonActionAsRunnable)
{
    intents::IntentRegistry registry;
    VelkWidgetsBundle::registerIntents(registry);
    for (const char* type : {"FocusToggleIntent", "StopwatchToggleIntent", "StopwatchResetIntent", "HabitToggleIntent",
                             "AddWaterIntent", "AddStepsIntent", "MediaCommandIntent"}) {
        const auto d = registry.description(type);
        ASSERT_TRUE(d) << type;
        EXPECT_FALSE(d->configuration) << type;
    }
}

TEST(VelkWidgetsPluginTest, EntryHandsTheHostTheBundleAndRegistersIntoItsRegistry)
{
    QPluginLoader loader(QStringLiteral(VELK_WIDGETS_PLUGIN_FILE));
    auto* extension = qobject_cast<timeline::WidgetExtension*>(loader.instance());
    ASSERT_TRUE(extension) << loader.errorString().toStdString();
    EXPECT_EQ(extension->bundle().kinds(), VelkWidgetsBundle{}.body().kinds());
    EXPECT_TRUE(intents::IntentRegistry::shared().contains("AddWaterIntent"));
}
