// The service hub: everything started once, the mail switch, the live-refresh timer, the
// reload notification and the calendar sync with and without access.
#include "app/services/AppServices.h"
#include "app/services/LocationService.h"
#include "app/services/MailPoller.h"
#include "app/services/MusicListener.h"
#include "app/services/PeripheralBatteryPoller.h"
#include "app/services/UsageTracker.h"
#include "platform/calendar/CalendarAccess.h"
#include "platform/core/Defaults.h"
#include "platform/core/DistributedNotifications.h"
#include "platform/timeline/WidgetCenter.h"
#include "shared/data/activity/ExtrasStore.h"
#include "support/WaitFor.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velk;

namespace {

const QStringList kReminderKinds{"velk.reminders.checklist", "velk.reminders.nextUp", "velk.reminders.single",
                                 "velk.reminders.today"};
const QStringList kCalendarKinds{"velk.calendar.bigDate", "velk.calendar.monthGrid", "velk.calendar.dayEvents",
                                 "velk.calendar.agenda"};

struct NoActivity final : DesktopActivity {
    std::optional<QString> frontmostApplicationName() override { return std::nullopt; }
    double idleSeconds() override { return 0; }
};

class AppServicesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Defaults::standard().remove(MailPoller::kEnabledKey);
        Defaults::standard().remove(AppServices::kPollSecondsKey);
        CalendarAccess::setStatus(CalendarEntityType::reminder, CalendarAuthorizationStatus::notDetermined);
        CalendarAccess::setStatus(CalendarEntityType::event, CalendarAuthorizationStatus::notDetermined);
    }

    AppServices::Collectors collectors() { return {&usage, &music, &mail, &batteries, &location}; }

    QTemporaryDir dir;
    UsageTracker usage{std::make_unique<NoActivity>()};
    MusicListener music{new MusicPlayer()};
    MailPoller mail{MaildirInbox(dir.path() + "/Maildir")};
    PeripheralBatteryPoller batteries{qEnvironmentVariable("VELK_BINARY_DIR") + "/src/platform/media/velk-btprofiler"};
    LocationService location{PositionSource::replaying("/nonexistent.nmea")};
    timeline::WidgetCenterRecorder reloads;
};

} // namespace

TEST_F(AppServicesTest, StartsEveryCollectorOnce)
{
    AppServices hub(collectors());
    bool polled = false;
    QObject::connect(&batteries, &PeripheralBatteryPoller::polled, [&] { polled = true; });
    hub.start();
    hub.start();
    EXPECT_TRUE(hub.isStarted());
    EXPECT_TRUE(usage.isStarted());
    EXPECT_TRUE(music.isStarted());
    EXPECT_FALSE(mail.isRunning()); // mail is off unless switched on
    EXPECT_TRUE(batteries.isStarted());
    EXPECT_EQ(hub.observerCount(), 2);
    EXPECT_EQ(hub.statsIntervalMs(), 60000);
    // The real helper runs without BlueZ on the test's system: an empty list is stored.
    ASSERT_TRUE(test::waitFor([&] { return polled; }));
    EXPECT_EQ(Defaults::shared().data(PeripheralBatteryPoller::kKey), QByteArray("[]"));
}

TEST_F(AppServicesTest, MailStartsWhenSwitchedOn)
{
    Defaults::standard().setBool(MailPoller::kEnabledKey, true);
    AppServices hub(collectors());
    hub.start();
    EXPECT_TRUE(mail.isRunning());
    EXPECT_EQ(mail.status(), mail.waitingText());
}

TEST_F(AppServicesTest, TheLiveRefreshIntervalIsASetting)
{
    AppServices hub(collectors());
    for (const auto& [value, interval] : std::vector<std::pair<qint64, int>>{{5, 5000}, {0, 60000}, {-3, 60000}}) {
        Defaults::standard().setInteger(AppServices::kPollSecondsKey, value);
        hub.restartStatsTimer();
        EXPECT_EQ(hub.statsIntervalMs(), interval) << value;
    }
    Defaults::standard().setString(AppServices::kPollSecondsKey, "soon");
    hub.restartStatsTimer();
    EXPECT_EQ(hub.statsIntervalMs(), 60000);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(hub.findChildren<QTimer*>(QString(), Qt::FindDirectChildrenOnly).size(), 1);
}

TEST_F(AppServicesTest, TheReloadNotificationReloadsEveryWidget)
{
    AppServices hub(collectors());
    hub.start();
    DistributedNotifications().post(kReloadWidgetsNotification);
    ASSERT_TRUE(test::waitFor([&] {
        for (const auto& r : reloads.reloads())
            if (r.all) return true;
        return false;
    }));
}

TEST_F(AppServicesTest, SyncFollowsTheAccessGiven)
{
    AppServices hub(collectors());
    int syncs = 0;
    QObject::connect(&hub, &AppServices::eventDataSynced, [&] { ++syncs; });

    hub.syncEventData();
    ASSERT_TRUE(test::waitFor([&] { return syncs == 1; }));
    EXPECT_TRUE(reloads.kinds().isEmpty());
    EXPECT_FALSE(hub.remindersConnected());

    CalendarAccess::setStatus(CalendarEntityType::reminder, CalendarAuthorizationStatus::fullAccess);
    hub.syncEventData();
    ASSERT_TRUE(test::waitFor([&] { return syncs == 2; }));
    EXPECT_EQ(reloads.kinds(), kReminderKinds);
    EXPECT_TRUE(hub.remindersConnected());
    EXPECT_FALSE(hub.calendarConnected());

    reloads.clear();
    hub.connectCalendar();
    ASSERT_TRUE(test::waitFor([&] { return hub.calendarConnected(); }));
    ASSERT_TRUE(test::waitFor([&] { return syncs == 3; }));
    EXPECT_EQ(reloads.kinds(), kReminderKinds + kCalendarKinds);
    EXPECT_TRUE(hub.calendarConnected());
}
