#include "host/ClockWatch.h"

#include <QDBusConnection>
#include <QDateTime>
#include <QFileInfo>
#include <ctime>
#include <memory>
#include <unicode/timezone.h>

namespace velk::host {

namespace {
// Jumps smaller than this are ordinary time-keeping corrections.
constexpr qint64 kJumpMs = 2000;
// One look a minute catches a clock set by hand; sleep and zone changes come as events. It is
// taken at each whole minute, where the widgets' own minute wake falls, so it costs no wake of
// its own.
constexpr qint64 kPollMs = 60000;

int msToNextMinute()
{
    return int(kPollMs - QDateTime::currentMSecsSinceEpoch() % kPollMs);
}
} // namespace

ClockWatch::ClockWatch(QString zoneFile, QObject* parent) : QObject(parent), zoneFile_(std::move(zoneFile))
{
    const QFileInfo initial(zoneFile_);
    zoneTarget_ =
        initial.symLinkTarget() + QLatin1Char('@') + QString::number(initial.lastModified().toMSecsSinceEpoch());
    monotonic_.start();
    wallAtStart_ = QDateTime::currentMSecsSinceEpoch();
    poll_.setSingleShot(true);
    poll_.setTimerType(Qt::PreciseTimer);
    connect(&poll_, &QTimer::timeout, this, [this] {
        checkForJump();
        poll_.start(msToNextMinute());
    });
    poll_.start(msToNextMinute());

    // The zone link is replaced, not written, so its folder is watched too.
    const QFileInfo zone(zoneFile_);
    watcher_.addPath(zone.absolutePath());
    if (zone.exists()) watcher_.addPath(zoneFile_);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &ClockWatch::zoneMayHaveChanged);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &ClockWatch::zoneMayHaveChanged);

    // Matched by path and interface only: naming the service would make Qt ask the bus for its
    // owner and wait for the answer, which a stalled system bus never gives.
    QDBusConnection::systemBus().connect(QString(), QStringLiteral("/org/freedesktop/login1"),
                                         QStringLiteral("org.freedesktop.login1.Manager"),
                                         QStringLiteral("PrepareForSleep"), this, SLOT(prepareForSleep(bool)));
}

bool ClockWatch::checkForJump()
{
    const qint64 expected = wallAtStart_ + monotonic_.elapsed();
    const qint64 wall = QDateTime::currentMSecsSinceEpoch();
    if (std::llabs(wall - expected) < kJumpMs) return false;
    monotonic_.restart();
    wallAtStart_ = wall;
    emit changed();
    return true;
}

void ClockWatch::prepareForSleep(bool sleeping)
{
    if (sleeping) return;
    monotonic_.restart();
    wallAtStart_ = QDateTime::currentMSecsSinceEpoch();
    emit changed();
}

void ClockWatch::zoneMayHaveChanged()
{
    const QFileInfo zone(zoneFile_);
    if (zone.exists() && !watcher_.files().contains(zoneFile_)) watcher_.addPath(zoneFile_);
    // The folder changes for many reasons; only a new link target or new contents count.
    const QString stamp =
        zone.symLinkTarget() + QLatin1Char('@') + QString::number(zone.lastModified().toMSecsSinceEpoch());
    if (stamp == zoneTarget_) return;
    zoneTarget_ = stamp;
    // The C library and ICU both cache the zone they started with.
    tzset();
    icu::TimeZone::adoptDefault(icu::TimeZone::detectHostTimeZone());
    emit changed();
}

} // namespace velk::host
