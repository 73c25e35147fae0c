// Shape outlines: the smooth rounded rectangle's corner geometry, how it gives way to a capsule
// when the radius outgrows the short side, and that stroking inside, trimming and clipping
// still follow it.
#include "platform/view/Layout.h"
#include "platform/view/ShapePaths.h"
#include <QLineF>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace velk;
using namespace velk::view;

namespace {

const Color kRed = Color::rgb255(255, 0, 0);

ShapeData continuous(qreal radius)
{
    ShapeData s;
    s.kind = ShapeKind::roundedRectangle;
    s.cornerRadius = radius;
    s.corner = CornerStyle::continuous;
    return s;
}

std::vector<QPointF> points(const QPainterPath& p)
{
    std::vector<QPointF> out;
    for (int i = 0; i < p.elementCount(); ++i)
        out.emplace_back(p.elementAt(i).x, p.elementAt(i).y);
    return out;
}

bool near(QPointF a, QPointF b, qreal tolerance = 1e-6)
{
    return QLineF(a, b).length() < tolerance;
}

// The sine of the turn between the directions a->b and b->c.
qreal turn(QPointF a, QPointF b, QPointF c)
{
    const QPointF u = b - a, v = c - b;
    return std::abs(u.x() * v.y() - u.y() * v.x()) / (QLineF(a, b).length() * QLineF(b, c).length());
}

TEST(ShapePath, ContinuousCornerLeavesTheEdgeEarlyAndWithoutAKink)
{
    const qreal r = 10, run = 1.52866 * r;
    const std::vector<QPointF> pts = points(shapePath(continuous(r), QRectF(0, 0, 100, 60)));
    // The top-right corner: the top edge ends about 1.53 radii before the corner, not one.
    const auto start = std::find_if(pts.begin(), pts.end(), [&](QPointF p) { return near(p, {100 - run, 0}, 1e-3); });
    ASSERT_NE(start, pts.end());
    ASSERT_GE(pts.end() - start, 10);
    const QPointF* c = &*start; // c[0] on-curve, then three cubics: c[1..3], c[4..6], c[7..9]
    // The first two handles lie on the edge and the last two on the next one, so the bend
    // starts from zero curvature; nothing crosses the corner's edges.
    EXPECT_NEAR(c[1].y(), 0, 1e-9);
    EXPECT_NEAR(c[2].y(), 0, 1e-9);
    EXPECT_NEAR(c[7].x(), 100, 1e-9);
    EXPECT_NEAR(c[8].x(), 100, 1e-9);
    EXPECT_NEAR(c[9].x(), 100, 1e-9);
    EXPECT_NEAR(c[9].y(), run, 1e-3);
    // The cubics meet with one tangent.
    EXPECT_LT(turn(c[2], c[3], c[4]), 0.01);
    EXPECT_LT(turn(c[5], c[6], c[7]), 0.01);
    // Where a circular corner would still be on the edge, the smooth one has left it.
    ShapeData circular = continuous(r);
    circular.corner = CornerStyle::circular;
    EXPECT_TRUE(shapePath(circular, QRectF(0, 0, 100, 60)).contains(QPointF(91, 0.1)));
    EXPECT_FALSE(shapePath(continuous(r), QRectF(0, 0, 100, 60)).contains(QPointF(91, 0.1)));
}

TEST(ShapePath, ContinuousOutlineStaysInItsFrameAtAnyRadius)
{
    const QRectF frame(10, 20, 100, 60);
    for (qreal r : {0.0, 4.0, 10.0, 19.0, 22.0, 30.0, 1000.0}) {
        const QPainterPath p = shapePath(continuous(r), frame);
        EXPECT_TRUE(frame.adjusted(-1e-9, -1e-9, 1e-9, 1e-9).contains(p.controlPointRect())) << r;
        const QRectF bounds = p.boundingRect();
        EXPECT_NEAR(bounds.left(), frame.left(), 1e-6) << r;
        EXPECT_NEAR(bounds.top(), frame.top(), 1e-6) << r;
        EXPECT_NEAR(bounds.right(), frame.right(), 1e-6) << r;
        EXPECT_NEAR(bounds.bottom(), frame.bottom(), 1e-6) << r;
        // Closed, starting at the middle of the right edge like every closed shape.
        EXPECT_TRUE(near(points(p).front(), {110, 50})) << r;
        EXPECT_TRUE(near(points(p).back(), {110, 50})) << r;
        EXPECT_TRUE(p.contains(frame.center())) << r;
        EXPECT_EQ(p.contains(frame.topLeft() + QPointF(0.5, 0.5)), r == 0) << r;
    }
}

TEST(ShapePath, ContinuousCornerAtHalfTheShortSideIsACapsule)
{
    // Radius 30 on a 60 high frame: the ends are half circles about (80, 50) and (40, 50).
    const QPainterPath p = shapePath(continuous(30), QRectF(10, 20, 100, 60));
    int checked = 0;
    for (const QPolygonF& poly : p.toSubpathPolygons())
        for (QPointF pt : poly)
            if (pt.x() > 80.5) {
                EXPECT_NEAR(QLineF(pt, {80, 50}).length(), 30, 0.01) << pt.x() << "," << pt.y();
                ++checked;
            }
    EXPECT_GT(checked, 8);
}

QColor pixel(const QImage& img, qreal x, qreal y)
{
    return img.pixelColor(int(x * img.devicePixelRatio()), int(y * img.devicePixelRatio()));
}

TEST(ShapePath, StrokeBorderTrimAndClipFollowTheSmoothCorner)
{
    const View shape = RoundedRectangle(20, CornerStyle::continuous);
    const QImage border = renderImage(shape.strokeBorder(kRed, 2).frame(100, 60), {100, 60}, 2);
    EXPECT_GT(pixel(border, 50, 1).alpha(), 200);
    EXPECT_EQ(pixel(border, 50, 30).alpha(), 0);
    EXPECT_EQ(pixel(border, 2, 2).alpha(), 0); // the corner is cut away

    // Half the outline from the right edge's middle runs clockwise over the bottom edge.
    const QImage half = renderImage(shape.trim(0, 0.5).stroke(kRed, 2).frame(100, 60), {100, 60}, 2);
    EXPECT_GT(pixel(half, 50, 59.5).alpha(), 200);
    EXPECT_EQ(pixel(half, 50, 0.5).alpha(), 0);

    const QImage clipped = renderImage(Rectangle().fill(kRed).frame(100, 60).clipShape(shape), {100, 60}, 2);
    EXPECT_EQ(pixel(clipped, 1, 1).alpha(), 0);
    EXPECT_EQ(pixel(clipped, 50, 30), QColor(255, 0, 0));
}

} // namespace

