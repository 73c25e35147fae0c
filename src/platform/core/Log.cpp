#include "platform/core/Log.h"

#include <cstring>

namespace velk {

Q_LOGGING_CATEGORY(lcMedia, "com.harrowcrest.velk.media")
Q_LOGGING_CATEGORY(lcDefaults, "com.harrowcrest.velk.defaults")
Q_LOGGING_CATEGORY(lcCalendar, "com.harrowcrest.velk.calendar")
Q_LOGGING_CATEGORY(lcWeb, "com.harrowcrest.velk.web")
Q_LOGGING_CATEGORY(lcHost, "com.harrowcrest.velk.host")
Q_LOGGING_CATEGORY(lcWidgets, "com.harrowcrest.velk.widgets")
Q_LOGGING_CATEGORY(lcSysinfo, "com.harrowcrest.velk.sysinfo")
Q_LOGGING_CATEGORY(lcNotifications, "com.harrowcrest.velk.notifications")
Q_LOGGING_CATEGORY(lcIntents, "com.harrowcrest.velk.intents")
Q_LOGGING_CATEGORY(lcGeneral, "com.harrowcrest.velk.general")

const QLoggingCategory& logCategory(const char* name)
{
    static const std::pair<const char*, const QLoggingCategory& (*)()> known[] = {
        {"media", lcMedia},     {"defaults", lcDefaults}, {"calendar", lcCalendar}, {"web", lcWeb},
        {"host", lcHost},       {"widgets", lcWidgets},   {"sysinfo", lcSysinfo},   {"notifications", lcNotifications},
        {"intents", lcIntents},
    };
    for (const auto& [n, category] : known)
        if (std::strcmp(n, name) == 0) return category();
    return lcGeneral();
}

} // namespace velk
