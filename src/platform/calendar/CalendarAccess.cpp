#include "platform/calendar/CalendarAccess.h"

#include "platform/core/Defaults.h"

namespace velk {

QString CalendarAccess::key(CalendarEntityType type)
{
    return type == CalendarEntityType::reminder ? QStringLiteral("velk.calendar.access.reminders")
                                                : QStringLiteral("velk.calendar.access.events");
}

CalendarAuthorizationStatus CalendarAccess::status(CalendarEntityType type)
{
    switch (Defaults::shared().integer(key(type))) {
    case 1:
        return CalendarAuthorizationStatus::restricted;
    case 2:
        return CalendarAuthorizationStatus::denied;
    case 3:
        return CalendarAuthorizationStatus::fullAccess;
    case 4:
        return CalendarAuthorizationStatus::writeOnly;
    default:
        return CalendarAuthorizationStatus::notDetermined;
    }
}

bool CalendarAccess::setStatus(CalendarEntityType type, CalendarAuthorizationStatus status)
{
    return Defaults::shared().setInteger(key(type), qint64(status));
}

} // namespace velk
