#include "platform/media/MusicPlayer.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>

#include <algorithm>
#include <cmath>
#include <limits>

namespace velk {

namespace {

const QString kDBusService = QStringLiteral("org.freedesktop.DBus");
const QString kDBusPath = QStringLiteral("/org/freedesktop/DBus");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

// D-Bus values arrive as plain variants or still marshalled (a{sv}, as, v); this unwraps them.
QVariant unwrap(const QVariant& v)
{
    if (v.canConvert<QDBusVariant>() && v.userType() == qMetaTypeId<QDBusVariant>())
        return unwrap(qvariant_cast<QDBusVariant>(v).variant());
    if (v.userType() == qMetaTypeId<QDBusArgument>()) {
        const QDBusArgument arg = qvariant_cast<QDBusArgument>(v);
        switch (arg.currentType()) {
        case QDBusArgument::MapType: {
            QVariantMap map;
            arg >> map;
            for (auto it = map.begin(); it != map.end(); ++it) *it = unwrap(*it);
            return map;
        }
        case QDBusArgument::ArrayType: {
            QStringList list;
            arg >> list;
            return list;
        }
        case QDBusArgument::VariantType: {
            QDBusVariant inner;
            arg >> inner;
            return unwrap(inner.variant());
        }
        default:
            return {};
        }
    }
    return v;
}

QString joinedText(const QVariant& v)
{
    if (v.userType() == QMetaType::QStringList) return v.toStringList().join(QStringLiteral(", "));
    if (v.userType() == QMetaType::QString) return v.toString();
    return {};
}

// Microseconds to seconds; nothing when the value is no usable number.
std::optional<double> seconds(const QVariant& microseconds)
{
    const QVariant v = unwrap(microseconds);
    switch (v.userType()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
        return double(v.toLongLong()) / 1e6;
    case QMetaType::ULongLong:
    case QMetaType::UInt:
        return double(v.toULongLong()) / 1e6;
    case QMetaType::Double: {
        const double d = v.toDouble();
        constexpr double limit = 9.2e18; // below 2^63
        if (!std::isfinite(d) || std::fabs(d) >= limit) return std::nullopt;
        return d / 1e6;
    }
    default:
        return std::nullopt;
    }
}

} // namespace

QDBusMessage MusicPlayer::callBus(const QString& service, const QString& path, const QString& interface,
                                  const QString& method, const QVariantList& args) const
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
    call.setArguments(args);
    call.setAutoStartService(false);
    return bus_.call(call, QDBus::Block, callTimeoutMs_);
}

MusicPlayer::MusicPlayer(const QDBusConnection& bus, QObject* parent, int callTimeoutMs)
    : QObject(parent), bus_(bus), callTimeoutMs_(callTimeoutMs)
{
    if (!bus_.isConnected()) return;
    bus_.connect(QString(), kPath, kPropertiesInterface, QStringLiteral("PropertiesChanged"), this,
                 SLOT(onPropertiesChanged(QDBusMessage)));
    bus_.connect(kDBusService, kDBusPath, kDBusService, QStringLiteral("NameOwnerChanged"), this,
                 SLOT(onNameOwnerChanged(QString, QString, QString)));
}

QString MusicPlayer::secondsText(const QVariant& microseconds)
{
    const std::optional<double> s = seconds(microseconds);
    return s ? QString::number(*s, 'f', 3) : QStringLiteral("0");
}

