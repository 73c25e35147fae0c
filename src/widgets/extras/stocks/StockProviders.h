#pragma once
// The ticker's and the watchlist's timelines: one entry of quotes from the cached stock client,
// asked for again after 15 minutes, or after 10 when nothing came back. A gallery preview shows
// the samples and never touches the network. The fetches block: the host calls these on worker
// threads.
#include "platform/timeline/Timeline.h"
#include "shared/data/config/ConfigIntents.h"
#include "shared/models/MediaRecords.h"
#include "shared/widget/VelkEntry.h"

#include <vector>

namespace velk {

// Minutes until a quote timeline is asked for again.
inline constexpr qint64 kQuoteReloadMinutes = 15;
inline constexpr qint64 kNoQuoteReloadMinutes = 10;

struct StockTimelineProvider {
    using Entry = VelkEntry<StockSnapshot>;

    Entry placeholder(const timeline::TimelineContext&) const;
    Entry snapshot(const StockConfigIntent& configuration, const timeline::TimelineContext& context) const;
    timeline::Timeline<Entry> timeline(const StockConfigIntent& configuration, const timeline::TimelineContext&) const;
};

struct WatchlistTimelineProvider {
    using Entry = VelkEntry<std::vector<StockSnapshot>>;

    Entry placeholder(const timeline::TimelineContext&) const;
    Entry snapshot(const WatchlistConfigIntent& configuration, const timeline::TimelineContext& context) const;
    timeline::Timeline<Entry> timeline(const WatchlistConfigIntent& configuration,
                                       const timeline::TimelineContext&) const;

    // The configured symbols' quotes in order, one request after the other; symbols with no
    // quote are left out.
    static std::vector<StockSnapshot> fetch(const WatchlistConfigIntent& configuration);
};

} // namespace velk
