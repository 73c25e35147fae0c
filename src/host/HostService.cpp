#include "host/HostService.h"

#include "host/WidgetHost.h"
#include "platform/timeline/WidgetCenter.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

namespace velk::host {

HostService::HostService(WidgetHost* host) : QObject(host), host_(host) {}

bool HostService::registerOnSessionBus(QString* error) { return registerOn(QDBusConnection::sessionBus(), error); }

bool HostService::registerOn(QDBusConnection bus, QString* error)
{
    if (!bus.isConnected()) {
        *error = QStringLiteral("no session bus: %1").arg(bus.lastError().message());
        return false;
    }
    const auto reply =
        bus.interface()->registerService(timeline::WidgetCenter::kService, QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        *error = QStringLiteral("a widget host is already running");
        return false;
    }
    if (!bus.registerObject(timeline::WidgetCenter::kPath, this, QDBusConnection::ExportAllSlots)) {
        bus.unregisterService(timeline::WidgetCenter::kService);
        *error = QStringLiteral("cannot register %1 on the session bus").arg(timeline::WidgetCenter::kPath);
        return false;
    }
    return true;
}

void HostService::ReloadTimelines(const QString& kind) { host_->reloadTimelines(kind); }
void HostService::ReloadAllTimelines() { host_->reloadAllTimelines(); }
QString HostService::AddWidget(const QString& kind) { return host_->addWidget(kind); }
bool HostService::RemoveWidget(const QString& id) { return host_->removeWidget(id); }
QString HostService::PlacedWidgets() { return QString::fromUtf8(serializePlacements(host_->placements())); }

} // namespace velk::host
