#pragma once
// What the screens ask of the app's background services: calendar consent, location, the
// live-refresh timer and the Mail poller. The app entry points each at the real service; a
// screen built without them (a test, a headless render) gets harmless answers.
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

namespace velk::app {

class AppLinks : public QObject {
    Q_OBJECT
public:
    explicit AppLinks(QObject* parent = nullptr);

    // Default: the consent recorded in the shared suite.
    std::function<bool()> remindersConnected;
    std::function<bool()> calendarConnected;
    std::function<void()> connectReminders;
    std::function<void()> connectCalendar;
    std::function<void()> requestLocation;
    // Whether a position source (GeoClue, or a replayed NMEA file) is there to ask. Default: yes.
    std::function<bool()> locationSourceAvailable;
    std::function<void()> restartStatsTimer;
    std::function<void(bool userInitiated)> startMail;
    std::function<void()> stopMail;
    std::function<std::optional<QString>()> mailStatus;
    // The application that a widget's "open" link names ("calendar", "weather", "reminders")
    // as a desktop-file id, or nothing when none is installed; and starting one in the
    // background (false when it could not be started). Default: the desktop's default
    // calendar, an installed weather app, a to-do app else the calendar; started from its
    // desktop file.
    std::function<std::optional<QString>(const QString& target)> findApp;
    std::function<bool(const QString& desktopId)> launchApp;

    // Runs a link when it is set.
    static void call(const std::function<void()>& f)
    {
        if (f) f();
    }

signals:
    // A consent, the stored location or the Mail status changed: screens redraw what shows it.
    void statusChanged();
};

} // namespace velk::app
