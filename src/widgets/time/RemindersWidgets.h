#pragma once
// The four reminders widgets. Each is made with no arguments; body() declares it.
#include "platform/timeline/WidgetDefinition.h"

namespace velk {

inline const char* const kRemindersWidgetURL = "velkwidgets://open/reminders";

struct RemindersChecklistWidget {
    timeline::WidgetDefinition body() const;
};

struct RemindersNextUpWidget {
    timeline::WidgetDefinition body() const;
};

struct RemindersSingleWidget {
    timeline::WidgetDefinition body() const;
};

struct RemindersTodayWidget {
    timeline::WidgetDefinition body() const;
};

} // namespace velk
