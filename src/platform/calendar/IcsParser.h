#pragma once
// Reading one iCalendar file into the to-dos and events the store answers with. A pure function
// of the file's text: nothing is resolved against the clock or the current zone here.
//
// A file that is not iCalendar at all (or is cut short) gives ok = false. Inside a good file, a
// to-do or event with a value that could not be read (a due date or start that is not a date,
// an event without a start) is left out and named in `problems`; the rest of the file stands.
// Cancelled items are left out silently: nothing is due or happening. A cancelled instance of a
// repeating event is kept as a cancelled event, so that the instance it names is removed.
//
// Content lines longer than kMaxIcsLineBytes are left out (named in `problems`), and the rules
// of a VTIMEZONE that change its offset more often than a zone does are not honoured (see
// FileZones in the source).
#include "platform/calendar/IcsTime.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace velk {

constexpr qsizetype kMaxIcsLineBytes = 64 * 1024;

struct ParsedReminder {
    QString uid;       // empty when the file gives none
    int todoIndex = 0; // position among the file's to-dos, counted over every one in file order
    QString title;
    std::optional<IcsTime> due;
    bool completed = false;
    std::optional<IcsTime> completedAt;
};

// A DURATION: `days` are calendar days (a day across a clock change ends at the same wall time
// the next day), `seconds` elapsed time after them. Both negative for a negative duration.
struct IcsDuration {
    qint64 days = 0;
    qint64 seconds = 0;
};

// One RDATE: an instance's start, and for a period its own end or length.
struct ParsedRdate {
    IcsTime start;
    std::optional<IcsTime> end;
    std::optional<IcsDuration> duration;
};

struct ParsedEvent {
    QString uid;
    int eventIndex = 0; // position among the file's events, in file order
    QString title;
    QString location;
    IcsTime start;
    std::optional<IcsTime> end;          // DTEND
    std::optional<IcsDuration> duration; // DURATION, when there is no DTEND
    QString rrule;                       // the RRULE value, empty for a single event
    std::vector<IcsTime> exdates;
    std::vector<ParsedRdate> rdates;
    std::optional<IcsTime> recurrenceId; // this event replaces one instance of a series
    // With a recurrenceId: the instance is cancelled, and this event shows nothing in its place.
    bool cancelled = false;
};

struct ParsedCalendarFile {
    bool ok = false;
    std::vector<ParsedReminder> reminders;
    std::vector<ParsedEvent> events;
    QStringList problems;
};

ParsedCalendarFile parseCalendarText(const QByteArray& text);

} // namespace velk
