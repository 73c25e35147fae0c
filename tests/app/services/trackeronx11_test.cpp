// The screen-time tracker on a real X session: focusing windows with xdotool moves the credit
// from one application to the other.
#include "app/services/UsageTracker.h"
#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "shared/data/activity/UsageLog.h"

#include "platform/desktop/X11Session.h" // after Qt: Xlib macros

using namespace velk;

namespace {
class TrackerOnX11 : public test::X11Session {};
} // namespace

TEST_F(TrackerOnX11, CreditsTheFocusedApplication)
{
    Defaults::shared().remove(UsageLog::kKey);
    UsageTracker tracker(DesktopActivity::system());
    const Window editor = window("editor", "Editor");
    const Window viewer = window("viewer", "Viewer");

    ClockPin pin(Date::fromUnix(1796904000)); // 2026-12-10 12:00 UTC
    ASSERT_TRUE(xdotool({"windowactivate", "--sync", QString::number(editor)}));
    ASSERT_TRUE(xdotool({"mousemove", "5", "5"})); // the user is here
    tracker.sample();
    Clock::pin(Date::fromUnix(1796904000 + 20));
    ASSERT_TRUE(xdotool({"windowactivate", "--sync", QString::number(viewer)}));
    tracker.sample();

    const auto day = UsageLog::load().days.value("2026-12-10");
    EXPECT_EQ(day.value("Editor"), 30);
    EXPECT_EQ(day.value("Viewer"), 20);
}
