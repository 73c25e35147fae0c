// The real velk-widgets with the real plug-in: a tap's intent run from the command line changes
// the shared suite, and the widget drawn next shows it.
#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "shared/data/activity/ButtonIntents.h"
#include "shared/data/activity/ExtrasStore.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace velk;

namespace {

struct Result {
    int status = -1;
    QString out;
    QString err;
};

Result velkWidgets(const QStringList& args)
{
    QProcess p;
    p.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    p.start(QStringLiteral(VELK_WIDGETS_PROGRAM), args);
    EXPECT_TRUE(p.waitForFinished(120000));
    Result r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

qint64 waterToday()
{
    return ExtrasStore::counter(AddWaterIntent::kCounter, 8).value;
}

TEST(ActivityProgram, AWaterTapRaisesTheCountTheWidgetShows)
{
    Defaults::shared().setInteger(ExtrasStore::counterKey(AddWaterIntent::kCounter, Clock::now()), 2);
    for (int tap = 0; tap < 3; ++tap) {
        const Result r = velkWidgets({"run-intent", "AddWaterIntent"});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
    }
    EXPECT_EQ(waterToday(), 5);
    const Result tree = velkWidgets({"tree", "velk.water"});
    ASSERT_EQ(tree.status, 0) << tree.err.toStdString();
    EXPECT_TRUE(tree.out.contains("\"1.25L\"")) << tree.out.toStdString();
    EXPECT_TRUE(tree.out.contains("\"5 OF 8 GLASSES\""));
    EXPECT_TRUE(tree.out.contains("AddWaterIntent"));
}

TEST(ActivityProgram, StopwatchResetStopsAndClearsWithoutToggling)
{
    const Date started = Clock::now().addingSeconds(-90);
    ExtrasStore::write(StopwatchState{started, {30.5, 61.2}}, StopwatchToggleIntent::kKey);
    const Result before = velkWidgets({"tree", "velk.stopwatch"});
    ASSERT_EQ(before.status, 0) << before.err.toStdString();
    EXPECT_TRUE(before.out.contains("StopwatchResetIntent"));
    EXPECT_TRUE(before.out.contains("\"00:30.7\"")) << before.out.toStdString();

    const Result reset = velkWidgets({"run-intent", "StopwatchResetIntent"});
    ASSERT_EQ(reset.status, 0) << reset.err.toStdString();
    // Stopped and cleared: no start (a toggle would have started it again) and no laps.
    EXPECT_EQ(ExtrasStore::read<StopwatchState>(StopwatchToggleIntent::kKey), StopwatchState{});
    const Result after = velkWidgets({"tree", "velk.stopwatch"});
    ASSERT_EQ(after.status, 0) << after.err.toStdString();
    EXPECT_TRUE(after.out.contains("\"TAP TO START\"")) << after.out.toStdString();
    EXPECT_TRUE(after.out.contains("\"00:00\""));
    EXPECT_FALSE(after.out.contains("StopwatchResetIntent"));
}

} // namespace
