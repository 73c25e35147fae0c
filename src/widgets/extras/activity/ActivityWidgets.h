#pragma once
// The activity widgets: focus timer, stopwatch, habits, countdown, steps and water.
#include "platform/timeline/Timeline.h"
#include "platform/timeline/WidgetDefinition.h"
#include "shared/models/ActivityRecords.h"
#include "shared/widget/SurfaceConfigIntent.h"
#include "shared/widget/VelkEntry.h"

namespace velk {

struct FocusWidget {
    // The stored session (none stored: idle, 25 minutes), reloaded when a running session ends
    // and turns idle, otherwise after an hour.
    struct Provider {
        using Entry = VelkEntry<FocusSession>;

        Entry placeholder(const timeline::TimelineContext&) const;
        Entry snapshot(const SurfaceConfigIntent& configuration, const timeline::TimelineContext& context) const;
        timeline::Timeline<Entry> timeline(const SurfaceConfigIntent& configuration,
                                           const timeline::TimelineContext&) const;

        static FocusSession stored();
    };

    timeline::WidgetDefinition body() const;
};

struct StopwatchWidget {
    // The stored state, or stopped with no laps.
    static StopwatchState stored();
    timeline::WidgetDefinition body() const;
};

struct HabitsWidget {
    timeline::WidgetDefinition body() const;
};

struct CountdownWidget {
    timeline::WidgetDefinition body() const;
};

struct StepsWidget {
    timeline::WidgetDefinition body() const;
};

struct WaterWidget {
    timeline::WidgetDefinition body() const;
};

} // namespace velk
