#pragma once
// Where VELK keeps its files: the private data root $XDG_DATA_HOME/velk (the defaults store,
// calendars) and the container shared by the processes of an app group,
// $XDG_DATA_HOME/velk/group/<suite>/. The root follows XDG_DATA_HOME, so tests point it at a
// temporary folder.
#include <QString>
#include <optional>

namespace velk {

class GroupContainer {
public:
    // $XDG_DATA_HOME/velk (~/.local/share/velk when XDG_DATA_HOME is unset or not absolute).
    // Only computed; nothing is created.
    static QString dataRoot();

    // The group's container folder, created on demand (missing levels 0700). Nothing when the
    // suite is not a plain folder name or the folder cannot be created.
    static std::optional<QString> url(const QString& suite);

    // Creates the folder and any missing parents, each new one with mode 0700; an existing
    // folder keeps its mode. True when the folder exists afterwards.
    static bool makePrivateDirectory(const QString& path);

    // A suite or application name that can stand as one file or folder name.
    static bool isPlainName(const QString& name);
};

} // namespace velk
