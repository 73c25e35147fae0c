#include "shared/models/LocalTimes.h"

#include "platform/core/Calendar.h"
#include "platform/core/Clock.h"

namespace velk {

Date todayAt(int hour, int minute)
{
    const Date now = Clock::now();
    return Calendar::current()
        .date(hour, minute, 0, now, MatchingPolicy::nextTime, RepeatedTimePolicy::first)
        .value_or(now);
}

} // namespace velk
