#include "platform/core/Clock.h"
#include "platform/view/Glow.h"
#include "platform/view/LayoutNodes.h"
#include "platform/view/ShapePaths.h"
#include "platform/view/Symbols.h"
#include <QLinearGradient>
#include <QPainter>
#include <cmath>

namespace velk::view {

using detail::drawLayer;
using detail::glow;
using detail::inRowBands;
using detail::Layer;

namespace {

// Device rows a large translucent fill is drawn in at a time (see inRowBands): a row of an
// antialiased shape has up to four spans, and fewer than about a hundred stay on this thread.
constexpr int kShapeBand = 20;

QColor qcolor(const Color& c)
{
    return QColor::fromRgbF(float(std::clamp(c.r, 0.0, 1.0)), float(std::clamp(c.g, 0.0, 1.0)),
                            float(std::clamp(c.b, 0.0, 1.0)), float(std::clamp(c.a, 0.0, 1.0)));
}

QBrush brush(const Fill& f, const QRectF& frame)
{
    if (const Color* c = f.color()) return QBrush(qcolor(*c));
    const LinearGradient& g = *f.gradient();
    QLinearGradient lg(frame.left() + g.startPoint.x * frame.width(), frame.top() + g.startPoint.y * frame.height(),
                       frame.left() + g.endPoint.x * frame.width(), frame.top() + g.endPoint.y * frame.height());
    for (const GradientStop& s : g.stops)
        lg.setColorAt(std::clamp<qreal>(s.location, 0, 1), qcolor(s.color));
    return QBrush(lg);
}

// A large drawing in one colour is drawn in bands of rows (see inRowBands). Gradients are
// drawn at once: their colours are worked out along each span, which a band can shift.
template <class Draw>
void bandsFor(const Fill& f, QPainter& p, const QRectF& bounds, Draw&& draw)
{
    const Color* c = f.color();
    // An opaque fill never reaches the worker threads, and bands would only slow it.
    if (c && (c->a < 1 || p.opacity() < 1))
        inRowBands(p, bounds, kShapeBand, draw);
    else
        draw();
}

bool invisible(const Fill& f)
{
    const Color* c = f.color();
    return c && c->a <= 0;
}

// How many separately blended drawings a subtree makes, counted no further than `limit`. Each
// one is blended with the painter's opacity on its own, so where there are two or more (which
// can overlap) a faded group has to be composited first and faded once. A canvas counts as one:
// what it draws is its own business.
int drawings(const LaidOutNode& n, int limit = 2)
{
    const RNode& r = *n.source;
    const Node& node = *r.node;
    switch (r.kind) {
    case Kind::text:
    case Kind::timerText:
        return node.style.strikethrough.value_or(r.inherited->style.strikethrough.value_or(false)) ? 2 : 1;
    case Kind::shape:
        return node.shape.strokeFill && node.shape.fill ? 2 : 1;
    case Kind::image: {
        const SymbolShape* s = symbolShape(node.text);
        return !s ? 0 : !s->fill.isEmpty() && !s->stroke.isEmpty() ? 2 : 1;
    }
    case Kind::timerProgress: // the track and the bar over it
        return 2;
    case Kind::color:
    case Kind::canvas:
        return 1;
    case Kind::opacity:
        if (node.value <= 0) return 0;
        break;
    case Kind::clip: // the clip shape itself is not drawn
        return drawings(n.children[0], limit);
    case Kind::mask: // content and mask end as one composited image
        return std::min(1, drawings(n.children[0], 1));
    case Kind::shadow:
        if (node.color.a > 0 && node.value > 0) return limit; // the glow under the content
        break;
    default:
        break;
    }
    int count = 0;
    for (const LaidOutNode& c : n.children) {
        count += drawings(c, limit - count);
        if (count >= limit) return count;
    }
    return count;
}

QTransform anchored(const QRectF& frame, UnitPoint anchor, const QTransform& t)
{
    const QPointF a(frame.left() + anchor.x * frame.width(), frame.top() + anchor.y * frame.height());
    return QTransform::fromTranslate(-a.x(), -a.y()) * t * QTransform::fromTranslate(a.x(), a.y());
}

class Painter {
public:
    explicit Painter(const Environment& env) : env_(env) {}
    void paintNode(const LaidOutNode& n, QPainter& p);

private:
    void paintChildren(const LaidOutNode& n, QPainter& p)
    {
        for (const LaidOutNode& c : n.children)
            paintNode(c, p);
    }
    void paintText(const LaidOutNode& n, const RNode& r, QPainter& p);
    void paintShape(const LaidOutNode& n, const RNode& r, QPainter& p);
    void paintShadow(const LaidOutNode& n, const Node& node, QPainter& p);
    void paintMask(const LaidOutNode& n, QPainter& p);

