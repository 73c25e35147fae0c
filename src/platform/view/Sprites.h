#pragma once
#include <functional>
// Dots and large texts drawn from pre-painted sprites. Widgets are walls of dots and every render
// paints all of them again; the painter's own antialiased ellipse costs far more per dot than
// copying the same pixels, and texts past the glyph cache's size are filled as outlines each time.
#include <QColor>
#include <QImage>
#include <QRectF>

class QPainter;
class QPen;

namespace velk::view {

class FontEntry;
struct ShapeData;

// A disc in device pixels that is the painter's whole clip. A dot well inside it is drawn the
// same with or without the clip (there the clip covers every pixel fully), so it may still come
// from a sprite: a dial or moon clipped to a circle is a wall of dots.
struct ClipDisc {
    QPointF centre;
    qreal radius;
};

// Paints the ellipse filling `rect` with `color` as `painter.drawEllipse` would (no pen,
// antialiased) from a per-thread sprite cache. Returns false, having drawn nothing, where
// the painter's state keeps a sprite from matching (clipping other than `clip` with the dot
// well inside, rotation, other blend modes, large dots); the caller then draws the ellipse.
bool drawDotSprite(QPainter& painter, const QRectF& rect, const QColor& color,
                   const ClipDisc* clip = nullptr);

// The same for a small filled shape (no stroke, no trim, not a free path) filling `rect`, as
// `painter.fillPath(shapePath(shape, rect), color)` would paint it, under any turn or shear of
// the painter: the ticks and hands of a dial are small turned shapes that repeat render after
// render.
bool drawShapeSprite(QPainter& painter, const ShapeData& shape, const QRectF& rect, const QColor& color);

// The same for the stroke of a shape (no dashes, not a free path) along `rect`, as
// `painter.strokePath(shapePath(shape, rect) trimmed, pen)` would paint it: rings and their
// arcs are large strokes that repeat render after render, and the engine hands their fill to
// its worker threads.
bool drawStrokeSprite(QPainter& painter, const ShapeData& shape, const QRectF& rect, const QPen& pen);

// The same for a drawing of one colour within `box` that a caller repeats render after render
// (a symbol's outline), keyed by `id` (what is drawn, given the box) beside the box's place
// and size: `draw` paints it on the painter it is handed exactly as it would on `painter`, and
// reaches at most `reach` points outside `box`.
bool drawBoxSprite(QPainter& painter, quint64 id, const QRectF& box, qreal reach, const QColor& color,
                   const std::function<void(QPainter&)>& draw);

// The same for one line of text in `color` with its baseline starting at `origin`, as
// `font.draw` would paint it; only texts too large for the painter's glyph cache qualify.
bool drawTextSprite(QPainter& painter, const FontEntry& font, QPointF origin, const QString& text,
                    const QColor& color);

// Fills `rect` with `color` (source over, the painter's opacity) as `painter.fillRect` would,
// straight into an image target when the rectangle falls on whole device pixels: the raster
// engine hands a large translucent fill to its worker threads, whose wake-ups cost more than
// the fill. Returns false, having drawn nothing, where that does not hold.
bool fillPixelRect(QPainter& painter, const QRectF& rect, const QColor& color);

// Blends `image` (premultiplied, in device pixels) onto the painter's image with its first pixel
// at `at`, source over, as an untransformed drawImage at full opacity would. Returns false,
// having drawn nothing, where the painter's state would make the two differ (clipping, opacity,
// another blend mode or device).
bool blendDevicePixels(QPainter& painter, const QImage& image, QPoint at);
// Whether blendDevicePixels can draw with the painter as it stands.
bool blendsDevicePixels(const QPainter& painter);

// Keeps of `content` what `mask` covers, as drawing the mask over it with the DestinationIn
// blend mode would (each pixel scaled by the mask's alpha, rounded as the raster engine rounds),
// four pixels at a time. Returns false, having changed nothing, unless both are premultiplied
// images of one size.
bool keepMasked(QImage& content, const QImage& mask);

// The same for `count` rectangles, each blended on its own and all or none drawn: the scanlines
// over a widget are a few dozen such rows.
bool fillPixelRects(QPainter& painter, const QRectF* rects, int count, const QColor& color);

} // namespace velk::view
