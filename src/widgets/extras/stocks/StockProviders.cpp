#include "widgets/extras/stocks/StockProviders.h"

#include "platform/core/Clock.h"
#include "shared/data/stocks/StocksProvider.h"
#include "shared/widget/LocalProvider.h"
#include "widgets/extras/stocks/StockViews.h"

namespace velk {

// ---- ticker -----------------------------------------------------------------------------------

StockTimelineProvider::Entry StockTimelineProvider::placeholder(const timeline::TimelineContext&) const
{
    return Entry{Clock::now(), StockSnapshot::sample(), SurfaceOption::followApp};
}

StockTimelineProvider::Entry StockTimelineProvider::snapshot(const StockConfigIntent& configuration,
                                                             const timeline::TimelineContext& context) const
{
    if (context.isPreview) return Entry{Clock::now(), StockSnapshot::sample(), configuration.surface};
    StockSnapshot data = StocksProvider::snapshot(configuration.symbol).value_or(StockSnapshot::sample());
    return Entry{Clock::now(), std::move(data), configuration.surface};
}

timeline::Timeline<StockTimelineProvider::Entry> StockTimelineProvider::timeline(const StockConfigIntent& configuration,
                                                                                 const timeline::TimelineContext&) const
{
    const std::optional<StockSnapshot> quote = StocksProvider::snapshot(configuration.symbol);
    Entry entry{Clock::now(), quote.value_or(StockSnapshot::sample()), configuration.surface};
    // Counted from after the fetch, which may have waited on the network.
    const Date reload = reloadDateAfterMinutes(quote ? kQuoteReloadMinutes : kNoQuoteReloadMinutes);
    return {{std::move(entry)}, timeline::ReloadPolicy::after(reload)};
}

// ---- watchlist --------------------------------------------------------------------------------

std::vector<StockSnapshot> WatchlistTimelineProvider::fetch(const WatchlistConfigIntent& configuration)
{
    std::vector<StockSnapshot> out;
    const QStringList symbols = configuration.symbols();
    // Strictly one after the other: at most three requests, never at once.
    for (qsizetype i = 0; i < symbols.size() && i < 3; ++i)
        if (std::optional<StockSnapshot> quote = StocksProvider::snapshot(symbols[i])) out.push_back(std::move(*quote));
    return out;
}

WatchlistTimelineProvider::Entry WatchlistTimelineProvider::placeholder(const timeline::TimelineContext&) const
{
    return Entry{Clock::now(), StockWatchlistView::sample(), SurfaceOption::followApp};
}

WatchlistTimelineProvider::Entry WatchlistTimelineProvider::snapshot(const WatchlistConfigIntent& configuration,
                                                                     const timeline::TimelineContext& context) const
{
    if (context.isPreview) return Entry{Clock::now(), StockWatchlistView::sample(), configuration.surface};
    std::vector<StockSnapshot> quotes = fetch(configuration);
    return Entry{Clock::now(), std::move(quotes), configuration.surface};
}

timeline::Timeline<WatchlistTimelineProvider::Entry>
WatchlistTimelineProvider::timeline(const WatchlistConfigIntent& configuration, const timeline::TimelineContext&) const
{
    std::vector<StockSnapshot> quotes = fetch(configuration);
    const bool none = quotes.empty();
    Entry entry{Clock::now(), std::move(quotes), configuration.surface};
    const Date reload = reloadDateAfterMinutes(none ? kNoQuoteReloadMinutes : kQuoteReloadMinutes);
    return {{std::move(entry)}, timeline::ReloadPolicy::after(reload)};
}

} // namespace velk
