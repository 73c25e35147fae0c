#pragma once
// Sunrise, sunset and the moon's phase: pure computations for the daylight and moon widgets.
#include "platform/core/Date.h"
#include "shared/models/SkyRecords.h"

#include <optional>

namespace velk {

namespace SkyMath {

// Sunrise (rise true) or sunset at the place on the calendar day that holds `date` in the
// user's time zone, to the whole minute (seconds dropped); latitude and longitude in degrees,
// north and east positive. The sunset follows the sunrise of the same day, also where it falls
// after midnight (far north in summer) or on another UTC day (far east or west of Greenwich).
// Nothing when the sun does not cross the horizon that day (polar day and polar night alike).
std::optional<Date> solarEvent(bool rise, Date date, double latitude, double longitude);

// The moon's phase on `date`, from a mean lunation; dates before the reference new moon
// give the same phases as after it.
MoonInfo moon(Date date);

} // namespace SkyMath

} // namespace velk
