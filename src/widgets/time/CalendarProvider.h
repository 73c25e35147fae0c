#pragma once
// The timeline of the calendar widgets: one entry of today's events and how far the day has
// run, asked for again every 15 minutes. A gallery preview shows the built-in sample; a placed
// widget shows what it may read live, else the last copy kept, else an empty day.
#include "platform/timeline/Timeline.h"
#include "shared/data/SurfaceConfigIntent.h"
#include "shared/data/VelkEntry.h"
#include "shared/models/ReminderRecords.h"

namespace velk {

struct CalendarProvider {
    using Entry = VelkEntry<CalendarSnapshot>;

    static constexpr int kReloadMinutes = 15;

    // The three sample events, the day 68% gone.
    static CalendarSnapshot sample() { return CalendarSnapshot{EventItem::samples(), 0.68}; }
    static CalendarSnapshot empty() { return CalendarSnapshot{{}, 0.0}; }

    // Touches no store: the sample, on the app's surface.
    Entry placeholder(const timeline::TimelineContext& context) const;
    Entry snapshot(const SurfaceConfigIntent& configuration, const timeline::TimelineContext& context) const;
    timeline::Timeline<Entry> timeline(const SurfaceConfigIntent& configuration,
                                       const timeline::TimelineContext& context) const;
};

} // namespace velk
