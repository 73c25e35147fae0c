#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for tests of the web clients. It runs on its own thread,
// so a client may block the test's thread while it answers. Each path (without the query) gets
// a canned answer; every request is recorded.
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QPair>
#include <QString>
#include <QThread>
#include <QUrl>
#include <limits>
#include <memory>
#include <optional>

class QTcpServer;
class QTcpSocket;

namespace velk::test {

struct FixtureResponse {
    int status = 200;
    QByteArray body;
    QByteArray contentType = "application/json";
    QList<QPair<QByteArray, QByteArray>> headers;
    // Waits this long before answering (a slow server).
    int delayMs = 0;
    // Announces the whole body's length but sends only this many bytes, then hangs up.
    int truncateAt = -1;
    // Instead of body: this many filler bytes, sent in pieces as the client takes them, so a
    // huge answer costs the server no memory. kEndless never ends.
    qint64 streamBytes = -1;
    static constexpr qint64 kEndless = std::numeric_limits<qint64>::max();
    // Whether a streamed answer announces its length (an endless one never does).
    bool announceLength = true;

    static FixtureResponse json(const QByteArray& body, int status = 200);
    static FixtureResponse file(const QString& fixtureName, int status = 200); // tests/fixtures/web/
    static FixtureResponse redirect(const QString& location, int status = 302);
};

struct RecordedRequest {
    QByteArray method;
    QByteArray target;                    // path and query as sent
    QMap<QByteArray, QByteArray> headers; // names in lower case
    QUrl url() const { return QUrl::fromEncoded("http://fixture" + target); }
};

class FixtureServer {
public:
    FixtureServer();
    ~FixtureServer();
    FixtureServer(const FixtureServer&) = delete;
    FixtureServer& operator=(const FixtureServer&) = delete;

    // "http://127.0.0.1:<port>"
    QString baseUrl() const;
    quint16 port() const { return port_; }

    // Answers requests for this path (no query); unknown paths get a 404 error page.
    void route(const QString& path, const FixtureResponse& response);
    QList<RecordedRequest> requests() const;
    int requestCount() const;
    void clearRequests();

    // The bytes of tests/fixtures/web/<name>.
    static QByteArray fixture(const QString& name);

private:
    void serve(QTcpSocket* socket);
    FixtureResponse responseFor(const QByteArray& path) const;

    mutable QMutex mutex_;
    QMap<QByteArray, FixtureResponse> routes_;
    QList<RecordedRequest> requests_;
    QThread thread_;
    QObject* context_ = nullptr; // lives on thread_
    QTcpServer* server_ = nullptr;
    quint16 port_ = 0;
};

// Points an environment variable at a value for a scope (service addresses, time-outs).
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<QByteArray> previous_;
};

} // namespace velk::test
