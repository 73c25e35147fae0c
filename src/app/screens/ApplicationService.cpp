#include "app/screens/ApplicationService.h"

#include "ApplicationAdaptor.h"
#include "app/screens/VelkApp.h"

#include <QUrl>

namespace velk::app {

ApplicationService::ApplicationService(VelkApp* app) : QObject(app), app_(app)
{
    new ApplicationAdaptor(this);
}

void ApplicationService::Activate(const QVariantMap&)
{
    app_->showMain();
}

void ApplicationService::Open(const QStringList& uris, const QVariantMap&)
{
    QList<QUrl> urls;
    for (const QString& u : uris)
        urls << QUrl(u);
    app_->openUrls(urls);
}

void ApplicationService::ActivateAction(const QString& name, const QVariantList&, const QVariantMap&)
{
    if (name == QLatin1String("settings"))
        app_->openSettings();
    else
        app_->showMain();
}

} // namespace velk::app
