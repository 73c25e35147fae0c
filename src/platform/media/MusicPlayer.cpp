#include "platform/media/MusicPlayer.h"

#include <QDBusArgument>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <utility>

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
            for (auto it = map.begin(); it != map.end(); ++it)
                *it = unwrap(*it);
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

void MusicPlayer::callBus(const QString& service, const QString& path, const QString& interface, const QString& method,
                          const QVariantList& args, MessageHandler done)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
    call.setArguments(args);
    call.setAutoStartService(false);
    if (!bus_.isConnected()) {
        // A connection that is not there gives no pending call to watch: answer on the next turn.
        const QDBusMessage error = call.createErrorReply(QDBusError::Disconnected, QStringLiteral("no session bus"));
        QMetaObject::invokeMethod(
            this, [done = std::move(done), error] { done(error); }, Qt::QueuedConnection);
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, callTimeoutMs_), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [watcher, done = std::move(done)] {
        watcher->deleteLater();
        done(watcher->reply());
    });
}

void MusicPlayer::answerLater(ReplyHandler done, const ScriptReply& reply)
{
    QMetaObject::invokeMethod(
        this, [done = std::move(done), reply] { done(reply); }, Qt::QueuedConnection);
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

namespace {

bool answered(const QDBusMessage& reply)
{
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty();
}

QString reasonOf(const QDBusMessage& reply, const QString& fallback)
{
    if (!reply.errorMessage().isEmpty()) return reply.errorMessage();
    return reply.errorName().isEmpty() ? fallback : reply.errorName();
}

} // namespace

void MusicPlayer::findFollowed(std::function<void(const std::optional<Player>&)> done)
{
    callBus(kDBusService, kDBusPath, kDBusService, QStringLiteral("ListNames"), {},
            [this, done = std::move(done)](const QDBusMessage& reply) {
                QStringList names = answered(reply) ? reply.arguments().constFirst().toStringList() : QStringList();
                names.sort();
                names.removeIf([](const QString& name) { return !name.startsWith(kServicePrefix); });
                if (names.isEmpty()) {
                    followedOwner_.clear();
                    done(std::nullopt);
                    return;
                }
                // Each player's owner and state are asked for at once; the choice is made when the
                // last answer is in, in the order of the sorted names.
                struct Candidate {
                    Player player;
                    bool playing = false;
                };
                struct Gathering {
                    QList<Candidate> candidates;
                    int pending = 0;
                };
                auto gathering = std::make_shared<Gathering>();
                for (const QString& name : std::as_const(names))
                    gathering->candidates.append({{name, QString()}, false});
                gathering->pending = int(names.size()) * 2;
                const auto oneIn = [this, gathering, done] {
                    if (--gathering->pending > 0) return;
                    const Player* best = nullptr;
                    bool bestPlaying = false;
                    quint64 bestActivity = 0;
                    for (const Candidate& c : std::as_const(gathering->candidates)) {
                        if (c.player.owner.isEmpty()) continue; // gone meanwhile
                        const quint64 activity = lastActivity_.value(c.player.owner, 0);
                        if (!best || (c.playing && !bestPlaying) ||
                            (c.playing == bestPlaying && activity > bestActivity)) {
                            best = &c.player;
                            bestPlaying = c.playing;
                            bestActivity = activity;
                        }
                    }
                    if (!best) {
                        followedOwner_.clear();
                        done(std::nullopt);
                        return;
                    }
                    followedOwner_ = best->owner;
                    done(*best);
                };
                for (qsizetype i = 0; i < names.size(); ++i) {
                    callBus(kDBusService, kDBusPath, kDBusService, QStringLiteral("GetNameOwner"), {names.at(i)},
                            [gathering, i, oneIn](const QDBusMessage& owner) {
                                if (answered(owner))
                                    gathering->candidates[i].player.owner = owner.arguments().constFirst().toString();
                                oneIn();
                            });
                    callBus(names.at(i), kPath, kPropertiesInterface, QStringLiteral("Get"),
                            {kPlayerInterface, QStringLiteral("PlaybackStatus")},
                            [gathering, i, oneIn](const QDBusMessage& state) {
                                gathering->candidates[i].playing =
                                    answered(state) && unwrap(state.arguments().constFirst()).toString() == u"Playing";
                                oneIn();
                            });
                }
            });
}

void MusicPlayer::requestFollowedPlayer(std::function<void(const std::optional<QString>&)> done)
{
    findFollowed([done = std::move(done)](const std::optional<Player>& player) {
        done(player ? std::optional<QString>(player->name) : std::nullopt);
    });
}

void MusicPlayer::requestProperties(const QString& service, std::function<void(const std::optional<QVariantMap>&)> done)
{
    callBus(service, kPath, kPropertiesInterface, QStringLiteral("GetAll"), {kPlayerInterface},
            [done = std::move(done)](const QDBusMessage& reply) {
                if (!answered(reply))
                    done(std::nullopt);
                else
                    done(unwrap(reply.arguments().constFirst()).toMap());
            });
}

void MusicPlayer::requestStatus(ReplyHandler done)
{
    findFollowed([this, done = std::move(done)](const std::optional<Player>& player) {
        if (!player) return done(ScriptReply::failure(kNoPlayer));
        const QString service = player->name;
        requestProperties(service, [this, service, done](const std::optional<QVariantMap>& props) {
            if (!props) return done(ScriptReply::failure(QStringLiteral("the player did not answer")));
            const QString state = props->value(QStringLiteral("PlaybackStatus")).toString().toLower();
            if (state.isEmpty() || state == u"stopped") return done(ScriptReply::success(QStringLiteral("stopped")));
            const QVariantMap meta = props->value(QStringLiteral("Metadata")).toMap();
            const auto reply = [state, meta](const QString& positionText) {
                const QStringList fields{
                    state,
                    positionText,
                    secondsText(meta.value(QStringLiteral("mpris:length"))),
                    joinedText(meta.value(QStringLiteral("xesam:title"))),
                    joinedText(meta.value(QStringLiteral("xesam:artist"))),
                };
                return ScriptReply::success(fields.join(kSeparator));
            };
            if (const QVariant position = props->value(QStringLiteral("Position")); position.isValid())
                return done(reply(secondsText(position)));
            // Some players leave Position out of GetAll; ask for it alone then.
            callBus(service, kPath, kPropertiesInterface, QStringLiteral("Get"),
                    {kPlayerInterface, QStringLiteral("Position")}, [done, reply](const QDBusMessage& position) {
                        done(reply(answered(position) ? secondsText(position.arguments().constFirst())
                                                      : QStringLiteral("0")));
                    });
        });
    });
}

void MusicPlayer::requestPosition(ReplyHandler done)
{
    findFollowed([this, done = std::move(done)](const std::optional<Player>& player) {
        if (!player) return done(ScriptReply::failure(kNoPlayer));
        callBus(player->name, kPath, kPropertiesInterface, QStringLiteral("Get"),
                {kPlayerInterface, QStringLiteral("Position")}, [done](const QDBusMessage& reply) {
                    if (!answered(reply))
                        return done(ScriptReply::failure(reasonOf(reply, QStringLiteral("no position"))));
                    done(ScriptReply::success(secondsText(reply.arguments().constFirst())));
                });
    });
}

void MusicPlayer::requestCommand(const QString& verb, ReplyHandler done)
{
    QString method;
    if (verb == u"playpause")
        method = QStringLiteral("PlayPause");
    else if (verb == u"next track")
        method = QStringLiteral("Next");
    else if (verb == u"previous track")
        method = QStringLiteral("Previous");
    else
        return answerLater(std::move(done), ScriptReply::failure(QStringLiteral("unknown command ") + verb));
    findFollowed([this, method, done = std::move(done)](const std::optional<Player>& player) {
        if (!player) return done(ScriptReply::failure(kNoPlayer));
        callBus(player->name, kPath, kPlayerInterface, method, {}, [done](const QDBusMessage& reply) {
            if (reply.type() != QDBusMessage::ReplyMessage)
                return done(ScriptReply::failure(reasonOf(reply, QStringLiteral("no answer"))));
            done(ScriptReply::success(QString()));
        });
    });
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
    changedOwners_.insert(message.service(), changed);
    refresh();
}

void MusicPlayer::onNameOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner)
{
    if (!name.startsWith(kServicePrefix)) return;
    if (!newOwner.isEmpty()) {
        noteActivity(newOwner); // a player just started counts as just used
        return;
    }
    lastActivity_.remove(oldOwner);
    changedOwners_.remove(oldOwner);
    if (oldOwner != followedOwner_) return;
    // The followed player went away: say what the next one does, or that nothing plays.
    followedQuit_ = true;
    refresh();
}

