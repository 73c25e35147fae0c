#pragma once
// A date or date-time as an iCalendar file writes it: wall-clock fields plus how they are
// anchored (floating, UTC, or a named zone). Floating times and dates are anchored only when
// they are read, in the reader's current zone, so a change of zone moves them as the user
// expects ("09:00 wherever I am").
#include "platform/core/Date.h"
#include "platform/core/TimeZone.h"

#include <QString>
#include <memory>
#include <optional>

struct _icaltimezone;

namespace velk {

struct IcsTime {
    enum class Anchor { floating, utc, zone };

    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    bool isDate = false; // a whole day: no hour was given
    Anchor anchor = Anchor::floating;
    // With Anchor::zone, exactly one of these is set: a zone of the tz database, or the file's
    // own VTIMEZONE definition when its TZID names no zone we know.
    std::optional<TimeZone> zone;
    std::shared_ptr<_icaltimezone> fileZone;

    // The moment these fields name; floating times and dates in `current`. A wall time skipped
    // by a clock change moves forward by the skipped span. Nothing for impossible fields.
    std::optional<Date> resolve(const TimeZone& current) const;

    // The same anchoring with other wall fields (a recurrence instance of this time).
    IcsTime withWall(int y, int mo, int d, int h, int mi, int s) const;
    // The wall fields of a moment in this time's anchoring (floating: in `current`).
    IcsTime wallAt(Date moment, const TimeZone& current) const;

    // The key that names a recurrence instance: "20250307" for a date, the wall time
    // "20250307T093000" for a floating time, else the moment in UTC as "20250307T093000Z".
    QString instanceKey(const TimeZone& current) const;
};

// A tz database zone for a TZID as calendar programs write it: an identifier ("Europe/Paris"),
// one behind a path prefix ("/freeassociation.sourceforge.net/Europe/Paris"), or a Windows zone
// name ("W. Europe Standard Time"). Nothing when none of these matches.
std::optional<TimeZone> zoneForTzid(const QString& tzid);

} // namespace velk
