#pragma once
// `velk-widgets` with no command: the desktop host as a program. Takes the D-Bus name (one
// host per session), shows the placed widgets, offers the menus and watches the clock.
#include "platform/intents/IntentRegistry.h"
#include "platform/timeline/WidgetBundle.h"

#include <QProcessEnvironment>
#include <QTextStream>

namespace velk::host {

// Why the host cannot show windows in this environment (no Wayland or X display, and no
// platform chosen), or "" when it can. Checked before Qt picks a platform, which would abort.
QString missingDisplay(const QProcessEnvironment& env);

// Runs until the application quits; the exit status of the program. Needs a QApplication.
int runDesktopHost(const timeline::WidgetBundle& bundle, const intents::IntentRegistry& registry, QTextStream& err);

} // namespace velk::host
