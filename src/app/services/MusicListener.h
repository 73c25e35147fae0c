#pragma once
// Keeps "velk.nowplaying.v1" current for the now-playing and remote widgets, and carries out
// the remote's transport commands. Inputs: the player's change notices, a status poll (at
// start, on every live-refresh tick and half a second after each command), and the commands
// the widgets post as "com.harrowcrest.velk.media.<playpause|next|previous>".
//
// The player is reached through MusicPlayer (MPRIS), whose replies have the form parsed here:
// "stopped", or state, position, length, title and artist joined by character 31.
#include "platform/core/DistributedNotifications.h"
#include "platform/media/MusicPlayer.h"
#include "shared/models/MediaRecords.h"

#include <QObject>
#include <QStringList>
#include <QVariantMap>
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
    void handlePlayerInfo(const QVariantMap& userInfo);
    void run(const QString& command);
    qint64 fetchPlayerPosition();

    // A position or length field: "," read as ".", the whole text a decimal number in the C
    // locale, truncated toward zero. Nothing when it is not such a number, is not finite or
    // does not fit 64 bits (the caller then uses 0).
    static std::optional<qint64> parseSeconds(QString field, bool commaIsPoint = true);
    // The reply split at character 31 into at most five fields, empty fields dropped.
    static QStringList splitReply(const QString& reply);

private:
    static void reloadNowPlaying();

    MusicPlayer* player_;
    DistributedNotifications notifications_;
    bool started_ = false;
    QList<QObject*> observerTokens_;
};

} // namespace velk
