#include "shared/look/DotPieces.h"

#include "platform/view/Layout.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <deque>
#include <optional>

namespace velk {

using namespace view;

namespace {

// More dots than any widget could show; it only keeps a nonsensical pitch or size from
// building millions of views.
constexpr double kMaxDots = 4096;

// A count from a double that may be anything: not a number is 0, and the result stays in
// [0, kMaxDots] before it becomes an int.
int boundedCount(double v)
{
    if (!std::isfinite(v))
        return 0;
    return int(std::clamp(v, 0.0, kMaxDots));
}

View dot(Color color, qreal d) { return Circle().fill(color).frame(d, d); }

// The dot stacks below hold only fixed-size dots, so they are laid out at their own size
// (fixedSize) rather than measured again for every size their parents try: the answer is the
// same and a dense widget lays out several times faster.

} // namespace

// ---- DotBar -----------------------------------------------------------------------------------

DotBar::Counts DotBar::counts(qreal width) const
{
    const double p = pitch * u;
    Counts c;
    c.dots = std::max(1, boundedCount(std::trunc((width + 0.2 * p) / p)));
    // Counts are kept to the row, so a fraction over 1 or under 0 cannot push the over
    // segment off the lit dots or out of the row.
    c.lit = std::isfinite(fraction) ? boundedCount(std::round(std::clamp(fraction, 0.0, 1.0) * c.dots)) : 0;
    c.over = std::isfinite(overFraction)
                 ? std::min(boundedCount(std::round(std::clamp(overFraction, 0.0, 1.0) * c.dots)), c.dots - c.lit)
                 : 0;
    return c;
}

View DotBar::body() const
{
    const qreal d = dotSize * u;
    return GeometryReader([bar = *this, d](QSizeF size) {
               const Counts c = bar.counts(size.width());
               const View lit = dot(bar.fill, d), over = dot(bar.over, d), track = dot(bar.track, d);
               Views dots;
               dots.reserve(size_t(c.dots));
               for (int i = 0; i < c.dots; ++i)
                   dots.push_back(i < c.lit ? lit : i < c.lit + c.over ? over : track);
               return HStack(VAlign::center, (bar.pitch - bar.dotSize) * bar.u, std::move(dots)).fixedSize();
           })
        .frame(std::nullopt, d);
}

// ---- DotGrid ----------------------------------------------------------------------------------

View DotGrid::body() const
{
    return GeometryReader([grid = *this](QSizeF size) -> View {
        const int cols = std::max(0, grid.columns), rows = std::max(0, grid.rows);
        if (cols == 0 || rows == 0)
            return EmptyView();
        const qreal d = grid.dotSize * grid.u;
        // A single column or row has no gap to spread, and must not divide by it.
        const qreal gx = cols >= 2 ? (size.width() - cols * d) / (cols - 1) : 0;
        const qreal gy = rows >= 2 ? (size.height() - rows * d) / (rows - 1) : 0;
        const View lit = dot(grid.fill, d), track = dot(grid.track, d);
        Views lines;
        lines.reserve(size_t(rows));
        for (int r = 0; r < rows; ++r) {
            Views dots;
            dots.reserve(size_t(cols));
            for (int c = 0; c < cols; ++c) {
                const qint64 k = qint64(r) * cols + c;
                if (grid.highlightIndex && *grid.highlightIndex == k)
                    dots.push_back(dot(grid.highlight, d).scaleEffect(1.7));
                else
                    dots.push_back(k < grid.filledDots ? lit : track);
            }
            lines.push_back(HStack(VAlign::center, gx, std::move(dots)));
        }
        return VStack(HAlign::center, gy, std::move(lines)).fixedSize();
    });
}

// ---- DotBarChart ------------------------------------------------------------------------------

DotBarChart::Column DotBarChart::column(const Bar& bar) const
{
    Column c;
    c.rows = std::max(1, boundedCount(std::round(bar.value * chartHeight / dotPitch)));
    c.dotsPerRow = std::max(1, boundedCount(std::round(barWidth / dotPitch)));
    return c;
}

View DotBarChart::dotColumn(const Bar& bar) const
{
    const Column c = column(bar);
    const qreal gap = (dotPitch - dotSize) * u;
    const View one = dot(bar.color.value_or(defaultColor), dotSize * u);
    const View row = HStack(VAlign::center, gap, Views(size_t(c.dotsPerRow), one));
    // One frame both stands the column on the chart's baseline and gives it its share of the
    // width.
    Frame share = Frame::maxWidthInfinity(Alignment::bottom);
    share.minHeight = share.maxHeight = chartHeight * u;
    return VStack(HAlign::center, gap, Views(size_t(c.rows), row)).fixedSize().frame(share);
}

View DotBarChart::body() const
{
    Views columns, labels;
    columns.reserve(bars.size());
    labels.reserve(bars.size());
    for (const Bar& bar : bars) {
        columns.push_back(dotColumn(bar));
        // The font and the usual colour are set once on the row and inherited by its labels.
        const View label = bar.labelColor ? Text(bar.label).foregroundColor(*bar.labelColor) : Text(bar.label);
        labels.push_back(label.frame(Frame::maxWidthInfinity()));
    }
    return VStack(HAlign::center, 8 * u,
                  {HStack(VAlign::bottom, 0, std::move(columns)).frame(std::nullopt, chartHeight * u),
                   HStack(VAlign::center, 0, std::move(labels)).font(labelFont).foregroundColor(defaultLabelColor)});
}

// ---- cachedDrawing ----------------------------------------------------------------------------

namespace {

// Device pixels kept round the drawing for what its antialiasing spills over its frame.
constexpr int kDrawingMargin = 2;
// Larger drawings are few, and copying them would cost much of what painting them does.
constexpr qreal kMaxDrawingSide = 1024;
constexpr size_t kMaxDrawings = 16;
// Device rows copied at a time (see the copy below).
constexpr int kDrawingBand = 48;

struct Drawing {
    QByteArray key;
    QImage image; // device pixels: the drawing with kDrawingMargin round it, or all from the device's corner
};

void appendKey(QByteArray& key, qint64 v) { key.append(reinterpret_cast<const char*>(&v), sizeof v); }

// 1/256 of a device pixel: finer than the rasterizer's own grid, as the sprites key them.
qint64 subpixel(qreal v) { return qint64(std::llround(v * 256)); }

} // namespace

View cachedDrawing(QByteArray key, View content, std::optional<QRectF> area)
{
    return Canvas([key = std::move(key), content = std::move(content), area](QPainter& p, QSizeF frame, const Environment& env) {
        const QRectF drawn = area.value_or(QRectF(QPointF(), frame));
        const QSizeF size = drawn.size();
        const QTransform world = p.worldTransform();
        const QTransform t = QTransform::fromTranslate(drawn.x(), drawn.y()) * p.deviceTransform();
        const qreal s = t.m11();
        const QPaintEngine* engine = p.paintEngine();
        if (!engine || engine->type() != QPaintEngine::Raster || p.hasClipping() || p.opacity() != 1 ||
            p.compositionMode() != QPainter::CompositionMode_SourceOver || t.type() > QTransform::TxScale ||
            !(s > 0) || t.m22() != s || !(size.width() > 0 && size.height() > 0) ||
            size.width() * s > kMaxDrawingSide || size.height() * s > kMaxDrawingSide ||
            !(std::abs(t.dx()) < 1e6 && std::abs(t.dy()) < 1e6)) {
            p.translate(drawn.topLeft());
            paint(layout(content, size, env), p);
            p.setWorldTransform(world);
            return;
        }
        // Where the drawing falls inside its first device pixel decides the pixels, so the copy
        // is painted there too and moved by whole pixels only. Below the device scale (a glow's
        // small layer) a coordinate so moved was seen to round an antialiased edge a level
        // apart, so there the image starts at the device's corner and every coordinate is the
        // very one the direct drawing has; such layers are small.
        const QPoint whole(int(std::floor(t.dx())), int(std::floor(t.dy())));
        const QPointF fraction(t.dx() - whole.x(), t.dy() - whole.y());
        const QPoint corner = whole - QPoint(kDrawingMargin, kDrawingMargin);
        const bool anchored = s < 1 && corner.x() >= 0 && corner.y() >= 0;
        const QPoint origin = anchored ? QPoint(0, 0) : corner;
        QByteArray full = key;
        for (qint64 v : {subpixel(size.width()), subpixel(size.height()), subpixel(s), subpixel(fraction.x()),
                         subpixel(fraction.y()), qint64(env.colorScheme), qint64(env.renderingMode), qint64(anchored),
                         qint64(anchored ? whole.x() : 0), qint64(anchored ? whole.y() : 0)})
            appendKey(full, v);

        thread_local std::deque<Drawing> drawings;
        auto it = std::find_if(drawings.begin(), drawings.end(), [&](const Drawing& d) { return d.key == full; });
        const QPoint skip = corner - origin;
        const QSize area(int(std::ceil(fraction.x() + size.width() * s)) + 2 * kDrawingMargin,
                         int(std::ceil(fraction.y() + size.height() * s)) + 2 * kDrawingMargin);
        if (it == drawings.end()) {
            QImage image(skip.x() + area.width(), skip.y() + area.height(), QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            {
                QPainter ip(&image);
                ip.setTransform(QTransform(s, 0, 0, s, t.dx() - origin.x(), t.dy() - origin.y()));
                paint(layout(content, size, env), ip);
            }
            if (drawings.size() >= kMaxDrawings)
                drawings.pop_front();
            drawings.push_back({std::move(full), std::move(image)});
            it = std::prev(drawings.end());
        }
        // One to one in device pixels: the world transform that cancels the device's own scale.
        // The rows go in bands: the raster engine hands a taller image to its worker threads,
        // whose wake-ups cost more than the copy.
        p.setWorldTransform((world.inverted() * p.deviceTransform()).inverted());
        const QImage& image = it->image;
        for (int y = 0; y < area.height(); y += kDrawingBand) {
            const int rows = std::min(kDrawingBand, area.height() - y);
            p.drawImage(corner + QPoint(0, y), QImage(image.constScanLine(skip.y() + y) + skip.x() * 4, area.width(), rows,
                                                      image.bytesPerLine(), image.format()));
        }
        p.setWorldTransform(world);
    });
}

} // namespace velk
