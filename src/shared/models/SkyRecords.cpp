#include "shared/models/SkyRecords.h"

#include "platform/core/Calendar.h"
#include "platform/core/Clock.h"
#include "shared/models/LocalTimes.h"

#include <algorithm>
#include <cmath>

namespace velk {

QString AirQualitySnapshot::category() const
{
    if (aqi <= 50) return QStringLiteral("Good");
    if (aqi <= 100) return QStringLiteral("Moderate");
    if (aqi <= 150) return QStringLiteral("Unhealthy for some");
    if (aqi <= 200) return QStringLiteral("Unhealthy");
    if (aqi <= 300) return QStringLiteral("Very unhealthy");
    return QStringLiteral("Hazardous");
}

AirQualitySnapshot AirQualitySnapshot::sample()
{
    return AirQualitySnapshot{42, Clock::now()};
}

QString DaylightInfo::lengthLabel() const
{
    // Dates read from a stored document can be absurdly far apart; keep the minute count
    // within what an integer holds rather than overflow.
    const double minutes = std::trunc(sunset.secondsSince(sunrise) / 60.0);
    constexpr double limit = 9.2e18;
    const qint64 total = std::isnan(minutes) ? 0 : qint64(std::clamp(minutes, -limit, limit));
    const qint64 hours = total / 60;
    const qint64 rest = total - 60 * hours;
    return QStringLiteral("%1H %2M").arg(hours).arg(rest);
}

DaylightInfo DaylightInfo::sample()
{
    return DaylightInfo{todayAt(5, 2), todayAt(20, 42), QStringLiteral("London")};
}

QString MoonInfo::detail() const
{
    if (daysToFull == 0) return QStringLiteral("Full moon tonight");
    if (daysToNew == 0) return QStringLiteral("New moon tonight");
    if (waxing) return QStringLiteral("Full in %1 days").arg(daysToFull);
    return QStringLiteral("New in %1 days").arg(daysToNew);
}

YearInfo YearInfo::current(Date date)
{
    const Calendar calendar = Calendar::current();
    YearInfo info;
    info.year = calendar.component(CalendarComponent::year, date);
    info.dayOfYear = calendar.ordinality(CalendarComponent::day, CalendarComponent::year, date).value_or(1);
    if (const auto days = calendar.range(CalendarComponent::day, CalendarComponent::year, date))
        info.daysInYear = days->count();
    return info;
}

} // namespace velk
