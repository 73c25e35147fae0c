#include "platform/view/Glow.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace velk::view::detail {

QSizeF devicePixels(const QPaintDevice* dev)
{
    if (auto image = dynamic_cast<const QImage*>(dev)) return QSizeF(image->size());
    return QSizeF(dev->width(), dev->height()) * dev->devicePixelRatioF();
}

void drawLayer(QPainter& painter, const QImage& image, QPointF deviceOffset, const std::optional<QRect>& inked)
{
    const QPaintDevice* dev = painter.device();
    const qreal dpr = dev->devicePixelRatioF();
    const QSizeF devicePx = devicePixels(dev);
    const QRectF target(deviceOffset / dpr, devicePx / dpr);
    const QRectF source(image.rect());
    if (!inked) {
        painter.save();
        painter.resetTransform();
        inRowBands(painter, target, 64, [&] { painter.drawImage(target, image, source); });
        painter.restore();
        return;
    }
    if (inked->isEmpty() || image.isNull()) return;
    // A device pixel samples the layer within one layer pixel of its centre, so the inked rows
    // reach the device rows their neighbours' centres map to (two more for rounding). Whole rows:
    // the engine steps along a row from where the drawing starts, so a row cut short on the left
    // could round its samples differently.
    const qreal ky = devicePx.height() / image.height();
    const int top = int(std::floor(deviceOffset.y() + (inked->top() - 0.5) * ky - 0.5)) - 2;
    const int bottom = int(std::ceil(deviceOffset.y() + (inked->bottom() + 1.5) * ky - 0.5)) + 2;
    painter.save();
    painter.resetTransform();
    inRowBands(painter, QRectF(target.left(), top / dpr, target.width(), (bottom - top) / dpr), 64,
               [&] { painter.drawImage(target, image, source); });
    painter.restore();
}

namespace {

// One box-blur pass along rows: the mean of the 2 * radius + 1 values around each, with
// values past the ends counting as zero.
void boxRows(const quint8* __restrict src, quint8* __restrict dst, int w, int h, int radius)
{
    // Fixed-point reciprocal: a division per pixel dominates otherwise. The largest sum times
    // it stays below 255 << 24, inside 32 bits.
    const quint32 inv = quint32((1u << 24) / unsigned(2 * radius + 1));
    // The window enters the row until `enterEnd` and leaves it from `leaveStart`.
    const int enterEnd = std::max(0, w - radius - 1), leaveStart = std::min(w, radius);
    for (int y = 0; y < h; ++y) {
        const quint8* s = src + size_t(y) * w;
        quint8* d = dst + size_t(y) * w;
        quint32 sum = 0;
        for (int i = 0; i <= radius && i < w; ++i)
            sum += s[i];
        int i = 0;
        for (; i < std::min(leaveStart, enterEnd); ++i) {
            d[i] = quint8((sum * inv) >> 24);
            sum += s[i + radius + 1];
        }
        for (; i < enterEnd; ++i) {
            d[i] = quint8((sum * inv) >> 24);
            sum += s[i + radius + 1];
            sum -= s[i - radius];
        }
        for (; i < w; ++i) {
            d[i] = quint8((sum * inv) >> 24);
            if (i >= radius) sum -= s[i - radius];
            if (i + radius + 1 < w) sum += s[i + radius + 1];
        }
    }
}

// The same along columns, a row at a time so the inner loops run over contiguous memory.
void boxColumns(const quint8* __restrict src, quint8* __restrict dst, int w, int h, int radius,
                std::vector<quint32>& sum)
{
    const quint32 inv = quint32((1u << 24) / unsigned(2 * radius + 1));
    sum.assign(size_t(w), 0);
    quint32* acc = sum.data();
    for (int r = 0; r <= radius && r < h; ++r) {
        const quint8* s = src + size_t(r) * w;
        for (int x = 0; x < w; ++x)
            acc[x] += s[x];
    }
    for (int y = 0; y < h; ++y) {
        quint8* d = dst + size_t(y) * w;
        for (int x = 0; x < w; ++x)
            d[x] = quint8((acc[x] * inv) >> 24);
        if (y - radius >= 0) {
            const quint8* out = src + size_t(y - radius) * w;
            for (int x = 0; x < w; ++x)
                acc[x] -= out[x];
        }
        if (y + radius + 1 < h) {
            const quint8* in = src + size_t(y + radius + 1) * w;
            for (int x = 0; x < w; ++x)
                acc[x] += in[x];
        }
    }
}

} // namespace

// Turns a painted layer into its glow: the coverage (alpha) blurred, three box blurs in each
// direction approximating a Gaussian of standard deviation `sigma`, then filled with `color`.
// Only the alpha is blurred because the glow is one colour: the colour channels would carry
// the same shape at four times the work.
QRect glow(QImage& img, const QColor& color, qreal sigma)
{
    const int w = img.width(), h = img.height();
    const size_t count = size_t(w) * size_t(h);
    std::vector<quint8> plane(count), scratch(count);
    std::vector<quint32> sums;
    for (int y = 0; y < h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        quint8* a = plane.data() + size_t(y) * w;
        for (int x = 0; x < w; ++x)
            a[x] = quint8(qAlpha(line[x]));
    }
    if (sigma >= 0.3) {
        const int box = std::max(1, int(std::lround(std::sqrt(4 * sigma * sigma + 1))));
        const int radius = box / 2;
        for (int k = 0; k < 3; ++k) {
            boxRows(plane.data(), scratch.data(), w, h, radius);
            boxColumns(scratch.data(), plane.data(), w, h, radius, sums);
        }
    }
    // The premultiplied colour at every coverage, rounded as the painter's own blending does.
    const QRgb premul = qPremultiply(color.rgba());
    std::array<QRgb, 256> shade;
    for (quint32 a = 0; a < 256; ++a) {
        quint64 t = ((quint64(premul) | (quint64(premul) << 24)) & 0x00ff00ff00ff00ffull) * a;
        t = (t + ((t >> 8) & 0x00ff00ff00ff00ffull) + 0x0080008000800080ull) >> 8;
        t &= 0x00ff00ff00ff00ffull;
        shade[a] = QRgb(quint32(t) | quint32(t >> 24));
    }
    int x0 = w, x1 = -1, y0 = h, y1 = -1;
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        const quint8* a = plane.data() + size_t(y) * w;
        int first = w, last = -1;
        for (int x = 0; x < w; ++x) {
            line[x] = shade[a[x]];
            if (line[x]) {
                first = std::min(first, x);
                last = x;
            }
        }
        if (last >= 0) {
            x0 = std::min(x0, first);
            x1 = std::max(x1, last);
            y0 = std::min(y0, y);
            y1 = y;
        }
    }
    return x1 < 0 ? QRect() : QRect(QPoint(x0, y0), QPoint(x1, y1));
}

} // namespace velk::view::detail
