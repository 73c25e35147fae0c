// The place search answer of the geocoding service.
#include "FuzzSupport.h"
#include "shared/data/weather/WeatherProvider.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    velk::fuzz::setUp();
    velk::WeatherProvider::parsePlaces(velk::fuzz::bytes(data, size));
    return 0;
}
