// Every test binary starts here: a headless GUI application, the zone and locale pinned, and a
// private XDG tree so no test ever touches the user's data.
#include "platform/core/ExitWait.h"
#include "support/TestEnvironment.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    velk::waitForOtherThreadsAtExit();
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QTemporaryDir home;
    velk::test::pinTestEnvironment(home);

    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
