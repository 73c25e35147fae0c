#include "host/PlacementCommands.h"

#include "host/WidgetCommands.h"
#include "platform/timeline/WidgetCenter.h"

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
    QDBusMessage ask = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                                      QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    ask.setArguments({timeline::WidgetCenter::kService});
    const QDBusMessage reply = bus.call(ask, QDBus::Block, kBusTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() && reply.arguments().first().toBool();
}

QDBusMessage callHost(const QString& method, const QVariantList& args)
{
    QDBusMessage call = QDBusMessage::createMethodCall(timeline::WidgetCenter::kService, timeline::WidgetCenter::kPath,
                                                       timeline::WidgetCenter::kInterface, method);
    call.setArguments(args);
    call.setAutoStartService(false);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, kBusTimeoutMs);
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
        QDBusMessage reply;
        if (c.verb == Verb::add) reply = callHost(QStringLiteral("AddWidget"), {c.target});
        else if (c.verb == Verb::remove) reply = callHost(QStringLiteral("RemoveWidget"), {c.target});
        else reply = callHost(QStringLiteral("PlacedWidgets"), {});
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return fail(err, kExitFailed, QStringLiteral("the widget host did not answer: %1").arg(reply.errorMessage()));
        const QVariant value = reply.arguments().first();
        if (c.verb == Verb::add) {
            if (value.toString().isEmpty()) return fail(err, kExitFailed, QStringLiteral("the host refused %1").arg(c.target));
            out << value.toString() << '\n';
        } else if (c.verb == Verb::remove) {
            if (!value.toBool()) return fail(err, kExitUsage, QStringLiteral("no placed widget has the id %1").arg(c.target));
        } else {
            out << placedListing(parsePlacements(value.toString().toUtf8(), nullptr).value_or(std::vector<Placement>{}));
        }
        out.flush();
        return kExitOk;
    }

    // The host may start, or another command run, at this very moment.
    const auto lock = c.verb == Verb::placed ? nullptr : store.lock();
    PlacementStore::Loaded loaded = store.load();
    if (!loaded.warning.isEmpty()) err << "velk-widgets: " << loaded.warning << '\n';
    if (!loaded.canSave && c.verb != Verb::placed) return fail(err, kExitFailed, QStringLiteral("nothing was changed"));
    std::vector<Placement> placements = std::move(loaded.placements);
    if (c.verb == Verb::placed) {
        out << placedListing(placements);
        out.flush();
        return kExitOk;
    }
    if (c.verb == Verb::add) {
        const timeline::WidgetDefinition* widget = bundle.widget(c.target);
        // The host finds the widget a free spot when it shows it; a cascade keeps several
        // added offline from landing on one another.
        const int n = int(placements.size());
        placements.push_back({newPlacementId(), c.target, QPoint(24 + 24 * (n % 10), 24 + 24 * (n % 10)), 1,
                              widget->configuration()});
        out << placements.back().id << '\n';
    } else {
        const auto it = std::find_if(placements.begin(), placements.end(), [&](const Placement& p) { return p.id == c.target; });
        if (it == placements.end()) return fail(err, kExitUsage, QStringLiteral("no placed widget has the id %1").arg(c.target));
        placements.erase(it);
    }
    QString error;
    if (!store.save(placements, &error)) return fail(err, kExitFailed, error);
    out.flush();
    return kExitOk;
}

} // namespace velk::host
