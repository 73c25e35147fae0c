#include "platform/view/ShapePaths.h"
#include <QLineF>
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

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
    {1.08849323, 0},          {0.86840689, 0},          {0.66993427, 0.06549600},
    {0.37282868, 0.16215500}, {0.16215444, 0.37282857}, {0.06549569, 0.66993493},
    {0, 0.86840701},          {0, 1.08849299},          {0, kSmoothExtent},
};
// A quarter circle cut into three 30 degree cubics with the same layout, so the two can be
// blended point by point when a corner has no room for its smooth run-in.
constexpr CornerPoint kCircularCorner[9] = {
    {0.82446334, 0},          {0.65201665, 0.04620792}, {0.5, 0.13397460},
    {0.34798335, 0.22174129}, {0.22174129, 0.34798335}, {0.13397460, 0.5},
    {0.04620792, 0.65201665}, {0, 0.82446334},          {0, 1},
};

// A clockwise rounded rectangle with smooth corners, starting at the middle of its right edge.
// A smooth corner needs 1.53 radii of edge; where the short side cannot give that, the corner
// turns gradually into a circular arc, which at half the short side makes a capsule.
QPainterPath continuousRect(const QRectF& r, qreal radius)
{
    const qreal half = std::min(r.width(), r.height()) / 2;
    const qreal rad = std::clamp<qreal>(radius, 0, half);
    if (rad <= 0) return roundedRect(r, 0);
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
            p.cubicTo(point(kSmoothCorner[i], kCircularCorner[i]), point(kSmoothCorner[i + 1], kCircularCorner[i + 1]),
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
        return s.corner == CornerStyle::continuous ? continuousRect(r, s.cornerRadius) : roundedRect(r, s.cornerRadius);
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

namespace {

// One piece of an outline: a straight line (c1 and c2 unused) or a cubic, with its length and,
// for a cubic, the length walked at each of kSteps even steps of its parameter.
struct Piece {
    static constexpr int kSteps = 32;
    QPointF p0, c1, c2, p3;
    bool curve = false;
    bool starts = false; // the first piece of a subpath
    qreal length = 0;
    std::array<qreal, kSteps + 1> walked{};

    QPointF at(qreal t) const
    {
        const qreal s = 1 - t;
        return p0 * (s * s * s) + c1 * (3 * s * s * t) + c2 * (3 * s * t * t) + p3 * (t * t * t);
    }
    // The curve's parameter where `len` of its length has been walked.
    qreal paramAt(qreal len) const
    {
        const auto it = std::lower_bound(walked.begin(), walked.end(), len);
        if (it == walked.begin()) return 0;
        if (it == walked.end()) return 1;
        const auto i = it - walked.begin();
        const qreal span = walked[i] - walked[i - 1];
        return (i - 1 + (span > 0 ? (len - walked[i - 1]) / span : 0)) / kSteps;
    }
};

std::vector<Piece> pieces(const QPainterPath& path)
{
    std::vector<Piece> out;
    QPointF current, subpathStart;
    bool fresh = true;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            current = subpathStart = e;
            fresh = true;
            continue;
        }
        Piece piece;
        piece.p0 = current;
        piece.starts = fresh;
        if (e.isCurveTo() && i + 2 < path.elementCount()) {
            piece.curve = true;
            piece.c1 = e;
            piece.c2 = path.elementAt(i + 1);
            piece.p3 = path.elementAt(i + 2);
            i += 2;
            QPointF last = piece.p0;
            for (int k = 1; k <= Piece::kSteps; ++k) {
                const QPointF next = piece.at(qreal(k) / Piece::kSteps);
                piece.walked[k] = piece.walked[k - 1] + QLineF(last, next).length();
                last = next;
            }
            piece.length = piece.walked.back();
        } else {
            piece.p3 = e;
            piece.length = QLineF(piece.p0, piece.p3).length();
        }
        current = piece.p3;
        fresh = false;
        out.push_back(piece);
    }
    return out;
}

} // namespace

QPainterPath trimPath(const QPainterPath& path, qreal from, qreal to)
{
    // The curves stay curves: a ring trimmed here is flattened by the painter at the device's
    // resolution, so it is round at any scale.
    QPainterPath out;
    if (!(to > from)) return out;
    const std::vector<Piece> all = pieces(path);
    qreal total = 0;
    for (const Piece& piece : all)
        total += piece.length;
    if (total <= 0) return out;
    const qreal start = from * total, end = to * total;
    qreal walked = 0;
    bool drawing = false;
    for (const Piece& piece : all) {
        const qreal a = walked, b = walked + piece.length;
        walked = b;
        if (piece.starts) drawing = false;
        if (piece.length <= 0 || b < start || a > end) continue;
        const qreal l0 = std::clamp(start - a, qreal(0), piece.length);
        const qreal l1 = std::clamp(end - a, qreal(0), piece.length);
        if (!piece.curve) {
            const QLineF seg(piece.p0, piece.p3);
            if (!drawing) out.moveTo(seg.pointAt(l0 / piece.length));
            out.lineTo(seg.pointAt(l1 / piece.length));
            drawing = true;
            continue;
        }
        // The part of the cubic between t0 and t1, by de Casteljau: the head up to t1, then the
        // tail of that head from t0 / t1.
        const qreal t0 = piece.paramAt(l0), t1 = piece.paramAt(l1);
        auto lerp = [](QPointF p, QPointF q, qreal t) { return p + (q - p) * t; };
        QPointF p0 = piece.p0, c1 = lerp(piece.p0, piece.c1, t1);
        const QPointF m = lerp(piece.c1, piece.c2, t1);
        QPointF c2 = lerp(c1, m, t1);
        QPointF p3 = piece.at(t1);
        if (t0 > 0 && t1 > 0) {
            const qreal s = t0 / t1;
            const QPointF q1 = lerp(p0, c1, s), q2 = lerp(c1, c2, s), q3 = lerp(c2, p3, s);
            const QPointF r1 = lerp(q1, q2, s), r2 = lerp(q2, q3, s);
            p0 = lerp(r1, r2, s);
            c1 = r2;
            c2 = q3;
        }
        if (!drawing) out.moveTo(p0);
        out.cubicTo(c1, c2, p3);
        drawing = true;
    }
    return out;
}

} // namespace velk::view
