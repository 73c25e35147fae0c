#pragma once
// Waiting in tests: on the condition itself, never on time passing. The event loop runs while
// waiting, so queued signals, D-Bus messages and finished worker results arrive. The limit is
// only there so a broken build fails instead of hanging; it is generous on purpose, since a
// loaded 2-core machine may take long to get there.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>

namespace velk::test {

inline constexpr int kWaitLimitMs = 30000;

// True once `done()` holds; false only when the limit passed first.
template <class Done>
bool waitFor(Done done, int limitMs = kWaitLimitMs)
{
    QDeadlineTimer deadline(limitMs);
    while (!done()) {
        if (deadline.hasExpired()) return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::yieldCurrentThread();
    }
    return true;
}

} // namespace velk::test
