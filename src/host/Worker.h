#pragma once
// The one way the host hands work to a worker thread and its result back: the work runs on a
// pool, anything it throws becomes an error text, and the result is delivered on the thread of
// a context object, or dropped when that object is gone by then.
#include <QCoreApplication>
#include <QFuture>
#include <QPointer>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
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
using WorkValue = std::conditional_t<std::is_void_v<std::invoke_result_t<Fn>>, std::monostate, std::invoke_result_t<Fn>>;

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

// Runs `work` on `pool`; `done(WorkResult)` is then called on the main thread, unless
// `context` (an object of the main thread) was destroyed first. The continuation is bound to
// the application rather than to `context`: Qt 6.4 asserts when a continuation's own context
// is gone before the work ends, which is the ordinary case here (a widget removed while its
// provider runs).
template <class Work, class Done>
void runOnWorker(QThreadPool* pool, QObject* context, Work work, Done done)
{
    QtConcurrent::run(pool, [work = std::move(work)]() mutable { return guardedCall(work); })
        .then(QCoreApplication::instance(), [guard = QPointer<QObject>(context), done = std::move(done)](WorkResult<WorkValue<Work>> result) mutable {
            if (guard) done(std::move(result));
        });
}

} // namespace velk::host
