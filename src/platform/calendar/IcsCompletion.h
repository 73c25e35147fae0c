#pragma once
// Marking one to-do of an iCalendar file done or not done. The file is edited as text, so
// every other line (unknown properties and parameters, folding, line endings, other items)
// stays exactly as the user's calendar program or sync tool wrote it; only the to-do's STATUS,
// COMPLETED and PERCENT-COMPLETE lines are replaced.
#include "platform/core/Date.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace velk {

// The text with the to-do marked: done gives STATUS:COMPLETED, COMPLETED at `completedAt`
// (UTC) and PERCENT-COMPLETE:100; not done gives STATUS:NEEDS-ACTION and neither of the others.
// The to-do is the first one with that UID and no RECURRENCE-ID, or with an empty uid the
// `todoIndex`-th to-do of the file (from 0). Nothing, with `error` set, when there is no such
// to-do.
std::optional<QByteArray> withTodoCompletion(const QByteArray& text, const QString& uid, int todoIndex, bool done,
                                             std::optional<Date> completedAt, QString* error = nullptr);

} // namespace velk
