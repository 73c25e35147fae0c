#pragma once
// The two closed option lists of the widget editor. Stored configurations keep the raw
// strings, so they never change; the titles are what the editor shows.
#include "platform/intents/AppEnum.h"

namespace velk {

// A widget's own background surface; followApp takes the surface of the app's theme settings.
enum class SurfaceOption { followApp, solid, glass, accent };

VELK_APP_ENUM(SurfaceOption, "Background", {SurfaceOption::followApp, "followApp", "Follow app setting"},
              {SurfaceOption::solid, "solid", "Solid"}, {SurfaceOption::glass, "glass", "Glass"},
              {SurfaceOption::accent, "accent", "Accent color"})

// The temperature unit of the weather-based widgets; system follows the locale's measurement
// system.
enum class TempUnitOption { system, celsius, fahrenheit };

VELK_APP_ENUM(TempUnitOption, "Units", {TempUnitOption::system, "system", "Follow system"},
              {TempUnitOption::celsius, "celsius", "Celsius"}, {TempUnitOption::fahrenheit, "fahrenheit", "Fahrenheit"})

} // namespace velk
