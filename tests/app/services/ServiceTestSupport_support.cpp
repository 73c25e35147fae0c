#include "ServiceTestSupport.h"

#include <QMutexLocker>
#include <cstring>

namespace velk::test {

namespace {
QMutex mutex;
QStringList captured;
} // namespace

MediaLogCapture::MediaLogCapture()
{
    QLoggingCategory::setFilterRules(QStringLiteral("com.harrowcrest.velk.media.info=true"));
    QMutexLocker l(&mutex);
    captured.clear();
    previous_ = qInstallMessageHandler(&MediaLogCapture::handler);
}

MediaLogCapture::~MediaLogCapture()
{
    qInstallMessageHandler(previous_);
}

QStringList MediaLogCapture::lines() const
{
    QMutexLocker l(&mutex);
    return captured;
}

void MediaLogCapture::handler(QtMsgType, const QMessageLogContext& context, const QString& message)
{
    if (!context.category || std::strcmp(context.category, "com.harrowcrest.velk.media") != 0) return;
    QMutexLocker l(&mutex);
    captured << message;
}

} // namespace velk::test
