#pragma once
// The timeline of the reminders widgets: one entry of today's reminders, asked for again every
// 15 minutes. A gallery preview shows the built-in sample; a placed widget shows what it may
// read live, else the last copy kept, else nothing at all.
#include "shared/models/ReminderRecords.h"
#include "shared/widget/LocalProvider.h"

namespace velk {

struct RemindersProvider : LocalProvider<RemindersSnapshot> {
    static constexpr int kReloadMinutes = 15;

    RemindersProvider();

    // The five sample rows, the third of them next, 28 minutes away.
    static RemindersSnapshot sampleSnapshot();
    static RemindersSnapshot emptySnapshot() { return {}; }
};

} // namespace velk