    Environment env_;
};

void Painter::paintText(const LaidOutNode& n, const RNode& r, QPainter& p)
{
    QStringList lines = n.lines;
    if (r.kind == Kind::timerText) {
        const QString now = currentText(r, n);
        if (lines.join(QLatin1Char('\n')) != now) lines = QStringList{now};
    }
    const TextDecoration s(r.node->style, r.inherited->style);
    const FontEntry& f = fontEntry(r.text.font, r.text.tracking, n.fontScale);
    const qreal lh = f.lineHeight();
    const qreal spacing = r.text.lineSpacing * n.fontScale;
    const TextAlignment align = s.alignment;
    const bool strike = s.strikethrough;
    const QPen pen(brush(r.foreground, n.frame), 1);
    p.setPen(pen);
    for (int i = 0; i < lines.size(); ++i) {
        const qreal width = f.advance(lines[i]);
        qreal x = n.frame.left();
        if (align == TextAlignment::center)
            x += (n.frame.width() - width) / 2;
        else if (align == TextAlignment::trailing)
            x += n.frame.width() - width;
        const qreal baseline = n.frame.top() + i * (lh + spacing) + f.ascent();
        f.draw(p, QPointF(x, baseline), lines[i]);
        if (strike && !lines[i].isEmpty()) {
            const qreal thickness = std::max<qreal>(0.5, f.metrics().lineWidth());
            const qreal y = baseline - f.metrics().strikeOutPos();
            const Fill strikeFill = s.strikethroughColor ? Fill(*s.strikethroughColor) : r.foreground;
            p.fillRect(QRectF(x, y - thickness / 2, width - f.tracking(), thickness), brush(strikeFill, n.frame));
        }
    }
}

void Painter::paintShape(const LaidOutNode& n, const RNode& r, QPainter& p)
{
    const ShapeData& s = r.node->shape;
    const bool stroked = s.strokeFill.has_value();
    if (s.kind == ShapeKind::circle && !stroked && s.trimFrom <= 0 && s.trimTo >= 1) {
        // Dots are the bulk of every widget: the painter's own ellipse is much cheaper than a path.
        const Fill f = s.fill.value_or(r.foreground);
        if (invisible(f)) return;
        const qreal d = std::min(n.frame.width(), n.frame.height());
        const QRectF dot(n.frame.center().x() - d / 2, n.frame.center().y() - d / 2, d, d);
        p.setPen(Qt::NoPen);
        p.setBrush(brush(f, n.frame));
        p.drawEllipse(dot);
        p.setBrush(Qt::NoBrush);
        return;
    }
    QRectF rect = n.frame;
    if (stroked && s.strokeInside)
        rect.adjust(s.stroke.lineWidth / 2, s.stroke.lineWidth / 2, -s.stroke.lineWidth / 2, -s.stroke.lineWidth / 2);
    QPainterPath path = shapePath(s, rect);
    if (s.trimFrom > 0 || s.trimTo < 1) path = trimPath(path, s.trimFrom, s.trimTo);
    if (!stroked || s.fill) {
        const Fill f = s.fill.value_or(r.foreground);
        if (!invisible(f)) {
            const QBrush b = brush(f, n.frame);
            bandsFor(f, p, path.controlPointRect(), [&] { p.fillPath(path, b); });
        }
    }
    if (stroked && !invisible(*s.strokeFill) && s.stroke.lineWidth > 0) {
        QPen pen(brush(*s.strokeFill, n.frame), s.stroke.lineWidth);
        pen.setCapStyle(s.stroke.lineCap == LineCap::round    ? Qt::RoundCap
                        : s.stroke.lineCap == LineCap::square ? Qt::SquareCap
                                                              : Qt::FlatCap);
        pen.setJoinStyle(s.stroke.lineJoin == LineJoin::round   ? Qt::RoundJoin
                         : s.stroke.lineJoin == LineJoin::bevel ? Qt::BevelJoin
                                                                : Qt::MiterJoin);
        if (!s.stroke.dash.empty()) {
            QList<qreal> pattern;
            for (qreal d : s.stroke.dash)
                pattern << std::max<qreal>(0.001, d / s.stroke.lineWidth);
            if (pattern.size() % 2) pattern << pattern;
            pen.setDashPattern(pattern);
            pen.setDashOffset(s.stroke.dashPhase / s.stroke.lineWidth);
        }
        p.strokePath(path, pen);
    }
}

void Painter::paintShadow(const LaidOutNode& n, const Node& node, QPainter& p)
{
    if (node.color.a > 0 && node.value > 0) {
        // The glow is soft, so it is worked out at a resolution where its blur spans only a few
        // pixels, then scaled up smoothly.
        const qreal dpr = p.device()->devicePixelRatioF();
        const qreal sigma = node.value / 2 * dpr;
        const qreal scale = std::clamp<qreal>(1.5 / std::max<qreal>(sigma, 0.01), 0.2, 1.0);
        QPainter lp;
        Layer layer(p, lp, scale);
        paintChildren(n, lp);
        lp.end();
        const QRect inked = glow(layer.image(), qcolor(node.color), sigma * scale);
        drawLayer(p, layer.image(), QPointF(node.x, node.y) * dpr, inked);
    }
    paintChildren(n, p);
}

void Painter::paintMask(const LaidOutNode& n, QPainter& p)
{
    QPainter cp;
    Layer content(p, cp);
    paintNode(n.children[0], cp);
    cp.end();
    {
        QPainter mp;
        Layer mask(p, mp);
        paintNode(n.children[1], mp);
        mp.end();
        cp.begin(&content.image());
        cp.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        inRowBands(cp, QRectF(mask.image().rect()), 64, [&] { cp.drawImage(0, 0, mask.image()); });
        cp.end();
    }
    drawLayer(p, content.image());
}

void Painter::paintNode(const LaidOutNode& n, QPainter& p)
{
    const RNode& r = *n.source;
    const Node& node = *r.node;
    switch (r.kind) {
    case Kind::text:
    case Kind::timerText:
        paintText(n, r, p);
        return;
    case Kind::shape:
        paintShape(n, r, p);
        return;
    case Kind::color:
        if (!invisible(*node.shape.fill)) {
            const QBrush b = brush(*node.shape.fill, n.frame);
            bandsFor(*node.shape.fill, p, n.frame, [&] { p.fillRect(n.frame, b); });
        }
        return;
    case Kind::image:
        if (const SymbolShape* s = symbolShape(node.text))
            paintSymbol(p, *s, n.frame, r.text.font.weight, brush(r.foreground, n.frame));
        return;
    case Kind::timerProgress: {
        const qreal f = timerFraction(node.from, node.to, node.countsDown, Clock::now());
        const QRectF track = n.frame;
        const Color* fg = r.foreground.color();
        const Color trackColor = (fg ? *fg : r.foreground.representative()).opacity(0.2);
        p.setPen(Qt::NoPen);
        p.setBrush(qcolor(trackColor));
        p.drawRoundedRect(track, track.height() / 2, track.height() / 2);
        p.setBrush(brush(r.foreground, n.frame));
        p.drawRoundedRect(QRectF(track.topLeft(), QSizeF(track.width() * f, track.height())), track.height() / 2,
                          track.height() / 2);
        return;
    }
    case Kind::canvas:
        if (node.draw) {
            p.save();
            p.translate(n.frame.topLeft());
            node.draw(p, n.frame.size(), r.inherited->env);
            p.restore();
        }
        return;
    case Kind::background:
        paintNode(n.children[1], p);
        paintNode(n.children[0], p);
        return;
    case Kind::overlay:
        paintNode(n.children[0], p);
        paintNode(n.children[1], p);
        return;
    case Kind::offset:
    case Kind::rotation:
    case Kind::scale: {
        QTransform t;
        if (r.kind == Kind::offset)
            t = QTransform::fromTranslate(node.x, node.y);
        else if (r.kind == Kind::rotation)
            t = anchored(n.frame, node.anchor, QTransform().rotate(node.value));
        else
            t = anchored(n.frame, node.anchor, QTransform::fromScale(node.x, node.y));
        // Only the transform changes here, and a full save and restore of the painter's state
        // costs more than the turned tick it wraps.
        const QTransform outer = p.worldTransform();
        p.setWorldTransform(t, true);
        paintChildren(n, p);
        p.setWorldTransform(outer);
        return;
    }
    case Kind::opacity:
        if (node.value <= 0) return;
        p.save();
        p.setOpacity(p.opacity() * node.value);
        if (drawings(n) > 1) {
            QPainter lp;
            Layer group(p, lp);
            paintChildren(n, lp);
            lp.end();
            drawLayer(p, group.image());
        } else {
            paintChildren(n, p);
        }
        p.restore();
        return;
    case Kind::clip: {
        const RNode& shape = *n.children[1].source;
        p.save();
        if (shape.kind == Kind::shape)
            p.setClipPath(shapePath(shape.node->shape, n.children[1].frame), Qt::IntersectClip);
        else
            p.setClipRect(n.frame, Qt::IntersectClip);
        paintNode(n.children[0], p);
        p.restore();
        return;
    }
    case Kind::mask:
        paintMask(n, p);
        return;
    case Kind::shadow:
        paintShadow(n, node, p);
        return;
    default:
        paintChildren(n, p);
        return;
    }
}

} // namespace

void paint(const LaidOutTree& tree, QPainter& painter)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    Painter(tree.environment()).paintNode(tree.root(), painter);
    painter.restore();
}

void clearOutsideRoundedRect(QPainter& painter, const QRectF& rect, qreal radius)
{
    QPainterPath shape;
    shape.addRoundedRect(rect, radius, radius);
    QPainterPath outside;
    outside.addRect(rect.adjusted(-1, -1, 1, 1));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.fillPath(outside.subtracted(shape), Qt::transparent);
    painter.restore();
}

QImage renderImage(const View& view, QSizeF size, qreal devicePixelRatio, const Environment& env)
{
    const qreal dpr = devicePixelRatio > 0 && std::isfinite(devicePixelRatio) ? devicePixelRatio : 1;
    const QSize px(std::max(1, int(std::ceil(size.width() * dpr))), std::max(1, int(std::ceil(size.height() * dpr))));
    QImage image(px, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    const LaidOutTree tree = layout(view.frame(size.width(), size.height()), size, env);
    QPainter p(&image);
    paint(tree, p);
    p.end();
    return image;
}

} // namespace velk::view
