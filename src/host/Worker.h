#pragma once
// The one way the host hands work to a worker thread and its result back: the work runs on the
// host's own pool, anything it throws becomes an error text, and the result is delivered on the
// main thread, or dropped when the object it was asked for is gone by then.
#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>
#include <QObject>
#include <QPointer>
#include <QRunnable>
#include <QString>
#include <QThreadPool>
#include <atomic>
#include <memory>
#include <optional>
#include <type_traits>
#include <variant>

namespace velk::host {

template <class T>
struct WorkResult {
    std::optional<T> value; // set when the work returned
    QString error;          // what it threw otherwise
};

// What `fn` gives back, as a value (work that returns nothing gives std::monostate).
template <class Fn>
using WorkValue =
    std::conditional_t<std::is_void_v<std::invoke_result_t<Fn>>, std::monostate, std::invoke_result_t<Fn>>;

// Calls `fn` and catches whatever it throws.
template <class Fn>
WorkResult<WorkValue<Fn>> guardedCall(Fn& fn)
{
    try {
        if constexpr (std::is_void_v<std::invoke_result_t<Fn>>) {
            fn();
            return {std::monostate{}, {}};
        } else {
            return {fn(), {}};
        }
    } catch (const std::exception& e) {
        return {std::nullopt, QString::fromUtf8(e.what())};
    } catch (...) {
        return {std::nullopt, QStringLiteral("an unknown exception")};
    }
}

// The host's worker thread: made when first needed and kept for the life of the pool, so an
// idle host neither makes nor ends threads. A task that blocks for long may have a stand-in
// run the others' work until it is done (two at most: a stand-in for every web widget stuck
// on a slow server would grow the pool by as many); a stand-in ends once it is not needed.
class WorkerPool : public QThreadPool {
public:
    explicit WorkerPool(int threads = kThreads, QObject* parent = nullptr) : QThreadPool(parent)
    {
        setMaxThreadCount(threads);
        setExpiryTimeout(-1);
    }
    // Results that arrive from now on are dropped; the base class then waits for running work.
    ~WorkerPool() override
    {
        QMutexLocker lock(&mailbox_->mutex);
        mailbox_->receiver = nullptr;
    }

    // Providers read files and ask web services, each in a few milliseconds as a rule: one
    // thread serves them all, and a stand-in takes over from one that blocks.
    static constexpr int kThreads = 1;

    static constexpr int kStandIns = 2;

    // Lets one more thread run while a task blocks; false when kStandIns run already.
    bool standIn()
    {
        int n = standIns_.load();
        while (n < kStandIns)
            if (standIns_.compare_exchange_weak(n, n + 1)) {
                releaseThread();
                return true;
            }
        return false;
    }
    // The blocked task is done (any thread may say so).
    void standDown()
    {
        reserveThread();
        --standIns_;
    }

    // Runs `work` on a worker; `done(WorkResult)` is then called on the pool's thread (the main
    // thread), unless `context` (an object of that thread) was destroyed first.
    template <class Work, class Done>
    void run(QObject* context, Work work, Done done)
    {
        using Result = WorkResult<WorkValue<Work>>;
        start(new Task([mailbox = mailbox_, work = std::move(work), guard = QPointer<QObject>(context),
                        done = std::move(done)]() mutable {
            Result result = guardedCall(work);
            // Posted to the pool, which the lock keeps alive until the event is queued: an
            // event for an object deleted later is dropped with it.
            QMutexLocker lock(&mailbox->mutex);
            if (!mailbox->receiver) return;
            QMetaObject::invokeMethod(
                mailbox->receiver,
                [guard = std::move(guard), done = std::move(done), result = std::move(result)]() mutable {
                    if (guard) done(std::move(result));
                },
                Qt::QueuedConnection);
        }));
    }

private:
    std::atomic<int> standIns_ = 0;
    // Holds its function as it is (a std::function would have to copy it).
    template <class Fn>
    struct Task : QRunnable {
        explicit Task(Fn fn) : fn(std::move(fn)) {}
        void run() override { fn(); }
        Fn fn;
    };

    struct Mailbox {
        QMutex mutex;
        QObject* receiver = nullptr;
    };
    std::shared_ptr<Mailbox> mailbox_ = [this] {
        auto box = std::make_shared<Mailbox>();
        box->receiver = this;
        return box;
    }();
};

// Runs `work` on `pool`; `done(WorkResult)` is then called on the main thread, unless `context`
// (an object of the main thread) was destroyed first.
template <class Work, class Done>
void runOnWorker(WorkerPool* pool, QObject* context, Work work, Done done)
{
    pool->run(context, std::move(work), std::move(done));
}

} // namespace velk::host
