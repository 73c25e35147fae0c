#pragma once
// Wall-clock moments of the current day in the user's calendar, as the samples need them.
#include "platform/core/Date.h"

namespace velk {

// The moment today (the day of Clock::now() in the user's current calendar and zone) at which
// the clock shows hour:minute:00. A time skipped by a clock change gives the next time that
// exists; a time that occurs twice gives the first. Falls back to now when there is none.
Date todayAt(int hour, int minute);

} // namespace velk
