#pragma once
// An X session for tests: Xvfb's display (the tests run under xvfb-run) with openbox managing
// windows, plain windows of a chosen WM_CLASS, and xdotool to focus them and move the pointer.
// Skips when there is no display, no openbox or no xdotool.
#include "support/WaitFor.h"

// Xlib's macros (None, Bool, Status...) break Qt headers read after it: Qt comes first here,
// and files include this header after their Qt headers.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QVariant>
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <vector>

namespace velk::test {

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
        // Tests that run openbox hold the x11-window-manager lock of CTest, so this one manages
        // the display alone.
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
        XGetWindowProperty(display_, DefaultRootWindow(display_), check, 0, 1, False, AnyPropertyType, &type, &format,
                           &count, &after, &data);
        if (data) XFree(data);
        return count == 1;
    }
    void TearDown() override
    {
        for (Window w : windows_)
            XDestroyWindow(display_, w);
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

    bool xdotool(const QStringList& args) { return QProcess::execute(xdotool_, args) == 0; }

    QString wm_, xdotool_;
    QProcess openbox_;
    Display* display_ = nullptr;
    std::vector<Window> windows_;
};

} // namespace velk::test
