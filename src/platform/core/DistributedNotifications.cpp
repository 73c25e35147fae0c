#include "platform/core/DistributedNotifications.h"
#include "platform/core/Log.h"

#include <QDBusMessage>
#include <QPointer>
#include <QThread>

namespace velk {

namespace {

class Subscription : public QObject {
    Q_OBJECT
public:
    Subscription(QString name, std::function<void()> callback) : name_(std::move(name)), callback_(std::move(callback))
    {}

public Q_SLOTS:
    void posted(const QString& name)
    {
        // The bus filters on the name already; this guards against a bus that ignores arg0.
        if (name == name_ && callback_) callback_();
    }

private:
    QString name_;
    std::function<void()> callback_;
};

} // namespace

DistributedNotifications::DistributedNotifications() : bus_(QDBusConnection::sessionBus()) {}

DistributedNotifications::DistributedNotifications(const QDBusConnection& bus) : bus_(bus) {}

void DistributedNotifications::post(const QString& name) const
{
    if (!bus_.isConnected()) return;
    QDBusMessage signal = QDBusMessage::createSignal(kPath, kInterface, QStringLiteral("Posted"));
    signal << name;
    // send() queues the message and returns; a signal has no reply to wait for.
    if (!bus_.send(signal)) qCDebug(lcNotifications) << "cannot post" << name << ":" << bus_.lastError().message();
}

QObject* DistributedNotifications::observe(const QString& name, QObject* context, std::function<void()> callback) const
{
    auto* sub = new Subscription(name, std::move(callback));
    if (QThread::currentThread() == context->thread()) {
        sub->setParent(context);
    } else {
        sub->moveToThread(context->thread());
        QObject::connect(context, &QObject::destroyed, sub, &QObject::deleteLater);
    }
    if (!bus_.isConnected()) return sub;
    QDBusConnection bus = bus_;
    // Matching on the first argument lets the bus drop other names before they reach us; the
    // match rule is added without waiting for the bus's answer.
    if (!bus.connect(QString(), kPath, kInterface, QStringLiteral("Posted"), {name}, QString(), sub,
                     SLOT(posted(QString))))
        qCDebug(lcNotifications) << "cannot observe" << name << ":" << bus.lastError().message();
    return sub;
}

} // namespace velk

#include "DistributedNotifications.moc"
