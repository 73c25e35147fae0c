// velk-widgets: with no command the desktop host; otherwise its headless commands (list,
// render, tree, timeline, run-intent) and the placement commands (add, remove, placed).
#include "host/DesktopHost.h"
#include "host/PlacementCommands.h"
#include "host/WidgetCommands.h"
#include "host/WidgetPlugin.h"
#include "platform/core/ExitWait.h"

#include <QApplication>
#include <QTextStream>
#include <cstdio>
#include <malloc.h>
#include <memory>

int main(int argc, char** argv)
{
    velk::waitForOtherThreadsAtExit();
    using namespace velk::host;
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const CommandLine line = parseCommandLine(args);
    const bool desktop = line.ok() && line.command.verb == Verb::host;
    // The host runs for the whole session with a few worker threads that each would get a
    // malloc arena of their own, keeping what they freed; two arenas serve them all.
    if (desktop) mallopt(M_ARENA_MAX, 2);
    // The commands never show a window, so they need no display.
    if (!desktop) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (const QString why = desktop ? missingDisplay(QProcessEnvironment::systemEnvironment()) : QString();
        !why.isEmpty()) {
        std::fprintf(stderr, "velk-widgets: %s\n", qPrintable(why));
        return kExitFailed;
    }
    std::unique_ptr<QGuiApplication> app(desktop ? new QApplication(argc, argv) : new QGuiApplication(argc, argv));
    QGuiApplication::setApplicationName(QStringLiteral("velk-widgets"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    if (!line.ok()) {
        err << "velk-widgets: " << line.error << '\n';
        return kExitUsage;
    }
    if (line.command.verb == Verb::help) {
        out << usageText();
        return kExitOk;
    }
    const LoadedPlugin plugin = loadWidgetPlugin(pluginCandidates(PluginSearch::forThisProgram()));
    if (!plugin.ok()) {
        err << "velk-widgets: " << plugin.error << '\n';
        return kExitFailed;
    }
    switch (line.command.verb) {
    case Verb::host:
        return runDesktopHost(plugin.bundle, velk::intents::IntentRegistry::shared(), err);
    case Verb::add:
    case Verb::remove:
    case Verb::placed:
        return runPlacementCommand(line.command, plugin.bundle, PlacementStore(), out, err);
    default:
        return WidgetCommands(plugin.bundle, velk::intents::IntentRegistry::shared()).run(line.command, out, err);
    }
}