void MusicPlayer::refresh()
{
    if (refreshing_) return; // the read under way is followed by one more
    if (changedOwners_.isEmpty() && !followedQuit_) return;
    refreshing_ = true;
    const QHash<QString, QVariantMap> changed = std::exchange(changedOwners_, {});
    const bool quit = std::exchange(followedQuit_, false);
    findFollowed([this, changed, quit](const std::optional<Player>& followed) {
        const auto it = followed ? changed.constFind(followed->owner) : changed.constEnd();
        if (it == changed.constEnd() && !quit) return finishRefresh();
        if (!followed) {
            emit playerInfo({{QStringLiteral("Player State"), QStringLiteral("Stopped")}});
            return finishRefresh();
        }
        // A quit player is told by what the next one does; a change by what the player says now,
        // or by the notice itself when it does not answer.
        const std::optional<QVariantMap> fallback =
            it != changed.constEnd() ? std::optional<QVariantMap>(*it) : std::nullopt;
        requestProperties(followed->name, [this, fallback](const std::optional<QVariantMap>& props) {
            if (props)
                emit playerInfo(playerInfoOf(*props));
            else if (fallback)
                emit playerInfo(playerInfoOf(*fallback));
            else
                emit playerInfo({{QStringLiteral("Player State"), QStringLiteral("Stopped")}});
            finishRefresh();
        });
    });
}

void MusicPlayer::finishRefresh()
{
    refreshing_ = false;
    refresh();
}

} // namespace velk
