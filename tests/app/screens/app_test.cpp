#include "app/screens/AppLinks.h"
#include "app/screens/GalleryView.h"
#include "app/screens/MainWindow.h"
#include "app/screens/SettingsView.h"
#include "app/screens/VelkApp.h"
#include "app/screens/WidgetCard.h"
#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "support/UtcDate.h"
#include "support/WaitFor.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDBusConnection>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QJsonObject>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <functional>
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
    launch.urls << QUrl(QStringLiteral("velkwidgets://notes"));
    ASSERT_TRUE(VelkApp::forwardToRunningInstance(launch));
    ASSERT_TRUE(first.mainWindow());
    EXPECT_TRUE(first.mainWindow()->isVisible());
    EXPECT_EQ(first.mainWindow()->selection(), SidebarItem::of(CatalogWidget::Category::notes));

    // A plain second start brings the same window forward rather than making another.
    MainWindow* window = first.mainWindow();
    window->hide();
    ASSERT_TRUE(VelkApp::forwardToRunningInstance({}));
    EXPECT_EQ(first.mainWindow(), window);
    EXPECT_TRUE(window->isVisible());
}

TEST(VelkApp, EveryWayBackRestoresAMinimisedWindow)
{
    AppLinks links;
    VelkApp app(&links);
    ASSERT_TRUE(app.claimInstance());
    app.start({.loginItem = false, .urls = {}});
    MainWindow* window = app.mainWindow();
    ASSERT_TRUE(window);

    const std::pair<const char*, std::function<void()>> ways[] = {
        {"Open VELK", [&] { app.trayMenu()->actions()[0]->trigger(); }},
        {"a second start", [] { ASSERT_TRUE(VelkApp::forwardToRunningInstance({})); }},
        {"a link",
         [] {
             VelkApp::Launch launch;
             launch.urls << QUrl(QStringLiteral("velkwidgets://open/nowhere"));
             ASSERT_TRUE(VelkApp::forwardToRunningInstance(launch));
         }},
    };
    for (const auto& [name, way] : ways) {
        window->showMinimized();
        ASSERT_TRUE(window->isMinimized());
        way();
        EXPECT_EQ(app.mainWindow(), window) << name;
        EXPECT_FALSE(window->isMinimized()) << name;
        EXPECT_TRUE(window->isVisible()) << name;
    }
    QDBusConnection::sessionBus().unregisterService(VelkApp::kBusName);
}

TEST(VelkApp, SettingsOpensAnewCentredOnTheMainWindowWithOneTitle)
{
    Defaults::shared().remove(SettingsView::kWaterGoal);
    AppLinks links;
    VelkApp app(&links);
    app.openMain();
    MainWindow* main = app.mainWindow();
    const QRect area = main->screen()->availableGeometry();
    // Smaller than the test's screen, so that the centred form fits whole.
    main->setMinimumSize(0, 0);
    main->setGeometry(QRect(area.topLeft() + QPoint(60, 40), QSize(500, 400)));
    app.openSettings();
    SettingsView* settings = app.settingsWindow();
    ASSERT_TRUE(settings && settings->isVisible());
    EXPECT_EQ(settings->waterGoal()->currentText(), QStringLiteral("8 glasses"));
    // Centred across the main window (to within the frames' few pixels), and whole on its screen.
    EXPECT_NEAR(settings->frameGeometry().center().x(), main->frameGeometry().center().x(), 4);
    EXPECT_TRUE(area.contains(settings->frameGeometry()))
        << QDebug::toString(settings->frameGeometry()).toStdString() << " in " << QDebug::toString(area).toStdString();
    // The window system appends the app's display name to a title that does not end with it.
    const QString title = settings->windowTitle();
    const QString shown = title.endsWith(QStringLiteral("VELK")) ? title : title + QStringLiteral(" \u2014 VELK");
    EXPECT_EQ(shown.count(QStringLiteral("VELK")), 1) << shown.toStdString();

    // Changed elsewhere while the form is closed: shown when it opens again.
    settings->close();
    Defaults::shared().setInteger(SettingsView::kWaterGoal, 12);
    app.openSettings();
    ASSERT_TRUE(app.settingsWindow()->isVisible());
    EXPECT_EQ(app.settingsWindow()->waterGoal()->currentText(), QStringLiteral("12 glasses"));
    Defaults::shared().remove(SettingsView::kWaterGoal);
}

TEST(VelkApp, AClosedWindowIsLetGoAndOpensAnew)
{
    const ClockPin pin(test::utc("2026-03-14T09:26:53"));
    AppLinks links;
    VelkApp app(&links);
    app.openMain();
    app.openSettings();
    QPointer<MainWindow> window = app.mainWindow();
    QPointer<GalleryView> gallery = window->gallery();
    ASSERT_TRUE(gallery);
    ASSERT_FALSE(gallery->visibleCards().empty());
    WidgetCard* first = gallery->visibleCards().front()->card();
    const QJsonObject tree = first->inspectTree();
    const QImage picture = first->picture();
    // Hidden for a moment (as a minimise or a workspace switch may) is not closed.
    window->hide();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window);

    window->show();
    window->close();
    app.settingsWindow()->close();
    EXPECT_TRUE(test::waitFor([&] { return !window && !gallery && !app.mainWindow() && !app.settingsWindow(); }));
    app.openMain();
    ASSERT_TRUE(app.mainWindow());
    EXPECT_TRUE(app.mainWindow()->isVisible());
    ASSERT_TRUE(app.mainWindow()->gallery());
    // The fonts let go with the window are found again: the same card draws the same.
    WidgetCard* again = app.mainWindow()->gallery()->visibleCards().front()->card();
    EXPECT_EQ(again->inspectTree(), tree);
    EXPECT_EQ(again->picture(), picture);
}

TEST(VelkApp, TrayMenuOffersOpenSettingsAndQuit)
{
    AppLinks links;
    VelkApp app(&links);
    app.start({.loginItem = true, .urls = {}});
    QStringList texts;
    for (QAction* a : app.trayMenu()->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
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

TEST(VelkApp, TrayShowsTheThemesTerminalSymbolElseTheMonogram)
{
    QTemporaryDir icons;
    const QString theme = icons.path() + QStringLiteral("/plain");
    QDir().mkpath(theme + QStringLiteral("/16x16/apps"));
    QFile index(theme + QStringLiteral("/index.theme"));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=Plain\nDirectories=16x16/apps\n[16x16/apps]\nSize=16\nType=Fixed\n");
    index.close();
    QPixmap dot(16, 16);
    dot.fill(Qt::black);
    ASSERT_TRUE(dot.save(theme + QStringLiteral("/16x16/apps/utilities-terminal.png")));

    const QStringList paths = QIcon::themeSearchPaths();
    const QString name = QIcon::themeName();
    QIcon::setThemeSearchPaths({icons.path()});
    QIcon::setThemeName(QStringLiteral("plain"));
    EXPECT_EQ(trayIcon().name(), QStringLiteral("utilities-terminal"));
    // A theme without it: the monogram, never an empty icon.
    QFile::remove(theme + QStringLiteral("/16x16/apps/utilities-terminal.png"));
    QIcon::setThemeName(QStringLiteral("none"));
    EXPECT_TRUE(trayIcon().name().isEmpty());
    EXPECT_FALSE(trayIcon().isNull());
    QIcon::setThemeSearchPaths(paths);
    QIcon::setThemeName(name);
}