TEST(ShapePath, ATrimmedRingStaysRoundAtAnyScale)
{
    // Rings are trimmed circles. The trim keeps the curves, so the painter flattens them at the
    // device's resolution; straight pieces cut at view resolution show as facets when scaled.
    ShapeData ring;
    ring.kind = ShapeKind::circle;
    const QRectF frame(10, 20, 120, 120);
    const QPointF centre = frame.center();
    const qreal r = 60;
    struct Case {
        qreal from, to;
    };
    for (const Case c : {Case{0, 1}, Case{0, 0.37}, Case{0.1, 0.9}, Case{0.55, 0.6}, Case{0.25, 0.75}}) {
        const QPainterPath arc = trimPath(shapePath(ring, frame), c.from, c.to);
        int curves = 0;
        for (int i = 0; i < arc.elementCount(); ++i)
            curves += arc.elementAt(i).isCurveTo();
        EXPECT_GT(curves, 0) << c.from << "-" << c.to;
        // Every point along it, between the old facets' corners too, is on the circle as
        // closely as the circle's own four cubics (within 0.03 % of the radius).
        qreal worst = 0;
        for (int k = 0; k <= 400; ++k)
            worst = std::max(worst, std::abs(QLineF(centre, arc.pointAtPercent(k / 400.0)).length() - r));
        EXPECT_LT(worst, r * 3e-4) << c.from << "-" << c.to;
        // It runs over the share asked for, from where it was asked to start.
        EXPECT_NEAR(arc.length(), shapePath(ring, frame).length() * (c.to - c.from), 0.05) << c.from << "-" << c.to;
        const qreal start = std::atan2(arc.elementAt(0).y - centre.y(), arc.elementAt(0).x - centre.x());
        EXPECT_NEAR(std::remainder(start - 2 * M_PI * c.from, 2 * M_PI), 0, 1e-3) << c.from << "-" << c.to;
    }
    EXPECT_TRUE(trimPath(shapePath(ring, frame), 0.5, 0.5).isEmpty());
}
