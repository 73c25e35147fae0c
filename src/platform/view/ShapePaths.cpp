#include "platform/view/ShapePaths.h"
#include <QLineF>
#include <algorithm>
#include <cmath>

namespace velk::view {

namespace {

// A clockwise rounded rectangle starting at the middle of its right edge.
QPainterPath roundedRect(const QRectF& r, qreal radius)
{
    const qreal rad = std::clamp<qreal>(radius, 0, std::min(r.width(), r.height()) / 2);
    QPainterPath p;
    p.moveTo(r.right(), r.center().y());
    if (rad <= 0) {
        p.lineTo(r.bottomRight());
        p.lineTo(r.bottomLeft());
        p.lineTo(r.topLeft());
        p.lineTo(r.topRight());
        p.closeSubpath();
        return p;
    }
    const qreal d = rad * 2;
    p.lineTo(r.right(), r.bottom() - rad);
    p.arcTo(QRectF(r.right() - d, r.bottom() - d, d, d), 0, -90);
    p.lineTo(r.left() + rad, r.bottom());
    p.arcTo(QRectF(r.left(), r.bottom() - d, d, d), -90, -90);
    p.lineTo(r.left(), r.top() + rad);
    p.arcTo(QRectF(r.left(), r.top(), d, d), 180, -90);
    p.lineTo(r.right() - rad, r.top());
    p.arcTo(QRectF(r.right() - d, r.top(), d, d), 90, -90);
    p.closeSubpath();
    return p;
}

// One corner drawn as three cubics, as offsets from the corner point in units of the radius:
// `a` back along the edge coming in, `b` on along the edge going out. The smooth corner leaves
// the edge 1.52866 radii before the corner with its first two handles on the edge line, so the
// curvature grows from zero instead of jumping to 1/r the way a circular arc does.
struct CornerPoint {
    qreal a, b;
};
constexpr qreal kSmoothExtent = 1.52866483;
constexpr CornerPoint kSmoothCorner[9] = {
    {1.08849323, 0}, {0.86840689, 0}, {0.66993427, 0.06549600},
    {0.37282868, 0.16215500}, {0.16215444, 0.37282857}, {0.06549569, 0.66993493},
    {0, 0.86840701}, {0, 1.08849299}, {0, kSmoothExtent},
};
// A quarter circle cut into three 30 degree cubics with the same layout, so the two can be
// blended point by point when a corner has no room for its smooth run-in.
constexpr CornerPoint kCircularCorner[9] = {
    {0.82446334, 0}, {0.65201665, 0.04620792}, {0.5, 0.13397460},
    {0.34798335, 0.22174129}, {0.22174129, 0.34798335}, {0.13397460, 0.5},
    {0.04620792, 0.65201665}, {0, 0.82446334}, {0, 1},
};

// A clockwise rounded rectangle with smooth corners, starting at the middle of its right edge.
// A smooth corner needs 1.53 radii of edge; where the short side cannot give that, the corner
// turns gradually into a circular arc, which at half the short side makes a capsule.
QPainterPath continuousRect(const QRectF& r, qreal radius)
{
    const qreal half = std::min(r.width(), r.height()) / 2;
    const qreal rad = std::clamp<qreal>(radius, 0, half);
    if (rad <= 0)
        return roundedRect(r, 0);
    const qreal extent = std::min(kSmoothExtent, half / rad); // in radii, 1 when circular
    const qreal t = (extent - 1) / (kSmoothExtent - 1);
    QPainterPath p;
    p.moveTo(r.right(), r.center().y());
    auto corner = [&](QPointF at, QPointF in, QPointF out) {
        auto point = [&](const CornerPoint& s, const CornerPoint& c) {
            const qreal a = c.a + (s.a - c.a) * t, b = c.b + (s.b - c.b) * t;
            return at + (out * b - in * a) * rad;
        };
        p.lineTo(at - in * (extent * rad));
        for (int i = 0; i < 9; i += 3)
            p.cubicTo(point(kSmoothCorner[i], kCircularCorner[i]),
                      point(kSmoothCorner[i + 1], kCircularCorner[i + 1]),
                      point(kSmoothCorner[i + 2], kCircularCorner[i + 2]));
    };
    corner(r.bottomRight(), QPointF(0, 1), QPointF(-1, 0));
    corner(r.bottomLeft(), QPointF(-1, 0), QPointF(0, -1));
    corner(r.topLeft(), QPointF(0, -1), QPointF(1, 0));
    corner(r.topRight(), QPointF(1, 0), QPointF(0, 1));
    p.closeSubpath();
    return p;
}

QPainterPath ellipse(const QRectF& r)
{
    QPainterPath p;
    p.moveTo(r.right(), r.center().y());
    p.arcTo(r, 0, -360);
    p.closeSubpath();
    return p;
}

} // namespace

QPainterPath shapePath(const ShapeData& s, const QRectF& frame)
{
    const QRectF r = frame.normalized();
    switch (s.kind) {
    case ShapeKind::rectangle:
        return roundedRect(r, 0);
    case ShapeKind::roundedRectangle:
        return s.corner == CornerStyle::continuous ? continuousRect(r, s.cornerRadius)
                                                   : roundedRect(r, s.cornerRadius);
    case ShapeKind::capsule:
        return roundedRect(r, std::min(r.width(), r.height()) / 2);
    case ShapeKind::circle: {
        const qreal d = std::min(r.width(), r.height());
        return ellipse(QRectF(r.center().x() - d / 2, r.center().y() - d / 2, d, d));
    }
    case ShapeKind::ellipse:
        return ellipse(r);
    case ShapeKind::path: {
        QPainterPath p = s.build ? s.build(QRectF(QPointF(0, 0), r.size())) : s.path;
        p.translate(r.topLeft());
        return p;
    }
    }
    return {};
}

QPainterPath trimPath(const QPainterPath& path, qreal from, qreal to)
{
    QPainterPath out;
    if (!(to > from))
        return out;
    const QList<QPolygonF> polys = path.toSubpathPolygons();
    qreal total = 0;
    for (const QPolygonF& poly : polys)
        for (qsizetype i = 1; i < poly.size(); ++i)
            total += QLineF(poly[i - 1], poly[i]).length();
    if (total <= 0)
        return out;
    const qreal start = from * total, end = to * total;
    qreal walked = 0;
    for (const QPolygonF& poly : polys) {
        bool drawing = false;
        for (qsizetype i = 1; i < poly.size(); ++i) {
            const QLineF seg(poly[i - 1], poly[i]);
            const qreal len = seg.length();
            const qreal a = walked, b = walked + len;
            walked = b;
            if (len <= 0 || b < start || a > end)
                continue;
            const qreal t0 = std::clamp((start - a) / len, 0.0, 1.0);
            const qreal t1 = std::clamp((end - a) / len, 0.0, 1.0);
            if (!drawing) {
                out.moveTo(seg.pointAt(t0));
                drawing = true;
            }
            out.lineTo(seg.pointAt(t1));
        }
    }
    return out;
}

} // namespace velk::view
