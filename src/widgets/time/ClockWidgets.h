#pragma once
// The ten clock widgets, in the order the bundle offers them. Each is a value made with no
// arguments whose body() declares the widget; the content turns the entry's configuration into
// the face's zones each time it is drawn. No clock opens the app on a tap.
#include "platform/core/TimeZone.h"
#include "platform/timeline/WidgetDefinition.h"
#include "shared/data/config/ConfigIntents.h"

#include <QString>
#include <optional>

namespace velk {

// The small matrix clock's place: the chosen city's name from its identifier (even one the
// system does not know), nothing when no city is chosen.
std::optional<QString> clockPlace(const ClockConfigIntent& configuration);

struct DualZones {
    TimeZone home;
    TimeZone away;
};
// Home: the chosen zone, else the current one. Away: the chosen zone, else Sydney. A chosen
// identifier the system does not know gives the current zone.
DualZones dualZones(const DualClockConfigIntent& configuration);

struct AnalogClassicWidget {
    timeline::WidgetDefinition body() const;
};
struct AnalogMinimalWidget {
    timeline::WidgetDefinition body() const;
};
struct HybridClassicWidget {
    timeline::WidgetDefinition body() const;
};
struct HybridMinimalWidget {
    timeline::WidgetDefinition body() const;
};
struct MatrixSmallWidget {
    timeline::WidgetDefinition body() const;
};
struct StackedClockWidget {
    timeline::WidgetDefinition body() const;
};
struct MatrixMediumWidget {
    timeline::WidgetDefinition body() const;
};
struct WorldClockWidget {
    timeline::WidgetDefinition body() const;
};
struct DotDialWidget {
    timeline::WidgetDefinition body() const;
};
struct DualClockWidget {
    timeline::WidgetDefinition body() const;
};

} // namespace velk
