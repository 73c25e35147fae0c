#pragma once
// Keeps "velk.nowplaying.v1" current for the now-playing and remote widgets, and carries out
// the remote's transport commands. Inputs: the player's change notices, a status poll (at
// start, on every live-refresh tick and half a second after each command), and the commands
// the widgets post as "com.harrowcrest.velk.media.<playpause|next|previous>".
//
// The player is reached through MusicPlayer (MPRIS), whose replies have the form parsed here:
// "stopped", or state, position, length, title and artist joined by character 31. Nothing
// waits for the player: a poll, a notice's position and a command each finish when the
// player's answer comes. A poll asked for while one is under way runs once after it, however
// often it was asked for.
#include "platform/core/DistributedNotifications.h"
#include "platform/media/MusicPlayer.h"
#include "shared/models/MediaRecords.h"

#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <functional>
#include <optional>

namespace velk {

class MusicListener : public QObject {
    Q_OBJECT
public:
    static inline const QString kCommandPrefix = QStringLiteral("com.harrowcrest.velk.media.");
    static constexpr int kFollowUpDelayMs = 500;

    static MusicListener& shared();
    // The listener takes the player over (it becomes its child).
    explicit MusicListener(MusicPlayer* player, QObject* parent = nullptr);

    void start();
    bool isStarted() const { return started_; }

    void syncFromMusic();
    bool isSyncing() const { return syncing_; }
    void handlePlayerInfo(const QVariantMap& userInfo);
    bool isHandlingNotice() const { return noticeInFlight_; }
    void run(const QString& command);
    // The position in whole seconds, 0 when the player gives none.
    void fetchPlayerPosition(std::function<void(qint64)> done);

    // A position or length field: "," read as ".", the whole text a decimal number in the C
    // locale, truncated toward zero. Nothing when it is not such a number, is not finite or
    // does not fit 64 bits (the caller then uses 0).
    static std::optional<qint64> parseSeconds(QString field, bool commaIsPoint = true);
    // The reply split at character 31 into at most five fields; an empty field is a field
    // (a stream or a podcast has a title and no artist).
    static QStringList splitReply(const QString& reply);

signals:
    // A poll finished (stored, removed, ignored or failed).
    void synced();

private:
    static void reloadNowPlaying();
    void applyStatus(const ScriptReply& reply);
    void storeNotice(const QVariantMap& userInfo, qint64 positionSeconds);
    void runFirstCommand();

    MusicPlayer* player_;
    DistributedNotifications notifications_;
    bool started_ = false;
    QList<QObject*> observerTokens_;
    bool syncing_ = false;
    bool syncAgain_ = false;
    // Commands in the order they came; the first is the one running.
    QStringList commands_;
    // Notices: one position asked for at a time; a later notice waits, replacing any that
    // waited before it, and a stop drops both.
    bool noticeInFlight_ = false;
    std::optional<QVariantMap> waitingNotice_;
    quint64 noticeGeneration_ = 0;
};

} // namespace velk
