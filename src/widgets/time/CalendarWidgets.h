#pragma once
// The four calendar widgets. Each is made with no arguments; body() declares it.
#include "platform/timeline/WidgetDefinition.h"

namespace velk {

inline const char* const kCalendarWidgetURL = "velkwidgets://open/calendar";

struct CalendarBigDateWidget {
    timeline::WidgetDefinition body() const;
};

struct CalendarMonthGridWidget {
    timeline::WidgetDefinition body() const;
};

struct CalendarDayEventsWidget {
    timeline::WidgetDefinition body() const;
};

struct CalendarAgendaWidget {
    timeline::WidgetDefinition body() const;
};

} // namespace velk
