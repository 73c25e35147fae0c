#pragma once
// The moon, daylight and air-quality widgets. Each is made with no arguments; body() declares it.
#include "platform/timeline/WidgetDefinition.h"

namespace velk {

struct MoonWidget {
    timeline::WidgetDefinition body() const;
};

struct DaylightWidget {
    timeline::WidgetDefinition body() const;
};

struct AirQualityWidget {
    timeline::WidgetDefinition body() const;
};

} // namespace velk
