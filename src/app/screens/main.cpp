// velk: the VELK app. One instance per session; a second start hands its links to the first.
#include "app/screens/AppLinks.h"
#include "app/screens/ServiceWiring.h"
#include "app/screens/VelkApp.h"
#include "platform/core/ExitWait.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    velk::waitForOtherThreadsAtExit();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velk"));
    QApplication::setApplicationDisplayName(QStringLiteral("VELK"));
    QApplication::setApplicationVersion(QStringLiteral(VELK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("velk"));
    // Closing the last window leaves the app running in the tray.
    QApplication::setQuitOnLastWindowClosed(false);

    const velk::app::VelkApp::Launch launch = velk::app::VelkApp::parseArguments(QApplication::arguments());
    velk::app::AppLinks links;
    velk::app::VelkApp velkApp(&links);
    if (!velkApp.claimInstance()) {
        if (velk::app::VelkApp::forwardToRunningInstance(launch)) return 0;
        // The holder did not answer; run rather than leave the user with nothing.
    }
    if (!velk::app::wireServices(links))
        std::fprintf(stderr, "velk: built without the collectors; the widgets show what the host reads itself\n");
    velkApp.start(launch);
    // After the window is up, so a slow first collection never holds back the first paint.
    QTimer::singleShot(0, &app, [] { velk::app::startServices(); });
    return app.exec();
}
