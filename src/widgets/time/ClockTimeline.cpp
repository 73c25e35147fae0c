#include "widgets/time/ClockTimeline.h"

#include "platform/core/Calendar.h"
#include "platform/core/Clock.h"

namespace velk {

namespace {

constexpr int kMinutesPerTimeline = 60;

// The coming hour, minute by minute from the start of the current one. A minute the calendar
// cannot compute is left out and the others keep their own places.
template <class Data, class Make>
timeline::Timeline<VelkEntry<Data>> minuteEntries(Make&& make)
{
    const Calendar calendar = Calendar::current();
    const Date now = Clock::now();
    const std::optional<DateInterval> minute = calendar.dateInterval(CalendarComponent::minute, now);
    const Date start = minute ? minute->start : now;
    timeline::Timeline<VelkEntry<Data>> out;
    out.entries.reserve(kMinutesPerTimeline);
    for (int i = 0; i < kMinutesPerTimeline; ++i) {
        if (const std::optional<Date> at = calendar.date(CalendarComponent::minute, i, start))
            out.entries.push_back(make(*at));
    }
    out.policy = timeline::ReloadPolicy::atEnd();
    return out;
}

template <class Config>
VelkEntry<Config> placeholderEntry()
{
    return VelkEntry<Config>{Clock::now(), Config{}, SurfaceOption::followApp};
}

template <class Config>
VelkEntry<Config> snapshotEntry(const Config& configuration)
{
    return VelkEntry<Config>{Clock::now(), configuration, configuration.surface};
}

template <class Config>
timeline::Timeline<VelkEntry<Config>> timelineOf(const Config& configuration)
{
    return minuteEntries<Config>([&](Date at) { return VelkEntry<Config>{at, configuration, configuration.surface}; });
}

} // namespace

ClockProvider::Entry ClockProvider::placeholder(const timeline::TimelineContext&) const
{
    return placeholderEntry<ClockConfigIntent>();
}
ClockProvider::Entry ClockProvider::snapshot(const ClockConfigIntent& c, const timeline::TimelineContext&) const
{
    return snapshotEntry(c);
}
timeline::Timeline<ClockProvider::Entry> ClockProvider::timeline(const ClockConfigIntent& c,
                                                                 const timeline::TimelineContext&) const
{
    return timelineOf(c);
}

WorldClockProvider::Entry WorldClockProvider::placeholder(const timeline::TimelineContext&) const
{
    return placeholderEntry<WorldClockConfigIntent>();
}
WorldClockProvider::Entry WorldClockProvider::snapshot(const WorldClockConfigIntent& c,
                                                       const timeline::TimelineContext&) const
{
    return snapshotEntry(c);
}
timeline::Timeline<WorldClockProvider::Entry> WorldClockProvider::timeline(const WorldClockConfigIntent& c,
                                                                           const timeline::TimelineContext&) const
{
    return timelineOf(c);
}

DualClockProvider::Entry DualClockProvider::placeholder(const timeline::TimelineContext&) const
{
    return placeholderEntry<DualClockConfigIntent>();
}
DualClockProvider::Entry DualClockProvider::snapshot(const DualClockConfigIntent& c,
                                                     const timeline::TimelineContext&) const
{
    return snapshotEntry(c);
}
timeline::Timeline<DualClockProvider::Entry> DualClockProvider::timeline(const DualClockConfigIntent& c,
                                                                         const timeline::TimelineContext&) const
{
    return timelineOf(c);
}

} // namespace velk
