#include "platform/core/HttpLoader.h"

#include <QCoreApplication>
#include <QHash>
#include <QHostInfo>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QThread>
#include <QTimer>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace velk {

namespace {

constexpr qint64 kReadBufferBytes = qint64{256} * 1024;

bool isWebUrl(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() && (scheme == u"http" || scheme == u"https");
}

// Errors that Qt raises for an answer that did arrive whole but carries an HTTP error status
// (403, 404, 500 ...): the body is still the server's word and goes back to the caller.
bool isStatusError(QNetworkReply::NetworkError e)
{
    switch (e) {
    case QNetworkReply::ContentAccessDenied:
    case QNetworkReply::ContentOperationNotPermittedError:
    case QNetworkReply::ContentNotFoundError:
    case QNetworkReply::AuthenticationRequiredError:
    case QNetworkReply::ContentConflictError:
    case QNetworkReply::ContentGoneError:
    case QNetworkReply::UnknownContentError:
    case QNetworkReply::ProtocolInvalidOperationError:
    case QNetworkReply::InternalServerError:
    case QNetworkReply::OperationNotImplementedError:
    case QNetworkReply::ServiceUnavailableError:
    case QNetworkReply::UnknownServerError:
        return true;
    default:
        return false;
    }
}

// Why a request to `url` cannot leave this machine: its host's name does not resolve and no proxy
// would resolve it instead; empty when it may go. Looked up on the caller's thread, which waits
// for the answer anyway. A machine with no network then fails every request here, without
// starting the network thread, the manager or Qt's name look-up threads; and a name that takes
// seconds to fail (a name server that does not answer) cannot strand a transfer, as Qt's own
// look-up then now and then does, until the time-out. Qt keeps the answer for a minute, and the
// manager's own look-up for its connection takes it from there: the name server is asked once.
QString unreachableHost(const QUrl& url)
{
    const QList<QNetworkProxy> proxies = QNetworkProxyFactory::proxyForQuery(QNetworkProxyQuery(url));
    if (!proxies.isEmpty() && proxies.first().type() != QNetworkProxy::NoProxy) return {};
    const QHostInfo info = QHostInfo::fromName(url.host());
    if (info.error() == QHostInfo::NoError && !info.addresses().isEmpty()) return {};
    return QStringLiteral("Host %1 not found").arg(url.host());
}

} // namespace

int HttpLoader::defaultTimeoutMs()
{
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("VELK_HTTP_TIMEOUT_MS", &ok);
    return ok && ms > 0 ? ms : kDefaultTimeoutMs;
}

QUrl HttpLoader::serviceBase(const char* environmentVariable, const QString& fallback)
{
    const QString configured = qEnvironmentVariable(environmentVariable).trimmed();
    if (!configured.isEmpty()) {
        QUrl url(configured, QUrl::StrictMode);
        if (isWebUrl(url)) return url;
    }
    return QUrl(fallback);
}

QString HttpLoader::encodeComponent(const QString& text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

std::optional<QUrl> HttpLoader::buildUrl(const QUrl& base, const QString& path, const QList<QueryItem>& query)
{
    if (!isWebUrl(base)) return std::nullopt;
    QByteArray encoded = base.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::StripTrailingSlash).toEncoded();
    encoded += path.toUtf8();
    for (qsizetype i = 0; i < query.size(); ++i) {
        encoded += i == 0 ? '?' : '&';
        encoded += QUrl::toPercentEncoding(query[i].name);
        encoded += '=';
        encoded += QUrl::toPercentEncoding(query[i].value, ",");
    }
    QUrl url = QUrl::fromEncoded(encoded, QUrl::StrictMode);
    if (!isWebUrl(url) || url.host() != base.host() || url.port() != base.port()) return std::nullopt;
    // A typed "." or ".." segment would walk the path once the server resolves it.
    for (const QString& segment : url.path(QUrl::FullyEncoded).split(QLatin1Char('/')))
        if (segment == u"." || segment == u"..") return std::nullopt;
    return url;
}

namespace {

// What a caller waits on: filled in once by the network thread.
struct Waiter {
    std::mutex mutex;
    std::condition_variable filled;
    bool done = false;
    HttpResult result;

