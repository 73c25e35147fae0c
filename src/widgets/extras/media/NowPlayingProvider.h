#pragma once
// The timeline of the now-playing and remote widgets. While a track plays, the stored snapshot
// becomes entries 15 seconds apart whose positions move on, so the position text keeps up
// between reloads; otherwise one entry shows what is stored (or nothing).
#include "platform/timeline/Timeline.h"
#include "shared/models/MediaRecords.h"
#include "shared/widget/SurfaceConfigIntent.h"
#include "shared/widget/VelkEntry.h"

#include <optional>
#include <vector>

namespace velk {

struct NowPlayingProvider {
    using Entry = VelkEntry<std::optional<NowPlayingSnapshot>>;
    static constexpr int kStepSeconds = 15;
    static constexpr int kMaxEntries = 20;
    static constexpr int kReloadMinutes = 2;

    Entry placeholder(const timeline::TimelineContext&) const;
    Entry snapshot(const SurfaceConfigIntent& configuration, const timeline::TimelineContext& context) const;
    timeline::Timeline<Entry> timeline(const SurfaceConfigIntent& configuration,
                                       const timeline::TimelineContext&) const;

    // Playing with a known length: the position brought forward to now, then every 15 seconds
    // until the track's end (at most 20 entries). Each advanced copy is dated where its
    // position was true, so `updated - positionSeconds` stays the track's start in every entry.
    static bool isLive(const NowPlayingSnapshot& s) { return s.isPlaying && s.durationSeconds > 0; }
    static std::vector<Entry> liveEntries(const NowPlayingSnapshot& stored, Date now, SurfaceOption surface);
};

} // namespace velk
