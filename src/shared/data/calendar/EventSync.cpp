#include "shared/data/calendar/EventSync.h"

#include "platform/calendar/CalendarStore.h"
#include "platform/core/Calendar.h"
#include "platform/core/Clock.h"
#include "platform/core/Log.h"
#include "shared/data/activity/ExtrasStore.h"
#include "shared/data/clock/ClockFormat.h"

#include <QTextBoundaryFinder>
#include <QUuid>
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <mutex>
#include <tuple>

namespace velk {

namespace {

const QString kUntitled = QStringLiteral("Untitled");
constexpr double kUrgentSeconds = 7200;
constexpr int kMaxEvents = 6;
constexpr int kLocationChars = 24;
constexpr double kDayFrom = 25200; // 07:00
constexpr double kDayTo = 82800;   // 23:00

// The local day holding `now`, from its start to the next day's.
DateInterval dayOf(Date now)
{
    const Calendar calendar = Calendar::current();
    if (const auto day = calendar.dateInterval(CalendarComponent::day, now)) return *day;
    return {calendar.startOfDay(now), 86400};
}

// ClockFormat::hhmm of the moments of one snapshot. A snapshot may list hundreds of reminders,
// and every reminders widget of a reload wave builds the same: each label is formatted once per
// moment, zone and 12/24-hour choice (read once per snapshot) and kept for the process.
class TimeLabels {
public:
    TimeLabels() : zone_(TimeZone::current()), zoneId_(zone_.identifier()), twentyFour_(ClockFormat::uses24Hour()) {}

    QString operator()(Date moment) const
    {
        const Key key{zoneId_, twentyFour_, moment.sinceReference};
        {
            const std::lock_guard lock(mutex());
            if (const auto it = labels().find(key); it != labels().end()) return it->second;
        }
        QString label = ClockFormat::hhmm(moment, zone_);
        const std::lock_guard lock(mutex());
        if (labels().size() >= kMaxLabels) labels().clear();
        labels().emplace(key, label);
        return label;
    }

private:
    using Key = std::tuple<QString, bool, double>;
    static constexpr size_t kMaxLabels = 8192;
    static std::mutex& mutex()
    {
        static std::mutex m;
        return m;
    }
    static std::map<Key, QString>& labels()
    {
        static std::map<Key, QString> kept;
        return kept;
    }

    TimeZone zone_;
    QString zoneId_;
    bool twentyFour_;
};

ReminderItem reminderItem(const CalendarReminder& r, bool done, Date now, const TimeLabels& label)
{
    ReminderItem item;
    item.id = r.identifier;
    item.title = r.title.isEmpty() ? kUntitled : r.title;
    if (r.dueDate && r.dueHasTime) item.time = label(*r.dueDate);
    item.done = done;
    item.isUrgent = !done && r.dueDate && r.dueDate->secondsSince(now) < kUrgentSeconds;
    return item;
}

// The first `count` user-perceived characters, so that no letter with its accents or pair of
// surrogates is ever cut in half.
QString leadingCharacters(const QString& text, int count)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    for (int i = 0; i < count; ++i) {
        const qsizetype next = finder.toNextBoundary();
        if (next < 0) return text;
        end = next;
    }
    return text.left(end);
}

qint64 wholeMinutes(double seconds)
{
    const double m = std::trunc(seconds / 60.0);
    if (!(m == m)) return 0;
    return qint64(
        std::clamp(m, double(std::numeric_limits<qint64>::min()), double(std::numeric_limits<qint64>::max())));
}

} // namespace

RemindersSnapshot EventSync::remindersSnapshot(const std::vector<CalendarReminder>& open,
                                               const std::vector<CalendarReminder>& closed, Date now)
{
    std::vector<CalendarReminder> sorted = open;
    const Date distantFuture(std::numeric_limits<double>::max());
    std::stable_sort(sorted.begin(), sorted.end(), [&](const CalendarReminder& a, const CalendarReminder& b) {
        return a.dueDate.value_or(distantFuture) < b.dueDate.value_or(distantFuture);
    });

    const TimeLabels label;
    RemindersSnapshot snapshot;
    const size_t firstDone = closed.size() > 2 ? closed.size() - 2 : 0;
    for (size_t i = firstDone; i < closed.size(); ++i)
        snapshot.items.push_back(reminderItem(closed[i], true, now, label));
    for (const CalendarReminder& r : sorted)
        snapshot.items.push_back(reminderItem(r, false, now, label));

    const auto next = std::find_if(sorted.begin(), sorted.end(),
                                   [&](const CalendarReminder& r) { return r.dueDate && *r.dueDate > now; });
    if (next != sorted.end()) {
        snapshot.nextUp = reminderItem(*next, false, now, label);
        snapshot.minutesToNext = wholeMinutes(next->dueDate->secondsSince(now));
    }
    return snapshot;
}

