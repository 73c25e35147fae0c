#pragma once
// Symbols for the app's buttons and sidebar, drawn by the same view layer as the widgets, so
// they need no icon theme and stay crisp at 2x. A name the layer does not draw gives a small
// ring rather than a blank.
#include <QColor>
#include <QIcon>

namespace velk::app {

QIcon symbolIcon(const QString& name, const QColor& color, int side = 16);

} // namespace velk::app
