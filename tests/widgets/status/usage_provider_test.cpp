// The screen-time timeline read from a stored usage log and budget: the budget's default, the
// sample in gallery snapshots only, the empty day a placed widget shows when nothing is logged,
// one entry and a reload ten minutes on. Then the four widgets drawn from what is stored.
#include "widgets/status/usage/UsageProvider.h"
#include "widgets/status/usage/UsageWidgets.h"

#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "platform/view/Layout.h"
#include "shared/data/activity/UsageLog.h"
#include "shared/look/TreeQuery.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace velk;
using timeline::WidgetFamily;
using velk::testing::inspectAt;
using velk::testing::nodesOfKind;
using velk::testing::textNode;
using velk::testing::textsOf;

namespace {

// Wednesday 2025-03-12, 15:00 UTC.
const Date kWednesday = Date::fromQDateTime(QDateTime(QDate(2025, 3, 12), QTime(15, 0), Qt::UTC));

// The log as the app writes it: day -> app -> seconds.
void storeLog(const std::map<QString, std::map<QString, double>>& days)
{
    QJsonObject out;
    for (const auto& [day, apps] : days) {
        QJsonObject a;
        for (const auto& [app, seconds] : apps)
            a.insert(app, seconds);
        out.insert(day, a);
    }
    Defaults::shared().setData(UsageLog::kKey, QJsonDocument(QJsonObject{{"days", out}}).toJson());
}

void storeBudget(qint64 minutes)
{
    Defaults::shared().setInteger(UsageProvider::kBudgetKey, minutes);
}

const timeline::TimelineContext kPreview{WidgetFamily::small, {160, 160}, true};

SurfaceConfigIntent accent()
{
    return SurfaceConfigIntent{SurfaceOption::accent};
}

class UsageTimeline : public ::testing::Test {
protected:
    void SetUp() override
    {
        Defaults::shared().remove(UsageLog::kKey);
        Defaults::shared().remove(UsageProvider::kBudgetKey);
    }
    ClockPin pin{kWednesday};
    UsageProvider provider;
};

} // namespace

TEST_F(UsageTimeline, TheBudgetIsTheStoredMinutesWhenAboveZero)
{
    EXPECT_EQ(UsageProvider::budget(), 480);
    for (const auto& [stored, effective] :
         std::vector<std::pair<qint64, qint64>>{{0, 480}, {-30, 480}, {1, 1}, {90, 90}}) {
        storeBudget(stored);
        EXPECT_EQ(UsageProvider::budget(), effective) << stored;
    }
    // Something other than a number reads as none.
    Defaults::shared().setString(UsageProvider::kBudgetKey, "lots");
    EXPECT_EQ(UsageProvider::budget(), 480);
}

TEST_F(UsageTimeline, OneEntryOfTheLoggedDayAndAReloadTenMinutesOn)
{
    storeBudget(120);
    storeLog({{"2025-03-12", {{"Editor", 3600}, {"Browser", 1830}}}, {"2025-03-10", {{"Editor", 600}}}});
    const auto tl = provider.timeline(accent(), kPreview);
    ASSERT_EQ(tl.entries.size(), 1u);
    EXPECT_EQ(tl.entries[0].date, kWednesday);
    EXPECT_EQ(tl.entries[0].surface, SurfaceOption::accent);
    EXPECT_EQ(tl.policy, timeline::ReloadPolicy::after(kWednesday.addingSeconds(600)));
    // Live even in a preview context: only the snapshot looks at it.
    const UsageSnapshot& data = tl.entries[0].data;
    EXPECT_EQ(data.totalMinutes, 90);
    EXPECT_EQ(data.budgetMinutes, 120);
    ASSERT_EQ(data.apps.size(), 2u);
    EXPECT_EQ(data.apps[0].name, "Editor");
    EXPECT_EQ(data.week.size(), 7u);

    EXPECT_EQ(provider.snapshot(accent(), {}).data, data);
    EXPECT_EQ(provider.snapshot(accent(), kPreview).data, UsageSnapshot::sample());
}

TEST_F(UsageTimeline, NothingLoggedThisWeekShowsAnEmptyDayPlacedAndTheSampleInSnapshots)
{
    storeBudget(200);
    // Older than seven days, and under a minute today: neither counts.
    storeLog({{"2025-03-01", {{"Editor", 7200}}}, {"2025-03-12", {{"Editor", 59}}}});
    const UsageSnapshot placed = provider.timeline(accent(), {}).entries[0].data;
    EXPECT_EQ(placed, (UsageSnapshot{0, 200, {}, {}}));
    EXPECT_EQ(provider.snapshot(accent(), {}).data, UsageSnapshot::sample());

    // The empty day follows a budget changed since.
    storeBudget(-5);
    EXPECT_EQ(provider.timeline(accent(), {}).entries[0].data.budgetMinutes, 480);
    // A corrupt log is no log.
    Defaults::shared().setData(UsageLog::kKey, "{\"days\": 7");
    EXPECT_EQ(provider.timeline(accent(), {}).entries[0].data, (UsageSnapshot{0, 480, {}, {}}));
}

