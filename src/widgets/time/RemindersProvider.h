#pragma once
// The timeline of the reminders widgets: one entry of today's reminders, asked for again every
// 15 minutes. A gallery preview shows the built-in sample; a placed widget shows what it may
// read live, else the last copy kept, else nothing at all.
#include "platform/timeline/Timeline.h"
#include "shared/data/SurfaceConfigIntent.h"
#include "shared/data/VelkEntry.h"
#include "shared/models/ReminderRecords.h"

namespace velk {

struct RemindersProvider {
    using Entry = VelkEntry<RemindersSnapshot>;

    static constexpr int kReloadMinutes = 15;

    // The five sample rows, the third of them next, 28 minutes away.
    static RemindersSnapshot sample();
    static RemindersSnapshot empty() { return {}; }

    // Touches no store: the sample, on the app's surface.
    Entry placeholder(const timeline::TimelineContext& context) const;
    Entry snapshot(const SurfaceConfigIntent& configuration, const timeline::TimelineContext& context) const;
    timeline::Timeline<Entry> timeline(const SurfaceConfigIntent& configuration,
                                       const timeline::TimelineContext& context) const;
};

} // namespace velk
