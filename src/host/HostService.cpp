#include "host/HostService.h"

#include "host/WidgetHost.h"
#include "platform/timeline/WidgetCenter.h"

#include "WidgetHostAdaptor.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace velk::host {

namespace {
constexpr int kBusTimeoutMs = 3000;
} // namespace

HostService::HostService(WidgetHost* host) : QObject(host), host_(host)
{
    new WidgetHostAdaptor(this); // a child: exported with this object
}

bool HostService::registerOnSessionBus(QString* error)
{
    return registerOn(QDBusConnection::sessionBus(), error);
}

bool HostService::registerOn(QDBusConnection bus, QString* error)
{
    if (!bus.isConnected()) {
        *error = QStringLiteral("no session bus: %1").arg(bus.lastError().message());
        return false;
    }
    // RequestName with "do not queue": answered 1 when the name is ours. Asked directly, with a
    // short timeout, so a bus that does not answer cannot hold up the start.
    QDBusMessage ask =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                       QStringLiteral("org.freedesktop.DBus"), QStringLiteral("RequestName"));
    constexpr uint kDoNotQueue = 4;
    ask.setArguments({timeline::WidgetCenter::kService, kDoNotQueue});
    const QDBusMessage reply = bus.call(ask, QDBus::Block, kBusTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        *error = QStringLiteral("the session bus did not answer: %1").arg(reply.errorMessage());
        return false;
    }
    if (reply.arguments().first().toUInt() != 1) {
        *error = QStringLiteral("a widget host is already running");
        return false;
    }
    if (!bus.registerObject(timeline::WidgetCenter::kPath, this, QDBusConnection::ExportAdaptors)) {
        bus.unregisterService(timeline::WidgetCenter::kService);
        *error = QStringLiteral("cannot register %1 on the session bus").arg(timeline::WidgetCenter::kPath);
        return false;
    }
    return true;
}

void HostService::ReloadTimelines(const QString& kind)
{
    host_->reloadTimelines(kind);
}
void HostService::ReloadAllTimelines()
{
    host_->reloadAllTimelines();
}
QString HostService::AddWidget(const QString& kind)
{
    return host_->addWidget(kind);
}
bool HostService::RemoveWidget(const QString& id)
{
    return host_->removeWidget(id);
}
QString HostService::PlacedWidgets()
{
    return QString::fromUtf8(serializePlacements(host_->placements()));
}

} // namespace velk::host
