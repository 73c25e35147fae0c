#include "shared/data/calendar/ToggleReminderIntent.h"

#include "shared/data/calendar/EventSync.h"

namespace velk {

void ToggleReminderIntent::perform() const
{
    requireStored(EventSync::toggleReminder(reminderID));
}

} // namespace velk
