#pragma once
// The outline of a shape in a frame, and trimming an outline to a share of its length.
#include "platform/view/Node.h"

namespace velk::view {

// Closed outlines start at the rightmost middle point (3 o'clock for a circle) and run
// clockwise on screen, so a trimmed circle rotated by -90 degrees starts at 12 o'clock.
QPainterPath shapePath(const ShapeData& shape, const QRectF& frame);

// The part of `path` between the fractions `from` and `to` of its length (open polylines).
QPainterPath trimPath(const QPainterPath& path, qreal from, qreal to);

} // namespace velk::view
