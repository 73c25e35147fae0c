#include "shared/data/activity/ExtrasStore.h"

#include "platform/core/DistributedNotifications.h"
#include "platform/timeline/WidgetCenter.h"

namespace velk {

const DateFormatter& ExtrasStore::dayFormat()
{
    // A function-local static: made exactly once, even when several threads ask first.
    static const DateFormatter formatter = [] {
        DateFormatter f; // the current locale and time zone, as of now
        f.setCalendar(Calendar::current());
        f.setDateFormat(QStringLiteral("yyyy-MM-dd"));
        return f;
    }();
    return formatter;
}

QString ExtrasStore::dayKey(Date date) { return dayFormat().string(date); }

void reloadKinds(const QStringList& kinds)
{
    for (const QString& kind : kinds) timeline::WidgetCenter::shared().reloadTimelines(kind);
    DistributedNotifications().post(kReloadWidgetsNotification);
}

} // namespace velk
