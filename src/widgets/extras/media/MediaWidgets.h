#pragma once
// The now-playing and remote widgets: one provider, two faces.
#include "platform/timeline/WidgetDefinition.h"

namespace velk {

struct NowPlayingWidget {
    timeline::WidgetDefinition body() const;
};

struct RemoteWidget {
    timeline::WidgetDefinition body() const;
};

} // namespace velk
