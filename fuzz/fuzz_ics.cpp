// The iCalendar reader: parsing, expanding every event over a month with one file's budget,
// and marking each to-do done as the store would save it.
#include "FuzzSupport.h"
#include "platform/calendar/EventOccurrences.h"
#include "platform/calendar/IcsCompletion.h"
#include "platform/calendar/IcsParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace velk;
    fuzz::setUp();
    const QByteArray text = fuzz::bytes(data, size);
    const ParsedCalendarFile parsed = parseCalendarText(text);
    const TimeZone zone = TimeZone::utc();
    const Date from = fuzz::fixedNow();
    RecurrenceBudget budget;
    for (const ParsedEvent& e : parsed.events) {
        QString skipped;
        eventOccurrences(e, from, from.addingSeconds(31 * 86400.0), zone, {}, &budget, &skipped);
    }
    for (const ParsedReminder& r : parsed.reminders) {
        for (bool done : {true, false}) {
            if (const auto changed = withTodoCompletion(text, r.uid, r.todoIndex, done, from))
                parseCalendarText(*changed);
        }
        for (const auto& t : {r.due, r.completedAt})
            if (t) t->resolve(zone);
    }
    return 0;
}
