#pragma once
// The app's start-up hub: starts every background collector once, in a fixed order, keeps the
// live-refresh timer that makes the system and media widgets tick, copies today's reminders
// and events into the shared suite for the widgets, answers calendar changes and the widgets'
// reload notification, and publishes whether the app has full access to reminders and events.
#include "platform/calendar/CalendarStoreWatcher.h"

#include <QList>
#include <QObject>
#include <QTimer>

namespace velk {

class UsageTracker;
class MusicListener;
class MailPoller;
class PeripheralBatteryPoller;
class LocationService;

class AppServices : public QObject {
    Q_OBJECT
public:
    static inline const QString kPollSecondsKey = QStringLiteral("velk.pollseconds");

    struct Collectors {
        UsageTracker* usage;
        MusicListener* music;
        MailPoller* mail;
        PeripheralBatteryPoller* batteries;
        LocationService* location;
    };

    static AppServices& shared();
    explicit AppServices(Collectors collectors, QObject* parent = nullptr);

    void start();
    bool isStarted() const { return started_; }
    void restartStatsTimer();
    void syncEventData();
    void connectReminders();
    void connectCalendar();

    bool remindersConnected() const { return remindersConnected_; }
    bool calendarConnected() const { return calendarConnected_; }
    // The live-refresh interval now in use, in milliseconds (0 before start()).
    int statsIntervalMs() const { return statsTimer_ ? statsTimer_->interval() : 0; }
    qsizetype observerCount() const { return observerTokens_.size(); }

    // The app's answer to a connect request: the calendar files are the user's own, so asking
    // is consenting; the answer is recorded for every VELK process. True when recorded.
    static bool requestRemindersAccess();
    static bool requestCalendarAccess();

signals:
    void connectionChanged();
    // One sync task ran to its end.
    void eventDataSynced();

private:
    void setConnected(bool reminders, bool calendar);

    Collectors collectors_;
    bool remindersConnected_ = false;
    bool calendarConnected_ = false;
    bool started_ = false;
    QList<QObject*> observerTokens_;
    QTimer* statsTimer_ = nullptr;
};

} // namespace velk
