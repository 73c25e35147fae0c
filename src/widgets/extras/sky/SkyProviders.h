#pragma once
// The daylight and air-quality timelines, for the configured place or the default one. The
// air-quality fetch blocks: the host calls providers on worker threads.
#include "platform/timeline/Timeline.h"
#include "shared/data/weather/WeatherConfigIntent.h"
#include "shared/models/SkyRecords.h"
#include "shared/widget/VelkEntry.h"

namespace velk {

// The configured place, else the default place.
WeatherProvider::Place selectedPlace(const WeatherConfigIntent& configuration);

// Three entries ten minutes apart so the sun moves along its arc, then a reload after 30 minutes.
struct DaylightTimelineProvider {
    using Entry = VelkEntry<DaylightInfo>;

    Entry placeholder(const timeline::TimelineContext&) const;
    Entry snapshot(const WeatherConfigIntent& configuration, const timeline::TimelineContext& context) const;
    timeline::Timeline<Entry> timeline(const WeatherConfigIntent& configuration,
                                       const timeline::TimelineContext&) const;

    // The sunrise and the sunset at the place on the user's day that holds `now`; the sample
    // when the sun does not rise or set there that day.
    static DaylightInfo info(const WeatherProvider::Place& place, Date now);
};

// One entry of the place's index (or the sample), then a reload after 30 minutes, or after 15
// when nothing could be had.
struct AirQualityTimelineProvider {
    using Entry = VelkEntry<AirQualitySnapshot>;

    Entry placeholder(const timeline::TimelineContext&) const;
    Entry snapshot(const WeatherConfigIntent& configuration, const timeline::TimelineContext& context) const;
    timeline::Timeline<Entry> timeline(const WeatherConfigIntent& configuration,
                                       const timeline::TimelineContext&) const;
};

} // namespace velk
