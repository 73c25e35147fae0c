#pragma once
// What the user is doing at the desktop: the application in front and how long since the last
// input. On an X11 session (or XWayland) the answers come from the EWMH active window and the
// X screen saver extension; where neither can be asked (no display, a Wayland session without
// XWayland) there is no application and the idle time is 0, so a screen-time sample credits
// nothing.
#include <QString>
#include <memory>
#include <optional>

namespace velk {

class DesktopActivity {
public:
    virtual ~DesktopActivity() = default;

    // The display name of the application whose window has the focus, or nothing.
    virtual std::optional<QString> frontmostApplicationName() = 0;
    // Seconds since the user last moved the pointer, clicked, scrolled or typed; 0 when unknown.
    virtual double idleSeconds() = 0;

    // The session's activity: X11 when $DISPLAY can be opened, else one that knows nothing.
    static std::unique_ptr<DesktopActivity> system();
};

} // namespace velk
