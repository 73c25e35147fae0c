#include "shared/data/system/PowerLog.h"

#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"

#include <gtest/gtest.h>

using namespace velk;

namespace {
const Date kNoon = Date::fromUnix(1741348800); // 2025-03-07 12:00 UTC
const QString kDot = QStringLiteral(" \u00B7 ");

void store(const PowerLog::Stored& s)
{
    Defaults::shared().setData(PowerLog::kKey, *encodeJson(s));
}

std::optional<PowerLog::Stored> stored()
{
    const auto bytes = Defaults::shared().data(PowerLog::kKey);
    return bytes ? decodeJson<PowerLog::Stored>(*bytes) : std::nullopt;
}

QStringList messages(const std::vector<PowerSnapshot::LogEntry>& entries)
{
    QStringList out;
    for (const auto& e : entries)
        out << e.message;
    return out;
}

class PowerLogTest : public ::testing::Test {
protected:
    void SetUp() override { Defaults::shared().remove(PowerLog::kKey); }
};
} // namespace

TEST_F(PowerLogTest, EventsBetweenTwoSamples)
{
    struct Case {
        const char* what;
        qint64 lastPercent;
        bool lastCharging;
        double minutesAgo;
        BatteryReading now;
        QStringList expected;
    };
    const Case cases[] = {
        {"unplugged after half an hour", 90, true, 30, {84, false, {}}, {"Disconnected" + kDot + "Drain 12%/h", "84%"}},
        {"unplugged after ten minutes", 90, true, 10, {89, false, {}}, {"Disconnected from power", "89%"}},
        {"gained charge while unplugged", 50, true, 60, {60, false, {}}, {"Disconnected" + kDot + "Drain 0%/h", "60%"}},
        {"plugged in and full", 99, false, 5, {100, true, {}}, {"Connected to power", "Fully charged at 100%", "100%"}},
        {"became full while charging", 99, true, 5, {100, true, {}}, {"Fully charged at 100%", "100%"}},
        {"stayed full", 100, true, 5, {100, true, {}}, {"100%"}},
        {"on battery, no unplug",
         70,
         false,
         60,
         {75, false, QStringLiteral("2h 5m")},
         {"75%" + kDot + "2h 5m remaining"}},
    };
    for (const Case& c : cases) {
        const Date earlier = kNoon.addingSeconds(-c.minutesAgo * 60);
        store({{{earlier, QStringLiteral("old state"), true}}, c.lastPercent, c.lastCharging, earlier});
        ClockPin pin(kNoon);
        const auto entries = PowerLog::record(c.now);
        EXPECT_EQ(messages(entries), c.expected) << c.what;
        EXPECT_TRUE(entries.back().isCurrent) << c.what;
        // What is stored is what was shown, with this sample as the previous one.
        EXPECT_EQ(stored(), (PowerLog::Stored{entries, c.now.percent, c.now.isCharging, kNoon})) << c.what;
    }
}

TEST_F(PowerLogTest, FirstCallOfTheDayRecordsOnlyThePresentState)
{
    ClockPin pin(kNoon);
    EXPECT_EQ(messages(PowerLog::record(BatteryReading{80, false, QStringLiteral("4h 10m")})),
              QStringList{"80%" + kDot + "4h 10m remaining"});

    // Yesterday's log, even one that ended charging at 99 %, gives no event today.
    const Date yesterday = kNoon.addingSeconds(-86400);
    store({{{yesterday, "Connected to power", false}, {yesterday, "99%", true}}, 99, true, yesterday});
    EXPECT_EQ(messages(PowerLog::record(BatteryReading{100, false, {}})), QStringList{"100%"});
}

TEST_F(PowerLogTest, KeepsTheSixNewestEvents)
{
    std::vector<PowerSnapshot::LogEntry> entries;
    for (int i = 0; i < 6; ++i)
        entries.push_back({kNoon.addingSeconds(-3600 + i), QStringLiteral("event %1").arg(i), false});
    entries.push_back({kNoon.addingSeconds(-60), "50%", true});
    store({entries, 50, false, kNoon.addingSeconds(-60)});
    ClockPin pin(kNoon);
    const auto out = PowerLog::record(BatteryReading{51, true, {}});
    EXPECT_EQ(messages(out),
              (QStringList{"event 1", "event 2", "event 3", "event 4", "event 5", "Connected to power", "51%"}));
}

TEST_F(PowerLogTest, NoReadingTouchesNothingAndAnUnreadableLogCountsAsNone)
{
    store({{}, 50, false, kNoon});
    const auto before = Defaults::shared().data(PowerLog::kKey);
    {
        // Without a battery the log is the present state on mains power alone.
        ClockPin pin(kNoon);
        EXPECT_EQ(PowerLog::record(std::nullopt),
                  (std::vector<PowerSnapshot::LogEntry>{{kNoon, QStringLiteral("100%"), true}}));
    }
    EXPECT_EQ(Defaults::shared().data(PowerLog::kKey), before);

    Defaults::shared().setData(PowerLog::kKey, R"({"entries": [], "lastPercent": 50})");
    ClockPin pin(kNoon);
    EXPECT_EQ(messages(PowerLog::record(BatteryReading{100, true, {}})), QStringList{"100%"});
}
