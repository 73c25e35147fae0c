#pragma once
// Tells the host when shown entries may be stale although no timer fired: the wall clock
// jumped (set by hand, or the machine slept), the time zone changed, or logind says the
// machine woke up.
#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

namespace velk::host {

class ClockWatch : public QObject {
    Q_OBJECT
public:
    // `zoneFile` is the system's zone link (injectable for tests).
    explicit ClockWatch(QString zoneFile = QStringLiteral("/etc/localtime"), QObject* parent = nullptr);

    // Compares the wall clock with the monotonic one now; true (and changed()) on a jump.
    bool checkForJump();

signals:
    void changed();

private slots:
    void prepareForSleep(bool sleeping);

private:
    void zoneMayHaveChanged();

    QString zoneFile_;
    QString zoneTarget_;
    QFileSystemWatcher watcher_;
    QTimer poll_;
    QElapsedTimer monotonic_;
    qint64 wallAtStart_ = 0;
};

} // namespace velk::host
