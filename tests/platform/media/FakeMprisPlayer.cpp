#include "platform/media/FakeMprisPlayer.h"

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QMutexLocker>

namespace velk::test {

namespace {

class PlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(QDBusVariant Position READ position)
    Q_PROPERTY(double Volume READ volume)

public:
    PlayerAdaptor(QObject* parent, QMutex* mutex, FakeMprisPlayer::State* state)
        : QDBusAbstractAdaptor(parent), mutex_(mutex), state_(state)
    {}
    QString playbackStatus() const
    {
        QMutexLocker l(mutex_);
        return state_->status;
    }
    QVariantMap metadata() const
    {
        QMutexLocker l(mutex_);
        return state_->metadata;
    }
    QDBusVariant position() const
    {
        QMutexLocker l(mutex_);
        return QDBusVariant(state_->position);
    }
    double volume() const { return 1.0; }

public slots:
    void PlayPause()
    {
        QMutexLocker l(mutex_);
        state_->calls << QStringLiteral("PlayPause");
    }
    void Next()
    {
        QMutexLocker l(mutex_);
        state_->calls << QStringLiteral("Next");
    }
    void Previous()
    {
        QMutexLocker l(mutex_);
        state_->calls << QStringLiteral("Previous");
    }

private:
    QMutex* mutex_;
    FakeMprisPlayer::State* state_;
};

} // namespace

QVariantMap trackMetadata(const QString& title, const QString& artist, const QVariant& lengthMicroseconds)
{
    QVariantMap m;
    m.insert(QStringLiteral("xesam:title"), title);
    m.insert(QStringLiteral("xesam:artist"), QStringList{artist});
    if (lengthMicroseconds.isValid()) m.insert(QStringLiteral("mpris:length"), lengthMicroseconds);
    return m;
}

FakeMprisPlayer::FakeMprisPlayer(const QString& name)
    : name_(name), connectionName_(QStringLiteral("fake-mpris-") + name)
{
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName_);
    object_ = new QObject;
    new PlayerAdaptor(object_, &mutex_, &state_);
    object_->moveToThread(&thread_);
    thread_.start();
    bus.registerObject(QStringLiteral("/org/mpris/MediaPlayer2"), object_, QDBusConnection::ExportAdaptors);
    bus.registerService(serviceName());
}

FakeMprisPlayer::~FakeMprisPlayer()
{
    thaw();
    {
        QDBusConnection bus(connectionName_);
        bus.unregisterService(serviceName());
        bus.unregisterObject(QStringLiteral("/org/mpris/MediaPlayer2"));
    }
    QDBusConnection::disconnectFromBus(connectionName_);
    thread_.quit();
    thread_.wait();
    delete object_;
}

QString FakeMprisPlayer::serviceName() const
{
    return QStringLiteral("org.mpris.MediaPlayer2.") + name_;
}

void FakeMprisPlayer::announce(const QVariantMap& changed)
{
    QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/mpris/MediaPlayer2"),
                                                     QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << QStringLiteral("org.mpris.MediaPlayer2.Player") << changed << QStringList();
    QDBusConnection(connectionName_).send(signal);
}

void FakeMprisPlayer::setState(const QString& status, bool doAnnounce)
{
    {
        QMutexLocker l(&mutex_);
        state_.status = status;
    }
    if (doAnnounce) announce({{QStringLiteral("PlaybackStatus"), status}});
}

void FakeMprisPlayer::setMetadata(const QVariantMap& metadata, bool doAnnounce)
{
    {
        QMutexLocker l(&mutex_);
        state_.metadata = metadata;
    }
    if (doAnnounce) announce({{QStringLiteral("Metadata"), metadata}});
}

void FakeMprisPlayer::setPosition(const QVariant& microseconds)
{
    QMutexLocker l(&mutex_);
    state_.position = microseconds;
}

void FakeMprisPlayer::announceVolume()
{
    announce({{QStringLiteral("Volume"), 0.5}});
}

void FakeMprisPlayer::freeze()
{
    if (isFrozen_) return;
    isFrozen_ = true;
    // The player's thread waits here, so every call queued behind it waits too.
    QMetaObject::invokeMethod(
        object_, [this] { frozen_.acquire(); }, Qt::QueuedConnection);
}

void FakeMprisPlayer::thaw()
{
    if (!isFrozen_) return;
    isFrozen_ = false;
    frozen_.release();
}

QStringList FakeMprisPlayer::calls() const
{
    QMutexLocker l(&mutex_);
    return state_.calls;
}

} // namespace velk::test

#include "FakeMprisPlayer.moc"
