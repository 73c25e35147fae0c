#include "host/DesktopHost.h"

#include "host/ClockWatch.h"
#include "host/HostMenus.h"
#include "host/HostService.h"
#include "host/WidgetCommands.h"
#include "host/WidgetHost.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

namespace velk::host {

namespace {

// A debugging aid: VELK_HOST_SCREENSHOT=FILE.png grabs the whole desktop a few seconds after
// start, once the first timelines have been drawn.
void scheduleScreenshot()
{
    const QString path = qEnvironmentVariable("VELK_HOST_SCREENSHOT");
    if (path.isEmpty()) return;
    QTimer::singleShot(qEnvironmentVariableIntValue("VELK_HOST_SCREENSHOT_DELAY_MS") ?: 3000, qApp, [path] {
        if (QScreen* screen = QGuiApplication::primaryScreen()) screen->grabWindow(0).save(path);
    });
}

} // namespace

int runDesktopHost(const timeline::WidgetBundle& bundle, const intents::IntentRegistry& registry, QTextStream& err)
{
    QApplication::setQuitOnLastWindowClosed(false);
    WidgetHost host(bundle, registry, PlacementStore());
    auto* service = new HostService(&host);
    QString error;
    if (!service->registerOnSessionBus(&error)) {
        if (error.startsWith(QLatin1String("a widget host"))) {
            err << "velk-widgets: " << error << '\n';
            err.flush();
            return kExitFailed;
        }
        // Without a bus the widgets still show; only reloads from outside are lost.
        err << "velk-widgets: " << error << "; widgets will not be reloaded by the app\n";
        err.flush();
    }
    if (const QString warning = host.start(); !warning.isEmpty()) {
        err << "velk-widgets: " << warning << '\n';
        err.flush();
    }
    HostMenus menus(&host);
    ClockWatch clock;
    QObject::connect(&clock, &ClockWatch::changed, &host, &WidgetHost::reevaluateAll);
    scheduleScreenshot();
    return QApplication::exec();
}

} // namespace velk::host
