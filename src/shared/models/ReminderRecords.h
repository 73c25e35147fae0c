#pragma once
// Today's reminders and events as the widgets show them: display-ready values written whole by
// the calendar reader and read back whole by the views.
#include "platform/core/Coding.h"
#include "shared/models/RecordEquality.h"

#include <QString>

#include <optional>
#include <vector>

namespace velk {

struct ReminderItem {
    QString id; // the calendar item's identifier; also the row's identity
    QString title;
    std::optional<QString> time; // due time as a short display text
    bool done = false;
    bool isUrgent = false;

    VELK_FIELDS(ReminderItem, id, title, time, done, isUrgent)
    VELK_RECORD_EQUALITY(ReminderItem)

    // Five fixed rows for placeholders and previews.
    static const std::vector<ReminderItem>& samples();
};

struct RemindersSnapshot {
    std::vector<ReminderItem> items;
    std::optional<ReminderItem> nextUp;
    std::optional<qint64> minutesToNext;

    VELK_FIELDS(RemindersSnapshot, items, nextUp, minutesToNext)
    VELK_RECORD_EQUALITY(RemindersSnapshot)
};

struct EventItem {
    QString id; // also the row's identity
    QString start;
    std::optional<QString> end;
    QString title;
    std::optional<QString> detail;
    bool isPast = false;
    bool isNext = false;

    VELK_FIELDS(EventItem, id, start, end, title, detail, isPast, isNext)
    VELK_RECORD_EQUALITY(EventItem)

    // Three fixed rows for placeholders and previews.
    static const std::vector<EventItem>& samples();
};

struct CalendarSnapshot {
    std::vector<EventItem> events;
    double dayProgress = 0; // 0...1

    VELK_FIELDS(CalendarSnapshot, events, dayProgress)
    VELK_RECORD_EQUALITY(CalendarSnapshot)
};

} // namespace velk
