#pragma once
// The configuration of the weather-based widgets (conditions, forecast, rain, daylight, air
// quality): the place, the temperature unit and the background.
#include "platform/intents/Intent.h"
#include "shared/data/weather/WeatherPlaceEntity.h"
#include "shared/models/WeatherRecords.h"
#include "shared/widget/OptionEnums.h"

#include <optional>

namespace velk {

struct WeatherConfigIntent {
    static constexpr const char* typeName = "WeatherConfigIntent";
    static constexpr const char* title = "Weather Options";

    std::optional<WeatherPlaceEntity> place;
    TempUnitOption unit = TempUnitOption::system;
    SurfaceOption surface = SurfaceOption::followApp;

    static auto parameters()
    {
        return std::make_tuple(intents::parameter("place", "Place", &WeatherConfigIntent::place),
                               intents::parameter("unit", "Units", &WeatherConfigIntent::unit),
                               intents::parameter("surface", "Background", &WeatherConfigIntent::surface));
    }

    // The snapshot (in Celsius, as fetched) in the unit to show: Fahrenheit when chosen, or
    // when following the system in a locale that measures the US way.
    WeatherSnapshot localized(const WeatherSnapshot& snapshot) const;

    friend bool operator==(const WeatherConfigIntent&, const WeatherConfigIntent&) = default;
};

} // namespace velk
