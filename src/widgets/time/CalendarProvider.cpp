#include "widgets/time/CalendarProvider.h"

#include "shared/data/calendar/EventSync.h"
#include "widgets/time/CalendarDataChain.h"

namespace velk {

CalendarProvider::CalendarProvider()
    : LocalProvider(withFallback(
          sampleSnapshot(), emptySnapshot(),
          [](const CalendarSnapshot& fallback) {
              return calendarData<CalendarSnapshot>(
                  CalendarEntityType::event, [] { return EventSync::readCalendar(); },
                  [](const CalendarSnapshot& s) { EventSync::storeCalendar(s); },
                  [] { return EventSync::storedCalendar(); }, fallback);
          },
          kReloadMinutes))
{}

} // namespace velk
