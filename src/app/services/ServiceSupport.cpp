#include "app/services/ServiceSupport.h"

#include "platform/timeline/WidgetCenter.h"

namespace velk::services {

void reloadKinds(const QStringList& kinds)
{
    for (const QString& kind : kinds) timeline::WidgetCenter::shared().reloadTimelines(kind);
}

} // namespace velk::services