TEST_F(UsageTimeline, ThePlaceholderIsTheSampleOnTheAppsSurface)
{
    const auto p = provider.placeholder({});
    EXPECT_EQ(p.data, UsageSnapshot::sample());
    EXPECT_EQ(p.surface, SurfaceOption::followApp);
}

TEST_F(UsageTimeline, TheWidgetsDrawTheStoredDayUnderAtAndOverBudget)
{
    struct Case {
        const char* name;
        qint64 budget;
        const char* total;
        const char* status;
        const char* percent;
    };
    // Today: 1H 30M logged.
    storeLog({{"2025-03-12", {{"Editor", 3600}, {"Browser", 1800}}}, {"2025-03-11", {{"Editor", 9000}}}});
    const timeline::WidgetDefinition total = UsageTotalWidget{}.body();
    const timeline::WidgetDefinition elapsed = UsageElapsedWidget{}.body();
    for (const Case& c :
         {Case{"under", 120, "1H 30M", "30M LEFT TODAY", "75%"}, Case{"at", 90, "1H 30M", "0M LEFT TODAY", "100%"},
          Case{"over", 60, "1H 30M", "30M OVER LIMIT", "100%"}}) {
        SCOPED_TRACE(c.name);
        storeBudget(c.budget);
        const QStringList totalTexts = textsOf(inspectAt(total.render(total.provider().timeline({}, {}).entries.at(0)),
                                                         timeline::designSize(total.family())));
        EXPECT_EQ(totalTexts, QStringList({"SCREEN TIME", c.total, c.status}));
        const QStringList elapsedTexts = textsOf(inspectAt(
            elapsed.render(elapsed.provider().timeline({}, {}).entries.at(0)), timeline::designSize(elapsed.family())));
        EXPECT_EQ(elapsedTexts.value(1), c.percent);
    }
}

TEST_F(UsageTimeline, TheWeeklyWidgetDrawsAnEmptyWeekAsNoBars)
{
    const timeline::WidgetDefinition weekly = UsageWeeklyWidget{}.body();
    const QJsonObject tree = inspectAt(weekly.render(weekly.provider().timeline({}, {}).entries.at(0)),
                                       timeline::designSize(weekly.family()));
    EXPECT_EQ(textsOf(tree), QStringList({"DAILY AVERAGE", "0M"}));
    EXPECT_TRUE(nodesOfKind(tree, "Circle").empty());
    // And the apps widget, with no apps, is blank.
    const timeline::WidgetDefinition apps = UsageAppsWidget{}.body();
    EXPECT_TRUE(textsOf(inspectAt(apps.render(apps.provider().timeline({}, {}).entries.at(0)),
                                  timeline::designSize(apps.family())))
                    .isEmpty());
}

TEST(UsageWidgets, DeclaredAsTheGalleryListsThemWithNoURL)
{
    struct Row {
        timeline::WidgetDefinition w;
        const char* kind;
        const char* name;
        const char* description;
        WidgetFamily family;
    };
    ClockPin pin(kWednesday);
    for (const Row& r : {Row{UsageTotalWidget{}.body(), "velk.screentime.total", "Screen Time",
                             "Today's total against your budget.", WidgetFamily::small},
                         Row{UsageElapsedWidget{}.body(), "velk.screentime.elapsed", "Elapsed",
                             "Budget burned, as a dot grid.", WidgetFamily::small},
                         Row{UsageAppsWidget{}.body(), "velk.screentime.apps", "Top Apps", "Where the time went.",
                             WidgetFamily::medium},
                         Row{UsageWeeklyWidget{}.body(), "velk.screentime.weekly", "Weekly",
                             "Seven days of screen time.", WidgetFamily::medium}}) {
        SCOPED_TRACE(r.kind);
        EXPECT_EQ(r.w.kind(), r.kind);
        EXPECT_EQ(r.w.displayName(), QString::fromUtf8(r.name));
        EXPECT_EQ(r.w.description(), QString::fromUtf8(r.description));
        EXPECT_EQ(r.w.family(), r.family);
        EXPECT_EQ(r.w.configurationIntent(), "SurfaceConfigIntent");
        EXPECT_TRUE(r.w.isContentMarginsDisabled());
        const QSizeF size = timeline::designSize(r.family);
        EXPECT_FALSE(
            view::widgetURL(view::layout(r.w.render(r.w.provider().placeholder({r.family, size, false})), size)));
    }
}
