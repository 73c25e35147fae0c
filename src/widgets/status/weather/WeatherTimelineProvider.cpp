#include "widgets/status/weather/WeatherTimelineProvider.h"

#include "platform/core/Clock.h"
#include "shared/widget/LocalProvider.h"

#include <optional>

namespace velk {

WeatherProvider::Place WeatherTimelineProvider::place(const WeatherConfigIntent& configuration)
{
    return configuration.place ? configuration.place->place() : WeatherProvider::defaultPlace();
}

WeatherTimelineProvider::Entry WeatherTimelineProvider::placeholder(const timeline::TimelineContext&) const
{
    return Entry{Clock::now(), WeatherSnapshot::sample(), SurfaceOption::followApp};
}

WeatherTimelineProvider::Entry WeatherTimelineProvider::snapshot(const WeatherConfigIntent& configuration,
                                                                 const timeline::TimelineContext& context) const
{
    if (context.isPreview) return Entry{Clock::now(), WeatherSnapshot::sample(), configuration.surface};
    const std::optional<WeatherSnapshot> fetched = WeatherProvider::snapshot(place(configuration));
    WeatherSnapshot data = configuration.localized(fetched.value_or(WeatherSnapshot::sample()));
    // Dated after the fetch: a slow answer must not date the entry before it was made.
    return Entry{Clock::now(), std::move(data), configuration.surface};
}

timeline::Timeline<WeatherTimelineProvider::Entry>
WeatherTimelineProvider::timeline(const WeatherConfigIntent& configuration, const timeline::TimelineContext&) const
{
    const std::optional<WeatherSnapshot> fetched = WeatherProvider::snapshot(place(configuration));
    const WeatherSnapshot data = configuration.localized(fetched.value_or(WeatherSnapshot::sample()));

    timeline::Timeline<Entry> result;
    // Each entry's date is counted from its own reading of the clock, in the user's calendar.
    for (const int offset : kEntryOffsets)
        result.entries.push_back(Entry{reloadDateAfterMinutes(offset), data, configuration.surface});
    result.policy = timeline::ReloadPolicy::after(reloadDateAfterMinutes(fetched ? kReloadMinutes : kRetryMinutes));
    return result;
}

} // namespace velk
