#pragma once
// State of the interactive widgets: stopwatch, focus timer, habits and daily counters.
#include "platform/core/Coding.h"
#include "platform/core/Date.h"
#include "shared/models/RecordEquality.h"

#include <QString>
#include <QUuid>

#include <optional>
#include <set>
#include <vector>

namespace velk {

struct StopwatchState {
    std::optional<Date> startDate; // set while running
    std::vector<double> laps;      // seconds since startDate at each lap, in order taken

    VELK_FIELDS(StopwatchState, startDate, laps)
    VELK_RECORD_EQUALITY(StopwatchState)

    bool isRunning() const { return startDate.has_value(); }

    static StopwatchState sample();
};

struct FocusSession {
    std::optional<Date> endDate; // set while a session runs
    qint64 minutes = 0;

    VELK_FIELDS(FocusSession, endDate, minutes)
    VELK_RECORD_EQUALITY(FocusSession)

    static FocusSession sample();
};

struct HabitItem {
    QUuid id = QUuid::createUuid(); // a habit made in code without an id gets a fresh one
    QString name;
    std::set<QString> checkins; // day keys "yyyy-MM-dd"

    HabitItem() = default;
    explicit HabitItem(QString name, std::set<QString> checkins = {})
        : name(std::move(name)), checkins(std::move(checkins))
    {}
    HabitItem(QUuid id, QString name, std::set<QString> checkins)
        : id(id), name(std::move(name)), checkins(std::move(checkins))
    {}

    VELK_FIELDS(HabitItem, id, name, checkins)
    VELK_RECORD_EQUALITY(HabitItem)

    // "Run", "Read", "No sugar": ids fresh per process, no check-ins.
    static const std::vector<HabitItem>& samples();
};

struct HabitWeekRow {
    QUuid id;
    QString name;
    qint64 done = 0;  // days of the week window on which the habit was done
    qint64 total = 0; // days in the week window

    VELK_FIELDS(HabitWeekRow, id, name, done, total)
    VELK_RECORD_EQUALITY(HabitWeekRow)

    static const std::vector<HabitWeekRow>& samples();
};

struct CounterSnapshot {
    qint64 value = 0;
    qint64 goal = 0;

    VELK_FIELDS(CounterSnapshot, value, goal)
    VELK_RECORD_EQUALITY(CounterSnapshot)
};

} // namespace velk
