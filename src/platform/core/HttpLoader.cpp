#include "platform/core/HttpLoader.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <memory>

namespace velk {

namespace {

constexpr qint64 kReadBufferBytes = 256 * 1024;

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
        const QUrl url(configured, QUrl::StrictMode);
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
    QByteArray encoded =
        base.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::StripTrailingSlash).toEncoded();
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

HttpResult HttpLoader::get(const QUrl& url, const HttpHeaders& headers, int timeoutMs)
{
    HttpResult result;
    if (!isWebUrl(url)) {
        result.failure = HttpResult::Failure::badUrl;
        result.errorText = QStringLiteral("not an http(s) address: %1").arg(url.toString());
        return result;
    }

    QNetworkAccessManager manager;
    manager.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkRequest netRequest(url);
    netRequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    for (const auto& [name, value] : headers) netRequest.setRawHeader(name, value);

    std::unique_ptr<QNetworkReply> reply(manager.get(netRequest));
    // The body is taken from the reply as it arrives, and Qt stops reading from the socket
    // while this much waits in its own buffer, so memory stays near the cap whatever is sent.
    reply->setReadBufferSize(kReadBufferBytes);
    QByteArray body;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    bool timedOut = false;
    bool tooLarge = false;
    const auto refuseWhenTooLarge = [&](qint64 bytes) {
        if (bytes <= kMaxBodyBytes || tooLarge) return;
        tooLarge = true;
        reply->abort();
        loop.quit();
    };
    // The announced length first (a redirect's own length does not count), then what arrives.
    QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, &loop, [&] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        const QVariant redirect = reply->attribute(QNetworkRequest::RedirectionTargetAttribute);
        if (length.isValid() && !redirect.isValid()) refuseWhenTooLarge(length.toLongLong());
    });
    const auto take = [&] {
        if (tooLarge) return;
        body += reply->read(kMaxBodyBytes + 1 - body.size());
        refuseWhenTooLarge(body.size() + reply->bytesAvailable());
    };
    QObject::connect(reply.get(), &QNetworkReply::readyRead, &loop, take);
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
        loop.quit();
    });
    deadline.start(timeoutMs > 0 ? timeoutMs : defaultTimeoutMs());
    if (!reply->isFinished() && !tooLarge) loop.exec(QEventLoop::ExcludeUserInputEvents);
    deadline.stop();

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    result.status = status.isValid() ? status.toInt() : 0;
    const QNetworkReply::NetworkError error = reply->error();
    if (tooLarge) {
        result.failure = HttpResult::Failure::tooLarge;
        result.errorText = QStringLiteral("the answer is larger than %1 bytes").arg(kMaxBodyBytes);
    } else if (timedOut) {
        result.failure = HttpResult::Failure::timeout;
        result.errorText = QStringLiteral("no complete answer within the time-out");
    } else if (error != QNetworkReply::NoError && !(result.status > 0 && isStatusError(error))) {
        result.failure = HttpResult::Failure::transport;
        result.errorText = reply->errorString();
    }
    if (result.ok()) {
        take();
        if (tooLarge) {
            result.failure = HttpResult::Failure::tooLarge;
            result.errorText = QStringLiteral("the answer is larger than %1 bytes").arg(kMaxBodyBytes);
        } else {
            result.body = std::move(body);
        }
    }
    return result;
}

} // namespace velk
