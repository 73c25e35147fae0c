#include "app/screens/AppLinks.h"
#include "app/screens/MainWindow.h"
#include "app/screens/SettingsView.h"
#include "app/screens/VelkApp.h"
#include "support/WaitFor.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <gtest/gtest.h>

using namespace velk;
using namespace velk::app;

namespace {

// A call from another connection, as the desktop's launcher makes it, answered while the
// app's event loop runs.
QDBusMessage callApp(QDBusConnection& bus, const QString& interface, const QString& method, const QVariantList& args)
{
    QDBusMessage call = QDBusMessage::createMethodCall(VelkApp::kBusName, VelkApp::kObjectPath, interface, method);
    call.setArguments(args);
    QDBusPendingCall pending = bus.asyncCall(call);
    EXPECT_TRUE(test::waitFor([&] { return pending.isFinished(); }));
    return pending.reply();
}

bool settingsShown()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<SettingsView*>(w) && w->isVisible()) return true;
    return false;
}

} // namespace

TEST(ApplicationService, ServesTheDesktopsApplicationInterface)
{
    AppLinks links;
    VelkApp app(&links);
    ASSERT_TRUE(app.claimInstance());
    QDBusConnection desktop = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("desktop"));
    ASSERT_TRUE(desktop.isConnected());

    const QDBusMessage introspection =
        callApp(desktop, QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect"), {});
    ASSERT_EQ(introspection.type(), QDBusMessage::ReplyMessage) << introspection.errorMessage().toStdString();
    const QString xml = introspection.arguments().value(0).toString();
    EXPECT_TRUE(xml.contains(QLatin1String("<interface name=\"org.freedesktop.Application\">")));
    for (const char* method : {"Activate", "Open", "ActivateAction"})
        EXPECT_TRUE(xml.contains(QStringLiteral("<method name=\"%1\">").arg(QLatin1String(method)))) << method;

    // An action: "settings" opens Settings, any other the main window.
    const QString application = QStringLiteral("org.freedesktop.Application");
    EXPECT_FALSE(settingsShown());
    QDBusMessage reply = callApp(desktop, application, QStringLiteral("ActivateAction"),
                                 {QStringLiteral("settings"), QVariant::fromValue(QVariantList()), QVariantMap()});
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    EXPECT_TRUE(settingsShown());
    EXPECT_FALSE(app.mainWindow() && app.mainWindow()->isVisible());

    reply = callApp(desktop, application, QStringLiteral("ActivateAction"),
                    {QStringLiteral("gallery"), QVariant::fromValue(QVariantList()), QVariantMap()});
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    ASSERT_TRUE(app.mainWindow());
    EXPECT_TRUE(app.mainWindow()->isVisible());

    // Activate brings the same window forward.
    MainWindow* window = app.mainWindow();
    window->hide();
    reply = callApp(desktop, application, QStringLiteral("Activate"), {QVariantMap()});
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    EXPECT_EQ(app.mainWindow(), window);
    EXPECT_TRUE(window->isVisible());
    QDBusConnection::disconnectFromBus(QStringLiteral("desktop"));
}
