#include "shared/data/activity/ExtrasStoreActivity.h"

#include "platform/core/Calendar.h"
#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "shared/data/activity/ExtrasStore.h"

#include <algorithm>
#include <limits>

namespace velk::ExtrasStore {

namespace {

std::vector<HabitItem> storedHabits()
{
    if (auto stored = read<std::vector<HabitItem>>(kHabitsKey)) return *stored;
    return HabitItem::samples();
}

qint64 goal(const QString& key, qint64 fallback)
{
    const qint64 stored = Defaults::shared().integer(key);
    return stored > 0 ? stored : fallback;
}

} // namespace

QString counterKey(const QString& name, Date day)
{
    return QStringLiteral("velk.counter.") + name + QLatin1Char('.') + dayKey(day);
}

std::vector<HabitWeekRow> habitWeek()
{
    Calendar calendar = Calendar::current();
    calendar.setFirstWeekday(2); // Monday
    const Date now = Clock::now();
    const auto week = calendar.dateInterval(CalendarComponent::weekOfYear, now);
    const Date start = week ? week->start : now;

    std::vector<QString> weekKeys;
    for (int i = 0; i < 7; ++i)
        if (const auto day = calendar.date(CalendarComponent::day, i, start)) weekKeys.push_back(dayKey(*day));

    std::vector<HabitWeekRow> rows;
    for (const HabitItem& habit : storedHabits()) {
        qint64 done = 0;
        for (const QString& key : weekKeys)
            if (habit.checkins.contains(key)) ++done;
        rows.push_back({habit.id, habit.name, done, 7});
    }
    return rows;
}

StoreResult toggleHabitToday(const QUuid& id)
{
    // A list that is stored but does not decode may be the app's, in a form this build cannot
    // read: the samples shown in its place must never be written over it.
    QString error;
    if (!writableSuite(&error)) return {error};
    std::optional<std::vector<HabitItem>> stored = read<std::vector<HabitItem>>(kHabitsKey);
    if (!stored && Defaults::shared().contains(kHabitsKey))
        return {QStringLiteral("the stored habits cannot be read by this version; nothing was changed")};
    std::vector<HabitItem> habits = stored ? std::move(*stored) : HabitItem::samples();
    const auto habit = std::find_if(habits.begin(), habits.end(), [&](const HabitItem& h) { return h.id == id; });
    if (habit == habits.end()) return {QStringLiteral("no habit has the id %1").arg(id.toString(QUuid::WithoutBraces))};
    const QString today = dayKey(Clock::now());
    if (!habit->checkins.erase(today)) habit->checkins.insert(today);
    return write(habits, kHabitsKey);
}

CounterSnapshot counter(const QString& name, qint64 goal)
{
    return {Defaults::shared().integer(counterKey(name, Clock::now())), goal};
}

StoreResult addToCounter(const QString& name, qint64 amount)
{
    const QString key = counterKey(name, Clock::now());
    QString error;
    std::optional<Defaults> suite = writableSuite(&error);
    if (!suite) return {error};
    qint64 value = suite->addToInteger(key, amount);
    if (const QString failed = Defaults::lastError(); !failed.isEmpty()) return {failed}; // logged by the store
    // Below 0: add the shortfall back, again as one update, so a tap that lands in between is
    // still counted. Two rounds reach 0 even from the lowest integer.
    for (int round = 0; round < 2 && value < 0; ++round) {
        value = suite->addToInteger(
            key, value == std::numeric_limits<qint64>::min() ? std::numeric_limits<qint64>::max() : -value);
        if (const QString failed = Defaults::lastError(); !failed.isEmpty()) return {failed};
    }
    return {};
}

qint64 waterGoal()
{
    return goal(kWaterGoalKey, kDefaultWaterGoal);
}
qint64 stepsGoal()
{
    return goal(kStepsGoalKey, kDefaultStepsGoal);
}

} // namespace velk::ExtrasStore
