#include "shared/look/DotPieces.h"

#include <algorithm>
#include <cmath>
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
    if (!std::isfinite(v)) return 0;
    return int(std::clamp(v, 0.0, kMaxDots));
}

View dot(Color color, qreal d)
{
    return Circle().fill(color).frame(d, d);
}

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
        if (cols == 0 || rows == 0) return EmptyView();
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

} // namespace velk
