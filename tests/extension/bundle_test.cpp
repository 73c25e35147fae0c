// The bundle as the host sees it: gallery order, and every widget it offers drawn from each
// road a host takes (placeholder, gallery preview, placed timeline) in a dark and a light look.
// Set VELK_WIDGET_PNG_DIR to keep the renders (scale 2) for a look by eye.
#include "extension/VelkWidgetsBundle.h"
#include "fixtures/calendar/CalendarFixtures.h"
#include "platform/calendar/CalendarStore.h"
#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "platform/timeline/WidgetExtension.h"
#include "platform/view/Layout.h"
#include "shared/data/activity/UsageLog.h"
#include "shared/look/ThemeStore.h"
#include "shared/look/TreeQuery.h"
#include "support/FixtureServer.h"

#include <QDir>
#include <QImage>
#include <QPluginLoader>
#include <QSet>
#include <gtest/gtest.h>
#include <optional>

using namespace velk;

namespace {

// The gallery order, group by group.
const QStringList kOrder = {
    "velk.clock.analogClassic",
    "velk.clock.analogMinimal",
    "velk.clock.hybridClassic",
    "velk.clock.hybridMinimal",
    "velk.clock.matrixSmall",
    "velk.clock.stacked",
    "velk.clock.matrixMedium",
    "velk.clock.world",
    "velk.clock.dotDial",
    "velk.clock.dual",
    "velk.weather.current",
    "velk.weather.night",
    "velk.weather.forecast",
    "velk.weather.rain",
    "velk.battery.ring",
    "velk.battery.percent",
    "velk.battery.devices",
    "velk.battery.log",
    "velk.reminders.checklist",
    "velk.reminders.nextUp",
    "velk.reminders.single",
    "velk.reminders.today",
    "velk.calendar.bigDate",
    "velk.calendar.monthGrid",
    "velk.calendar.dayEvents",
    "velk.calendar.agenda",
    "velk.notes.quick",
    "velk.notes.single",
    "velk.notes.list",
    "velk.notes.pinned",
    "velk.screentime.total",
    "velk.screentime.elapsed",
    "velk.screentime.apps",
    "velk.screentime.weekly",
    "velk.nowplaying",
    "velk.remote",
    "velk.stock",
    "velk.focus.timer",
    "velk.stopwatch",
    "velk.habits.week",
    "velk.countdown",
    "velk.steps",
    "velk.water",
    "velk.stock.watchlist",
    "velk.system.monitor",
    "velk.system.network",
    "velk.system.storage",
    "velk.weather.moon",
    "velk.weather.daylight",
    "velk.weather.airquality",
    "velk.quote",
    "velk.year",
    "velk.inbox",
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

// Share of pixels that are not fully transparent.
double coverage(const QImage& image)
{
    qint64 painted = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            painted += qAlpha(image.pixel(x, y)) > 0;
    return double(painted) / double(image.width() * image.height());
}

TEST(VelkWidgetsBundleTest, EveryWidgetIsCompleteAndDrawsEveryRoadInDarkAndLightLooks)
{
    ClockPin pin{test::kFixtureNow};
    // Web services that refuse at once: the network widgets take their fallbacks.
    const test::ScopedEnv forecast("VELK_FORECAST_URL", "http://127.0.0.1:9");
    const test::ScopedEnv geocoding("VELK_GEOCODING_URL", "http://127.0.0.1:9");
    const test::ScopedEnv air("VELK_AIR_QUALITY_URL", "http://127.0.0.1:9");
    const test::ScopedEnv chart("VELK_CHART_URL", "http://127.0.0.1:9");
    // Live calendar data for the placed road.
    test::grantCalendarAccess();
    ASSERT_TRUE(test::copyCalendarFixtures(CalendarStore::defaultRoot()));
    // An hour of use today, so the placed screen-time widgets draw live rows (with no app used
    // today the top-apps widget is blank by design).
    Defaults::shared().setData(UsageLog::kKey, QStringLiteral(R"({"days": {"%1": {"Editor": 3600}}})")
                                                   .arg(UsageLog::dayFormat().string(Clock::now()))
                                                   .toUtf8());

    const timeline::WidgetBundle bundle = VelkWidgetsBundle{}.body();
    ASSERT_FALSE(bundle.widgets().empty());
    const QString pngDir = qEnvironmentVariable("VELK_WIDGET_PNG_DIR");
    if (!pngDir.isEmpty()) QDir().mkpath(pngDir);
    QSet<QString> seen;
    for (const timeline::WidgetDefinition& w : bundle.widgets()) {
        const QString kind = w.kind();
        SCOPED_TRACE(kind.toStdString());
        ASSERT_TRUE(w.isValid());
        EXPECT_FALSE(seen.contains(kind));
        seen.insert(kind);
        EXPECT_TRUE(kind.startsWith("velk."));
        EXPECT_FALSE(w.displayName().isEmpty());
        EXPECT_FALSE(w.description().isEmpty());
        EXPECT_TRUE(w.isContentMarginsDisabled());
        EXPECT_TRUE(intents::IntentRegistry::shared().contains(w.configurationIntent().toUtf8().constData()));

        const QSizeF size = timeline::designSize(w.family());
        const timeline::TimelineContext gallery{w.family(), size, true}, placed{w.family(), size, false};
        const timeline::AnyProvider& provider = w.provider();
        const QJsonObject configuration = w.configuration({{"surface", "solid"}});
        const timeline::AnyTimeline t = provider.timeline(configuration, placed);
        ASSERT_FALSE(t.entries.empty());
        const timeline::AnyEntry placeholder = provider.placeholder(placed);
        EXPECT_EQ(placeholder.surface(), "followApp");
        const std::pair<const char*, timeline::AnyEntry> roads[] = {
            {"placeholder", placeholder},
            {"preview", provider.snapshot(configuration, gallery)},
            {"timeline", t.entries.front()},
        };
        for (const char* theme : {"macos", "green"}) {
            ThemeStore::save({QString::fromLatin1(theme), ThemeSettings::SurfaceStyle::solid});
            for (const auto& [road, entry] : roads) {
                for (view::ColorScheme scheme : {view::ColorScheme::dark, view::ColorScheme::light}) {
                    const char* look = scheme == view::ColorScheme::dark ? "dark" : "light";
                    SCOPED_TRACE(QStringLiteral("%1 %2 %3").arg(road, theme, look).toStdString());
                    const view::Environment env{scheme, view::RenderingMode::fullColor};
                    const view::View content = w.render(entry);
                    const view::LaidOutTree tree = view::layout(content, size, env);
                    EXPECT_EQ(tree.size(), size);
                    const QJsonObject dump = view::inspect(tree);
                    // Live, the devices widget of a computer with neither a battery nor a
                    // peripheral has no row to draw: only its background.
                    const bool mayBeBlank = kind == "velk.battery.devices" && QLatin1String(road) == "timeline";
                    EXPECT_FALSE(!mayBeBlank && velk::testing::nodesOfKind(dump, "Text").empty() &&
                                 velk::testing::nodesOfKind(dump, "RoundedRectangle").empty() &&
                                 velk::testing::nodesOfKind(dump, "Circle").empty())
                        << "draws nothing";
                    const QImage image = view::renderImage(content, size, 2, env);
                    ASSERT_EQ(image.size(), (size * 2).toSize());
                    // A solid surface covers the whole widget.
                    EXPECT_GT(coverage(image), 0.9);
                    if (!pngDir.isEmpty())
                        image.save(QStringLiteral("%1/%2-%3-%4-%5.png").arg(pngDir, kind, road, theme, look));
                }
            }
        }
    }
    Defaults::shared().remove(ThemeStore::kKey);
    QDir(CalendarStore::defaultRoot()).removeRecursively();
}

TEST(VelkWidgetsBundleTest, SamplesAreMadeAtTheRenderNotWhenTheBundleLoads)
{
    // The bundle loads at one moment and is asked for placeholders and previews hours later:
    // every widget then shows what a bundle loaded at that later moment shows (a stopwatch
    // started minutes ago, mail from two minutes ago), in every widget of the gallery.
    const Date loaded = test::kFixtureNow;
    const Date shown = loaded.addingSeconds(5 * 3600 + 17 * 60);
    ThemeStore::save({QStringLiteral("macos"), ThemeSettings::SurfaceStyle::solid});
    std::optional<timeline::WidgetBundle> early;
    {
        ClockPin pin{loaded};
        early = VelkWidgetsBundle{}.body();
    }
    ClockPin pin{shown};
    const timeline::WidgetBundle fresh = VelkWidgetsBundle{}.body();
    ASSERT_EQ(early->widgets().size(), fresh.widgets().size());
    for (size_t i = 0; i < fresh.widgets().size(); ++i) {
        const timeline::WidgetDefinition& before = early->widgets()[i];
        const timeline::WidgetDefinition& now = fresh.widgets()[i];
        SCOPED_TRACE(now.kind().toStdString());
        const QSizeF size = timeline::designSize(now.family());
        const timeline::TimelineContext gallery{now.family(), size, true};
        const QJsonObject configuration = now.configuration({{"surface", "solid"}});
        auto dump = [&](const timeline::WidgetDefinition& w, const timeline::AnyEntry& entry) {
            return view::inspect(view::layout(w.render(entry), size));
        };
        EXPECT_EQ(dump(before, before.provider().placeholder(gallery)), dump(now, now.provider().placeholder(gallery)));
        EXPECT_EQ(dump(before, before.provider().snapshot(configuration, gallery)),
                  dump(now, now.provider().snapshot(configuration, gallery)));
    }
    Defaults::shared().remove(ThemeStore::kKey);
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
