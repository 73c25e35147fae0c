#pragma once
// Sunrise, sunset and the moon's phase: pure computations for the daylight and moon widgets.
#include "platform/core/Date.h"
#include "shared/models/SkyRecords.h"

#include <optional>

namespace velk {

namespace SkyMath {

// Sunrise (rise true) or sunset on the UTC calendar day of `date`, to the whole minute
// (seconds dropped); latitude and longitude in degrees, north and east positive. Nothing when
// the sun does not cross the horizon that day (polar day and polar night alike).
std::optional<Date> solarEvent(bool rise, Date date, double latitude, double longitude);

// The moon's phase on `date`, from a mean lunation; dates before the reference new moon
// give the same phases as after it.
MoonInfo moon(Date date);

} // namespace SkyMath

} // namespace velk
