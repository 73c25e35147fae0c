#pragma once
// Whether the user lets VELK read and change their reminders and events. The app asks the user
// and records the answer in the app-group suite, where the widget host reads it too:
//
//   "velk.calendar.access.reminders", "velk.calendar.access.events": integers,
//   0 (or absent) not determined, 1 denied, 2 full access. Any other value counts as not
//   determined.
//
// Without full access the store reads nothing and saves nothing.
#include "platform/calendar/CalendarItems.h"

#include <QString>

namespace velk {

enum class CalendarAuthorizationStatus { notDetermined = 0, denied = 1, fullAccess = 2 };

class CalendarAccess {
public:
    static QString key(CalendarEntityType type);
    static CalendarAuthorizationStatus status(CalendarEntityType type);
    // Records the user's answer (the app's connect request); false when it could not be stored.
    static bool setStatus(CalendarEntityType type, CalendarAuthorizationStatus status);
};

} // namespace velk
