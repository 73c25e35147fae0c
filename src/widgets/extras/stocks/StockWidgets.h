#pragma once
// The ticker and the watchlist. Each is made with no arguments; body() declares it.
#include "platform/timeline/WidgetDefinition.h"

namespace velk {

struct StockWidget {
    timeline::WidgetDefinition body() const;
};

struct WatchlistWidget {
    timeline::WidgetDefinition body() const;
};

} // namespace velk
