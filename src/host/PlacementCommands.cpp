#include "host/PlacementCommands.h"

#include "host/FreePlace.h"
#include "host/WidgetCommands.h"
#include "platform/timeline/WidgetCenter.h"

#include "WidgetHostProxy.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

namespace velk::host {

namespace {

int fail(QTextStream& err, int status, const QString& message)
{
    err << "velk-widgets: " << message << '\n';
    err.flush();
    return status;
}

// A command waits this long at most for the bus or the host, then says so.
constexpr int kBusTimeoutMs = 3000;

bool hostRuns()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    QDBusMessage ask =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                       QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    ask.setArguments({timeline::WidgetCenter::kService});
    const QDBusMessage reply = bus.call(ask, QDBus::Block, kBusTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().first().toBool();
}

} // namespace

QString placedListing(const std::vector<Placement>& placements)
{
    QString out;
    for (const Placement& p : placements)
        out += QStringLiteral("%1\t%2\t%3,%4\t%5\n")
                   .arg(p.id, p.kind)
                   .arg(p.position.x())
                   .arg(p.position.y())
                   .arg(p.scale);
    return out;
}

int runPlacementCommand(const HostCommand& c, const timeline::WidgetBundle& bundle, const PlacementStore& store,
                        QTextStream& out, QTextStream& err, bool useBus)
{
    if (c.verb == Verb::add && !bundle.widget(c.target))
        return fail(err, kExitUsage,
                    QStringLiteral("unknown widget kind \"%1\" (velk-widgets list shows the kinds)").arg(c.target));

    if (useBus && hostRuns()) {
        ComHarrowcrestVelkWidgetHostInterface host(timeline::WidgetCenter::kService, timeline::WidgetCenter::kPath,
                                                   QDBusConnection::sessionBus());
        host.setTimeout(kBusTimeoutMs);
        auto noAnswer = [&](const QDBusError& e) {
            return fail(err, kExitFailed, QStringLiteral("the widget host did not answer: %1").arg(e.message()));
        };
        if (c.verb == Verb::add) {
            QDBusReply<QString> id = host.AddWidget(c.target);
            if (!id.isValid()) return noAnswer(id.error());
            if (id.value().isEmpty())
                return fail(err, kExitFailed, QStringLiteral("the host refused %1").arg(c.target));
            out << id.value() << '\n';
        } else if (c.verb == Verb::remove) {
            QDBusReply<bool> removed = host.RemoveWidget(c.target);
            if (!removed.isValid()) return noAnswer(removed.error());
            if (!removed.value())
                return fail(err, kExitUsage, QStringLiteral("no placed widget has the id %1").arg(c.target));
        } else {
            QDBusReply<QString> placed = host.PlacedWidgets();
            if (!placed.isValid()) return noAnswer(placed.error());
            out << placedListing(parsePlacements(placed.value().toUtf8(), nullptr).value_or(std::vector<Placement>{}));
        }
        out.flush();
        return kExitOk;
    }

    // The host may start, or another command run, at this very moment. Without the lock,
    // nothing is written.
    std::unique_ptr<QLockFile> lock;
    if (c.verb != Verb::placed) {
        QString why;
        lock = store.lock(PlacementStore::kCommandLockWaitMs, &why);
        if (!lock) return fail(err, kExitFailed, why + QStringLiteral("; nothing was changed"));
    }
    PlacementStore::Loaded loaded = store.load();
    if (!loaded.warning.isEmpty()) err << "velk-widgets: " << loaded.warning << '\n';
    if (!loaded.canSave && c.verb != Verb::placed) return fail(err, kExitFailed, QStringLiteral("nothing was changed"));
    // A file that could not be read is not an empty desktop: an empty listing would say so.
    if (!loaded.canSave && c.verb == Verb::placed)
        return fail(err, kExitFailed, QStringLiteral("the placed widgets cannot be listed"));
    std::vector<Placement> placements = std::move(loaded.placements);
    if (c.verb == Verb::placed) {
        out << placedListing(placements);
        out.flush();
        return kExitOk;
    }
    if (c.verb == Verb::add) {
        const timeline::WidgetDefinition* widget = bundle.widget(c.target);
        const QPoint place =
            freePlace(timeline::designSize(widget->family()).toSize(), loaded.screenArea.value_or(kFallbackScreenArea),
                      placedRects(placements, bundle));
        placements.push_back({newPlacementId(), c.target, place, 1, widget->configuration()});
    } else {
        const auto it =
            std::find_if(placements.begin(), placements.end(), [&](const Placement& p) { return p.id == c.target; });
        if (it == placements.end())
            return fail(err, kExitUsage, QStringLiteral("no placed widget has the id %1").arg(c.target));
        placements.erase(it);
    }
    QString error;
    if (!store.save(placements, &error)) return fail(err, kExitFailed, error + QStringLiteral("; nothing was changed"));
    // The new id only once the placement is saved: a script that reads it may rely on it.
    if (c.verb == Verb::add) out << placements.back().id << '\n';
    out.flush();
    return kExitOk;
}

} // namespace velk::host
