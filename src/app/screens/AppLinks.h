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
    std::function<void()> restartStatsTimer;
    std::function<void(bool userInitiated)> startMail;
    std::function<void()> stopMail;
    std::function<std::optional<QString>()> mailStatus;

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
