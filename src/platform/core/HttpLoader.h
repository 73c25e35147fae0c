#pragma once
// The one HTTP loader every web client goes through.
//
// get() blocks the calling thread until the answer is in, the time-out passes or the transfer
// fails. Any thread may call it (widget providers call it from worker threads): the transfers
// of all callers run on one network thread with one QNetworkAccessManager, so connections, name
// lookups and TLS sessions are shared. That thread starts with the first request, ends after
// half a minute without one (the next starts it anew) and ends with the application object; a
// transfer still running then fails at once, and a call made after it fails without a request. A host name that does
// not resolve (with no proxy to resolve it) fails on the calling thread before any transfer. TLS peers are verified,
// redirects are followed (never from https down to http), and the body is handed back whatever the HTTP status: the
// caller decides what a body means. A body cut short, a refused connection or a time-out is a failure, never a partial
// body. So is a body larger than kMaxBodyBytes: the announced length and the bytes as they arrive are both checked, and
// the transfer is aborted past the cap, so a huge or endless answer costs no more memory than the cap.
//
// Service addresses are settings: serviceBase() reads an environment variable and falls back to
// the service's public address. The variables in use:
//   VELK_FORECAST_URL     forecast service        (default https://api.open-meteo.com)
//   VELK_GEOCODING_URL    place search            (default https://geocoding-api.open-meteo.com)
//   VELK_AIR_QUALITY_URL  air-quality service     (default https://air-quality-api.open-meteo.com)
//   VELK_CHART_URL        stock chart service     (default https://query1.finance.yahoo.com)
//   VELK_HTTP_TIMEOUT_MS  time-out of every request in milliseconds (default 60000)
// A base may carry a path prefix ("http://127.0.0.1:8080/mirror"); the request path is appended.
//
// Text typed by a user goes into a URL only through encodeComponent(), which percent-encodes
// everything but the unreserved characters, so "/", "?", "#", "@", ":" and "+" can never change
// the host, the path or the query of a request.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>
#include <optional>

namespace velk {

using HttpHeaders = QList<QPair<QByteArray, QByteArray>>;

struct HttpResult {
    enum class Failure { none, badUrl, timeout, transport, tooLarge };

    Failure failure = Failure::none;
    QString errorText; // why the request failed, for logs
    int status = 0;    // the HTTP status of the final answer (0 when none arrived)
    QByteArray body;   // the whole body of the final answer, whatever its status

    bool ok() const { return failure == Failure::none; }
};

struct QueryItem {
    QString name;
    QString value;
};

class HttpLoader {
public:
    static constexpr int kDefaultTimeoutMs = 60000;
    // The largest body any of the services sends is a few hundred kilobytes.
    static constexpr qint64 kMaxBodyBytes = qint64{8} * 1024 * 1024;

    // timeoutMs: milliseconds from sending to the whole body; 0 takes defaultTimeoutMs().
    static HttpResult get(const QUrl& url, const HttpHeaders& headers = {}, int timeoutMs = 0);

    // VELK_HTTP_TIMEOUT_MS when it holds a positive number, else kDefaultTimeoutMs.
    static int defaultTimeoutMs();

    // The environment variable's URL when it is set to a valid http(s) address, else the
    // fallback.
    static QUrl serviceBase(const char* environmentVariable, const QString& fallback);

    // Percent-encodes one path segment or query value: every byte but A-Z a-z 0-9 - . _ ~ is
    // written as %XX (so "+" becomes %2B and a space %20).
    static QString encodeComponent(const QString& text);

    // base + path + "?" + the query items in order. `path` is a fixed path that the caller
    // wrote (its segments already encoded); names and values of the query are encoded here,
    // except that a value's commas stay as they are. Nothing when the result is not a valid
    // http(s) URL on the base's host, or when its path holds a "." or ".." segment.
    static std::optional<QUrl> buildUrl(const QUrl& base, const QString& path, const QList<QueryItem>& query = {});
};

} // namespace velk
