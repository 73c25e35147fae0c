#pragma once
// 12- or 24-hour clock text: the user's choice in the shared suite ("velk.timeformat": 12 or
// 24), else what the current locale prefers. Read afresh at every call, so a changed setting
// shows at the very next render; callable from any thread. Clock text is always formatted in the POSIX locale, so its
// digits are ASCII and no locale changes the pattern; only the 12/24-hour choice follows the
// user.
#include "platform/core/Date.h"
#include "platform/core/TimeZone.h"

#include <QString>

namespace velk {

namespace ClockFormat {
inline const QString kTimeFormatKey = QStringLiteral("velk.timeformat");

bool uses24Hour();
// "HH:mm" on a 24-hour clock, else "h:mm" (no AM/PM).
QString hhmm(Date date, const TimeZone& timeZone);

struct Parts {
    QString hh;
    QString mm;
    friend bool operator==(const Parts&, const Parts&) = default;
};
// Hour digits ("HH" or "h") and minute digits ("mm") of the same moment.
Parts parts(Date date, const TimeZone& timeZone);

// The zone's offset from GMT at `at`, daylight saving included: "GMT+0", "GMT-5",
// "GMT+5:30". Seconds under a whole minute are dropped.
QString gmtLabel(const TimeZone& timeZone, Date at);

} // namespace ClockFormat

} // namespace velk
