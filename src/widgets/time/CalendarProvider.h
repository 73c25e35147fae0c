#pragma once
// The timeline of the calendar widgets: one entry of today's events and how far the day has
// run, asked for again every 15 minutes. A gallery preview shows the built-in sample; a placed
// widget shows what it may read live, else the last copy kept, else an empty day.
#include "shared/models/ReminderRecords.h"
#include "shared/widget/LocalProvider.h"

namespace velk {

struct CalendarProvider : LocalProvider<CalendarSnapshot> {
    static constexpr int kReloadMinutes = 15;

    CalendarProvider();

    // The three sample events, the day 68% gone.
    static CalendarSnapshot sampleSnapshot() { return CalendarSnapshot{EventItem::samples(), 0.68}; }
    static CalendarSnapshot emptySnapshot() { return CalendarSnapshot{{}, 0.0}; }
};

} // namespace velk