    void fill(HttpResult r)
    {
        {
            const std::lock_guard lock(mutex);
            result = std::move(r);
            done = true;
        }
        filled.notify_all();
    }
    HttpResult take()
    {
        std::unique_lock lock(mutex);
        filled.wait(lock, [this] { return done; });
        return std::move(result);
    }
};

HttpResult tooLargeResult(int status)
{
    HttpResult r;
    r.failure = HttpResult::Failure::tooLarge;
    r.errorText = QStringLiteral("the answer is larger than %1 bytes").arg(HttpLoader::kMaxBodyBytes);
    r.status = status;
    return r;
}

// One request in flight, on the network thread; a child of its reply, so it goes with it.
class Transfer : public QObject {
public:
    Transfer(QNetworkReply* reply, std::shared_ptr<Waiter> waiter, std::function<void(QNetworkReply*)> forget)
        : QObject(reply), reply_(reply), waiter_(std::move(waiter)), forget_(std::move(forget))
    {
        // The body is taken from the reply as it arrives, and Qt stops reading from the socket
        // while this much waits in its own buffer, so memory stays near the cap whatever is sent.
        reply_->setReadBufferSize(kReadBufferBytes);
        deadline_.setSingleShot(true);
        // The announced length first (a redirect's own length does not count), then what arrives.
        connect(reply_, &QNetworkReply::metaDataChanged, this, [this] {
            const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
            const QVariant redirect = reply_->attribute(QNetworkRequest::RedirectionTargetAttribute);
            if (length.isValid() && !redirect.isValid()) refuseWhenTooLarge(length.toLongLong());
        });
        connect(reply_, &QNetworkReply::readyRead, this, &Transfer::takeBody);
        connect(reply_, &QNetworkReply::finished, this, &Transfer::complete);
        connect(&deadline_, &QTimer::timeout, this, [this] { stop(&timedOut_); });
    }

    void start(int timeoutMs)
    {
        deadline_.start(timeoutMs);
        if (reply_->isFinished()) complete();
    }

    // Ends the transfer as a failure (the loader is going away).
    void cancel()
    {
        cancelled_ = true;
        reply_->abort();
        complete();
    }

private:
    void refuseWhenTooLarge(qint64 bytes)
    {
        if (bytes > HttpLoader::kMaxBodyBytes) stop(&tooLarge_);
    }

    void stop(bool* why)
    {
        if (done_ || tooLarge_ || timedOut_) return;
        *why = true;
        reply_->abort();
        complete(); // abort() reports nothing for a reply that was already finished
    }

    void takeBody()
    {
        if (tooLarge_ || done_) return;
        body_ += reply_->read(HttpLoader::kMaxBodyBytes + 1 - body_.size());
        refuseWhenTooLarge(body_.size() + reply_->bytesAvailable());
    }

    void complete()
    {
        if (done_) return;
        done_ = true;
        deadline_.stop();
        HttpResult result;
        const QVariant status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        result.status = status.isValid() ? status.toInt() : 0;
        const QNetworkReply::NetworkError error = reply_->error();
        if (tooLarge_) {
            result = tooLargeResult(result.status);
        } else if (timedOut_) {
            result.failure = HttpResult::Failure::timeout;
            result.errorText = QStringLiteral("no complete answer within the time-out");
        } else if (cancelled_) {
            result.failure = HttpResult::Failure::transport;
            result.errorText = QStringLiteral("the application is closing");
        } else if (error != QNetworkReply::NoError && !(result.status > 0 && isStatusError(error))) {
            result.failure = HttpResult::Failure::transport;
            result.errorText = reply_->errorString();
        }
        if (result.ok()) {
            // What the last readyRead left behind.
            body_ += reply_->read(HttpLoader::kMaxBodyBytes + 1 - body_.size());
            if (body_.size() + reply_->bytesAvailable() > HttpLoader::kMaxBodyBytes)
                result = tooLargeResult(result.status);
            else
                result.body = std::move(body_);
        }
        body_.clear();
        waiter_->fill(std::move(result));
        forget_(reply_);
        reply_->disconnect(this);
        reply_->deleteLater();
    }

    QNetworkReply* reply_;
    std::shared_ptr<Waiter> waiter_;
    std::function<void(QNetworkReply*)> forget_;
    QTimer deadline_;
    QByteArray body_;
    bool timedOut_ = false;
    bool tooLarge_ = false;
    bool cancelled_ = false;
    bool done_ = false;
};

// Guards the one network thread below and what decides its end.
std::mutex networkMutex;

// The one thread that runs every transfer, with one manager, so connections, name lookups and
// TLS sessions are shared by all callers. It starts with the first request and ends once nothing
// has run for a while (widgets fetch in waves minutes apart), taking the manager and the thread
// the manager keeps for its connections with it; the next request starts it anew. It also ends
// when the application object starts to go: transfers still running then fail at once.
class NetworkThread {
public:
    NetworkThread()
    {
        thread_.setObjectName(QStringLiteral("velk http"));
        idle_ = new QTimer(&context_);
        idle_->setSingleShot(true);
        idle_->setInterval(kIdleMs);
        QObject::connect(idle_, &QTimer::timeout, &context_, [this] {
            {
                const std::lock_guard lock(networkMutex);
                // A request handed over meanwhile keeps the thread; so does the closing, which
                // waits for the thread's loop.
                if (closing_ || queued_ > 0) return;
                ended_ = true;
            }
            delete manager_;
            manager_ = nullptr;
            thread_.quit();
        });
        context_.moveToThread(&thread_);
        thread_.start();
    }

