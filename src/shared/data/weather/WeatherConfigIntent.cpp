#include "shared/data/weather/WeatherConfigIntent.h"

#include "platform/core/Locale.h"

namespace velk {

WeatherSnapshot WeatherConfigIntent::localized(const WeatherSnapshot& snapshot) const
{
    switch (unit) {
    case TempUnitOption::celsius:
        return snapshot;
    case TempUnitOption::fahrenheit:
        return snapshot.inFahrenheit();
    case TempUnitOption::system:
        break;
    }
    return Locale::current().measurementSystem() == Locale::MeasurementSystem::us ? snapshot.inFahrenheit() : snapshot;
}

} // namespace velk
