// The forecast document of the weather service.
#include "FuzzSupport.h"
#include "shared/data/weather/WeatherProvider.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace velk;
    fuzz::setUp();
    static const WeatherProvider::ForecastEnvironment env{fuzz::fixedNow(), TimeZone::utc(), Locale("en_US"), false};
    static const WeatherProvider::Place london{QStringLiteral("London"), 51.5072, -0.1276};
    WeatherProvider::parseForecast(fuzz::bytes(data, size), london, env);
    return 0;
}
