#pragma once
// Logging categories of the system, all named "com.harrowcrest.velk.<category>". Messages go
// through Qt's default handler (stderr, or the journal when Qt was built for it), so the usual
// QT_LOGGING_RULES switch them on and off.
//
//   qCWarning(velk::lcDefaults) << "...";
//
// Every category is declared here; none is made up from a string at run time.
#include <QLoggingCategory>

namespace velk {

Q_DECLARE_LOGGING_CATEGORY(lcMedia)
Q_DECLARE_LOGGING_CATEGORY(lcDefaults)
Q_DECLARE_LOGGING_CATEGORY(lcCalendar)
Q_DECLARE_LOGGING_CATEGORY(lcWeb)
Q_DECLARE_LOGGING_CATEGORY(lcHost)
Q_DECLARE_LOGGING_CATEGORY(lcWidgets)
Q_DECLARE_LOGGING_CATEGORY(lcSysinfo)
Q_DECLARE_LOGGING_CATEGORY(lcNotifications)
Q_DECLARE_LOGGING_CATEGORY(lcIntents)
Q_DECLARE_LOGGING_CATEGORY(lcGeneral)

// The declared category "com.harrowcrest.velk.<name>", for callers that name it; a name that is
// not declared gives lcGeneral ("com.harrowcrest.velk.general"). Prefer the lc... names.
const QLoggingCategory& logCategory(const char* name);

} // namespace velk
