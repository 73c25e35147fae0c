#pragma once
// What the collectors share: running work later on the thread that owns an object (a timer tick
// or a notification queues the work instead of doing it inside the callback). They reload widget
// kinds with reloadKinds(kinds, ReloadNotice::none) of shared/data/activity/ExtrasStore.h.
#include <QMetaObject>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <utility>

namespace velk::services {

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
