#include "host/WidgetPlugin.h"

#include "platform/timeline/WidgetExtension.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

namespace velk::host {

PluginSearch PluginSearch::forThisProgram()
{
    PluginSearch s;
    s.override = qEnvironmentVariable("VELK_WIDGETS_PLUGIN");
    s.programDir = QCoreApplication::applicationDirPath();
    s.libDir = QStringLiteral(VELK_INSTALL_LIBDIR);
    s.fileName = QStringLiteral(VELK_PLUGIN_FILE_NAME);
    return s;
}

QStringList pluginCandidates(const PluginSearch& s)
{
    if (!s.override.isEmpty()) {
        if (QFileInfo(s.override).isDir()) return {QDir(s.override).filePath(s.fileName)};
        return {s.override};
    }
    const QDir program(s.programDir);
    return {program.filePath(s.fileName),
            QDir::cleanPath(program.filePath(QStringLiteral("../%1/velk/%2").arg(s.libDir, s.fileName)))};
}

LoadedPlugin loadWidgetPlugin(const QStringList& candidates)
{
    LoadedPlugin result;
    for (const QString& path : candidates) {
        if (!QFileInfo(path).isFile()) continue;
        result.path = path;
        QPluginLoader loader(path);
        QObject* root = loader.instance();
        if (!root) {
            result.error = QStringLiteral("cannot load the widget plug-in %1: %2").arg(path, loader.errorString());
            return result;
        }
        auto* extension = qobject_cast<timeline::WidgetExtension*>(root);
        if (!extension) {
            result.error = QStringLiteral("%1 is not a VelkWidgets plug-in").arg(path);
            return result;
        }
        result.bundle = extension->bundle();
        return result;
    }
    result.error =
        QStringLiteral("the widget plug-in was not found (looked for %1); set VELK_WIDGETS_PLUGIN to its path")
            .arg(candidates.join(QStringLiteral(", ")));
    return result;
}

} // namespace velk::host
