// The frontmost application and idle time from a real X server (Xvfb with a window manager),
// windows focused and the pointer moved by xdotool.
#include "platform/desktop/DesktopActivity.h"
#include "support/WaitFor.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

using velk::DesktopActivity;

namespace {

class X11Session : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY")) GTEST_SKIP() << "no X display (run the tests under xvfb-run)";
        wm_ = QStandardPaths::findExecutable("openbox");
        xdotool_ = QStandardPaths::findExecutable("xdotool");
        if (wm_.isEmpty() || xdotool_.isEmpty()) GTEST_SKIP() << "openbox and xdotool are needed";
        display_ = XOpenDisplay(nullptr);
        ASSERT_NE(display_, nullptr);
        // Another test may already run a window manager on this display; then use that one.
        openbox_.start(wm_, {"--sm-disable"});
        openbox_.waitForStarted();
        ASSERT_TRUE(velk::test::waitFor([&] { return hasWindowManager(); }, 10000));
    }

    bool hasWindowManager()
    {
        const Atom check = XInternAtom(display_, "_NET_SUPPORTING_WM_CHECK", False);
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(display_, DefaultRootWindow(display_), check, 0, 1, False, AnyPropertyType, &type,
                           &format, &count, &after, &data);
        if (data) XFree(data);
        return count == 1;
    }
    void TearDown() override
    {
        for (Window w : windows_) XDestroyWindow(display_, w);
        if (display_) XCloseDisplay(display_);
        if (openbox_.state() != QProcess::NotRunning) {
            openbox_.terminate();
            openbox_.waitForFinished(3000);
        }
    }

    Window window(const char* instance, const char* windowClass)
    {
        Window w = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 100, 100, 0, 0, 0);
        XClassHint hint{const_cast<char*>(instance), const_cast<char*>(windowClass)};
        XSetClassHint(display_, w, &hint);
        XMapWindow(display_, w);
        XSync(display_, False);
        windows_.push_back(w);
        // Focus goes only to a window the manager has taken on (it then sets WM_STATE). A
        // manager still starting up may miss the first map, so the window is mapped again.
        const Atom state = XInternAtom(display_, "WM_STATE", False);
        const auto managed = [&] {
            Atom type = None;
            int format = 0;
            unsigned long count = 0, after = 0;
            unsigned char* data = nullptr;
            XGetWindowProperty(display_, w, state, 0, 2, False, AnyPropertyType, &type, &format, &count, &after, &data);
            if (data) XFree(data);
            return count > 0;
        };
        for (int attempt = 0; attempt < 20 && !velk::test::waitFor(managed, 1000); ++attempt) {
            XUnmapWindow(display_, w);
            XMapWindow(display_, w);
            XSync(display_, False);
        }
        return w;
    }

    bool xdotool(const QStringList& args)
    {
        return QProcess::execute(xdotool_, args) == 0;
    }

    QString wm_, xdotool_;
    QProcess openbox_;
    Display* display_ = nullptr;
    std::vector<Window> windows_;
};

} // namespace

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
