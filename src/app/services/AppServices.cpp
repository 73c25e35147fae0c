#include "app/services/AppServices.h"

#include "app/services/LocationService.h"
#include "app/services/MailPoller.h"
#include "app/services/MusicListener.h"
#include "app/services/PeripheralBatteryPoller.h"
#include "app/services/ServiceSupport.h"
#include "app/services/UsageTracker.h"
#include "platform/calendar/CalendarAccess.h"
#include "platform/core/Defaults.h"
#include "platform/core/DistributedNotifications.h"
#include "platform/timeline/WidgetCenter.h"
#include "shared/data/activity/ExtrasStore.h"
#include "shared/data/calendar/EventSync.h"
#include "shared/widget/WidgetKinds.h"

#include <QCoreApplication>
#include <QFutureWatcher>
#include <QtConcurrent>

namespace velk {

namespace {

bool fullAccess(CalendarEntityType type)
{
    return CalendarAccess::status(type) == CalendarAuthorizationStatus::fullAccess;
}

const QStringList kLiveKinds{kinds::system, kinds::network, kinds::nowPlaying, kinds::remote};
const QStringList kReminderKinds{kinds::remindersChecklist, kinds::remindersNextUp, kinds::remindersSingle,
                                 kinds::remindersToday};
const QStringList kCalendarKinds{kinds::calendarBigDate, kinds::calendarMonthGrid, kinds::calendarDayEvents,
                                 kinds::calendarAgenda};

} // namespace

AppServices& AppServices::shared()
{
    static AppServices* services =
        new AppServices({&UsageTracker::shared(), &MusicListener::shared(), &MailPoller::shared(),
                         &PeripheralBatteryPoller::shared(), &LocationService::shared()},
                        QCoreApplication::instance());
    return *services;
}

AppServices::AppServices(Collectors collectors, QObject* parent)
    : QObject(parent), collectors_(collectors), remindersConnected_(fullAccess(CalendarEntityType::reminder)),
      calendarConnected_(fullAccess(CalendarEntityType::event))
{}

void AppServices::start()
{
    if (started_) return;
    started_ = true;
    collectors_.usage->start();
    collectors_.music->start();
    if (Defaults::standard().boolean(MailPoller::kEnabledKey)) collectors_.mail->start(false);
    collectors_.batteries->start();
    if (collectors_.location->authorized())
        collectors_.location->manager().requestLocation();
    else if (!collectors_.location->manager().hasSource())
        collectors_.location->requestLocation(); // logs that there is none
    syncEventData();
    restartStatsTimer();

    auto* watcher = new CalendarStoreWatcher(CalendarStore::defaultRoot(), this);
    connect(watcher, &CalendarStoreWatcher::changed, this,
            [this] { services::queue(this, [this] { syncEventData(); }); });
    observerTokens_ << watcher;
    observerTokens_ << DistributedNotifications().observe(kReloadWidgetsNotification, this, [this] {
        services::queue(this, [] { timeline::WidgetCenter::shared().reloadAllTimelines(); });
    });
}

void AppServices::restartStatsTimer()
{
    if (statsTimer_) {
        statsTimer_->stop();
        statsTimer_->deleteLater();
    }
    const qint64 seconds = Defaults::standard().integer(kPollSecondsKey);
    const int intervalMs = seconds > 0 && seconds <= 24 * 3600 ? int(seconds * 1000) : 60'000;
    MusicListener* music = collectors_.music;
    statsTimer_ = services::repeatQueued(this, intervalMs, [music] {
        music->syncFromMusic();
        reloadKinds(kLiveKinds, ReloadNotice::none);
    });
}

void AppServices::setConnected(bool reminders, bool calendar)
{
    remindersConnected_ = reminders;
    calendarConnected_ = calendar;
    emit connectionChanged();
}

void AppServices::syncEventData()
{
    services::queue(this, [this] {
        const auto finish = [this] {
            if (fullAccess(CalendarEntityType::event)) {
                if (const std::optional<CalendarSnapshot> calendar = EventSync::readCalendar())
                    EventSync::storeCalendar(*calendar);
                reloadKinds(kCalendarKinds, ReloadNotice::none);
            }
            setConnected(fullAccess(CalendarEntityType::reminder), fullAccess(CalendarEntityType::event));
            emit eventDataSynced();
        };
        if (!fullAccess(CalendarEntityType::reminder)) {
            finish();
            return;
        }
        // The reminders read goes through every collection's files; it runs off this thread.
        auto* watcher = new QFutureWatcher<void>(this);
        connect(watcher, &QFutureWatcher<void>::finished, this, [watcher, finish] {
            watcher->deleteLater();
            reloadKinds(kReminderKinds, ReloadNotice::none);
            finish();
        });
        watcher->setFuture(QtConcurrent::run([] {
            if (const std::optional<RemindersSnapshot> reminders = EventSync::readReminders())
                EventSync::storeReminders(*reminders);
        }));
    });
}

bool AppServices::requestRemindersAccess()
{
    return CalendarAccess::setStatus(CalendarEntityType::reminder, CalendarAuthorizationStatus::fullAccess);
}

bool AppServices::requestCalendarAccess()
{
    return CalendarAccess::setStatus(CalendarEntityType::event, CalendarAuthorizationStatus::fullAccess);
}

void AppServices::connectReminders()
{
    services::queue(this, [this] {
        setConnected(requestRemindersAccess(), calendarConnected_);
        syncEventData();
    });
}

void AppServices::connectCalendar()
{
    services::queue(this, [this] {
        setConnected(remindersConnected_, requestCalendarAccess());
        syncEventData();
    });
}

} // namespace velk
