#pragma once
// The timeline of the four weather widgets: the configured place's forecast (from the shared
// per-place cache while it is fresh, else from the forecast service) in the configured unit,
// in three entries ten minutes apart. A fetch that gives nothing shows the built-in sample and
// is retried sooner. Never fails: every call returns entries.
#include "platform/timeline/Timeline.h"
#include "shared/data/weather/WeatherConfigIntent.h"
#include "shared/data/weather/WeatherProvider.h"
#include "shared/models/WeatherRecords.h"
#include "shared/widget/VelkEntry.h"

#include <array>

namespace velk {

struct WeatherTimelineProvider {
    using Entry = VelkEntry<WeatherSnapshot>;

    // Minutes after the moment of the timeline at which its entries start, in order.
    static constexpr std::array<int, 3> kEntryOffsets{0, 10, 20};
    static constexpr int kReloadMinutes = 30;
    // After a fetch that gave nothing: the sample stays up only until the next attempt.
    static constexpr int kRetryMinutes = 10;

    // The sample as it stands: no place lookup, no fetch, no unit conversion.
    Entry placeholder(const timeline::TimelineContext&) const;
    // A gallery preview shows the sample unconverted; a placed widget one fresh entry.
    Entry snapshot(const WeatherConfigIntent& configuration, const timeline::TimelineContext& context) const;
    timeline::Timeline<Entry> timeline(const WeatherConfigIntent& configuration,
                                       const timeline::TimelineContext& context) const;

    // The configured place, else the default one (the measured location, the stored default or
    // the current zone's city).
    static WeatherProvider::Place place(const WeatherConfigIntent& configuration);
};

} // namespace velk
