#pragma once
// `velk-widgets add KIND`, `remove ID` and `placed`: through the running host over D-Bus, so
// its windows follow at once; when no host runs, on the placement file directly (the host
// shows the change when it next starts).
#include "host/CommandLine.h"
#include "host/PlacementStore.h"
#include "platform/timeline/WidgetBundle.h"

#include <QTextStream>

namespace velk::host {

// One line per placed widget: id, kind, x,y, scale (tab separated).
QString placedListing(const std::vector<Placement>& placements);

int runPlacementCommand(const HostCommand& command, const timeline::WidgetBundle& bundle, const PlacementStore& store,
                        QTextStream& out, QTextStream& err, bool useBus = true);

} // namespace velk::host
