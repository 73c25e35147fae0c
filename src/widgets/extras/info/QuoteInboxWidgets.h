#pragma once
// The daily quote and the inbox widgets. Each is made with no arguments; body() declares it.
#include "platform/timeline/WidgetDefinition.h"

namespace velk {

struct QuoteWidget {
    timeline::WidgetDefinition body() const;
};

struct InboxWidget {
    timeline::WidgetDefinition body() const;
};

} // namespace velk
