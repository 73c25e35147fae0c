#pragma once
// What the collectors share: reloading widget kinds in order, and running work later on the
// thread that owns an object (a timer tick or a notification queues the work instead of doing
// it inside the callback).
#include <QMetaObject>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <utility>

namespace velk::services {

// Asks the widget host to rebuild each kind, in the order given.
void reloadKinds(const QStringList& kinds);

template <class F>
void queue(QObject* context, F&& work)
{
    QMetaObject::invokeMethod(context, std::forward<F>(work), Qt::QueuedConnection);
}

// A started repeating timer owned by owner; each tick queues work on owner's thread.
template <class F>
QTimer* repeatQueued(QObject* owner, int intervalMs, F work)
{
    auto* timer = new QTimer(owner);
    timer->setInterval(intervalMs);
    QObject::connect(timer, &QTimer::timeout, owner, [owner, work] { queue(owner, work); });
    timer->start();
    return timer;
}

} // namespace velk::services
