#include "platform/view/Symbols.h"
#include <QHash>
#include <QLineF>
#include <QPainter>
#include <QTransform>
#include <QtMath>
#include <algorithm>

namespace velk::view {

namespace {

QPainterPath circle(qreal cx, qreal cy, qreal r)
{
    QPainterPath p;
    p.addEllipse(QPointF(cx, cy), r, r);
    return p;
}

QPainterPath polyline(std::initializer_list<QPointF> pts, bool close = false)
{
    QPainterPath p;
    bool first = true;
    for (const QPointF& pt : pts) {
        if (first)
            p.moveTo(pt);
        else
            p.lineTo(pt);
        first = false;
    }
    if (close) p.closeSubpath();
    return p;
}

QPainterPath line(qreal x1, qreal y1, qreal x2, qreal y2)
{
    return polyline({{x1, y1}, {x2, y2}});
}

QPainterPath roundRect(qreal x, qreal y, qreal w, qreal h, qreal r)
{
    QPainterPath p;
    p.addRoundedRect(QRectF(x, y, w, h), r, r);
    return p;
}

// The cloud's outline, its bottom edge at `bottom`, scaled by `s` about its centre.
QPainterPath cloud(qreal dx = 0, qreal dy = 0, qreal s = 1)
{
    QPainterPath c = circle(8.5, 13, 4.5).united(circle(13.5, 10, 6)).united(circle(18, 13.5, 4));
    c = c.united(roundRect(4, 12.5, 18, 5, 2.5)).simplified();
    QTransform t;
    t.translate(13 + dx, 12 + dy);
    t.scale(s, s);
    t.translate(-13, -12);
    return t.map(c);
}

QPainterPath moonShape(qreal cx, qreal cy, qreal r)
{
    QPainterPath outer = circle(cx, cy, r);
    QPainterPath bite = circle(cx + r * 0.55, cy - r * 0.45, r * 0.85);
    return outer.subtracted(bite).simplified();
}

QPainterPath sunRays(qreal cx, qreal cy, qreal inner, qreal outer)
{
    QPainterPath p;
    for (int i = 0; i < 8; ++i) {
        const qreal a = qDegreesToRadians(45.0 * i);
        p.moveTo(cx + inner * std::cos(a), cy + inner * std::sin(a));
        p.lineTo(cx + outer * std::cos(a), cy + outer * std::sin(a));
    }
    return p;
}

// The parts of an outline that lie outside `region`, as open strokes: a shape behind a cloud
// stops short of the cloud instead of running along its edge. Straight runs are cut where they
// enter the region, curves are followed finely.
QPainterPath outside(const QPainterPath& outline, const QPainterPath& region)
{
    QPainterPath out;
    constexpr qreal fine = 16, step = 0.05;
    for (const QPolygonF& poly : QTransform::fromScale(fine, fine).map(outline).toSubpathPolygons()) {
        bool drawing = false;
        for (qsizetype i = 0; i < poly.size(); ++i) {
            const QPointF to = poly[i] / fine;
            const QPointF from = i > 0 ? poly[i - 1] / fine : to;
            const int parts = std::max(1, int(std::ceil(QLineF(from, to).length() / step)));
            for (int k = i > 0 ? 1 : 0; k <= parts; ++k) {
                const QPointF pt = from + (to - from) * (qreal(k) / parts);
                if (region.contains(pt)) {
                    drawing = false;
                    continue;
                }
                if (drawing)
                    out.lineTo(pt);
                else
                    out.moveTo(pt);
                drawing = true;
            }
        }
    }
    return out;
}

QPainterPath star(qreal cx, qreal cy, qreal r)
{
    QPainterPath p;
    for (int i = 0; i < 8; ++i) {
        const qreal a = qDegreesToRadians(-90.0 + 45.0 * i);
        const qreal rr = (i % 2 == 0) ? r : r * 0.35;
        const QPointF pt(cx + rr * std::cos(a), cy + rr * std::sin(a));
        if (i == 0)
            p.moveTo(pt);
        else
            p.lineTo(pt);
    }
    p.closeSubpath();
    return p;
}

QPainterPath rainLines(int count, qreal length, qreal top)
{
    QPainterPath p;
    for (int i = 0; i < count; ++i) {
        const qreal x = 8 + i * (10.0 / std::max(1, count - 1));
        p.moveTo(x, top);
        p.lineTo(x - length * 0.35, top + length);
    }
    return p;
}

QPainterPath triangleRight(qreal x, qreal y, qreal w, qreal h)
{
    return polyline({{x, y}, {x + w, y + h / 2}, {x, y + h}}, true);
}

QPainterPath checkPath(qreal cx, qreal cy, qreal s)
{
    return polyline({{cx - 5.5 * s, cy + 0.5 * s}, {cx - 1.5 * s, cy + 4.5 * s}, {cx + 6 * s, cy - 5 * s}});
}

QHash<QString, SymbolShape> buildSymbols()
{
    QHash<QString, SymbolShape> m;
    auto add = [&](const char* name, QPainterPath stroke, QPainterPath fill = {}, qreal aspect = 1) {
        m.insert(QString::fromLatin1(name), SymbolShape{std::move(stroke), std::move(fill), aspect});
    };
    add("checkmark", checkPath(12, 12, 1.3));
    add("circle", circle(12, 12, 10));
    add("circle.fill", {}, circle(12, 12, 10));
    {
        QPainterPath p = circle(12, 12, 10);
        p.addPath(checkPath(12, 12, 0.8));
        add("checkmark.circle", p);
    }
    {
        QPainterPathStroker st;
        st.setWidth(2.2);
        st.setCapStyle(Qt::RoundCap);
        st.setJoinStyle(Qt::RoundJoin);
        add("checkmark.circle.fill", {}, circle(12, 12, 10).subtracted(st.createStroke(checkPath(12, 12, 0.8))));
    }
    {
        QPainterPath p = line(12, 4, 12, 20);
        p.addPath(line(4, 12, 20, 12));
        add("plus", p);
    }

    {
        QPainterPath sun = circle(12, 12, 4.5);
        sun.addPath(sunRays(12, 12, 7.5, 10.5));
        add("sun.max", sun);
        add("sun.max.fill", sunRays(12, 12, 7.5, 10.5), circle(12, 12, 5));
    }
    add("moon", moonShape(11, 12, 9));
    add("moon.fill", {}, moonShape(11, 12, 9));
    {
        QPainterPath s = moonShape(10, 13.5, 8);
        add("moon.stars", s, star(18.5, 5.5, 3.2).united(star(21, 11, 2)));
    }
    add("cloud", cloud(0, 2));
    add("cloud.fill", {}, cloud(0, 2));
    {
        QPainterPath p = cloud(1.5, 3, 0.9);
        QPainterPath sun = circle(8, 8, 3.5);
        sun.addPath(sunRays(8, 8, 5.5, 7.5));
        p.addPath(outside(sun, cloud(1.5, 3, 1.12)));
        add("cloud.sun", p);
    }
    {
        QPainterPath p = cloud(1.5, 3, 0.9);
        p.addPath(outside(moonShape(8, 7.5, 5), cloud(1.5, 3, 1.12)));
        add("cloud.moon", p);
    }
    {
        QPainterPath p = cloud(0, -2.5, 0.9);
        p.addPath(line(5, 18.5, 19, 18.5));
        p.addPath(line(7, 22, 17, 22));
        add("cloud.fog", p);
    }
    {
        QPainterPath p = cloud(0, -2.5, 0.9);
        p.addPath(rainLines(3, 1.5, 18.5));
        p.addPath(rainLines(3, 1.5, 21.5).translated(-1.5, 0));
        add("cloud.drizzle", p);
    }
    {
        QPainterPath p = cloud(0, -2.5, 0.9);
        p.addPath(rainLines(3, 4, 18.5));
        add("cloud.rain", p);
    }
    {
        QPainterPath p = cloud(0, -2.5, 0.9);
        p.addPath(rainLines(4, 5.5, 18));
        add("cloud.heavyrain", p);
    }
    {
        QPainterPath p = cloud(0, -2.5, 0.9);
        QPainterPath flakes;
        for (QPointF c : {QPointF(8, 19.5), QPointF(13, 21.5), QPointF(18, 19.5)}) {
            flakes.addPath(line(c.x() - 1.4, c.y(), c.x() + 1.4, c.y()));
            flakes.addPath(line(c.x() - 0.7, c.y() - 1.2, c.x() + 0.7, c.y() + 1.2));
            flakes.addPath(line(c.x() - 0.7, c.y() + 1.2, c.x() + 0.7, c.y() - 1.2));
        }
        p.addPath(flakes);
        add("cloud.snow", p);
    }
    {
        QPainterPath p = cloud(0, -2.5, 0.9);
        p.addPath(line(7, 18.5, 6, 21.5));
        p.addPath(line(18, 18.5, 17, 21.5));
        add("cloud.bolt.rain", p,
            polyline({{13.5, 16}, {10, 20.5}, {12.5, 20.5}, {11, 24}, {15.5, 18.5}, {13, 18.5}, {14.5, 16}}, true));
    }
    add("play.fill", {}, polyline({{6, 3.5}, {20, 12}, {6, 20.5}}, true));
    {
        QPainterPath p = roundRect(5, 4, 5, 16, 1.2);
        p.addPath(roundRect(14, 4, 5, 16, 1.2));
        add("pause.fill", {}, p);
    }
    {
        QPainterPath p = triangleRight(3, 6, 12, 12);
        p.addPath(triangleRight(15, 6, 12, 12));
        add("forward.fill", {}, p, 30.0 / 24.0);
        QTransform flip;
        flip.translate(30, 0);
        flip.scale(-1, 1);
        add("backward.fill", {}, flip.map(p), 30.0 / 24.0);
    }
    add("play.circle", circle(12, 12, 10), polyline({{9.5, 7.5}, {16.5, 12}, {9.5, 16.5}}, true));
    {
        QPainterPath p = roundRect(4, 3, 16, 18, 2.5);
        p.addPath(line(8, 9, 16, 9));
        p.addPath(line(8, 12.5, 16, 12.5));
        p.addPath(line(8, 16, 13, 16));
        add("note.text", p);
    }
    {
        QPainterPath p = line(6, 20, 6, 13);
        p.addPath(line(12, 20, 12, 5));
        p.addPath(line(18, 20, 18, 10));
        add("chart.bar", p);
    }
    {
        QPainterPath p = polyline({{12, 5}, {5, 5}, {5, 19}, {19, 19}, {19, 12}});
        p.addPath(polyline({{10, 14}, {10.5, 11.5}, {18.5, 3.5}, {20.5, 5.5}, {12.5, 13.5}}, true));
        add("square.and.pencil", p);
    }
    {
        QPainterPath p;
        p.moveTo(12, 2.5);
        p.cubicTo(15, 4.5, 18, 5, 20, 5);
        p.cubicTo(20, 14, 17, 19, 12, 21.5);
        p.cubicTo(7, 19, 4, 14, 4, 5);
        p.cubicTo(6, 5, 9, 4.5, 12, 2.5);
        p.addPath(roundRect(9, 11, 6, 5, 1));
        p.addPath(polyline({{10, 11}, {10, 9.5}}));
        p.arcMoveTo(QRectF(10, 7.5, 4, 4), 180);
        p.arcTo(QRectF(10, 7.5, 4, 4), 180, -180);
        p.lineTo(14, 11);
        add("lock.shield", p);
    }
    {
        QPainterPath p = line(4, 6, 20, 6);
        p.addPath(polyline({{9, 6}, {9.5, 3.5}, {14.5, 3.5}, {15, 6}}));
        p.addPath(polyline({{6, 6}, {7, 20.5}, {17, 20.5}, {18, 6}}));
        p.addPath(line(10, 10, 10, 17));
        p.addPath(line(14, 10, 14, 17));
        add("trash", p);
    }
    {
        QPainterPath head;
        head.moveTo(8, 3);
        head.lineTo(16, 3);
        head.lineTo(15, 9);
        head.lineTo(18, 13);
        head.lineTo(6, 13);
        head.lineTo(9, 9);
        head.closeSubpath();
        add("pin", head, {});
        m[QStringLiteral("pin")].stroke.addPath(line(12, 13, 12, 21.5));
        add("pin.fill", line(12, 13, 12, 21.5), head);
    }
    {
        QPainterPath g;
        const int teeth = 8;
        for (int i = 0; i < teeth * 2; ++i) {
            const qreal a0 = qDegreesToRadians(360.0 / (teeth * 2) * i);
            const qreal r = (i % 2 == 0) ? 10 : 7.8;
            const qreal a1 = qDegreesToRadians(360.0 / (teeth * 2) * (i + 1));
            const QPointF p0(12 + r * std::cos(a0), 12 + r * std::sin(a0));
            const QPointF p1(12 + r * std::cos(a1), 12 + r * std::sin(a1));
            if (i == 0)
                g.moveTo(p0);
            else
                g.lineTo(p0);
            g.lineTo(p1);
        }
        g.closeSubpath();
        g.addPath(circle(12, 12, 3.2));
        add("gearshape", g);
    }
    {
        QPainterPath p = roundRect(2.5, 4, 19, 16, 2.5);
        p.addPath(polyline({{6.5, 9}, {9.5, 12}, {6.5, 15}}));
        p.addPath(line(11.5, 15, 16, 15));
        add("terminal", p);
    }
    {
        QPainterPath p;
        for (int i = 0; i < 3; ++i) {
            const qreal y = 5 + i * 7;
            p.addPath(polyline({{3, y}, {4.8, y + 1.8}, {8, y - 1.5}}));
            p.addPath(line(11, y, 21, y));
        }
        add("checklist", p);
    }
    {
        QPainterPath p;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                p.addPath(circle(5 + c * 7, 5 + r * 7, 2.4));
        add("circle.grid.3x3.fill", {}, p);
    }
    {
        QPainterPath p = circle(12, 12, 10);
        p.addPath(polyline({{12, 6.5}, {12, 12}, {16, 14.5}}));
        add("clock", p);
    }
    {
        QPainterPath p = roundRect(3, 4.5, 18, 16.5, 2.5);
        p.addPath(line(3, 9.5, 21, 9.5));
        p.addPath(line(8, 2.5, 8, 6.5));
        p.addPath(line(16, 2.5, 16, 6.5));
        QPainterPath days;
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 3; ++c)
                if (r == 0 || c < 2) days.addPath(circle(8 + c * 4, 13.5 + r * 3.8, 1.25));
        add("calendar", p, days);
    }
    {
        // An outlined body; the cap and a charge three quarters of the way across are solid.
        QPainterPath charge = roundRect(4, 9.5, 13 * 0.75, 5, 1);
        charge.addPath(roundRect(20.5, 9.5, 2.5, 5, 1.2));
        add("battery.75percent", roundRect(1.5, 7, 18, 10, 2.5), charge);
    }
    {
        QPainterPath p = circle(12, 13.5, 8.5);
        p.addPath(line(9.5, 2.5, 14.5, 2.5));
        p.addPath(line(12, 2.5, 12, 5));
        p.addPath(line(18.5, 6.5, 20, 5));
        p.addPath(line(12, 13.5, 15.5, 10));
        add("timer", p);
    }
    {
        QPainterPath p;
        p.moveTo(12, 20.5);
        p.cubicTo(4.5, 15.5, 2.5, 11.5, 2.5, 8.5);
        p.cubicTo(2.5, 5.5, 4.8, 3.5, 7.3, 3.5);
        p.cubicTo(9.3, 3.5, 11, 4.8, 12, 6.8);
        p.cubicTo(13, 4.8, 14.7, 3.5, 16.7, 3.5);
        p.cubicTo(19.2, 3.5, 21.5, 5.5, 21.5, 8.5);
        p.cubicTo(21.5, 11.5, 19.5, 15.5, 12, 20.5);
        p.closeSubpath();
        add("heart", p);
    }
    {
        QPainterPath p = roundRect(5.5, 5.5, 13, 13, 2);
        for (qreal at : {9.5, 14.5}) {
            p.addPath(line(at, 2.5, at, 5.5));
            p.addPath(line(at, 18.5, at, 21.5));
            p.addPath(line(2.5, at, 5.5, at));
            p.addPath(line(18.5, at, 21.5, at));
        }
        add("cpu", p, roundRect(9.5, 9.5, 5, 5, 1));
    }
    {
        // A large outlined sparkle and a small solid one: four points, sides curving inwards.
        auto sparkle = [](qreal cx, qreal cy, qreal r) {
            QPainterPath s;
            s.moveTo(cx, cy - r);
            const QPointF tips[] = {{cx + r, cy}, {cx, cy + r}, {cx - r, cy}, {cx, cy - r}};
            const qreal k = r * 0.2;
            const QPointF bends[] = {{cx + k, cy - k}, {cx + k, cy + k}, {cx - k, cy + k}, {cx - k, cy - k}};
            for (int i = 0; i < 4; ++i)
                s.quadTo(bends[i], tips[i]);
            s.closeSubpath();
            return s;
        };
        add("sparkles", sparkle(10, 13.5, 9), sparkle(19, 5, 4));
    }
    return m;
}

const QHash<QString, SymbolShape>& symbols()
{
    static const QHash<QString, SymbolShape> table = buildSymbols();
    return table;
}

qreal strokeUnits(Weight w)
{
    switch (w) {
    case Weight::ultraLight:
        return 0.8;
    case Weight::thin:
        return 1.1;
    case Weight::light:
        return 1.5;
    case Weight::regular:
        return 1.9;
    case Weight::medium:
        return 2.2;
    case Weight::semibold:
        return 2.5;
    case Weight::bold:
        return 2.9;
    case Weight::heavy:
        return 3.3;
    case Weight::black:
        return 3.7;
    }
    return 1.9;
}

} // namespace

const SymbolShape* symbolShape(const QString& name)
{
    const auto& t = symbols();
    auto it = t.constFind(name);
    return it == t.constEnd() ? nullptr : &*it;
}

bool hasSymbol(const QString& name)
{
    return symbolShape(name) != nullptr;
}

QStringList symbolNames()
{
    QStringList names = symbols().keys();
    names.sort();
    return names;
}

void paintSymbol(QPainter& painter, const SymbolShape& s, const QRectF& box, Weight weight, const QBrush& brush)
{
    const qreal k = box.height() / 24.0;
    painter.save();
    painter.translate(box.topLeft());
    painter.scale(k, k);
    if (!s.fill.isEmpty()) painter.fillPath(s.fill, brush);
    if (!s.stroke.isEmpty()) {
        QPen pen(brush, strokeUnits(weight), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter.strokePath(s.stroke, pen);
    }
    painter.restore();
}

} // namespace velk::view
