#include "host/WakeSchedule.h"

#include "platform/core/Clock.h"

#include <QCoreApplication>
#include <QPointer>
#include <algorithm>
#include <cmath>
#include <vector>

namespace velk::host {

namespace {
// Long waits are split, so a timer never overflows and a drifting clock is caught up with.
constexpr double kMaxTimerSeconds = 6 * 3600;
// The wall clock and the timer's monotonic one drift apart by a few milliseconds over a long
// wait: a wake that comes this much before its date counts as on time, rather than being put
// off by a second wake a moment later.
constexpr double kEarlySeconds = 0.1;
} // namespace

WakeSchedule::WakeSchedule(QObject* parent) : QObject(parent)
{
    timer_.setSingleShot(true);
    // Timed to the millisecond: a whole-second timer would end up to a second early or late,
    // and every widget due at a minute would be woken apart from the others.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &WakeSchedule::fire);
}

WakeSchedule* WakeSchedule::shared()
{
    static QPointer<WakeSchedule> schedule;
    if (!schedule) schedule = new WakeSchedule(QCoreApplication::instance());
    return schedule;
}

Date WakeSchedule::nextWholeMinute(Date date)
{
    return Date(std::ceil(date.sinceReference / 60) * 60);
}

void WakeSchedule::set(const QObject* who, Date when, std::function<void(Date)> wake)
{
    wakes_[who] = Wake{when, std::move(wake)};
    arm();
}

void WakeSchedule::clear(const QObject* who)
{
    if (wakes_.erase(who)) arm();
}

std::optional<Date> WakeSchedule::armedFor() const
{
    return timer_.isActive() ? std::optional<Date>(armedFor_) : std::nullopt;
}

void WakeSchedule::arm()
{
    if (wakes_.empty()) {
        timer_.stop();
        return;
    }
    const Date earliest = std::min_element(wakes_.begin(), wakes_.end(), [](const auto& a, const auto& b) {
                              return a.second.when < b.second.when;
                          })->second.when;
    if (timer_.isActive() && armedFor_ == earliest) return;
    const Date now = Clock::now();
    const double seconds = std::clamp(earliest.secondsSince(now), 0.0, kMaxTimerSeconds);
    armedFor_ = now.addingSeconds(seconds);
    timer_.start(int(std::ceil(seconds * 1000)));
}

void WakeSchedule::fire()
{
    const Date now = Clock::now();
    // What the timer was set for has come, even if the wall clock lags the timer a little.
    const Date at = armedFor_.secondsSince(now) < kEarlySeconds ? std::max(now, armedFor_) : now;
    std::vector<std::function<void(Date)>> due;
    for (auto it = wakes_.begin(); it != wakes_.end();) {
        if (it->second.when <= at) {
            due.push_back(std::move(it->second.wake));
            it = wakes_.erase(it);
        } else {
            ++it;
        }
    }
    // Woken after the list is settled: a wake sets its next one.
    for (auto& wake : due)
        wake(at);
    arm();
}

} // namespace velk::host
