#pragma once
// The named symbols views draw with Image(systemName:), as vector paths on a 24-unit grid.
// Outlines are stroked with a width that follows the font weight; solid parts are filled.
#include "platform/view/View.h"
#include <QBrush>
#include <QStringList>

namespace velk::view {

struct SymbolShape {
    QPainterPath stroke; // stroked with the weight's line width, round caps and joins
    QPainterPath fill;   // filled
    qreal aspect = 1;    // width / height of the symbol's box
};

// nullptr for a name this layer does not draw.
const SymbolShape* symbolShape(const QString& name);
QStringList symbolNames();

// Draws the symbol scaled into `box` (the grid's 24 units span the box's height).
void paintSymbol(QPainter& painter, const SymbolShape& symbol, const QRectF& box, Weight weight, const QBrush& brush);

} // namespace velk::view
