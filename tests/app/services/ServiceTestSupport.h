#pragma once
// What the collector tests share: the media log lines a test produced.
#include <QLoggingCategory>
#include <QMutex>
#include <QStringList>

namespace velk::test {

// Captures the messages of the "com.harrowcrest.velk.media" category while it lives.
class MediaLogCapture {
public:
    MediaLogCapture();
    ~MediaLogCapture();
    QStringList lines() const;

private:
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& message);
    QtMessageHandler previous_;
};

} // namespace velk::test
