#pragma once
// A music player on the session bus for tests: it answers MPRIS2 (PlaybackStatus, Metadata,
// Position, PlayPause, Next, Previous) from its own connection and thread, so the code under
// test may call it with blocking calls from the test's thread.
#include <QDBusConnection>
#include <QMutex>
#include <QObject>
#include <QSemaphore>
#include <QStringList>
#include <QThread>
#include <QVariantMap>

namespace velk::test {

class FakeMprisPlayer {
public:
    // Claims org.mpris.MediaPlayer2.<name> on the session bus.
    explicit FakeMprisPlayer(const QString& name);
    ~FakeMprisPlayer();

    QString serviceName() const;

    // Sets the state; with announce, also sends PropertiesChanged for what was given.
    void setState(const QString& playbackStatus, bool announce = true);
    void setMetadata(const QVariantMap& metadata, bool announce = true);
    void setPosition(const QVariant& microseconds);
    // Sends PropertiesChanged for Volume alone (a change the listener should not follow).
    void announceVolume();

    // A player that stops answering (a stopped process still on the bus): calls wait until
    // thaw(). Notices can still be sent meanwhile.
    void freeze();
    void thaw();

    // The methods called so far, in order ("PlayPause", "Next", "Previous").
    QStringList calls() const;

    struct State {
        QString status = QStringLiteral("Stopped");
        QVariantMap metadata;
        QVariant position = QVariant(qlonglong(0));
        QStringList calls;
    };

private:
    void announce(const QVariantMap& changed);

    QString name_;
    QString connectionName_;
    QThread thread_;
    QObject* object_ = nullptr;
    mutable QMutex mutex_;
    State state_;
    QSemaphore frozen_;
    bool isFrozen_ = false;
};

// {"xesam:title": title, "xesam:artist": [artist], "mpris:length": lengthMicroseconds}
QVariantMap trackMetadata(const QString& title, const QString& artist, const QVariant& lengthMicroseconds);

} // namespace velk::test
