#pragma once
// The countdown: whole days until a date the user sets, turning over at local midnight.
#include "platform/core/Coding.h"
#include "platform/core/Date.h"
#include "platform/timeline/Timeline.h"
#include "shared/data/config/ConfigIntents.h"
#include "shared/look/WidgetRoot.h"
#include "shared/widget/VelkEntry.h"

#include <QString>
#include <optional>

namespace velk {

// The title and the date the widget counts to, as configured.
struct CountdownTarget {
    QString name;
    std::optional<Date> target;

    VELK_FIELDS(CountdownTarget, name, target)
    friend bool operator==(const CountdownTarget&, const CountdownTarget&) = default;
};

// One entry from the configuration, and a reload at the next local midnight, when the count
// changes.
struct CountdownTimelineProvider {
    using Entry = VelkEntry<CountdownTarget>;

    Entry placeholder(const timeline::TimelineContext&) const;
    Entry snapshot(const CountdownConfigIntent& configuration, const timeline::TimelineContext&) const;
    timeline::Timeline<Entry> timeline(const CountdownConfigIntent& configuration,
                                       const timeline::TimelineContext&) const;
};

struct CountdownView {
    QString name;
    std::optional<Date> target;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    // Calendar days from today to the target's day in the user's calendar, counted by dates and
    // not by elapsed hours, so a clock change between them costs no day; 0 for today or the past.
    static qint64 daysLeft(Date target, Date now);
    // "JUL 15 · 4PM" in the user's locale and zone.
    static QString detail(Date target);
};

} // namespace velk
