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
// Every call to a player waits at most kCallTimeoutMs (or the time given); without a bus or a
// player the answers say so at once.
#include "platform/media/ScriptReply.h"

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>
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

    explicit MusicPlayer(const QDBusConnection& bus = QDBusConnection::sessionBus(), QObject* parent = nullptr,
                         int callTimeoutMs = kCallTimeoutMs);

    // Whether any player is on the bus.
    bool isRunning();
    // The bus name of the player followed now, or nothing.
    std::optional<QString> followedPlayer();

    // "stopped", or state, position, length, title and artist joined by kSeparator.
    ScriptReply status();
    // The followed player's position in seconds, as text.
    ScriptReply position();
    // "playpause", "next track" or "previous track" sent to the followed player.
    ScriptReply command(const QString& verb);

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
        QString name;   // org.mpris.MediaPlayer2.<x>
        QString owner;  // its unique connection name
    };
    QList<Player> players();
    std::optional<QVariantMap> properties(const QString& service);
    QVariantMap playerInfoOf(const QVariantMap& properties) const;
    void noteActivity(const QString& owner);

    QDBusMessage callBus(const QString& service, const QString& path, const QString& interface,
                         const QString& method, const QVariantList& args = {}) const;

    QDBusConnection bus_;
    int callTimeoutMs_;
    QHash<QString, quint64> lastActivity_; // unique name -> sequence number of its last change
    quint64 sequence_ = 0;
    QString followedOwner_;
};

} // namespace velk
