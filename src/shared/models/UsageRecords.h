#pragma once
// Today's screen time, the budget, the most used apps and the last seven days.
#include "platform/core/Coding.h"
#include "shared/models/RecordEquality.h"

#include <QString>

#include <vector>

namespace velk {

struct UsageSnapshot {
    struct App {
        QString name; // also the identity
        qint64 minutes = 0;
        bool isFlagged = false;

        VELK_FIELDS(App, name, minutes, isFlagged)
        VELK_RECORD_EQUALITY(App)

        const QString& id() const { return name; }
    };

    struct Day {
        QString label; // short day name; also the identity
        qint64 minutes = 0;
        bool isToday = false;
        bool isPeak = false;

        VELK_FIELDS(Day, label, minutes, isToday, isPeak)
        VELK_RECORD_EQUALITY(Day)

        const QString& id() const { return label; }
    };

    qint64 totalMinutes = 0;
    qint64 budgetMinutes = 0;
    std::vector<App> apps; // most used first
    std::vector<Day> week; // seven days, oldest first, ending with today

    VELK_FIELDS(UsageSnapshot, totalMinutes, budgetMinutes, apps, week)
    VELK_RECORD_EQUALITY(UsageSnapshot)

    // Fixed data: the same in every process.
    static const UsageSnapshot& sample();
};

} // namespace velk
