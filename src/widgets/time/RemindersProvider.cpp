#include "widgets/time/RemindersProvider.h"

#include "platform/core/Clock.h"
#include "shared/data/EventSync.h"
#include "widgets/time/CalendarDataChain.h"

namespace velk {

namespace {

RemindersSnapshot chosenData(const RemindersSnapshot& fallback)
{
    return calendarData<RemindersSnapshot>(
        CalendarEntityType::reminder, [] { return EventSync::readReminders(); },
        [](const RemindersSnapshot& s) { EventSync::storeReminders(s); }, [] { return EventSync::storedReminders(); },
        fallback);
}

} // namespace

RemindersSnapshot RemindersProvider::sample()
{
    const std::vector<ReminderItem>& rows = ReminderItem::samples();
    RemindersSnapshot s;
    s.items = rows;
    if (rows.size() > 2)
        s.nextUp = rows[2];
    s.minutesToNext = 28;
    return s;
}

RemindersProvider::Entry RemindersProvider::placeholder(const timeline::TimelineContext&) const
{
    return Entry{Clock::now(), sample(), SurfaceOption::followApp};
}

RemindersProvider::Entry RemindersProvider::snapshot(const SurfaceConfigIntent& configuration,
                                                     const timeline::TimelineContext& context) const
{
    RemindersSnapshot data = context.isPreview ? sample() : chosenData(sample());
    // Read after the data: a slow read must not date the entry before it was made.
    return Entry{Clock::now(), std::move(data), configuration.surface};
}

timeline::Timeline<RemindersProvider::Entry> RemindersProvider::timeline(const SurfaceConfigIntent& configuration,
                                                                         const timeline::TimelineContext&) const
{
    RemindersSnapshot data = chosenData(empty());
    Entry entry{Clock::now(), std::move(data), configuration.surface};
    return {{std::move(entry)}, timeline::ReloadPolicy::after(calendarReloadDate(kReloadMinutes))};
}

} // namespace velk
