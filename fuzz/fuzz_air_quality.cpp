// The air-quality document.
#include "FuzzSupport.h"
#include "shared/data/weather/AirQualityProvider.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    velk::fuzz::setUp();
    velk::AirQualityProvider::parseIndex(velk::fuzz::bytes(data, size));
    return 0;
}
