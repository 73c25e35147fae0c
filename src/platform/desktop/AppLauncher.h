#pragma once
// Starting the user's chosen application for a role (the default handler of a MIME type or URL
// scheme, as the desktop's "default applications" settings record it in mimeapps.list) from
// its desktop file, in the background: the new program does not take the focus from the
// caller and is not waited for.
#include <QString>
#include <QStringList>
#include <optional>

namespace velk {

class AppLauncher {
public:
    // The desktop-file id ("org.example.Mail.desktop") of the default application for a MIME
    // type such as "x-scheme-handler/mailto", or nothing. Reads the mimeapps.list files in the
    // XDG order ($XDG_CONFIG_HOME, $XDG_CONFIG_DIRS, then the data folders' applications/).
    static std::optional<QString> defaultApplication(const QString& mimeType);

    // The [Default Applications] choice for a MIME type in one mimeapps.list text.
    static std::optional<QString> defaultIn(const QByteArray& mimeappsList, const QString& mimeType);

    // The program and arguments of a desktop entry's Exec line, field codes dropped; nothing
    // when the line is empty or its quoting is broken.
    static std::optional<QStringList> commandLine(const QString& exec);

    // Starts the desktop file's program detached; false when it cannot be found or started.
    static bool launch(const QString& desktopId);
};

} // namespace velk
