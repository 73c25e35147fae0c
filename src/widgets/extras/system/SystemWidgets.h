#pragma once
// The system monitor, network and storage widgets. Each is made with no arguments; body()
// declares it.
#include "platform/timeline/WidgetDefinition.h"
#include "shared/models/SystemRecords.h"

#include <optional>

namespace velk {

struct SystemWidget {
    timeline::WidgetDefinition body() const;
    // The loads now: a missing processor or memory figure reads 0, a missing graphics figure
    // leaves its row out. Stores the new processor sample for the next reading.
    static SystemSnapshot live();
};

struct NetworkWidget {
    timeline::WidgetDefinition body() const;
};

struct StorageWidget {
    timeline::WidgetDefinition body() const;
    // The home volume, or the sample's 721 of 1000 GB when it cannot be read.
    static StorageSnapshot live();
};

} // namespace velk
