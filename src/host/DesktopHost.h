#pragma once
// `velk-widgets` with no command: the desktop host as a program. Takes the D-Bus name (one
// host per session), shows the placed widgets, offers the menus and watches the clock.
#include "platform/intents/IntentRegistry.h"
#include "platform/timeline/WidgetBundle.h"

#include <QTextStream>

namespace velk::host {

// Runs until the application quits; the exit status of the program. Needs a QApplication.
int runDesktopHost(const timeline::WidgetBundle& bundle, const intents::IntentRegistry& registry, QTextStream& err);

} // namespace velk::host
