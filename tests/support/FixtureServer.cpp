#include "support/FixtureServer.h"

#include <QFile>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <cstdlib>
#include <stdexcept>

#ifndef VELK_TEST_SOURCE_DIR
#define VELK_TEST_SOURCE_DIR "."
#endif

namespace velk::test {

namespace {

QByteArray reason(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 429:
        return "Too Many Requests";
    case 500:
        return "Internal Server Error";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

// Writes `total` filler bytes a piece at a time, topping up whenever the socket has drained,
// then hangs up; stops when the client goes.
void streamFiller(QTcpSocket* socket, qint64 total)
{
    static const QByteArray piece(64 * 1024, 'x');
    auto sent = std::make_shared<qint64>(0);
    auto topUp = [socket, total, sent] {
        while (*sent < total && socket->state() == QAbstractSocket::ConnectedState &&
               socket->bytesToWrite() < 4 * piece.size()) {
            const qint64 n = socket->write(piece.constData(), std::min<qint64>(piece.size(), total - *sent));
            if (n <= 0) return; // the client went
            *sent += n;
        }
        if (*sent >= total && socket->bytesToWrite() == 0) socket->disconnectFromHost();
    };
    QObject::connect(socket, &QTcpSocket::bytesWritten, socket, topUp);
    topUp();
}

} // namespace

FixtureResponse FixtureResponse::json(const QByteArray& body, int status)
{
    FixtureResponse r;
    r.status = status;
    r.body = body;
    return r;
}

FixtureResponse FixtureResponse::file(const QString& fixtureName, int status)
{
    return json(FixtureServer::fixture(fixtureName), status);
}

FixtureResponse FixtureResponse::redirect(const QString& location, int status)
{
    FixtureResponse r;
    r.status = status;
    r.contentType = "text/plain";
    r.headers.append({"Location", location.toUtf8()});
    return r;
}

QByteArray FixtureServer::fixture(const QString& name)
{
    QFile f(QStringLiteral(VELK_TEST_SOURCE_DIR "/tests/fixtures/web/") + name);
    if (!f.open(QIODevice::ReadOnly)) throw std::runtime_error("missing fixture " + name.toStdString());
    return f.readAll();
}

FixtureServer::FixtureServer()
{
    context_ = new QObject;
    context_->moveToThread(&thread_);
    thread_.start();
    QMetaObject::invokeMethod(
        context_,
        [this] {
            server_ = new QTcpServer(context_);
            server_->listen(QHostAddress::LocalHost, 0);
            port_ = server_->serverPort();
            QObject::connect(server_, &QTcpServer::newConnection, context_, [this] {
                while (QTcpSocket* socket = server_->nextPendingConnection())
                    serve(socket);
            });
        },
        Qt::BlockingQueuedConnection);
    if (port_ == 0) throw std::runtime_error("fixture server could not listen");
}

FixtureServer::~FixtureServer()
{
    QMetaObject::invokeMethod(
        context_,
        [this] {
            delete server_;
            server_ = nullptr;
            // Connections still waiting on a slow answer go with their context.
            const QObjectList connections = context_->children();
            qDeleteAll(connections);
        },
        Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
    delete context_;
}

QString FixtureServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port_);
}

void FixtureServer::route(const QString& path, const FixtureResponse& response)
{
    QMutexLocker lock(&mutex_);
    routes_.insert(path.toUtf8(), response);
}

QList<RecordedRequest> FixtureServer::requests() const
{
    QMutexLocker lock(&mutex_);
    return requests_;
}

int FixtureServer::requestCount() const
{
    QMutexLocker lock(&mutex_);
    return int(requests_.size());
}

void FixtureServer::clearRequests()
{
    QMutexLocker lock(&mutex_);
    requests_.clear();
}

FixtureResponse FixtureServer::responseFor(const QByteArray& path) const
{
    QMutexLocker lock(&mutex_);
    const auto it = routes_.constFind(path);
    if (it != routes_.constEnd()) return *it;
    FixtureResponse notFound;
    notFound.status = 404;
    notFound.contentType = "text/html";
    notFound.body = "<html><body><h1>404 Not Found</h1></body></html>";
    return notFound;
}

void FixtureServer::serve(QTcpSocket* socket)
{
    socket->setParent(context_);
    auto buffer = std::make_shared<QByteArray>();
    QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
        buffer->append(socket->readAll());
        const qsizetype headerEnd = buffer->indexOf("\r\n\r\n");
        if (headerEnd < 0) return;
        const QList<QByteArray> lines = buffer->left(headerEnd).split('\n');
        buffer->clear();
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        RecordedRequest recorded;
        recorded.method = requestLine.value(0);
        recorded.target = requestLine.value(1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0)
                recorded.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
        }
        {
            QMutexLocker lock(&mutex_);
            requests_.append(recorded);
        }
        const qsizetype q = recorded.target.indexOf('?');
        const FixtureResponse response = responseFor(q < 0 ? recorded.target : recorded.target.left(q));

        QPointer<QTcpSocket> guard(socket);
        auto answer = [guard, response] {
            if (!guard) return;
            const bool streamed = response.streamBytes >= 0;
            QByteArray out = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reason(response.status) + "\r\n";
            out += "Content-Type: " + response.contentType + "\r\n";
            if (!streamed)
                out += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
            else if (response.announceLength && response.streamBytes != FixtureResponse::kEndless)
                out += "Content-Length: " + QByteArray::number(response.streamBytes) + "\r\n";
            out += "Connection: close\r\n";
            for (const auto& [name, value] : response.headers)
                out += name + ": " + value + "\r\n";
            out += "\r\n";
            if (streamed) {
                guard->write(out);
                streamFiller(guard, response.streamBytes);
                return;
            }
            out += response.truncateAt >= 0 ? response.body.left(response.truncateAt) : response.body;
            guard->write(out);
            guard->flush();
            guard->disconnectFromHost();
        };
        if (response.delayMs > 0)
            QTimer::singleShot(response.delayMs, socket, answer);
        else
            answer();
    });
}

ScopedEnv::ScopedEnv(const char* name, const QByteArray& value) : name_(name)
{
    if (qEnvironmentVariableIsSet(name)) previous_ = qgetenv(name);
    qputenv(name, value);
}

ScopedEnv::~ScopedEnv()
{
    if (previous_)
        qputenv(name_, *previous_);
    else
        qunsetenv(name_);
}

} // namespace velk::test
