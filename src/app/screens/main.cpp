// velk: the VELK app. One instance per session; a second start hands its links to the first.
#include "app/screens/AppLinks.h"
#include "app/screens/VelkApp.h"

#include <QApplication>

int main(int argc, char** argv)
{
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
    velkApp.start(launch);
    return app.exec();
}
