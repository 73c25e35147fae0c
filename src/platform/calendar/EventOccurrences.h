#pragma once
// The instances of one event that meet a span of time: the event itself, or for a repeating
// event every instance its RRULE and RDATEs give, less its EXDATEs and the instances that other
// events of the file replace (RECURRENCE-ID).
#include "platform/calendar/IcsParser.h"

#include <QSet>
#include <QString>
#include <vector>

namespace velk {

struct EventOccurrence {
    Date start;
    Date end;
    bool allDay = false;
    QString instanceKey; // empty for an event that does not repeat
};

// Instances overlapping [from, to): starting before `to` and ending after `from` (an instance
// of no length counts when it starts within the span). Floating times and dates are read in
// `current`. In start order.
std::vector<EventOccurrence> eventOccurrences(const ParsedEvent& event, Date from, Date to,
                                              const TimeZone& current, const QSet<QString>& replacedKeys = {});

} // namespace velk
