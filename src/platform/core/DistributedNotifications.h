#pragma once
// Notifications between the VELK processes: the signal Posted(s name) on the session bus, path
// /com/harrowcrest/velk, interface com.harrowcrest.velk.DistributedNotifications. Posting never
// waits for anyone; without a session bus posting and observing quietly do nothing.
#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <functional>

namespace velk {

class DistributedNotifications {
public:
    static inline const QString kPath = QStringLiteral("/com/harrowcrest/velk");
    static inline const QString kInterface = QStringLiteral("com.harrowcrest.velk.DistributedNotifications");

    // The session bus.
    DistributedNotifications();
    explicit DistributedNotifications(const QDBusConnection& bus);

    // Broadcasts the name to every observer on the bus, this process included.
    void post(const QString& name) const;

    // Calls callback on context's thread each time name is posted, until the returned
    // subscription or context is destroyed. context may not be null. The subscription is a
    // child of context when called on context's thread, and is deleted with it otherwise.
    QObject* observe(const QString& name, QObject* context, std::function<void()> callback) const;

    bool isConnected() const { return bus_.isConnected(); }

private:
    QDBusConnection bus_;
};

} // namespace velk