QList<MusicPlayer::Player> MusicPlayer::players()
{
    QList<Player> found;
    if (!bus_.isConnected()) return found;
    const QDBusMessage reply = callBus(kDBusService, kDBusPath, kDBusService, QStringLiteral("ListNames"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return found;
    QStringList names = reply.arguments().constFirst().toStringList();
    names.sort();
    for (const QString& name : std::as_const(names)) {
        if (!name.startsWith(kServicePrefix)) continue;
        const QDBusMessage owner = callBus(kDBusService, kDBusPath, kDBusService,
                                           QStringLiteral("GetNameOwner"), {name});
        if (owner.type() != QDBusMessage::ReplyMessage || owner.arguments().isEmpty()) continue;
        found.append({name, owner.arguments().constFirst().toString()});
    }
    return found;
}

bool MusicPlayer::isRunning()
{
    return !players().isEmpty();
}

std::optional<QVariantMap> MusicPlayer::properties(const QString& service)
{
    const QDBusMessage reply = callBus(service, kPath, kPropertiesInterface,
                                       QStringLiteral("GetAll"), {kPlayerInterface});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return std::nullopt;
    return unwrap(reply.arguments().constFirst()).toMap();
}

std::optional<QString> MusicPlayer::followedPlayer()
{
    const QList<Player> all = players();
    if (all.isEmpty()) {
        followedOwner_.clear();
        return std::nullopt;
    }
    const Player* best = nullptr;
    bool bestPlaying = false;
    quint64 bestActivity = 0;
    for (const Player& p : all) {
        const QDBusMessage reply = callBus(p.name, kPath, kPropertiesInterface, QStringLiteral("Get"),
                                           {kPlayerInterface, QStringLiteral("PlaybackStatus")});
        const bool playing = reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
                             && unwrap(reply.arguments().constFirst()).toString() == u"Playing";
        const quint64 activity = lastActivity_.value(p.owner, 0);
        if (!best || (playing && !bestPlaying) || (playing == bestPlaying && activity > bestActivity)) {
            best = &p;
            bestPlaying = playing;
            bestActivity = activity;
        }
    }
    followedOwner_ = best->owner;
    return best->name;
}

ScriptReply MusicPlayer::status()
{
    const std::optional<QString> player = followedPlayer();
    if (!player) return ScriptReply::failure(QStringLiteral("no player"));
    const std::optional<QVariantMap> props = properties(*player);
    if (!props) return ScriptReply::failure(QStringLiteral("the player did not answer"));
    const QString state = props->value(QStringLiteral("PlaybackStatus")).toString().toLower();
    if (state.isEmpty() || state == u"stopped") return ScriptReply::success(QStringLiteral("stopped"));
    const QVariantMap meta = props->value(QStringLiteral("Metadata")).toMap();
    // Some players leave Position out of GetAll; ask for it alone then.
    QString positionText = QStringLiteral("0");
    if (const QVariant position = props->value(QStringLiteral("Position")); position.isValid())
        positionText = secondsText(position);
    else if (const ScriptReply p = this->position(); p.ok())
        positionText = *p.text;
    const QStringList fields{
        state,
        positionText,
        secondsText(meta.value(QStringLiteral("mpris:length"))),
        joinedText(meta.value(QStringLiteral("xesam:title"))),
        joinedText(meta.value(QStringLiteral("xesam:artist"))),
    };
    return ScriptReply::success(fields.join(kSeparator));
}

ScriptReply MusicPlayer::position()
{
    const std::optional<QString> player = followedPlayer();
    if (!player) return ScriptReply::failure(QStringLiteral("no player"));
    const QDBusMessage reply = callBus(*player, kPath, kPropertiesInterface, QStringLiteral("Get"),
                                       {kPlayerInterface, QStringLiteral("Position")});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return ScriptReply::failure(reply.errorMessage().isEmpty() ? QStringLiteral("no position")
                                                                   : reply.errorMessage());
    return ScriptReply::success(secondsText(reply.arguments().constFirst()));
}

ScriptReply MusicPlayer::command(const QString& verb)
{
    QString method;
    if (verb == u"playpause") method = QStringLiteral("PlayPause");
    else if (verb == u"next track") method = QStringLiteral("Next");
    else if (verb == u"previous track") method = QStringLiteral("Previous");
    else return ScriptReply::failure(QStringLiteral("unknown command ") + verb);
    const std::optional<QString> player = followedPlayer();
    if (!player) return ScriptReply::failure(QStringLiteral("no player"));
    const QDBusMessage reply = callBus(*player, kPath, kPlayerInterface, method);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return ScriptReply::failure(reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage());
    return ScriptReply::success(QString());
}

QVariantMap MusicPlayer::playerInfoOf(const QVariantMap& props) const
{
    QVariantMap info;
    const QString state = props.value(QStringLiteral("PlaybackStatus")).toString();
    info.insert(QStringLiteral("Player State"), state.isEmpty() ? QStringLiteral("Stopped") : state);
    const QVariantMap meta = props.value(QStringLiteral("Metadata")).toMap();
    if (meta.contains(QStringLiteral("xesam:title")))
        info.insert(QStringLiteral("Name"), joinedText(meta.value(QStringLiteral("xesam:title"))));
    if (meta.contains(QStringLiteral("xesam:artist")))
        info.insert(QStringLiteral("Artist"), joinedText(meta.value(QStringLiteral("xesam:artist"))));
    if (const std::optional<double> s = seconds(meta.value(QStringLiteral("mpris:length"))))
        info.insert(QStringLiteral("Total Time"), qint64(*s * 1000.0));
    return info;
}

void MusicPlayer::noteActivity(const QString& owner)
{
    lastActivity_.insert(owner, ++sequence_);
}

void MusicPlayer::onPropertiesChanged(const QDBusMessage& message)
{
    const QList<QVariant> args = message.arguments();
    if (args.size() < 2 || args.at(0).toString() != kPlayerInterface) return;
    const QVariantMap changed = unwrap(args.at(1)).toMap();
    QStringList invalidated = args.size() > 2 ? unwrap(args.at(2)).toStringList() : QStringList();
    const auto touches = [&](const QString& p) { return changed.contains(p) || invalidated.contains(p); };
    // Volume, rate and the like do not change what the widgets show.
    if (!touches(QStringLiteral("PlaybackStatus")) && !touches(QStringLiteral("Metadata"))) return;
    noteActivity(message.service());
    const std::optional<QString> followed = followedPlayer();
    if (!followed || followedOwner_ != message.service()) return;
    const std::optional<QVariantMap> props = properties(*followed);
    emit playerInfo(playerInfoOf(props ? *props : changed));
}

void MusicPlayer::onNameOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner)
{
    if (!name.startsWith(kServicePrefix)) return;
    if (!newOwner.isEmpty()) {
        noteActivity(newOwner); // a player just started counts as just used
        return;
    }
    lastActivity_.remove(oldOwner);
    if (oldOwner != followedOwner_) return;
    // The followed player went away: say what the next one does, or that nothing plays.
    const std::optional<QString> next = followedPlayer();
    const std::optional<QVariantMap> props = next ? properties(*next) : std::nullopt;
    emit playerInfo(props ? playerInfoOf(*props) : QVariantMap{{QStringLiteral("Player State"), QStringLiteral("Stopped")}});
}

} // namespace velk
