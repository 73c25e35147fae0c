#pragma once
// Starting VELK at login: an XDG autostart entry that runs `velk --login-item` (the services
// and the tray, no window). Registering writes the entry, unregistering removes it; both say
// whether they succeeded.
#include <QString>

namespace velk::app {

class LoginItem {
public:
    // $XDG_CONFIG_HOME/autostart/velk.desktop
    static QString entryPath();
    // The entry's text for the program at `program`.
    static QString entryText(const QString& program);

    static bool registerItem();
    static bool unregisterItem();
    static bool isRegistered();
};

} // namespace velk::app
