#include "host/DesktopHost.h"

#include "host/ClockWatch.h"
#include "host/HostMenus.h"
#include "host/HostService.h"
#include "host/WidgetCommands.h"
#include "host/WidgetHost.h"

#include <QApplication>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QThreadPool>
#include <QTimer>
#include <cstdlib>
#include <ctime>
#include <memory>

namespace velk::host {

namespace {

// A debugging aid: VELK_HOST_SCREENSHOT=FILE.png grabs the whole desktop a few seconds after
// start, once the first timelines have been drawn.
// How long quitting waits for a provider or an action still running.
constexpr int kQuitWaitMs = 3000;

void scheduleScreenshot()
{
    const QString path = qEnvironmentVariable("VELK_HOST_SCREENSHOT");
    if (path.isEmpty()) return;
    QTimer::singleShot(qEnvironmentVariableIntValue("VELK_HOST_SCREENSHOT_DELAY_MS") ?: 3000, qApp, [path] {
        if (QScreen* screen = QGuiApplication::primaryScreen()) screen->grabWindow(0).save(path);
    });
}

// A measuring aid: VELK_HOST_FIRST_PAINT=1 prints "first paint at NS" (CLOCK_REALTIME, in
// nanoseconds) on standard error once every placed widget has been painted, for
// bench/measure-host.sh.
void reportFirstPaint(WidgetHost& host, QTextStream& err)
{
    if (qEnvironmentVariableIsEmpty("VELK_HOST_FIRST_PAINT")) return;
    QObject::connect(&host, &WidgetHost::firstPaintDone, &host, [&err] {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        err << "first paint at " << qint64(now.tv_sec) * 1000000000 + now.tv_nsec << '\n';
        err.flush();
    });
}

} // namespace

QString missingDisplay(const QProcessEnvironment& env)
{
    for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"})
        if (!env.value(QLatin1String(name)).isEmpty()) return {};
    return QStringLiteral("no desktop to place widgets on (neither WAYLAND_DISPLAY nor DISPLAY is set)");
}

int runDesktopHost(const timeline::WidgetBundle& bundle, const intents::IntentRegistry& registry, QTextStream& err)
{
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt's raster engine splits every fill taller than about a hundred rows (a tile's rounded
    // background, anything drawn under its rounded clip) across Qt's global thread pool, as
    // many threads as there are cores, each ended 30 s after its last fill: every repaint
    // would start threads and every idle half minute end them. Tiles are small; one thread
    // that stays does those fills. Nothing else of the host runs on that pool.
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    QThreadPool::globalInstance()->setExpiryTimeout(-1);
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
    reportFirstPaint(host, err);
    // What the first paint does not need waits for it: the clock watch (a system bus
    // connection), the tray and the menus. With no tray to hold it, the menus (and the Qt
    // Widgets machinery behind them) are only built for the first right click on a widget.
    std::unique_ptr<ClockWatch> clock;
    std::unique_ptr<HostMenus> menus;
    QObject::connect(&host, &WidgetHost::startedUp, &host, [&] {
        clock = std::make_unique<ClockWatch>();
        QObject::connect(clock.get(), &ClockWatch::changed, &host, &WidgetHost::reevaluateAll);
        if (QSystemTrayIcon::isSystemTrayAvailable()) {
            menus = std::make_unique<HostMenus>(&host);
            return;
        }
        err << "velk-widgets: no system tray; add widgets from a placed widget's menu or with velk-widgets add KIND\n";
        err.flush();
    });
    QObject::connect(&host, &WidgetHost::menuRequested, &host, [&](const QString& id, QPoint globalPos) {
        if (menus) return; // they show it themselves
        menus = std::make_unique<HostMenus>(&host);
        menus->showWidgetMenu(id, globalPos);
    });
    if (const QString warning = host.start(); !warning.isEmpty()) {
        err << "velk-widgets: " << warning << '\n';
        err.flush();
    }
    scheduleScreenshot();
    const int status = QApplication::exec();
    if (!host.shutdown(kQuitWaitMs)) {
        // A provider blocked in a read or a request cannot be stopped, and normal exit would
        // run the plug-in's teardown under it: leave at once. Every change is saved already.
        err << "velk-widgets: a widget provider is still busy; quitting without waiting for it\n";
        err.flush();
        std::_Exit(status);
    }
    return status;
}

} // namespace velk::host
