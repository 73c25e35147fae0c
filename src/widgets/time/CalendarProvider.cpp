#include "widgets/time/CalendarProvider.h"

#include "platform/core/Clock.h"
#include "shared/data/EventSync.h"
#include "widgets/time/CalendarDataChain.h"

namespace velk {

namespace {

CalendarSnapshot chosenData(const CalendarSnapshot& fallback)
{
    return calendarData<CalendarSnapshot>(
        CalendarEntityType::event, [] { return EventSync::readCalendar(); },
        [](const CalendarSnapshot& s) { EventSync::storeCalendar(s); }, [] { return EventSync::storedCalendar(); },
        fallback);
}

} // namespace

CalendarProvider::Entry CalendarProvider::placeholder(const timeline::TimelineContext&) const
{
    return Entry{Clock::now(), sample(), SurfaceOption::followApp};
}

CalendarProvider::Entry CalendarProvider::snapshot(const SurfaceConfigIntent& configuration,
                                                   const timeline::TimelineContext& context) const
{
    CalendarSnapshot data = context.isPreview ? sample() : chosenData(sample());
    // Read after the data: a slow read must not date the entry before it was made.
    return Entry{Clock::now(), std::move(data), configuration.surface};
}

timeline::Timeline<CalendarProvider::Entry> CalendarProvider::timeline(const SurfaceConfigIntent& configuration,
                                                                       const timeline::TimelineContext&) const
{
    CalendarSnapshot data = chosenData(empty());
    Entry entry{Clock::now(), std::move(data), configuration.surface};
    return {{std::move(entry)}, timeline::ReloadPolicy::after(calendarReloadDate(kReloadMinutes))};
}

} // namespace velk
