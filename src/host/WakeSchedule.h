#pragma once
// One timer for every widget's next wake. Widgets that want to wake at the same moment (the
// clocks at each new minute, reloads put off to the next minute) are woken in one pass, so an
// idle host wakes once where each widget with a timer of its own would wake it many times.
#include "platform/core/Date.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <map>

namespace velk::host {

class WakeSchedule : public QObject {
    Q_OBJECT
public:
    explicit WakeSchedule(QObject* parent = nullptr);

    // The application's schedule, made on first use and gone with the application.
    static WakeSchedule* shared();

    // Wakes `who` at `when` by calling `wake(date)`: the date it asked for, or the clock's now
    // when that is later. Replaces the wake `who` asked for before.
    void set(const QObject* who, Date when, std::function<void(Date)> wake);
    void clear(const QObject* who);

    // The moment the timer is set for, when it runs.
    std::optional<Date> armedFor() const;
    int pending() const { return int(wakes_.size()); }

    // The first whole minute at or after `date` (minutes of the Unix epoch, as the clocks show).
    static Date nextWholeMinute(Date date);

private:
    void fire();
    void arm();

    struct Wake {
        Date when;
        std::function<void(Date)> wake;
    };
    std::map<const QObject*, Wake> wakes_;
    QTimer timer_;
    Date armedFor_;
};

} // namespace velk::host
