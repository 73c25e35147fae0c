#include "widgets/time/RemindersProvider.h"

#include "shared/data/calendar/EventSync.h"
#include "widgets/time/CalendarDataChain.h"

namespace velk {

RemindersSnapshot RemindersProvider::sampleSnapshot()
{
    const std::vector<ReminderItem>& rows = ReminderItem::samples();
    RemindersSnapshot s;
    s.items = rows;
    if (rows.size() > 2) s.nextUp = rows[2];
    s.minutesToNext = 28;
    return s;
}

RemindersProvider::RemindersProvider()
    : LocalProvider(withFallback(
          sampleSnapshot(), emptySnapshot(),
          [](const RemindersSnapshot& fallback) {
              return calendarData<RemindersSnapshot>(
                  CalendarEntityType::reminder, [] { return EventSync::readReminders(); },
                  [](const RemindersSnapshot& s) { EventSync::storeReminders(s); },
                  [] { return EventSync::storedReminders(); }, fallback);
          },
          kReloadMinutes))
{}

} // namespace velk
