#include "widgets/extras/stocks/StockWidgets.h"

#include "shared/look/VelkWidget.h"
#include "shared/widget/WidgetKinds.h"
#include "widgets/extras/stocks/StockProviders.h"
#include "widgets/extras/stocks/StockViews.h"

namespace velk {

using timeline::WidgetFamily;
using Tone = WidgetPalette::Tone;

timeline::WidgetDefinition StockWidget::body() const
{
    return velkWidget<StockConfigIntent>(
        {kinds::stock, "Ticker", "A stock and its day, in dots.", WidgetFamily::medium, Tone::dark},
        StockTimelineProvider{}, [](const StockTimelineProvider::Entry& e, const WCtx& ctx) -> view::View {
            return StockView{e.data, ctx};
        });
}

timeline::WidgetDefinition WatchlistWidget::body() const
{
    return velkWidget<WatchlistConfigIntent>(
        {kinds::watchlist, "Watchlist", "Three stocks at a glance.", WidgetFamily::medium, Tone::dark},
        WatchlistTimelineProvider{}, [](const WatchlistTimelineProvider::Entry& e, const WCtx& ctx) -> view::View {
            return StockWatchlistView{e.data, ctx};
        });
}

} // namespace velk
