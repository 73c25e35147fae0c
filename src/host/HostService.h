#pragma once
// The host's D-Bus service, com.harrowcrest.velk.WidgetHost on the session bus: the reload
// calls the app and the widgets' intents make, and the placement calls of `velk-widgets add`,
// `remove` and `placed`. Owning the name is what makes the host a single instance. The
// interface is src/platform/timeline/com.harrowcrest.velk.WidgetHost.xml.
#include <QDBusConnection>
#include <QObject>
#include <QString>

namespace velk::host {

class WidgetHost;

class HostService : public QObject {
    Q_OBJECT
public:
    explicit HostService(WidgetHost* host);

    // Registers the object and takes the name. False, with `error` set, when another host
    // holds the name (or there is no session bus).
    bool registerOnSessionBus(QString* error);
    bool registerOn(QDBusConnection bus, QString* error);

public slots:
    // The methods of com.harrowcrest.velk.WidgetHost, called by its generated adaptor (named as
    // on the bus).
    // NOLINTBEGIN(readability-identifier-naming)
    void ReloadTimelines(const QString& kind);
    void ReloadAllTimelines();
    // The new widget's id, or "" for an unknown kind.
    QString AddWidget(const QString& kind);
    bool RemoveWidget(const QString& id);
    // The placement file's JSON.
    QString PlacedWidgets();
    // NOLINTEND(readability-identifier-naming)

private:
    WidgetHost* host_;
};

} // namespace velk::host
