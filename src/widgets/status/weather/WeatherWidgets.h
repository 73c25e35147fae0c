#pragma once
// The four weather widgets. They share one provider and one configuration, so each placed
// widget has its own place, unit and background; a tap opens the weather app.
#include "platform/timeline/WidgetDefinition.h"

namespace velk {

inline const char* const kWeatherWidgetURL = "velkwidgets://open/weather";

struct WeatherCurrentWidget {
    timeline::WidgetDefinition body() const;
};

struct WeatherNightWidget {
    timeline::WidgetDefinition body() const;
};

struct WeatherForecastWidget {
    timeline::WidgetDefinition body() const;
};

struct WeatherRainWidget {
    timeline::WidgetDefinition body() const;
};

} // namespace velk
