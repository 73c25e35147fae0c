#pragma once
// Offscreen layers and the glow painted from them: the painting code's tools for effects that
// need the painted pixels (shadow used as a glow, masks).
#include <QImage>
#include <QPainter>
#include <cmath>
#include <optional>

namespace velk::view::detail {

// The device's size in pixels: images report pixels, windows report points.
QSizeF devicePixels(const QPaintDevice* dev);

// An offscreen layer the size of the painter's device (times `scale`), drawn with the same
// transform, so effects that need the painted pixels (glow, mask) can work on them.
class Layer {
public:
    Layer(QPainter& painter, QPainter& layerPainter, qreal scale = 1) : scale_(scale)
    {
        const QSizeF dev = devicePixels(painter.device());
        const QSize px =
            QSize(int(std::ceil(dev.width() * scale)), int(std::ceil(dev.height() * scale))).expandedTo(QSize(1, 1));
        image_ = QImage(px, QImage::Format_ARGB32_Premultiplied);
        image_.fill(Qt::transparent);
        layerPainter.begin(&image_);
        layerPainter.setRenderHints(painter.renderHints());
        layerPainter.setTransform(painter.deviceTransform() * QTransform::fromScale(scale, scale));
        layerPainter.setOpacity(1);
    }
    Layer(const Layer&) = delete;
    Layer& operator=(const Layer&) = delete;

    QImage& image() { return image_; }
    qreal scale() const { return scale_; } // layer pixels per device pixel

private:
    QImage image_;
    qreal scale_;
};

// Runs `draw` (a drawing within `bounds`, in the painter's coordinates) in bands of at most
// `bandRows` device rows when it is taller than one. The raster engine hands a drawing of more
// than about a hundred spans (a row has one to a few) to its worker threads, and waking them
// costs more processor time than the rows themselves; the bands stay on the painting thread and
// give the same pixels, since only whole rows are clipped. Turned painters and clipped ones
// draw at once: their bands would be paths.
template <class Draw>
void inRowBands(QPainter& painter, const QRectF& bounds, int bandRows, Draw&& draw)
{
    const QTransform t = painter.deviceTransform();
    if (t.type() > QTransform::TxScale || painter.hasClipping()) {
        draw();
        return;
    }
    const QRectF device = t.mapRect(bounds);
    const int top = int(std::floor(device.top())) - 1, bottom = int(std::ceil(device.bottom())) + 1;
    if (!(bottom - top > bandRows) || !(std::abs(device.top()) < 1e6 && std::abs(device.bottom()) < 1e6)) {
        draw();
        return;
    }
    const qreal dpr = painter.device()->devicePixelRatioF();
    const qreal width = painter.device()->width();
    const QTransform world = painter.worldTransform();
    for (int y = top; y < bottom; y += bandRows) {
        painter.save();
        painter.resetTransform();
        painter.setClipRect(QRectF(0, y / dpr, width, std::min(bandRows, bottom - y) / dpr));
        painter.setWorldTransform(world);
        draw();
        painter.restore();
    }
}

// Draws a layer over the painter's device, pixel for pixel, shifted by `deviceOffset` pixels.
// With `inked` (layer pixels outside it are clear), only the device pixels it reaches are drawn:
// those are the same pixels, and a small layer scaled up to the device costs far less there.
void drawLayer(QPainter& painter, const QImage& image, QPointF deviceOffset = {},
               const std::optional<QRect>& inked = std::nullopt);

// Turns a painted layer into its glow: the coverage blurred to about a Gaussian of standard
// deviation `sigma` (in layer pixels), filled with `color`. Returns the box of the pixels left
// with any coverage (empty when none are).
QRect glow(QImage& img, const QColor& color, qreal sigma);

} // namespace velk::view::detail
