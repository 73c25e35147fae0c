#include "host/FreePlace.h"

#include <algorithm>
#include <set>

namespace velk::host {

QPoint freePlace(QSize size, QRect area, const std::vector<QRect>& taken)
{
    const QRect inside = area.adjusted(kPlacementGap, kPlacementGap, -kPlacementGap, -kPlacementGap);
    std::set<int> xs = {inside.left()};
    std::set<int> ys = {inside.top()};
    for (const QRect& t : taken) {
        xs.insert(t.right() + 1 + kPlacementGap);
        ys.insert(t.bottom() + 1 + kPlacementGap);
    }
    for (int y : ys) {
        if (y < inside.top()) continue;
        for (int x : xs) {
            if (x < inside.left()) continue;
            const QRect r(QPoint(x, y), size);
            if (!inside.contains(r)) continue;
            const QRect padded = r.adjusted(-kPlacementGap, -kPlacementGap, kPlacementGap, kPlacementGap);
            if (std::none_of(taken.begin(), taken.end(), [&](const QRect& t) { return t.intersects(padded); }))
                return r.topLeft();
        }
    }
    // A full screen: cascade, so the new one is still seen on top of the others.
    const int step = 24 * int(taken.size() % 10);
    return inside.topLeft() + QPoint(step, step);
}

std::vector<QRect> placedRects(const std::vector<Placement>& placements, const timeline::WidgetBundle& bundle)
{
    std::vector<QRect> rects;
    rects.reserve(placements.size());
    for (const Placement& p : placements) {
        const timeline::WidgetDefinition* w = bundle.widget(p.kind);
        const QSizeF s = timeline::designSize(w ? w->family() : timeline::WidgetFamily::small) * p.scale;
        rects.emplace_back(p.position, s.toSize());
    }
    return rects;
}

} // namespace velk::host
