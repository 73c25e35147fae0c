#pragma once
// Finding and loading the VelkWidgets plug-in. Where it may be, in order: the path in
// VELK_WIDGETS_PLUGIN (a file, or the folder holding it) and nowhere else when that is set;
// otherwise next to the program, then in the install's lib directory.
#include "platform/timeline/WidgetBundle.h"

#include <QString>
#include <QStringList>

namespace velk::host {

struct PluginSearch {
    QString override;   // VELK_WIDGETS_PLUGIN
    QString programDir; // the folder of the running program
    QString libDir;     // the install's lib directory, relative to the install prefix
    QString fileName;   // the plug-in's file name

    // The search of this program, from its environment and its own location.
    static PluginSearch forThisProgram();
};

QStringList pluginCandidates(const PluginSearch& search);

struct LoadedPlugin {
    timeline::WidgetBundle bundle;
    QString path;  // the file loaded
    QString error; // one line; empty when loaded

    bool ok() const { return error.isEmpty(); }
};

// Loads the first candidate that exists and takes its bundle; the module stays loaded for the
// life of the process, as the bundle's widgets run its code.
LoadedPlugin loadWidgetPlugin(const QStringList& candidates);

} // namespace velk::host
