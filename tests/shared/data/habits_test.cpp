#include "shared/data/activity/ExtrasStoreActivity.h"

#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "platform/core/TimeZone.h"
#include "shared/data/activity/ExtrasStore.h"

#include <gtest/gtest.h>
#include <limits>
#include <thread>

using namespace velk;

namespace {

// Day keys follow the zone the process had when the first key was made, so the zone is set
// before any test runs, and to one where the local day and the UTC day differ.
class BerlinZone : public ::testing::Environment {
public:
    void SetUp() override { TimeZone::setCurrent(TimeZone::named(QStringLiteral("Europe/Berlin"))); }
    void TearDown() override { TimeZone::setCurrent(std::nullopt); }
};
const auto* const kZone = ::testing::AddGlobalTestEnvironment(new BerlinZone);

// A wall-clock moment in Berlin (UTC+1 in March until the 30th).
Date berlin(int day, int hour, int minute = 0)
{
    return Date::fromQDateTime(QDateTime(QDate(2025, 3, day), QTime(hour, minute), Qt::OffsetFromUTC, 3600));
}

class ActivityTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Defaults suite = Defaults::shared();
        for (const QString& key : suite.keys())
            suite.remove(key);
    }
    static void storeHabits(const std::vector<HabitItem>& habits)
    {
        ExtrasStore::write(habits, ExtrasStore::kHabitsKey);
    }
    static std::optional<std::vector<HabitItem>> storedHabits()
    {
        return ExtrasStore::read<std::vector<HabitItem>>(ExtrasStore::kHabitsKey);
    }
};

} // namespace

TEST_F(ActivityTest, HabitWeekCountsTheCheckInsOfTheWeekFromMonday)
{
    // Week of Monday 10 March 2025: Sunday the 9th belongs to the week before.
    const HabitItem mondayOnly(QStringLiteral("Run"), {"2025-03-09", "2025-03-10"});
    const HabitItem everyDay(QStringLiteral("Read"), {"2025-03-10", "2025-03-11", "2025-03-12", "2025-03-13",
                                                      "2025-03-14", "2025-03-15", "2025-03-16", "2025-03-17"});
    const HabitItem never(QStringLiteral("No sugar"));
    storeHabits({mondayOnly, everyDay, never});

    struct Case {
        Date now;
        std::vector<qint64> done;
    };
    for (const Case& c : {
             Case{berlin(10, 0, 5), {1, 7, 0}},   // Monday just after midnight (still Sunday in UTC)
             Case{berlin(16, 23, 59), {1, 7, 0}}, // Sunday night, the last minute of the week
             Case{berlin(17, 0, 30), {0, 1, 0}},  // the next week has begun
         }) {
        ClockPin pin(c.now);
        const auto rows = ExtrasStore::habitWeek();
        ASSERT_EQ(rows.size(), 3u);
        for (size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].done, c.done[i]) << rows[i].name.toStdString() << " at " << c.now.sinceReference;
            EXPECT_EQ(rows[i].total, 7);
        }
        EXPECT_EQ(rows[0].id, mondayOnly.id);
        EXPECT_EQ(rows[2].name, "No sugar");
    }
}

TEST_F(ActivityTest, ToggleChecksInForTheLocalDayAndBack)
{
    const HabitItem run(QStringLiteral("Run"), {"2025-03-01"});
    const HabitItem read(QStringLiteral("Read"));
    storeHabits({run, read});
    // 23:30 UTC on the 9th is already the 10th in Berlin.
    ClockPin pin(berlin(10, 0, 30));

    ExtrasStore::toggleHabitToday(run.id);
    auto habits = storedHabits();
    ASSERT_TRUE(habits);
    EXPECT_EQ((*habits)[0].checkins, (std::set<QString>{"2025-03-01", "2025-03-10"}));
    EXPECT_EQ((*habits)[1], read);

    ExtrasStore::toggleHabitToday(run.id);
    EXPECT_EQ(storedHabits(), (std::vector<HabitItem>{run, read}));

    const QByteArray before = *Defaults::shared().data(ExtrasStore::kHabitsKey);
    EXPECT_FALSE(ExtrasStore::toggleHabitToday(QUuid::createUuid()).ok());
    EXPECT_EQ(Defaults::shared().data(ExtrasStore::kHabitsKey), before);
}

TEST_F(ActivityTest, SampleHabitsStandInUntilOneIsToggled)
{
    ClockPin pin(berlin(12, 9));
    const auto rows = ExtrasStore::habitWeek();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].name, "Run");
    EXPECT_EQ(rows[0].id, HabitItem::samples()[0].id);
    EXPECT_EQ(rows[0].done, 0);

    // An id from elsewhere matches no sample: nothing is written.
    EXPECT_FALSE(ExtrasStore::toggleHabitToday(QUuid::createUuid()).ok());
    EXPECT_FALSE(Defaults::shared().contains(ExtrasStore::kHabitsKey));

    ExtrasStore::toggleHabitToday(HabitItem::samples()[1].id);
    const auto stored = storedHabits();
    ASSERT_TRUE(stored);
    ASSERT_EQ(stored->size(), 3u);
    EXPECT_EQ((*stored)[0], HabitItem::samples()[0]);
    EXPECT_EQ((*stored)[1].checkins, std::set<QString>{"2025-03-12"});
    EXPECT_EQ(ExtrasStore::habitWeek()[1].done, 1);

    // An empty stored list is a list, not a reason for samples.
    storeHabits({});
    EXPECT_TRUE(ExtrasStore::habitWeek().empty());
}

