#include "platform/sysinfo/CpuTicks.h"
#include "platform/sysinfo/MemoryInfo.h"

#include "fixtures/sysinfo/SysinfoFixtures.h"

#include <gtest/gtest.h>

using namespace velk;

TEST(CpuTicks, FoldsTheAggregateLineIntoFourCounters)
{
    // user nice system idle iowait irq softirq steal guest guest_nice
    const auto t = parseCpuTicks("cpu  10 2 30 400 5 6 7 8 9 9\ncpu0 1 1 1 1 1 1 1 1 1 1\n");
    ASSERT_TRUE(t);
    EXPECT_EQ(*t, (CpuTicks{10, 30 + 6 + 7 + 8, 400 + 5, 2}));
}

TEST(CpuTicks, ReadsOlderKernelsAndRejectsWhatIsNotAStatFile)
{
    EXPECT_EQ(parseCpuTicks("cpu 1 2 3 4\n"), (CpuTicks{1, 3, 4, 2}));
    // Counters past 32 bits survive.
    EXPECT_EQ(parseCpuTicks("cpu 5000000000 0 0 0\n")->user, 5000000000ull);
    for (const char* bad : {"", "cpu0 1 2 3 4\n", "cpu 1 2 3\n", "cpu 1 2 x 4\n", "intr 1 2 3 4\n"})
        EXPECT_FALSE(parseCpuTicks(bad)) << bad;
}

TEST(CpuTicks, ReadsTheFixtureTreeAndNothingWithoutOne)
{
    EXPECT_EQ(readCpuTicks(test::sysinfoFixture("laptop")), (CpuTicks{1000, 600, 8200, 100}));
    EXPECT_FALSE(readCpuTicks(test::sysinfoFixture("no-such-tree")));
}

TEST(MemoryInfo, UsedIsTotalLessAvailable)
{
    EXPECT_EQ(readMemoryInfo(test::sysinfoFixture("laptop")), (MemoryInfo{16000000ull * 1024, 10000000ull * 1024}));
    // More available than total (a container's view) is nothing in use, not a wrapped number.
    EXPECT_EQ(parseMemoryInfo("MemTotal: 100 kB\nMemAvailable: 120 kB\n"), (MemoryInfo{102400, 0}));
}

TEST(MemoryInfo, MissingOrMalformedFiguresGiveNothing)
{
    for (const char* bad : {"", "MemTotal: 100 kB\n", "MemAvailable: 10 kB\n", "MemTotal: 0 kB\nMemAvailable: 0 kB\n",
                            "MemTotal: x kB\nMemAvailable: 1 kB\n", "MemTotalX: 100 kB\nMemAvailable: 1 kB\n"})
        EXPECT_FALSE(parseMemoryInfo(bad)) << bad;
}
