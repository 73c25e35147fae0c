#include "widgets/extras/sky/SkyProviders.h"

#include "platform/core/Calendar.h"
#include "platform/core/Clock.h"
#include "shared/data/sky/SkyMath.h"
#include "shared/data/weather/AirQualityProvider.h"
#include "shared/widget/LocalProvider.h"

namespace velk {

WeatherProvider::Place selectedPlace(const WeatherConfigIntent& configuration)
{
    return configuration.place ? configuration.place->place() : WeatherProvider::defaultPlace();
}

// ---- daylight ---------------------------------------------------------------------------------

DaylightInfo DaylightTimelineProvider::info(const WeatherProvider::Place& place, Date now)
{
    const std::optional<Date> sunrise = SkyMath::solarEvent(true, now, place.latitude, place.longitude);
    if (!sunrise) return DaylightInfo::sample();
    const std::optional<Date> sunset = SkyMath::solarEvent(false, now, place.latitude, place.longitude);
    if (!sunset) return DaylightInfo::sample();
    // A sun that only grazes the horizon (the last days before polar night) can give a sunset a
    // minute before its sunrise: no day to draw.
    if (*sunset < *sunrise) return DaylightInfo::sample();
    return DaylightInfo{*sunrise, *sunset, place.name};
}

DaylightTimelineProvider::Entry DaylightTimelineProvider::placeholder(const timeline::TimelineContext&) const
{
    return Entry{Clock::now(), DaylightInfo::sample(), SurfaceOption::followApp};
}

DaylightTimelineProvider::Entry DaylightTimelineProvider::snapshot(const WeatherConfigIntent& configuration,
                                                                   const timeline::TimelineContext& context) const
{
    const Date now = Clock::now();
    if (context.isPreview) return Entry{now, DaylightInfo::sample(), configuration.surface};
    return Entry{now, info(selectedPlace(configuration), now), configuration.surface};
}

timeline::Timeline<DaylightTimelineProvider::Entry>
DaylightTimelineProvider::timeline(const WeatherConfigIntent& configuration, const timeline::TimelineContext&) const
{
    const Date now = Clock::now();
    const DaylightInfo data = info(selectedPlace(configuration), now);
    const Calendar calendar = Calendar::current();
    timeline::Timeline<Entry> t;
    for (int minutes : {0, 10, 20}) {
        const Date at =
            calendar.date(CalendarComponent::minute, minutes, now, false).value_or(now.addingSeconds(60.0 * minutes));
        t.entries.push_back(Entry{at, data, configuration.surface});
    }
    t.policy = timeline::ReloadPolicy::after(
        calendar.date(CalendarComponent::minute, 30, now, false).value_or(now.addingSeconds(1800)));
    return t;
}

// ---- air quality ------------------------------------------------------------------------------

AirQualityTimelineProvider::Entry AirQualityTimelineProvider::placeholder(const timeline::TimelineContext&) const
{
    return Entry{Clock::now(), AirQualitySnapshot::sample(), SurfaceOption::followApp};
}

AirQualityTimelineProvider::Entry AirQualityTimelineProvider::snapshot(const WeatherConfigIntent& configuration,
                                                                       const timeline::TimelineContext& context) const
{
    if (context.isPreview) return Entry{Clock::now(), AirQualitySnapshot::sample(), configuration.surface};
    AirQualitySnapshot data =
        AirQualityProvider::snapshot(selectedPlace(configuration)).value_or(AirQualitySnapshot::sample());
    return Entry{Clock::now(), std::move(data), configuration.surface};
}

timeline::Timeline<AirQualityTimelineProvider::Entry>
AirQualityTimelineProvider::timeline(const WeatherConfigIntent& configuration, const timeline::TimelineContext&) const
{
    const std::optional<AirQualitySnapshot> reading = AirQualityProvider::snapshot(selectedPlace(configuration));
    Entry entry{Clock::now(), reading.value_or(AirQualitySnapshot::sample()), configuration.surface};
    return {{std::move(entry)}, timeline::ReloadPolicy::after(reloadDateAfterMinutes(reading ? 30 : 15))};
}

} // namespace velk
