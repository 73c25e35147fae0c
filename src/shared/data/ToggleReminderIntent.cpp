#include "shared/data/ToggleReminderIntent.h"

#include "shared/data/EventSync.h"

namespace velk {

void ToggleReminderIntent::perform() const { EventSync::toggleReminder(reminderID); }

} // namespace velk
