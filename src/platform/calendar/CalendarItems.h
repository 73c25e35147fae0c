#pragma once
// The to-dos (reminders) and events the calendar store answers with, their times already
// anchored in the zone current at the fetch.
//
// Identifiers: the item's UID; an instance of a repeating event adds "/" and the instance key
// (IcsTime::instanceKey: "20250307" for a day, else "20250307T093000Z" in UTC). An item whose
// file gives no UID is named by its place instead: "<file path in the store>#todo<n>" or
// "#event<n>", stable as long as the file is not reordered.
#include "platform/core/Clock.h"
#include "platform/core/Date.h"

#include <QString>
#include <optional>
#include <variant>

namespace velk {

enum class CalendarEntityType { event, reminder };

struct CalendarReminder {
    QString identifier;
    QString title; // empty when the to-do has none
    std::optional<Date> dueDate;
    bool dueHasTime = false; // false for a date-only due date
    bool completed = false;
    std::optional<Date> completionDate;
    QString collection; // the folder's name; empty for a file directly in the store
    QString filePath;   // relative to the store's root
    QString uid;
    int todoIndex = 0;

    // Completing stamps the moment; reopening clears it.
    void setCompleted(bool done, Date now = Clock::now())
    {
        completed = done;
        completionDate = done ? std::optional<Date>(now) : std::nullopt;
    }
};

struct CalendarEvent {
    QString identifier;
    QString title;
    QString location;
    Date startDate;
    Date endDate;
    bool allDay = false;
    QString collection;
    QString filePath;
};

using CalendarItem = std::variant<CalendarReminder, CalendarEvent>;

} // namespace velk
