#pragma once
// What the app does for org.freedesktop.Application: a second start, a reopen, an opened
// velkwidgets:// link or the desktop's launcher call these through ApplicationAdaptor, which is
// generated from org.freedesktop.Application.xml and exported at VelkApp::kObjectPath.
#include <QObject>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

namespace velk::app {

class VelkApp;

class ApplicationService : public QObject {
    Q_OBJECT
public:
    // A child of the app; its adaptor is made with it.
    explicit ApplicationService(VelkApp* app);

public slots:
    // The interface's own method names, as the bus calls them.
    // NOLINTBEGIN(readability-identifier-naming)
    void Activate(const QVariantMap& platformData);
    void Open(const QStringList& uris, const QVariantMap& platformData);
    void ActivateAction(const QString& name, const QVariantList& parameter, const QVariantMap& platformData);
    // NOLINTEND(readability-identifier-naming)

private:
    VelkApp* app_;
};

} // namespace velk::app
