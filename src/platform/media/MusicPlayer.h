#pragma once
// The music player as the app's listener sees it, over MPRIS2 on the session bus.
//
// Of all players on the bus it follows one: a playing player before the others, and among
// equals the one used last (the last to announce a change, or to appear). Its state is given
// as the listener's status reply: "stopped", or the state ("playing", "paused"), the position
// and the length in seconds, the title and the artist, joined by character 31. Changes of the
// followed player's state or track become playerInfo() with the keys "Player State"
// ("Playing", "Paused", "Stopped"), "Name", "Artist" and "Total Time" (milliseconds).
//
// Nothing here waits for the bus: every request is sent and its answer handed to a callback
// on this object's thread once it comes, so a player that stops answering, or floods the bus
// with change notices, never holds up the thread that owns this object. Every call to a player
// gives up after kCallTimeoutMs (or the time given); without a bus or a player the answers say
// so on the next turn of the event loop. Change notices that arrive while the followed player
// is being read are merged: they cause at most one more read.
#include "platform/media/ScriptReply.h"

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <functional>
#include <optional>

class QDBusMessage;

namespace velk {

class MusicPlayer : public QObject {
    Q_OBJECT
public:
    static constexpr int kCallTimeoutMs = 500;
    static inline const QString kServicePrefix = QStringLiteral("org.mpris.MediaPlayer2.");
    static inline const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");
    static inline const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
    static constexpr QChar kSeparator = QChar(0x1F);
    // The failure of every request made while no player is on the bus.
    static inline const QString kNoPlayer = QStringLiteral("no player");

    using ReplyHandler = std::function<void(const ScriptReply&)>;

    explicit MusicPlayer(const QDBusConnection& bus = QDBusConnection::sessionBus(), QObject* parent = nullptr,
                         int callTimeoutMs = kCallTimeoutMs);

    // The bus name of the player followed now, or nothing when there is none.
    void requestFollowedPlayer(std::function<void(const std::optional<QString>&)> done);

    // "stopped", or state, position, length, title and artist joined by kSeparator.
    void requestStatus(ReplyHandler done);
    // The followed player's position in seconds, as text.
    void requestPosition(ReplyHandler done);
    // "playpause", "next track" or "previous track" sent to the followed player.
    void requestCommand(const QString& verb, ReplyHandler done);

    // Seconds, as decimal text, of an MPRIS time in microseconds (an integer or a floating
    // value); "0" for a value that is not a number, not finite or beyond the 64-bit range.
    static QString secondsText(const QVariant& microseconds);

signals:
    void playerInfo(const QVariantMap& userInfo);

private slots:
    void onPropertiesChanged(const QDBusMessage& message);
    void onNameOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);

private:
    struct Player {
        QString name;  // org.mpris.MediaPlayer2.<x>
        QString owner; // its unique connection name
    };
    using MessageHandler = std::function<void(const QDBusMessage&)>;

    // Finds the players on the bus and picks the one to follow: a playing one first, then the
    // one used last.
    void findFollowed(std::function<void(const std::optional<Player>&)> done);
    void requestProperties(const QString& service, std::function<void(const std::optional<QVariantMap>&)> done);
    QVariantMap playerInfoOf(const QVariantMap& properties) const;
    void noteActivity(const QString& owner);
    // Reads the followed player once for the notices gathered so far; notices arriving
    // meanwhile wait for the next read.
    void refresh();
    void finishRefresh();

    // Sends a call without waiting; `done` gets the reply, or an error message.
    void callBus(const QString& service, const QString& path, const QString& interface, const QString& method,
                 const QVariantList& args, MessageHandler done);
    void answerLater(ReplyHandler done, const ScriptReply& reply);

    QDBusConnection bus_;
    int callTimeoutMs_;
    QHash<QString, quint64> lastActivity_; // unique name -> sequence number of its last change
    quint64 sequence_ = 0;
    QString followedOwner_;

    // Notices not read yet: the changed properties by sender, and whether the followed player
    // quit.
    QHash<QString, QVariantMap> changedOwners_;
    bool followedQuit_ = false;
    bool refreshing_ = false;
};

} // namespace velk
