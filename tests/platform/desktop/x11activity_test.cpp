// The frontmost application and idle time from a real X server (Xvfb with a window manager),
// windows focused and the pointer moved by xdotool.
#include "platform/desktop/DesktopActivity.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

#include "platform/desktop/X11Session.h" // after Qt: Xlib macros

using velk::DesktopActivity;
using velk::test::X11Session;

TEST_F(X11Session, TheFocusedWindowNamesTheApplication)
{
    QFile entry(qEnvironmentVariable("XDG_DATA_HOME") + "/applications/org.example.Notepad.desktop");
    QDir().mkpath(QFileInfo(entry).path());
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nName=Notepad\nExec=notepad\n");
    entry.close();

    const std::unique_ptr<DesktopActivity> activity = DesktopActivity::system();
    const Window first = window("notepad", "Notepad");
    const Window second = window("xcalc-like", "Calculator");

    ASSERT_TRUE(xdotool({"windowactivate", "--sync", QString::number(first)}));
    EXPECT_TRUE(velk::test::waitFor([&] { return activity->frontmostApplicationName() == u"Notepad"; }))
        << activity->frontmostApplicationName().value_or("(none)").toStdString();
    ASSERT_TRUE(xdotool({"windowactivate", "--sync", QString::number(second)}));
    EXPECT_TRUE(velk::test::waitFor([&] { return activity->frontmostApplicationName() == u"Calculator"; }));

    ASSERT_TRUE(xdotool({"mousemove", "10", "10"}));
    ASSERT_TRUE(xdotool({"mousemove", "20", "20"}));
    EXPECT_LT(activity->idleSeconds(), 60.0);
}

TEST(NoDisplay, KnowsNothing)
{
    const QByteArray display = qgetenv("DISPLAY");
    ::unsetenv("DISPLAY");
    const std::unique_ptr<DesktopActivity> activity = DesktopActivity::system();
    if (!display.isEmpty()) ::setenv("DISPLAY", display.constData(), 1);
    EXPECT_EQ(activity->frontmostApplicationName(), std::nullopt);
    EXPECT_EQ(activity->idleSeconds(), 0.0);
}
