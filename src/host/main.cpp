// velk-widgets: for now its headless commands (list, render, tree, timeline, run-intent).
#include "host/WidgetCommands.h"
#include "host/WidgetPlugin.h"

#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char** argv)
{
    using namespace velk::host;
    // The commands never show a window, so they need no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("velk-widgets"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    const CommandLine line = parseCommandLine(app.arguments().mid(1));
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
    return WidgetCommands(plugin.bundle, velk::intents::IntentRegistry::shared()).run(line.command, out, err);
}
