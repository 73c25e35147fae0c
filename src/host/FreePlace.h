#pragma once
// Where a new widget lands: the first free place on the screen, reading left to right and top
// to bottom, a gap from the screen's edges and from every placed widget; only a full screen
// makes it cascade from the top-left corner.
#include "host/PlacementStore.h"
#include "platform/timeline/WidgetBundle.h"

#include <QRect>
#include <vector>

namespace velk::host {

inline constexpr int kPlacementGap = 16;
// The screen assumed when none is known (no host has run yet).
inline constexpr QRect kFallbackScreenArea(0, 0, 1920, 1080);

// The place for a widget of `size` in `area` (the screen's available area) clear of `taken`.
// The places tried are the area's corner and the spots one gap right of and below each placed
// widget, so new tiles line up with the old ones in rows.
QPoint freePlace(QSize size, QRect area, const std::vector<QRect>& taken);

// The rectangles the placed widgets cover (at their scale; a kind the bundle no longer offers
// counts as small).
std::vector<QRect> placedRects(const std::vector<Placement>& placements, const timeline::WidgetBundle& bundle);

} // namespace velk::host
