#include "platform/sysinfo/DiskCapacity.h"
#include "platform/sysinfo/GpuBusy.h"
#include "platform/sysinfo/NetworkCounters.h"

#include "fixtures/sysinfo/SysinfoFixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velk;

TEST(GpuBusy, TakesTheCardsOwnFigureAndNothingWhenTheDriverGivesNone)
{
    EXPECT_EQ(readGpuBusyPercent(test::sysinfoFixture("laptop")), 37);
    EXPECT_FALSE(readGpuBusyPercent(test::sysinfoFixture("desktop")));
    EXPECT_FALSE(readGpuBusyPercent(test::sysinfoFixture("no-such-tree")));
}

TEST(GpuBusy, FirstCardWithAFigureWinsAndItsValueIsPassedOnUnclamped)
{
    QTemporaryDir root;
    auto put = [&](const QString& rel, const QByteArray& text) {
        QDir().mkpath(QFileInfo(root.path() + rel).absolutePath());
        QFile f(root.path() + rel);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    put("/class/drm/card0/device/gpu_busy_percent", "busy\n");
    put("/class/drm/card1/device/gpu_busy_percent", "104\n");
    put("/class/drm/card2/device/gpu_busy_percent", "5\n");
    SysinfoPaths paths;
    paths.sysRoot = root.path();
    EXPECT_EQ(readGpuBusyPercent(paths), 104);
}

TEST(NetworkCounters, CountsOnlyRealInterfacesWith64BitCounters)
{
    const auto laptop = readNetworkBytes(test::sysinfoFixture("laptop"));
    ASSERT_TRUE(laptop);
    EXPECT_EQ(laptop->interfaces, (QStringList{"enp3s0", "wlp2s0"})); // not lo, docker0, veth
    EXPECT_EQ(laptop->inBytes, 6500000000ull);
    EXPECT_EQ(laptop->outBytes, 1200000000ull);

    const auto desktop = readNetworkBytes(test::sysinfoFixture("desktop"));
    ASSERT_TRUE(desktop);
    EXPECT_EQ(desktop->interfaces, QStringList{"eno1"});
    EXPECT_EQ(desktop->inBytes, 123456789ull);

    EXPECT_FALSE(readNetworkBytes(test::sysinfoFixture("no-such-tree")));
}

TEST(DiskCapacity, ReadsTheVolumeOfAPath)
{
    const auto home = readHomeDiskCapacity(test::sysinfoFixture("laptop"));
    ASSERT_TRUE(home);
    EXPECT_GT(home->totalBytes, 0u);
    EXPECT_LE(home->availableBytes, home->totalBytes);
    EXPECT_FALSE(readDiskCapacity(QStringLiteral("/no/such/place")));
}
