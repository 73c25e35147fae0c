#pragma once
// Logging categories of the system, all named "com.harrowcrest.velk.<category>". Messages go
// through Qt's default handler (stderr, or the journal when Qt was built for it), so the usual
// QT_LOGGING_RULES switch them on and off.
//
//   qCWarning(velk::lcDefaults) << "...";
//   qCInfo(velk::logCategory("media")) << "...";
#include <QLoggingCategory>

namespace velk {

Q_DECLARE_LOGGING_CATEGORY(lcMedia)
Q_DECLARE_LOGGING_CATEGORY(lcDefaults)
Q_DECLARE_LOGGING_CATEGORY(lcCalendar)
Q_DECLARE_LOGGING_CATEGORY(lcWeb)
Q_DECLARE_LOGGING_CATEGORY(lcHost)
Q_DECLARE_LOGGING_CATEGORY(lcWidgets)
Q_DECLARE_LOGGING_CATEGORY(lcSysinfo)

// The category "com.harrowcrest.velk.<name>": one of the declared ones when the name matches,
// otherwise created on first use and kept for the life of the process.
const QLoggingCategory& logCategory(const char* name);

} // namespace velk
