#pragma once
// The clock providers: one entry per minute for the coming hour, each carrying the widget's
// configuration itself, so the zones are looked up again whenever an entry is drawn. A clock
// reads no data source and none of these calls can fail or block.
#include "platform/timeline/Timeline.h"
#include "shared/data/config/ConfigIntents.h"
#include "shared/widget/VelkEntry.h"

namespace velk {

struct ClockProvider {
    using Entry = VelkEntry<ClockConfigIntent>;
    Entry placeholder(const timeline::TimelineContext& context) const;
    Entry snapshot(const ClockConfigIntent& configuration, const timeline::TimelineContext& context) const;
    timeline::Timeline<Entry> timeline(const ClockConfigIntent& configuration,
                                       const timeline::TimelineContext& context) const;
};

struct WorldClockProvider {
    using Entry = VelkEntry<WorldClockConfigIntent>;
    Entry placeholder(const timeline::TimelineContext& context) const;
    Entry snapshot(const WorldClockConfigIntent& configuration, const timeline::TimelineContext& context) const;
    timeline::Timeline<Entry> timeline(const WorldClockConfigIntent& configuration,
                                       const timeline::TimelineContext& context) const;
};

struct DualClockProvider {
    using Entry = VelkEntry<DualClockConfigIntent>;
    Entry placeholder(const timeline::TimelineContext& context) const;
    Entry snapshot(const DualClockConfigIntent& configuration, const timeline::TimelineContext& context) const;
    timeline::Timeline<Entry> timeline(const DualClockConfigIntent& configuration,
                                       const timeline::TimelineContext& context) const;
};

} // namespace velk
