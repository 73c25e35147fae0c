#pragma once
// The bridge between the user's calendar store and the widgets: today's reminders and today's
// timed events as display-ready snapshots, the last snapshots kept in the shared suite for when
// the store cannot be read, and completing or reopening one reminder from a widget tap.
//
// Every operation that reads the calendar opens its own CalendarStore for that call. Nothing
// here checks access: without it the store answers nothing and the snapshots come out empty
// (callers check CalendarStore::authorizationStatus first).
#include "platform/calendar/CalendarItems.h"
#include "shared/data/activity/StoreResult.h"
#include "shared/models/ReminderRecords.h"

#include <QString>
#include <optional>
#include <vector>

namespace velk {

namespace EventSync {
inline const QString kRemindersKey = QStringLiteral("velk.snapshot.reminders.v1");
inline const QString kCalendarKey = QStringLiteral("velk.snapshot.calendar.v1");

// Overdue and today's open reminders (and those with no due date), after the last two
// completed today. Always a snapshot.
std::optional<RemindersSnapshot> readReminders();
// Today's timed events, six at most and those not over yet kept first, and how far the day has
// run. Always a snapshot.
std::optional<CalendarSnapshot> readCalendar();
// Completes an open reminder or reopens a completed one, then (with full access) stores a
// fresh reminders snapshot. Fails when the identifier names no reminder (nothing changes) or
// when the reminder's file could not be saved (the snapshot then shows it as it is).
StoreResult toggleReminder(const QString& id);

void storeReminders(const RemindersSnapshot& snapshot);
std::optional<RemindersSnapshot> storedReminders();
void storeCalendar(const CalendarSnapshot& snapshot);
std::optional<CalendarSnapshot> storedCalendar();

// The snapshots from fetched items at `now` (the reads above with the store's answers):
// `open` in the store's order, `closed` likewise.
RemindersSnapshot remindersSnapshot(const std::vector<CalendarReminder>& open,
                                    const std::vector<CalendarReminder>& closed, Date now);
CalendarSnapshot calendarSnapshot(const std::vector<CalendarEvent>& events, Date dayStart, Date now);

} // namespace EventSync

} // namespace velk
