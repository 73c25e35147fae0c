#pragma once
// The four screen-time widgets. They share one provider; their only option is the background,
// and none opens the app on a tap.
#include "platform/timeline/WidgetDefinition.h"

namespace velk {

struct UsageTotalWidget {
    timeline::WidgetDefinition body() const;
};

struct UsageElapsedWidget {
    timeline::WidgetDefinition body() const;
};

struct UsageAppsWidget {
    timeline::WidgetDefinition body() const;
};

struct UsageWeeklyWidget {
    timeline::WidgetDefinition body() const;
};

} // namespace velk
