#pragma once
// Whether the user lets VELK read and change their reminders and events. The app asks the user
// and records the answer in the app-group suite, where the widget host reads it too:
//
//   "velk.calendar.access.reminders", "velk.calendar.access.events": integers numbered as the
//   platform numbers its calendar access: 0 (or absent) not determined, 1 restricted, 2 denied,
//   3 full access, 4 write only. Any other value counts as not determined.
//
// Without full access the store reads nothing and saves nothing.
#include "platform/calendar/CalendarItems.h"

#include <QString>

namespace velk {

enum class CalendarAuthorizationStatus {
    notDetermined = 0,
    restricted = 1,
    denied = 2,
    fullAccess = 3,
    writeOnly = 4,
};

class CalendarAccess {
public:
    static QString key(CalendarEntityType type);
    static CalendarAuthorizationStatus status(CalendarEntityType type);
    // Records the user's answer (the app's connect request); false when it could not be stored.
    static bool setStatus(CalendarEntityType type, CalendarAuthorizationStatus status);
};

} // namespace velk
