#include "platform/view/ShapePaths.h"
#include <QLineF>
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
        return roundedRect(r, s.cornerRadius);
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
