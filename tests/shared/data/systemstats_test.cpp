#include "shared/data/system/SystemStats.h"

#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "platform/sysinfo/DiskCapacity.h"

#include "fixtures/sysinfo/SysinfoFixtures.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace velk;

namespace {
const Date kMorning = Date::fromUnix(1741334400); // 2025-03-07 08:00 UTC

class SystemStatsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Defaults::shared().remove(SystemStats::kCpuTicksKey);
        Defaults::shared().remove(SystemStats::kNetBytesKey);
    }
    // Samples the machine described by a fixture tree at a moment.
    template <class F>
    auto at(const char* tree, Date when, F sample)
    {
        SysinfoPathsOverride paths(test::sysinfoFixture(tree));
        ClockPin pin(when);
        return sample();
    }
};
} // namespace

TEST_F(SystemStatsTest, CpuLoadIsTheAverageSinceThePreviousCallAndARebootRestartsIt)
{
    EXPECT_FALSE(at("laptop", kMorning, SystemStats::cpuPercent)); // nothing to compare with yet
    // 400 busy ticks of 1000.
    EXPECT_EQ(at("laptop-later", kMorning.addingSeconds(900), SystemStats::cpuPercent), 40);

    // After a restart the counters are below the stored ones: no figure, and the new counters
    // become the previous sample.
    EXPECT_FALSE(at("laptop-rebooted", kMorning.addingSeconds(1800), SystemStats::cpuPercent));
    const auto stored = Defaults::shared().data(SystemStats::kCpuTicksKey);
    ASSERT_TRUE(stored);
    EXPECT_EQ(QJsonDocument::fromJson(*stored).object(),
              (QJsonObject{{"user", 40},
                           {"system", 22},
                           {"idle", 310},
                           {"nice", 0},
                           {"at", kMorning.addingSeconds(1800).sinceReference}}));
    // 2038 busy of 10528 ticks since the restart sample.
    EXPECT_EQ(at("laptop-later", kMorning.addingSeconds(2700), SystemStats::cpuPercent), 19);
}

TEST_F(SystemStatsTest, CpuLoadBetweenTwoSamples)
{
    struct Case {
        CpuTicks previous, current;
        std::optional<qint64> load;
    };
    const Case cases[] = {
        {{10, 10, 10, 10}, {11, 10, 17, 10}, 13}, // 1 of 8 is 12.5, rounded away from zero
        {{10, 10, 10, 10}, {10, 10, 10, 10}, {}}, // no tick passed
        {{10, 10, 10, 10}, {20, 20, 10, 20}, 100},
        {{10, 10, 10, 10}, {10, 10, 99, 10}, 0},
        {{10, 10, 10, 10}, {50, 50, 50, 9}, {}}, // one counter went down
        {{10, 10, 10, 10}, {50, 9, 50, 50}, {}},
        {{0xFFFFFFFFull, 0, 0, 0}, {0x100000000ull, 0, 1, 0}, 50}, // past 32 bits, no wrap
    };
    for (const Case& c : cases)
        EXPECT_EQ(SystemStats::cpuLoad(c.previous, c.current), c.load) << c.current.user << " " << c.current.idle;
}

TEST_F(SystemStatsTest, AnUnreadableStoredSampleCountsAsNoneAndIsReplaced)
{
    Defaults::shared().setData(SystemStats::kCpuTicksKey, "{\"user\": -1}");
    EXPECT_FALSE(at("laptop", kMorning, SystemStats::cpuPercent));
    EXPECT_EQ(at("laptop-later", kMorning.addingSeconds(900), SystemStats::cpuPercent), 40);
    // No stat file: nothing, and the stored sample stays.
    const auto before = Defaults::shared().data(SystemStats::kCpuTicksKey);
    EXPECT_FALSE(at("no-such-tree", kMorning.addingSeconds(1800), SystemStats::cpuPercent));
    EXPECT_EQ(Defaults::shared().data(SystemStats::kCpuTicksKey), before);
}

TEST_F(SystemStatsTest, MemoryAndGraphicsLoad)
{
    EXPECT_EQ(at("laptop", kMorning, SystemStats::memoryPercent), 63); // 62.5 rounded away from zero
    EXPECT_EQ(at("desktop", kMorning, SystemStats::memoryPercent), 0);
    EXPECT_FALSE(at("no-such-tree", kMorning, SystemStats::memoryPercent));
    EXPECT_EQ(at("laptop", kMorning, SystemStats::gpuPercent), 37);
    EXPECT_FALSE(at("desktop", kMorning, SystemStats::gpuPercent));
}

TEST_F(SystemStatsTest, NetworkRatesSinceThePreviousCall)
{
    EXPECT_FALSE(at("laptop", kMorning, SystemStats::networkSnapshot));
    // 900 MB in and 90 MB out over 900 s on the real interfaces; the bridge's traffic is ignored.
    const auto rates = at("laptop-later", kMorning.addingSeconds(900), SystemStats::networkSnapshot);
    ASSERT_TRUE(rates);
    EXPECT_DOUBLE_EQ(rates->downMBs, 1.0);
    EXPECT_DOUBLE_EQ(rates->upMBs, 0.1);
    // A second or less since the previous call: no rate, but the sample is taken.
    EXPECT_FALSE(at("laptop-later", kMorning.addingSeconds(901), SystemStats::networkSnapshot));
    // Counters that went down (a restart): no rate.
    EXPECT_FALSE(at("laptop-rebooted", kMorning.addingSeconds(1800), SystemStats::networkSnapshot));
    const auto doc = QJsonDocument::fromJson(*Defaults::shared().data(SystemStats::kNetBytesKey)).object();
    EXPECT_EQ(doc.value("inBytes").toInteger(), 4000);
    EXPECT_EQ(doc.value("outBytes").toInteger(), 3000);
}

TEST_F(SystemStatsTest, NetworkWithoutInterfacesGivesNothingAndStoresNothing)
{
    EXPECT_FALSE(at("no-such-tree", kMorning, SystemStats::networkSnapshot));
    EXPECT_FALSE(Defaults::shared().data(SystemStats::kNetBytesKey));
}

TEST_F(SystemStatsTest, StorageOfTheHomeVolumeInDecimalGigabytes)
{
    const auto paths = test::sysinfoFixture("laptop");
    const auto disk = readHomeDiskCapacity(paths);
    ASSERT_TRUE(disk);
    const auto storage = at("laptop", kMorning, SystemStats::storageSnapshot);
    ASSERT_TRUE(storage);
    EXPECT_EQ(storage->totalGB, qint64(std::llround(double(disk->totalBytes) / 1e9)));
    EXPECT_LE(storage->usedGB, storage->totalGB);
    SysinfoPaths nowhere;
    nowhere.home = QStringLiteral("/no/such/home");
    SysinfoPathsOverride override(nowhere);
    EXPECT_FALSE(SystemStats::storageSnapshot());
}
