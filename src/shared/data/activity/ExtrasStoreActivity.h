#pragma once
// Habits, daily counters and their goals in the shared suite: what the habit, water and steps
// widgets show and what their buttons change. Day keys are ExtrasStore::dayKey of now. Part of
// ExtrasStore, as plain functions.
#include "shared/data/activity/StoreResult.h"
#include "shared/models/ActivityRecords.h"

#include <QString>
#include <QUuid>
#include <vector>

namespace velk::ExtrasStore {

inline const QString kHabitsKey = QStringLiteral("velk.habits.v1");
inline const QString kWaterGoalKey = QStringLiteral("velk.watergoal");
inline const QString kStepsGoalKey = QStringLiteral("velk.stepsgoal");
inline constexpr qint64 kDefaultWaterGoal = 8;
inline constexpr qint64 kDefaultStepsGoal = 10000;

// "velk.counter.<name>.<day key>": a fresh key, and so a count from 0, every day.
QString counterKey(const QString& name, Date day);

// One row per stored habit (the sample habits when none are stored), counting the
// check-ins of the week from Monday that holds now; total is always 7.
std::vector<HabitWeekRow> habitWeek();
// Checks the habit in for today, or takes today's check-in back. With no stored list the
// sample habits, so changed, become the list. Fails, writing nothing, when the suite cannot
// be opened, when the stored list does not decode (it is left alone), when the id names no
// habit, and when the change was not stored.
StoreResult toggleHabitToday(const QUuid& id);

// Today's value of the named counter, with the goal passed through.
CounterSnapshot counter(const QString& name, qint64 goal);
// Adds a signed amount to today's value, never below 0 and saturating at the top, in one
// update of the store, so taps at the same moment (here or in the app) all count. Fails
// when the count was not stored (a suite that cannot be opened, or written, or a full disk).
StoreResult addToCounter(const QString& name, qint64 amount);

// The goals the app's settings store; a missing, zero or negative goal gives the default.
qint64 waterGoal();
qint64 stepsGoal();

} // namespace velk::ExtrasStore
