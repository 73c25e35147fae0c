#include "app/services/MusicListener.h"

#include "app/services/ServiceSupport.h"
#include "platform/core/Clock.h"
#include "platform/core/Log.h"
#include "shared/data/activity/ExtrasStore.h"
#include "shared/data/media/MediaBridge.h"
#include "shared/widget/WidgetKinds.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTimer>

#include <cmath>
#include <utility>

namespace velk {

MusicListener& MusicListener::shared()
{
    static MusicListener* listener = new MusicListener(new MusicPlayer(), QCoreApplication::instance());
    return *listener;
}

MusicListener::MusicListener(MusicPlayer* player, QObject* parent) : QObject(parent), player_(player)
{
    player_->setParent(this);
}

void MusicListener::reloadNowPlaying()
{
    reloadKinds({kinds::nowPlaying, kinds::remote}, ReloadNotice::none);
}

std::optional<qint64> MusicListener::parseSeconds(QString field, bool commaIsPoint)
{
    if (commaIsPoint) field.replace(u',', u'.');
    static const QRegularExpression decimal(QStringLiteral(R"(\A[+-]?(\d+(\.\d*)?|\.\d+)([eE][+-]?\d+)?\z)"));
    if (!decimal.match(field).hasMatch()) return std::nullopt;
    bool ok = false;
    const double value = field.toLatin1().toDouble(&ok); // C locale
    if (!ok || !std::isfinite(value)) return std::nullopt;
    const double truncated = std::trunc(value);
    // 2^63 itself does not fit; -2^63 does.
    if (truncated >= 9223372036854775808.0 || truncated < -9223372036854775808.0) return std::nullopt;
    return qint64(truncated);
}

QStringList MusicListener::splitReply(const QString& reply)
{
    QStringList fields;
    qsizetype from = 0;
    for (int splits = 0; splits < 4; ++splits) {
        const qsizetype at = reply.indexOf(MusicPlayer::kSeparator, from);
        if (at < 0) break;
        fields << reply.mid(from, at - from);
        from = at + 1;
    }
    fields << reply.mid(from);
    return fields;
}

void MusicListener::start()
{
    if (started_) return;
    started_ = true;
    connect(player_, &MusicPlayer::playerInfo, this,
            [this](const QVariantMap& info) { services::queue(this, [this, info] { handlePlayerInfo(info); }); });
    for (const char* command : {"playpause", "next", "previous"}) {
        const QString name = kCommandPrefix + QLatin1String(command);
        const QString cmd = QLatin1String(command);
        observerTokens_ << notifications_.observe(name, this,
                                                  [this, cmd] { services::queue(this, [this, cmd] { run(cmd); }); });
    }
    qCInfo(lcMedia).noquote() << "MusicListener started, observers registered";
    syncFromMusic();
}

void MusicListener::syncFromMusic()
{
    if (syncing_) {
        syncAgain_ = true;
        return;
    }
    syncing_ = true;
    player_->requestStatus([this](const ScriptReply& reply) {
        applyStatus(reply);
        syncing_ = false;
        emit synced();
        if (std::exchange(syncAgain_, false)) syncFromMusic();
    });
}

void MusicListener::applyStatus(const ScriptReply& reply)
{
    const auto removeSnapshot = [] {
        if (MediaBridge::nowPlaying()) {
            MediaBridge::setNowPlaying(std::nullopt);
            reloadNowPlaying();
        }
    };
    if (!reply.ok() && reply.error == MusicPlayer::kNoPlayer) return removeSnapshot();
    if (!reply.ok()) {
        qCWarning(lcMedia).noquote() << QStringLiteral("music sync failed: ") + reply.error;
        return;
    }
    if (*reply.text == u"stopped") return removeSnapshot();
    const QStringList fields = splitReply(*reply.text);
    if (fields.size() != 5) return;

    const Date now = Clock::now();
    NowPlayingSnapshot next;
    next.isPlaying = fields[0] == u"playing";
    next.positionSeconds = parseSeconds(fields[1]).value_or(0);
    next.durationSeconds = parseSeconds(fields[2]).value_or(0);
    next.title = fields[3];
    next.artist = fields[4];
    next.updated = now;

    const std::optional<NowPlayingSnapshot> stored = MediaBridge::nowPlaying();
    bool reload =
        !stored || stored->title != next.title || stored->artist != next.artist || stored->isPlaying != next.isPlaying;
    if (!reload) {
        __int128 expected = stored->positionSeconds;
        if (stored->isPlaying) {
            const double elapsed = std::trunc(now.secondsSince(stored->updated));
            if (std::isfinite(elapsed) && std::fabs(elapsed) < 9e18) expected += qint64(elapsed);
        }
        __int128 difference = expected - __int128(next.positionSeconds);
        if (difference < 0) difference = -difference;
        reload = difference > 3;
    }
    MediaBridge::setNowPlaying(next);
    if (reload) reloadNowPlaying();
}

void MusicListener::fetchPlayerPosition(std::function<void(qint64)> done)
{
    player_->requestPosition([done = std::move(done)](const ScriptReply& reply) {
        done(reply.ok() ? parseSeconds(*reply.text, false).value_or(0) : 0);
    });
}

void MusicListener::handlePlayerInfo(const QVariantMap& userInfo)
{
    const QVariant stateValue = userInfo.value(QStringLiteral("Player State"));
    const QString state =
        stateValue.userType() == QMetaType::QString ? stateValue.toString() : QStringLiteral("Stopped");
    if (state == u"Stopped") {
        // Whatever was on its way is older than the stop.
        ++noticeGeneration_;
        waitingNotice_.reset();
        MediaBridge::setNowPlaying(std::nullopt);
        reloadNowPlaying();
        return;
    }
    if (noticeInFlight_) {
        waitingNotice_ = userInfo;
        return;
    }
    noticeInFlight_ = true;
    const quint64 generation = ++noticeGeneration_;
    fetchPlayerPosition([this, userInfo, generation](qint64 position) {
        noticeInFlight_ = false;
        if (std::optional<QVariantMap> next = std::exchange(waitingNotice_, std::nullopt)) {
            handlePlayerInfo(*next); // a newer notice came meanwhile: it is the one to store
            return;
        }
        if (generation == noticeGeneration_) storeNotice(userInfo, position);
    });
}

void MusicListener::storeNotice(const QVariantMap& userInfo, qint64 positionSeconds)
{
    const QString state = userInfo.value(QStringLiteral("Player State")).toString();
    const auto text = [&](const char* key) -> std::optional<QString> {
        const QVariant v = userInfo.value(QLatin1String(key));
        if (v.userType() == QMetaType::QString) return v.toString();
        return std::nullopt;
    };
    NowPlayingSnapshot next;
    next.title = text("Name").value_or(QStringLiteral("Unknown"));
    next.artist = text("Artist").value_or(QString());
    const QVariant total = userInfo.value(QStringLiteral("Total Time"));
    const bool integral = total.userType() == QMetaType::LongLong || total.userType() == QMetaType::Int ||
                          total.userType() == QMetaType::ULongLong || total.userType() == QMetaType::UInt;
    next.durationSeconds = integral ? total.toLongLong() / 1000 : 0;
    next.positionSeconds = positionSeconds;
    next.isPlaying = state == u"Playing";
    next.updated = Clock::now();
    MediaBridge::setNowPlaying(next);
    reloadNowPlaying();
}

void MusicListener::run(const QString& command)
{
    qCInfo(lcMedia).noquote() << QStringLiteral("media command received: ") + command;
    // One command at a time, in the order they came: each first finds the player to follow
    // with several bus calls, and two in flight could reach the player the other way round.
    commands_.append(command);
    if (commands_.size() == 1) runFirstCommand();
}

void MusicListener::runFirstCommand()
{
    const QString& command = commands_.constFirst();
    const QString verb = command == u"next"       ? QStringLiteral("next track")
                         : command == u"previous" ? QStringLiteral("previous track")
                                                  : QStringLiteral("playpause");
    player_->requestCommand(verb, [this, verb](const ScriptReply& reply) {
        // A command that reached no player is a failure too: saying "ok" would hide why the
        // remote did nothing.
        if (reply.ok())
            qCInfo(lcMedia).noquote() << QStringLiteral("applescript ok: ") + verb;
        else
            qCWarning(lcMedia).noquote() << QStringLiteral("applescript failed: ") + reply.error;
        QTimer::singleShot(kFollowUpDelayMs, this, [this] { syncFromMusic(); });
        commands_.removeFirst();
        if (!commands_.isEmpty()) runFirstCommand();
    });
}

} // namespace velk
