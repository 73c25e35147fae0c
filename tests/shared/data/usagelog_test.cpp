#include "shared/data/activity/UsageLog.h"

#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"

#include "fixtures/sysinfo/SysinfoFixtures.h"

#include <QDateTime>
#include <QFile>
#include <gtest/gtest.h>

using namespace velk;

namespace {
// Friday 2025-03-07, 15:00 UTC.
const Date kFriday = Date::fromQDateTime(QDateTime(QDate(2025, 3, 7), QTime(15, 0), Qt::UTC));

QByteArray weekDocument()
{
    QFile f(test::sysinfoFixtureRoot(QStringLiteral("usage-week.json")));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

std::vector<qint64> minutes(const UsageSnapshot& s)
{
    std::vector<qint64> out;
    for (const auto& d : s.week)
        out.push_back(d.minutes);
    return out;
}

class UsageLogTest : public ::testing::Test {
protected:
    void SetUp() override { Defaults::shared().remove(UsageLog::kKey); }
};
} // namespace

TEST_F(UsageLogTest, TodaysTotalTopAppsAndTheWeekFromTheStoredLog)
{
    Defaults::shared().setData(UsageLog::kKey, weekDocument());
    ClockPin pin(kFriday);
    const auto snap = UsageLog::snapshot(180);
    ASSERT_TRUE(snap);
    EXPECT_EQ(snap->totalMinutes, 181); // 181.97 truncated
    EXPECT_EQ(snap->budgetMinutes, 180);
    const std::vector<UsageSnapshot::App> apps = {{"B", 120, false}, {"A", 59, false}, {"C", 1, true}};
    EXPECT_EQ(snap->apps, apps);
    const std::vector<UsageSnapshot::Day> week = {
        {"Sat", 0, false, false}, {"Sun", 40, false, false}, {"Mon", 40, false, false}, {"Tue", 1, false, false},
        {"Wed", 0, false, false}, {"Thu", 0, false, false},  {"Fri", 181, true, true},
    };
    EXPECT_EQ(snap->week, week);
    // The log is only read.
    EXPECT_EQ(Defaults::shared().data(UsageLog::kKey), weekDocument());
}

TEST_F(UsageLogTest, OnlyTheFirstOfEqualPeaksIsMarked)
{
    const auto store = UsageLog::Store::decode(R"({"days": {
        "2025-03-02": {"x": 2400}, "2025-03-03": {"x": 2400}, "2025-03-04": {"x": 600}, "2025-03-07": {"x": 300}}})");
    ASSERT_TRUE(store);
    const auto snap = UsageLog::snapshot(*store, 60, kFriday);
    ASSERT_TRUE(snap);
    EXPECT_EQ(minutes(*snap), (std::vector<qint64>{0, 40, 40, 10, 0, 0, 5}));
    for (size_t i = 0; i < snap->week.size(); ++i)
        EXPECT_EQ(snap->week[i].isPeak, i == 1) << i;
}

TEST_F(UsageLogTest, OnlyYesterdayLoggedStillGivesASnapshot)
{
    const auto store = UsageLog::Store::decode(R"({"days": {"2025-03-06": {"Mail": 90.5, "Notes": 30}}})");
    const auto snap = UsageLog::snapshot(*store, 60, kFriday);
    ASSERT_TRUE(snap);
    EXPECT_EQ(snap->totalMinutes, 0);
    EXPECT_TRUE(snap->apps.empty());
    EXPECT_EQ(minutes(*snap), (std::vector<qint64>{0, 0, 0, 0, 0, 2, 0}));
    EXPECT_TRUE(snap->week[5].isPeak);
}

TEST_F(UsageLogTest, NothingLoggedOrAnUnreadableLogGivesNothing)
{
    ClockPin pin(kFriday);
    EXPECT_FALSE(UsageLog::snapshot(60)); // no document
    for (const char* bad :
         {"", "not json", "[]", R"({"day": {}})", R"({"days": []})", R"({"days": {"2025-03-07": ["Mail", 60]}})",
          R"({"days": {"2025-03-07": {"Mail": "60"}}})"}) {
        EXPECT_FALSE(UsageLog::Store::decode(bad)) << bad;
        Defaults::shared().setData(UsageLog::kKey, bad);
        EXPECT_TRUE(UsageLog::load().days.isEmpty()) << bad;
        EXPECT_FALSE(UsageLog::snapshot(60)) << bad;
        EXPECT_EQ(Defaults::shared().data(UsageLog::kKey), QByteArray(bad));
    }
    // Less than a minute everywhere is nothing to show either.
    EXPECT_FALSE(UsageLog::snapshot(*UsageLog::Store::decode(R"({"days": {"2025-03-07": {"x": 59}}})"), 60, kFriday));
}
