#pragma once
// The instances of one event that meet a span of time: the event itself, or for a repeating
// event every instance its RRULE and RDATEs give, less its EXDATEs and the instances that other
// events of the file replace (RECURRENCE-ID).
#include "platform/calendar/IcsParser.h"
#include "platform/calendar/RecurrenceCheck.h"

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
//
// A repeating event whose rule never gives an instance, or costs more than its share of
// `budget` (the file's) to expand, gives nothing and says why in `skipped`. Without a budget
// the event gets one of its own.
std::vector<EventOccurrence> eventOccurrences(const ParsedEvent& event, Date from, Date to, const TimeZone& current,
                                              const QSet<QString>& replacedKeys = {},
                                              RecurrenceBudget* budget = nullptr, QString* skipped = nullptr);

} // namespace velk
