#include "widgets/extras/media/NowPlayingProvider.h"

#include "platform/core/Calendar.h"
#include "platform/core/Clock.h"
#include "shared/data/media/MediaBridge.h"

#include <algorithm>
#include <cmath>

namespace velk {

NowPlayingProvider::Entry NowPlayingProvider::placeholder(const timeline::TimelineContext&) const
{
    return Entry{Clock::now(), NowPlayingSnapshot::sample(), SurfaceOption::followApp};
}

NowPlayingProvider::Entry NowPlayingProvider::snapshot(const SurfaceConfigIntent& configuration,
                                                       const timeline::TimelineContext& context) const
{
    std::optional<NowPlayingSnapshot> data =
        context.isPreview ? std::optional<NowPlayingSnapshot>(NowPlayingSnapshot::sample()) : MediaBridge::nowPlaying();
    return Entry{Clock::now(), std::move(data), configuration.surface};
}

std::vector<NowPlayingProvider::Entry> NowPlayingProvider::liveEntries(const NowPlayingSnapshot& stored, Date now,
                                                                       SurfaceOption surface)
{
    const qint64 duration = stored.durationSeconds;
    // A clock set back (an `updated` ahead of now) moves nothing; an absurd gap cannot push the
    // position past the end, which is as far as it can go.
    const double gap = now.secondsSince(stored.updated);
    const qint64 elapsed = !(gap > 0) ? 0 : gap >= double(duration) ? duration : qint64(std::trunc(gap));
    const qint64 base = std::min(std::min(stored.positionSeconds, duration) + elapsed, duration);

    std::vector<Entry> entries;
    for (int i = 0; i < kMaxEntries; ++i) {
        const Date date = now.addingSeconds(double(kStepSeconds) * i);
        // Compared against the end rather than summed, so a huge stored length cannot overflow.
        const qint64 step = qint64(kStepSeconds) * i;
        const bool atEnd = base >= duration - step;
        NowPlayingSnapshot copy = stored;
        copy.positionSeconds = atEnd ? duration : base + step;
        // An `updated` ahead of the entry (a clock set back) would start the bar's run in the
        // future, empty while the text shows the position: the position is true at the entry.
        if (copy.positionSeconds != stored.positionSeconds || stored.updated > date) copy.updated = date;
        entries.push_back(Entry{date, std::move(copy), surface});
        if (atEnd) break;
    }
    return entries;
}

timeline::Timeline<NowPlayingProvider::Entry> NowPlayingProvider::timeline(const SurfaceConfigIntent& configuration,
                                                                           const timeline::TimelineContext&) const
{
    const std::optional<NowPlayingSnapshot> stored = MediaBridge::nowPlaying();
    const Date now = Clock::now();
    std::vector<Entry> entries = stored && isLive(*stored)
                                     ? liveEntries(*stored, now, configuration.surface)
                                     : std::vector<Entry>{Entry{now, stored, configuration.surface}};
    const Date reload = Calendar::current()
                            .date(CalendarComponent::minute, kReloadMinutes, now)
                            .value_or(now.addingSeconds(60.0 * kReloadMinutes));
    return {std::move(entries), timeline::ReloadPolicy::after(reload)};
}

} // namespace velk
