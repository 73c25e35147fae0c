#include "platform/desktop/DesktopActivity.h"

#include "platform/desktop/DesktopEntries.h"

#include <QElapsedTimer>
#include <QtGlobal>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/scrnsaver.h>

#include <mutex>

namespace velk {

namespace {

class NoActivity final : public DesktopActivity {
public:
    std::optional<QString> frontmostApplicationName() override { return std::nullopt; }
    double idleSeconds() override { return 0; }
};

// A window may vanish between two requests; Xlib's default handler would end the process.
int ignoreXError(Display*, XErrorEvent*)
{
    return 0;
}

class X11Activity final : public DesktopActivity {
public:
    explicit X11Activity(Display* display) : display_(display)
    {
        static std::once_flag once;
        std::call_once(once, [] { XSetErrorHandler(ignoreXError); });
        root_ = DefaultRootWindow(display_);
        activeAtom_ = XInternAtom(display_, "_NET_ACTIVE_WINDOW", False);
        int eventBase = 0, errorBase = 0;
        hasScreenSaver_ = XScreenSaverQueryExtension(display_, &eventBase, &errorBase);
    }
    ~X11Activity() override { XCloseDisplay(display_); }

    std::optional<QString> frontmostApplicationName() override
    {
        const Window window = activeWindow();
        if (window == None) return std::nullopt;
        XClassHint hint{nullptr, nullptr};
        if (!XGetClassHint(display_, window, &hint)) return std::nullopt;
        const QString instance = QString::fromLocal8Bit(hint.res_name ? hint.res_name : "");
        const QString windowClass = QString::fromLocal8Bit(hint.res_class ? hint.res_class : "");
        if (hint.res_name) XFree(hint.res_name);
        if (hint.res_class) XFree(hint.res_class);
        if (instance.isEmpty() && windowClass.isEmpty()) return std::nullopt;
        return entries().displayName(instance, windowClass);
    }

    double idleSeconds() override
    {
        if (!hasScreenSaver_) return 0;
        XScreenSaverInfo* info = XScreenSaverAllocInfo();
        if (!info) return 0;
        double seconds = 0;
        if (XScreenSaverQueryInfo(display_, root_, info)) seconds = double(info->idle) / 1000.0;
        XFree(info);
        return seconds;
    }

private:
    Window activeWindow()
    {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        Window window = None;
        if (XGetWindowProperty(display_, root_, activeAtom_, 0, 1, False, XA_WINDOW, &type, &format, &count, &after,
                               &data) == Success &&
            data && type == XA_WINDOW && format == 32 && count == 1)
            window = Window(*reinterpret_cast<unsigned long*>(data));
        if (data) XFree(data);
        return window;
    }

    // Desktop files are read once, and again at most every five minutes, so a program
    // installed while the app runs is named by its entry soon after.
    const DesktopEntries& entries()
    {
        if (!entries_ || sinceScan_.elapsed() > 5 * 60 * 1000) {
            entries_.emplace();
            sinceScan_.start();
        }
        return *entries_;
    }

    Display* display_;
    Window root_ = None;
    Atom activeAtom_ = None;
    bool hasScreenSaver_ = false;
    std::optional<DesktopEntries> entries_;
    QElapsedTimer sinceScan_;
};

} // namespace

std::unique_ptr<DesktopActivity> DesktopActivity::system()
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        if (Display* display = XOpenDisplay(nullptr)) return std::make_unique<X11Activity>(display);
    return std::make_unique<NoActivity>();
}

} // namespace velk
