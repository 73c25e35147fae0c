#pragma once
// The four battery widgets and their shared timeline: one reading of the power state, asked
// for again every 15 minutes (and whenever the app stores new peripheral levels). A gallery
// preview shows the built-in sample; a placed widget always shows the live reading.
#include "platform/timeline/WidgetDefinition.h"
#include "shared/models/PowerRecords.h"
#include "shared/widget/LocalProvider.h"

namespace velk {

struct BatteryProvider : LocalProvider<PowerSnapshot> {
    static constexpr int kReloadMinutes = 15;

    BatteryProvider();
};

struct BatteryRingWidget {
    timeline::WidgetDefinition body() const;
};

struct BatteryPercentWidget {
    timeline::WidgetDefinition body() const;
};

struct BatteryDevicesWidget {
    timeline::WidgetDefinition body() const;
};

struct BatteryLogWidget {
    timeline::WidgetDefinition body() const;
};

} // namespace velk