CalendarSnapshot EventSync::calendarSnapshot(const std::vector<CalendarEvent>& fetched, Date dayStart, Date now)
{
    std::vector<CalendarEvent> timed;
    for (const CalendarEvent& e : fetched)
        if (!e.allDay) timed.push_back(e);
    std::stable_sort(timed.begin(), timed.end(),
                     [](const CalendarEvent& a, const CalendarEvent& b) { return a.startDate < b.startDate; });
    // Six at most: on a busy day the earliest of those already over go first, so what is still
    // ahead (or under way) at `now` stays in the snapshot; past that, the latest of the rest go.
    for (auto it = timed.begin(); timed.size() > size_t(kMaxEvents) && it != timed.end();)
        it = it->endDate < now ? timed.erase(it) : it + 1;
    if (timed.size() > size_t(kMaxEvents)) timed.resize(kMaxEvents);

    const TimeLabels label;
    CalendarSnapshot snapshot;
    bool nextFound = false;
    for (const CalendarEvent& e : timed) {
        EventItem item;
        item.id = e.identifier.isEmpty() ? QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() : e.identifier;
        item.start = label(e.startDate);
        item.end = label(e.endDate);
        item.title = e.title.isEmpty() ? kUntitled : e.title;
        item.isPast = e.endDate < now;
        const QString minutes =
            QString::number(wholeMinutes(e.endDate.secondsSince(e.startDate))) + QStringLiteral(" min");
        if (item.isPast)
            item.detail = QStringLiteral("Done");
        else if (!e.location.isEmpty())
            item.detail = leadingCharacters(e.location, kLocationChars) + QStringLiteral(" \u00B7 ") + minutes;
        else
            item.detail = minutes;
        item.isNext = !nextFound && !item.isPast && e.startDate > now;
        if (item.isNext) nextFound = true;
        snapshot.events.push_back(std::move(item));
    }

    const double from = dayStart.sinceReference + kDayFrom;
    const double to = dayStart.sinceReference + kDayTo;
    const double progress = (now.sinceReference - from) / (to - from);
    snapshot.dayProgress = (progress < 0 || progress != progress) ? 0 : std::min(progress, 1.0);
    return snapshot;
}

std::optional<RemindersSnapshot> EventSync::readReminders()
{
    CalendarStore store;
    const Date now = Clock::now();
    const DateInterval today = dayOf(now);
    // Both fetches are answered from the one reading of the files this store makes.
    const auto open = store.incompleteReminders(std::nullopt, today.end());
    const auto closed = store.completedReminders(today.start, today.end());
    return remindersSnapshot(open, closed, now);
}

std::optional<CalendarSnapshot> EventSync::readCalendar()
{
    CalendarStore store;
    const Date now = Clock::now();
    const DateInterval today = dayOf(now);
    return calendarSnapshot(store.events(today.start, today.end()), today.start, now);
}

StoreResult EventSync::toggleReminder(const QString& id)
{
    if (CalendarStore::authorizationStatus(CalendarEntityType::reminder) != CalendarAuthorizationStatus::fullAccess)
        return {QStringLiteral("no access to reminders; nothing was changed")};
    StoreResult result;
    {
        CalendarStore store;
        const std::optional<CalendarItem> item = store.calendarItem(id);
        if (!item || !std::holds_alternative<CalendarReminder>(*item))
            return {QStringLiteral("no reminder has the id %1").arg(id)};
        CalendarReminder reminder = std::get<CalendarReminder>(*item);
        reminder.setCompleted(!reminder.completed, Clock::now());
        // A failed save is logged by the store; the snapshot below then shows the state as it is.
        QString error;
        if (!store.saveReminder(reminder, &error))
            result.error = QStringLiteral("the reminder could not be saved: %1")
                               .arg(error.isEmpty() ? QStringLiteral("unknown error") : error);
    }
    if (CalendarStore::authorizationStatus(CalendarEntityType::reminder) != CalendarAuthorizationStatus::fullAccess)
        return result;
    if (auto snapshot = readReminders()) storeReminders(*snapshot);
    return result;
}

namespace {

// Every reminders and calendar widget of a reload wave stores the snapshot it has just read,
// which mostly is the one stored by the widget before it: that one is not written again.
template <class T>
void storeChanged(const T& snapshot, const QString& key)
{
    const std::optional<QByteArray> bytes = encodeJson(snapshot);
    if (!bytes) {
        ExtrasStore::detail::unencodable(key);
        return;
    }
    if (Defaults::shared().data(key) == bytes) return;
    ExtrasStore::detail::writeData(key, *bytes);
}

} // namespace

void EventSync::storeReminders(const RemindersSnapshot& snapshot)
{
    storeChanged(snapshot, kRemindersKey);
}

std::optional<RemindersSnapshot> EventSync::storedReminders()
{
    return ExtrasStore::read<RemindersSnapshot>(kRemindersKey);
}

void EventSync::storeCalendar(const CalendarSnapshot& snapshot)
{
    storeChanged(snapshot, kCalendarKey);
}

std::optional<CalendarSnapshot> EventSync::storedCalendar()
{
    return ExtrasStore::read<CalendarSnapshot>(kCalendarKey);
}

} // namespace velk
