#include "shared/models/WeatherRecords.h"

#include "platform/core/Clock.h"

#include <algorithm>
#include <cmath>

namespace velk {

QString WeatherSnapshot::symbol(qint64 code, bool isNight)
{
    const auto in = [code](qint64 lo, qint64 hi) { return code >= lo && code <= hi; };
    if (in(0, 1)) return isNight ? QStringLiteral("moon.stars") : QStringLiteral("sun.max");
    if (code == 2) return isNight ? QStringLiteral("cloud.moon") : QStringLiteral("cloud.sun");
    if (code == 3) return QStringLiteral("cloud");
    if (code == 45 || code == 48) return QStringLiteral("cloud.fog");
    if (in(51, 57)) return QStringLiteral("cloud.drizzle");
    if (in(61, 67)) return QStringLiteral("cloud.rain");
    if (in(71, 77) || code == 85 || code == 86) return QStringLiteral("cloud.snow");
    if (in(80, 82)) return QStringLiteral("cloud.heavyrain");
    if (in(95, 99)) return QStringLiteral("cloud.bolt.rain");
    return isNight ? QStringLiteral("moon") : QStringLiteral("sun.max");
}

namespace {
qint64 toFahrenheit(qint64 celsius)
{
    const double c = double(celsius);
    // A corrupt cached document can hold any integer; past the integer range the conversion
    // saturates instead of being undefined. Every real temperature is far inside it.
    const double f = std::round(c * 9.0 / 5.0 + 32.0);
    constexpr double limit = 9.2e18;
    return qint64(std::clamp(f, -limit, limit));
}
} // namespace

WeatherSnapshot WeatherSnapshot::inFahrenheit() const
{
    WeatherSnapshot f = *this;
    f.temperature = toFahrenheit(temperature);
    f.high = toFahrenheit(high);
    f.low = toFahrenheit(low);
    f.feelsLike = toFahrenheit(feelsLike);
    for (Day& d : f.days) {
        d.high = toFahrenheit(d.high);
        d.low = toFahrenheit(d.low);
    }
    return f;
}

WeatherSnapshot WeatherSnapshot::sample()
{
    return WeatherSnapshot{
        QStringLiteral("London"),
        23,
        QStringLiteral("Partly cloudy"),
        27,
        18,
        25,
        false,
        {
            {QStringLiteral("Thu"), 26, 17, false},
            {QStringLiteral("Fri"), 28, 19, false},
            {QStringLiteral("Sat"), 31, 21, true},
            {QStringLiteral("Sun"), 27, 18, false},
            {QStringLiteral("Mon"), 24, 16, false},
            {QStringLiteral("Tue"), 22, 15, false},
        },
        0.4,
        {
            {QStringLiteral("17"), 0.25, false},
            {QStringLiteral("19"), 0.375, false},
            {QStringLiteral("21"), 0.625, false},
            {QStringLiteral("23"), 1.0, true},
            {QStringLiteral("01"), 0.75, false},
            {QStringLiteral("03"), 0.375, false},
            {QStringLiteral("05"), 0.125, false},
        },
        Clock::now(),
        2,
    };
}

} // namespace velk
