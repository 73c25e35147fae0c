#include "platform/core/Log.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace velk {

Q_LOGGING_CATEGORY(lcMedia, "com.harrowcrest.velk.media")
Q_LOGGING_CATEGORY(lcDefaults, "com.harrowcrest.velk.defaults")
Q_LOGGING_CATEGORY(lcCalendar, "com.harrowcrest.velk.calendar")
Q_LOGGING_CATEGORY(lcWeb, "com.harrowcrest.velk.web")
Q_LOGGING_CATEGORY(lcHost, "com.harrowcrest.velk.host")
Q_LOGGING_CATEGORY(lcWidgets, "com.harrowcrest.velk.widgets")
Q_LOGGING_CATEGORY(lcSysinfo, "com.harrowcrest.velk.sysinfo")

namespace {

struct Dynamic {
    // QLoggingCategory keeps the pointer to its name, so the name lives beside it.
    std::string fullName;
    std::unique_ptr<QLoggingCategory> category;
};

} // namespace

const QLoggingCategory& logCategory(const char* name)
{
    static const std::pair<const char*, const QLoggingCategory& (*)()> known[] = {
        {"media", lcMedia},       {"defaults", lcDefaults}, {"calendar", lcCalendar},
        {"web", lcWeb},           {"host", lcHost},         {"widgets", lcWidgets},
        {"sysinfo", lcSysinfo},
    };
    for (const auto& [n, category] : known)
        if (std::strcmp(n, name) == 0) return category();

    static std::mutex mutex;
    static std::map<std::string, std::unique_ptr<Dynamic>> made; // never freed: callers keep references
    std::lock_guard lock(mutex);
    auto& slot = made[name];
    if (!slot) {
        slot = std::make_unique<Dynamic>();
        slot->fullName = std::string("com.harrowcrest.velk.") + name;
        slot->category = std::make_unique<QLoggingCategory>(slot->fullName.c_str());
    }
    return *slot->category;
}

} // namespace velk
