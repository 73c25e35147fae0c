// Screen time: what a sample credits, when the widgets are reloaded, the log's 15-day limit,
// and a clock set back.
#include "app/services/UsageLogWriter.h"
#include "app/services/UsageTracker.h"
#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "platform/timeline/WidgetCenter.h"

#include <gtest/gtest.h>

using namespace velk;

namespace {

struct FakeActivity final : DesktopActivity {
    std::optional<QString>* app;
    double* idle;
    FakeActivity(std::optional<QString>* a, double* i) : app(a), idle(i) {}
    std::optional<QString> frontmostApplicationName() override { return *app; }
    double idleSeconds() override { return *idle; }
};

const QStringList kScreenTimeKinds{"velk.screentime.total", "velk.screentime.elapsed", "velk.screentime.apps",
                                   "velk.screentime.weekly"};

class UsageTrackerTest : public ::testing::Test {
protected:
    void SetUp() override { Defaults::shared().remove(UsageLog::kKey); }

    // 2026-12-10 12:00 UTC plus seconds.
    static Date at(double seconds) { return Date::fromUnix(1796904000 + seconds); }
    double credited(const QString& day, const QString& name) const { return UsageLog::load().days[day][name]; }

    std::optional<QString> app = QStringLiteral("Editor");
    double idle = 0;
    UsageTracker tracker{std::make_unique<FakeActivity>(&app, &idle)};
    timeline::WidgetCenterRecorder reloads;
};

} // namespace

TEST_F(UsageTrackerTest, CreditsTheTimeSinceTheLastSampleWithinLimits)
{
    ClockPin pin(at(0));
    tracker.sample();
    EXPECT_EQ(credited("2026-12-10", "Editor"), 30);
    EXPECT_EQ(reloads.kinds(), kScreenTimeKinds);

    Clock::pin(at(45));
    tracker.sample();
    EXPECT_EQ(credited("2026-12-10", "Editor"), 75);
    Clock::pin(at(45 + 600)); // after sleep
    app = QStringLiteral("Terminal");
    tracker.sample();
    EXPECT_EQ(credited("2026-12-10", "Terminal"), 60);
    // The reload 645 s after the first one; none in between.
    EXPECT_EQ(reloads.kinds(), kScreenTimeKinds + kScreenTimeKinds);
}

TEST_F(UsageTrackerTest, IdleAndNoApplicationCreditNothing)
{
    ClockPin pin(at(0));
    tracker.sample();
    idle = 180;
    Clock::pin(at(30));
    tracker.sample();
    EXPECT_EQ(credited("2026-12-10", "Editor"), 30);

    idle = 179; // the idle sample moved the last sample: 30 s, not 60
    Clock::pin(at(60));
    tracker.sample();
    EXPECT_EQ(credited("2026-12-10", "Editor"), 60);

    app.reset(); // nothing in front: skipped, the last sample stays
    Clock::pin(at(90));
    tracker.sample();
    app = QStringLiteral("");
    Clock::pin(at(100));
    tracker.sample();
    EXPECT_EQ(credited("2026-12-10", "Unknown"), 40);
}

TEST_F(UsageTrackerTest, AClockSetBackNeverShrinksTheTotals)
{
    ClockPin pin(at(0));
    tracker.sample();
    Clock::pin(at(-3600)); // an hour back
    tracker.sample();
    EXPECT_EQ(credited("2026-12-10", "Editor"), 30);
    Clock::pin(at(-3600 + 20));
    tracker.sample();
    EXPECT_EQ(credited("2026-12-10", "Editor"), 50);
    for (const auto& day : UsageLog::load().days)
        for (double seconds : day)
            EXPECT_GE(seconds, 0);
}

TEST_F(UsageTrackerTest, ASampleAfterMidnightGoesToTheNewDay)
{
    ClockPin pin(Date::fromUnix(1796947200 - 10)); // 2026-12-10 23:59:50 UTC
    tracker.sample();
    Clock::pin(Date::fromUnix(1796947200 + 20));
    tracker.sample();
    EXPECT_EQ(credited("2026-12-10", "Editor"), 30);
    EXPECT_EQ(credited("2026-12-11", "Editor"), 30);
}

TEST_F(UsageTrackerTest, StartingTwiceSamplesOnce)
{
    ClockPin pin(at(0));
    tracker.start();
    tracker.start();
    EXPECT_TRUE(tracker.isStarted());
    EXPECT_EQ(credited("2026-12-10", "Editor"), 30);
}

TEST(UsageLogWriterTest, KeepsTheNewestFifteenDays)
{
    UsageLog::Store store;
    for (int d = 1; d <= 20; ++d)
        store.days[QStringLiteral("2026-11-%1").arg(d, 2, 10, QChar(u'0'))]["A"] = d;
    const UsageLog::Store cut = UsageLogWriter::adding(store, 5, "B", "2026-12-01");
    EXPECT_EQ(cut.days.size(), 15);
    EXPECT_EQ(cut.days.firstKey(), QStringLiteral("2026-11-07"));
    EXPECT_EQ(cut.days.value("2026-12-01").value("B"), 5);

    // Stored and read back through the widgets' reader.
    const auto bytes = UsageLogWriter::encode(cut);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(UsageLog::Store::decode(*bytes), cut);
}
