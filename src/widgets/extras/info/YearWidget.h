#pragma once
// The year-progress widget.
#include "platform/timeline/WidgetDefinition.h"

namespace velk {

struct YearWidget {
    timeline::WidgetDefinition body() const;
};

} // namespace velk