    // Once close() was called: no request reaches the thread any more, and ended() no longer
    // changes.
    ~NetworkThread()
    {
        if (!ended_) {
            // Queued after every request already handed over, so each of them is cancelled here.
            QMetaObject::invokeMethod(
                &context_,
                [this] {
                    // Each cancel() takes its own transfer out of running_, so a copy is walked.
                    const QHash<QNetworkReply*, Transfer*> running = running_;
                    for (Transfer* transfer : running)
                        transfer->cancel();
                    idle_->stop();
                    delete manager_;
                    manager_ = nullptr;
                },
                Qt::BlockingQueuedConnection);
            thread_.quit();
        }
        thread_.wait();
    }

    NetworkThread(const NetworkThread&) = delete;
    NetworkThread& operator=(const NetworkThread&) = delete;

    // These three with networkMutex held.
    bool ended() const { return ended_; }
    void close() { closing_ = true; }
    void submit(const QNetworkRequest& request, int timeoutMs, std::shared_ptr<Waiter> waiter)
    {
        ++queued_;
        QMetaObject::invokeMethod(
            &context_,
            [this, request, timeoutMs, waiter = std::move(waiter)]() mutable {
                {
                    const std::lock_guard lock(networkMutex);
                    --queued_;
                }
                idle_->stop();
                if (!manager_) {
                    manager_ = new QNetworkAccessManager;
                    manager_->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
                }
                QNetworkReply* reply = manager_->get(request);
                auto* transfer = new Transfer(reply, std::move(waiter), [this](QNetworkReply* r) {
                    running_.remove(r);
                    if (running_.isEmpty()) idle_->start();
                });
                running_.insert(reply, transfer);
                transfer->start(timeoutMs);
            },
            Qt::QueuedConnection);
    }

private:
    static constexpr int kIdleMs = 30000;

    QThread thread_;
    QObject context_;                          // lives on thread_, as does all below
    QTimer* idle_;                             // a child of context_
    QNetworkAccessManager* manager_ = nullptr; // made for the first request after an idle spell
    // The transfer of each reply still running. Kept here rather than looked up among the
    // reply's children: those are not all transfers.
    QHash<QNetworkReply*, Transfer*> running_;
    // Guarded by networkMutex: requests handed over and not yet taken up, whether the thread
    // has ended for want of work, and whether it is being closed.
    int queued_ = 0;
    bool ended_ = false;
    bool closing_ = false;
};

NetworkThread* networkThread = nullptr;      // guarded by networkMutex
const QCoreApplication* servedApp = nullptr; // the application whose closing will end it, likewise
const QCoreApplication* closedApp = nullptr; // the application whose closing ended it, likewise

// Runs as the application object starts to go, while it can still deliver events to the
// thread: later calls find it closed.
void endNetworkThread()
{
    NetworkThread* ending = nullptr;
    {
        const std::lock_guard lock(networkMutex);
        std::swap(ending, networkThread);
        if (ending) ending->close();
        closedApp = QCoreApplication::instance();
    }
    delete ending;
}

// Hands the request to the network thread, starting it when needed; false when there is no
// application object or it is closing.
bool submit(const QNetworkRequest& request, int timeoutMs, std::shared_ptr<Waiter> waiter)
{
    const std::lock_guard lock(networkMutex);
    if (networkThread && networkThread->ended()) {
        // Its loop is over or about to be: waited for, and a new one made.
        networkThread->close();
        delete networkThread;
        networkThread = nullptr;
    }
    if (!networkThread) {
        const QCoreApplication* app = QCoreApplication::instance();
        if (!app || app == closedApp) return false;
        networkThread = new NetworkThread;
        if (app != servedApp) {
            servedApp = app;
            qAddPostRoutine(&endNetworkThread);
            QObject::connect(app, &QObject::destroyed, [] {
                const std::lock_guard lock(networkMutex);
                servedApp = closedApp = nullptr;
            });
        }
    }
    networkThread->submit(request, timeoutMs, std::move(waiter));
    return true;
}

} // namespace

HttpResult HttpLoader::get(const QUrl& url, const HttpHeaders& headers, int timeoutMs)
{
    HttpResult result;
    if (!isWebUrl(url)) {
        result.failure = HttpResult::Failure::badUrl;
        result.errorText = QStringLiteral("not an http(s) address: %1").arg(url.toString());
        return result;
    }

    if (QString why = unreachableHost(url); !why.isEmpty()) {
        result.failure = HttpResult::Failure::transport;
        result.errorText = std::move(why);
        return result;
    }

    QNetworkRequest netRequest(url);
    netRequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    for (const auto& [name, value] : headers)
        netRequest.setRawHeader(name, value);

    auto waiter = std::make_shared<Waiter>();
    if (!submit(netRequest, timeoutMs > 0 ? timeoutMs : defaultTimeoutMs(), waiter)) {
        result.failure = HttpResult::Failure::transport;
        result.errorText = QStringLiteral("no running application object to carry the transfer");
        return result;
    }
    return waiter->take();
}

} // namespace velk
