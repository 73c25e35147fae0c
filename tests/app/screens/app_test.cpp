#include "app/screens/AppLinks.h"
#include "app/screens/MainWindow.h"
#include "app/screens/VelkApp.h"
#include "support/WaitFor.h"

#include <QAction>
#include <QDBusConnection>
#include <QApplication>
#include <QMenu>
#include <gtest/gtest.h>

using namespace velk;
using namespace velk::app;

TEST(VelkApp, ReadsLoginItemAndLinksFromTheArguments)
{
    const auto launch = VelkApp::parseArguments(
        {QStringLiteral("velk"), QStringLiteral("--login-item"), QStringLiteral("velkwidgets://open/reminders")});
    EXPECT_TRUE(launch.loginItem);
    ASSERT_EQ(launch.urls.size(), 1);
    EXPECT_EQ(launch.urls[0].host(), QStringLiteral("open"));
    EXPECT_FALSE(VelkApp::parseArguments({QStringLiteral("velk")}).loginItem);
}

TEST(VelkApp, OneInstancePerSessionAndLinksGoToIt)
{
    AppLinks links;
    VelkApp first(&links);
    ASSERT_TRUE(first.claimInstance());
    // Another process cannot take the name while this one holds it.
    QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("other"));
    ASSERT_TRUE(other.isConnected());
    EXPECT_FALSE(other.registerService(VelkApp::kBusName));

    VelkApp::Launch launch;
    launch.urls << QUrl(QStringLiteral("velkwidgets://open/reminders"));
    ASSERT_TRUE(VelkApp::forwardToRunningInstance(launch));
    ASSERT_TRUE(first.mainWindow());
    EXPECT_TRUE(first.mainWindow()->isVisible());
    EXPECT_EQ(first.mainWindow()->selection(), SidebarItem::of(CatalogWidget::Category::reminders));

    // A plain second start brings the same window forward rather than making another.
    MainWindow* window = first.mainWindow();
    window->hide();
    ASSERT_TRUE(VelkApp::forwardToRunningInstance({}));
    EXPECT_EQ(first.mainWindow(), window);
    EXPECT_TRUE(window->isVisible());
}

TEST(VelkApp, TrayMenuOffersOpenSettingsAndQuit)
{
    AppLinks links;
    VelkApp app(&links);
    app.start({.loginItem = true, .urls = {}});
    QStringList texts;
    for (QAction* a : app.trayMenu()->actions()) texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(texts, (QStringList{"Open VELK", "Settings\u2026", "-", "Quit VELK"}));
    // Offscreen there is no tray, so even a login-item start keeps its window.
    ASSERT_TRUE(app.mainWindow());
    EXPECT_TRUE(app.mainWindow()->isVisible());
    app.trayMenu()->actions()[1]->trigger();
    EXPECT_TRUE(test::waitFor([] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("settings") && w->isVisible()) return true;
        return false;
    }));
}
