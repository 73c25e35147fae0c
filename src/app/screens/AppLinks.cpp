#include "app/screens/AppLinks.h"

#include "platform/calendar/CalendarAccess.h"
#include "platform/desktop/AppLauncher.h"
#include "platform/desktop/DesktopEntries.h"

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
    locationSourceAvailable = [] { return true; };
    findApp = [](const QString& target) -> std::optional<QString> {
        const QString calendarType = QStringLiteral("text/calendar");
        if (target == QLatin1String("calendar")) return AppLauncher::defaultApplication(calendarType);
        if (target == QLatin1String("weather")) return DesktopEntries::findApplication({QStringLiteral("weather")});
        if (target == QLatin1String("reminders")) {
            if (auto todo = DesktopEntries::findApplication({QStringLiteral("todo"), QStringLiteral("to-do")}))
                return todo;
            return AppLauncher::defaultApplication(calendarType);
        }
        return std::nullopt;
    };
    launchApp = [](const QString& id) { return AppLauncher::launch(id); };
}

} // namespace velk::app