TEST_F(ActivityTest, AnUndecodableHabitListShowsSamplesButIsNeverOverwritten)
{
    const QByteArray unreadable = R"([{"name":"Run","checkins":[]}])"; // no id
    Defaults::shared().setData(ExtrasStore::kHabitsKey, unreadable);
    ClockPin pin(berlin(12, 9));
    EXPECT_EQ(ExtrasStore::habitWeek().size(), 3u);
    EXPECT_FALSE(ExtrasStore::toggleHabitToday(HabitItem::samples()[0].id).ok());
    EXPECT_EQ(Defaults::shared().data(ExtrasStore::kHabitsKey), unreadable);
}

TEST_F(ActivityTest, CountersStartAtZeroEachLocalDay)
{
    ClockPin evening(berlin(9, 23, 30));
    ExtrasStore::addToCounter(QStringLiteral("water"), 1);
    ExtrasStore::addToCounter(QStringLiteral("water"), 2);
    ExtrasStore::addToCounter(QStringLiteral("steps"), 1000);
    EXPECT_EQ(ExtrasStore::counter(QStringLiteral("water"), 8), (CounterSnapshot{3, 8}));
    EXPECT_EQ(Defaults::shared().integer("velk.counter.water.2025-03-09"), 3);

    // Forty minutes on it is the 10th in Berlin, though still the 9th in UTC.
    Clock::pin(berlin(10, 0, 10));
    EXPECT_EQ(ExtrasStore::counter(QStringLiteral("water"), 8), (CounterSnapshot{0, 8}));
    EXPECT_EQ(ExtrasStore::counter(QStringLiteral("steps"), -5).goal, -5);
    ExtrasStore::addToCounter(QStringLiteral("water"), 1);
    EXPECT_EQ(ExtrasStore::counter(QStringLiteral("water"), 8).value, 1);
    EXPECT_EQ(Defaults::shared().integer("velk.counter.water.2025-03-09"), 3);
}

TEST_F(ActivityTest, CounterAddsStayWithinZeroAndTheIntegerRange)
{
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    constexpr qint64 kMin = std::numeric_limits<qint64>::min();
    struct Case {
        std::optional<qint64> stored;
        qint64 amount;
        qint64 expected;
    };
    ClockPin pin(berlin(12, 9));
    const QString key = ExtrasStore::counterKey(QStringLiteral("steps"), Clock::now());
    for (const Case& c : {
             Case{2, -3, 0},
             Case{std::nullopt, -3, 0},
             Case{5, -5, 0},
             Case{5, 4, 9},
             Case{kMax - 1, 1000, kMax},
             Case{-7, 2, 0}, // a negative value from elsewhere is mended, not kept
             Case{10, kMin, 0},
         }) {
        if (c.stored)
            Defaults::shared().setInteger(key, *c.stored);
        else
            Defaults::shared().remove(key);
        ExtrasStore::addToCounter(QStringLiteral("steps"), c.amount);
        EXPECT_EQ(Defaults::shared().integer(key), c.expected) << c.stored.value_or(-1) << " + " << c.amount;
    }
}

TEST_F(ActivityTest, ConcurrentTapsAreAllCounted)
{
    ClockPin pin(berlin(12, 9));
    constexpr int kThreads = 4;
    constexpr int kTaps = 50;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([] {
            for (int i = 0; i < kTaps; ++i)
                ExtrasStore::addToCounter(QStringLiteral("water"), 1);
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(ExtrasStore::counter(QStringLiteral("water"), 8).value, kThreads * kTaps);
}

TEST_F(ActivityTest, GoalsFallBackWhenNotPositive)
{
    struct Case {
        std::optional<qint64> stored;
        qint64 water;
        qint64 steps;
    };
    for (const Case& c : {Case{std::nullopt, 8, 10000}, Case{0, 8, 10000}, Case{-4, 8, 10000},
                          Case{12000, 12000, 12000}, Case{3, 3, 3}}) {
        for (const QString& key : {ExtrasStore::kWaterGoalKey, ExtrasStore::kStepsGoalKey}) {
            if (c.stored)
                Defaults::shared().setInteger(key, *c.stored);
            else
                Defaults::shared().remove(key);
        }
        EXPECT_EQ(ExtrasStore::waterGoal(), c.water) << c.stored.value_or(-1);
        EXPECT_EQ(ExtrasStore::stepsGoal(), c.steps) << c.stored.value_or(-1);
    }
}
