// The stock chart document.
#include "FuzzSupport.h"
#include "shared/data/stocks/StocksProvider.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace velk;
    fuzz::setUp();
    static const TimeZone newYork = *TimeZone::named(QStringLiteral("America/New_York"));
    StocksProvider::parseChart(fuzz::bytes(data, size), QStringLiteral("AAPL"), fuzz::fixedNow(), newYork,
                               Locale("en_US"));
    return 0;
}
