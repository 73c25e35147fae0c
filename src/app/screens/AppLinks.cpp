#include "app/screens/AppLinks.h"

#include "platform/calendar/CalendarAccess.h"

namespace velk::app {

AppLinks::AppLinks(QObject* parent) : QObject(parent)
{
    remindersConnected = [] {
        return CalendarAccess::status(CalendarEntityType::reminder) == CalendarAuthorizationStatus::fullAccess;
    };
    calendarConnected = [] {
        return CalendarAccess::status(CalendarEntityType::event) == CalendarAuthorizationStatus::fullAccess;
    };
    mailStatus = [] { return std::optional<QString>(); };
}

} // namespace velk::app
