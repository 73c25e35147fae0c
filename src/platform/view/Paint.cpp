#include "platform/core/Clock.h"
#include "platform/view/ContentHash.h"
#include "platform/view/Glow.h"
#include "platform/view/LayoutNodes.h"
#include "platform/view/ShapePaths.h"
#include "platform/view/Sprites.h"
#include "platform/view/Symbols.h"
#include <QLinearGradient>
#include <QPainter>
#include <array>
#include <cmath>
#include <deque>
#include <vector>

namespace velk::view {

using detail::devicePixels;
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
    if (const Color* c = f.color())
        return QBrush(qcolor(*c));
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
        if (node.value <= 0)
            return 0;
        break;
    case Kind::clip: // the clip shape itself is not drawn
        return drawings(n.children[0], limit);
    case Kind::mask: // content and mask end as one composited image
        return std::min(1, drawings(n.children[0], 1));
    case Kind::shadow:
        if (node.color.a > 0 && node.value > 0)
            return limit; // the glow under the content
        break;
    default:
        break;
    }
    int count = 0;
    for (const LaidOutNode& c : n.children) {
        count += drawings(c, limit - count);
        if (count >= limit)
            return count;
    }
    return count;
}

// The last few images a thread painted, the most recent last, within a count and a byte
// budget. An image is worth keeping only when its key comes round a second time, so callers
// ask seenBefore() first.
template <typename Key, typename Item, size_t kKept, qsizetype kBytes>
class KeptImages {
public:
    const Item* find(const Key& key)
    {
        for (auto it = m_kept.begin(); it != m_kept.end(); ++it)
            if (it->key == key) {
                std::rotate(it, it + 1, m_kept.end());
                return &m_kept.back();
            }
        return nullptr;
    }
    // True when `key` was asked for recently; remembers it otherwise.
    bool seenBefore(const Key& key)
    {
        if (std::find(m_seen.begin(), m_seen.end(), key) != m_seen.end())
            return true;
        if (m_seen.size() >= kSeen)
            m_seen.erase(m_seen.begin());
        m_seen.push_back(key);
        return false;
    }
    const Item& keep(Item item)
    {
        m_bytes += item.image.sizeInBytes();
        m_kept.push_back(std::move(item));
        while (m_kept.size() > 1 && (m_kept.size() > kKept || m_bytes > kBytes)) {
            m_bytes -= m_kept.front().image.sizeInBytes();
            m_kept.erase(m_kept.begin());
        }
        return m_kept.back();
    }

private:
    static constexpr size_t kSeen = 32;
    std::vector<Item> m_kept;
    std::vector<Key> m_seen;
    qsizetype m_bytes = 0;
};

// A glow worked out for one content, in device pixels as it is blended. The glow is the widest
// effect of every widget (a blur of its whole body, scaled up to the device) and a widget shown
// again with the same content and look paints the same glow, so the last few are kept per
// thread. Content that changes on each render never gets here: a glow is kept only when its key
// comes round a second time.
struct GlowKey {
    quint64 content; // the shadow's own colour, radius and offset included
    qreal m11, m12, m21, m22, dx, dy, dpr;
    QSize device;
    int hints;
    friend bool operator==(const GlowKey&, const GlowKey&) = default;
};

struct KeptGlow {
    GlowKey key;
    QImage image; // null when the glow has no ink
    QPoint at;    // device pixels
};

using GlowCache = KeptImages<GlowKey, KeptGlow, 8, 16 << 20>;

// The key of a glow painted now, or none where a kept one could not stand in for it: a clipped,
// faded or non-image target, or content painted through a closure. The drawing groups inside
// are signed on the way (see GroupSignatures).
std::optional<GlowKey> glowKey(const LaidOutNode& n, const QPainter& p, GroupSignatures& groups)
{
    if (!blendsDevicePixels(p))
        return std::nullopt;
    const QPaintDevice* dev = p.device();
    const std::optional<quint64> content = paintSignature(n, groups);
    if (!content)
        return std::nullopt;
    const QTransform t = p.deviceTransform();
    return GlowKey{*content,  t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy(), dev->devicePixelRatioF(),
                   static_cast<const QImage*>(dev)->size(), int(p.renderHints())};
}

// The box of the image's inked pixels; empty where it has none.
QRect inkedBox(const QImage& image)
{
    int x0 = image.width(), x1 = -1, y0 = image.height(), y1 = -1;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        int first = 0, last = image.width() - 1;
        while (first <= last && !line[first])
            ++first;
        if (first > last)
            continue;
        while (!line[last])
            --last;
        x0 = std::min(x0, first);
        x1 = std::max(x1, last);
        y0 = std::min(y0, y);
        y1 = y;
    }
    return x1 < 0 ? QRect() : QRect(QPoint(x0, y0), QPoint(x1, y1));
}

// The glow as drawLayer would blend it onto `p`'s device, drawn over clear pixels instead (which
// leaves the source pixels themselves) and cut to those with ink.
KeptGlow deviceGlow(const GlowKey& key, const QPainter& p, const QImage& layer, QPointF offset, const QRect& inked)
{
    QImage full(key.device, QImage::Format_ARGB32_Premultiplied);
    full.setDevicePixelRatio(key.dpr);
    full.fill(Qt::transparent);
    {
        QPainter gp(&full);
        gp.setRenderHints(p.renderHints());
        drawLayer(gp, layer, offset, inked);
    }
    const QRect box = inkedBox(full);
    if (box.isEmpty())
        return {key, QImage(), QPoint()};
    QImage cut = full.copy(box);
    cut.setDevicePixelRatio(1);
    return {key, std::move(cut), box.topLeft()};
}

QTransform anchored(const QRectF& frame, UnitPoint anchor, const QTransform& t)
{
    const QPointF a(frame.left() + anchor.x * frame.width(), frame.top() + anchor.y * frame.height());
    return QTransform::fromTranslate(-a.x(), -a.y()) * t * QTransform::fromTranslate(a.x(), a.y());
}

// ---- drawing groups ---------------------------------------------------------------------------

// Device pixels kept round a group's reach for what antialiasing spills past it.
constexpr int kGroupMargin = 2;
// Larger groups are few, and blending them would cost much of what painting them does.
constexpr int kMaxGroupSide = 1024;

// What decides a group's pixels: its content (exact geometry included, so its place in the
// tree), the device scale, where the device's origin falls inside a pixel and the hints. Images
// painted below the device scale start at the device's corner, so their whole place counts too.
struct GroupKey {
    quint64 content;
    qreal scale, fx, fy;
    int wx, wy;
    int hints;
    friend bool operator==(const GroupKey&, const GroupKey&) = default;
};

struct KeptGroup {
    GroupKey key;
    QImage image; // null: painted directly (too large, a glow or text inside, or ink past its reach)
    QPoint at;    // device pixels from the whole pixel the device's origin falls in
};

// The last few group images of a thread. As with the glow, a group is kept only when its key
// comes round a second time: content that changes on every render is painted directly.
using GroupCache = KeptImages<GroupKey, KeptGroup, 16, 8 << 20>;

// Where a subtree's ink can reach, in the coordinates it is painted in: its frames as the
// render-only transforms move them, with room for pens and symbols past their frames. False
// where it holds a glow, which is worked out for the device it is painted on, or a text: the
// engine blends glyphs by what lies beneath them, so over clear pixels they come out lighter.
bool inkReach(const LaidOutNode& n, const QTransform& t, QRectF& reach)
{
    const RNode& r = *n.source;
    const Node& node = *r.node;
    qreal grow = 0;
    QTransform inner = t;
    switch (r.kind) {
    case Kind::shadow:
    case Kind::text:
    case Kind::timerText:
        return false;
    case Kind::image:
        grow = r.text.font.size;
        break;
    case Kind::shape:
        if (node.shape.kind == ShapeKind::path)
            reach |= t.mapRect(shapePath(node.shape, n.frame).controlPointRect());
        if (node.shape.strokeFill)
            grow = 2 * std::abs(node.shape.stroke.lineWidth) + 1;
        break;
    case Kind::offset:
        inner = QTransform::fromTranslate(node.x, node.y) * t;
        break;
    case Kind::rotation:
        inner = anchored(n.frame, node.anchor, QTransform().rotate(node.value)) * t;
        break;
    case Kind::scale:
        inner = anchored(n.frame, node.anchor, QTransform::fromScale(node.x, node.y)) * t;
        break;
    default:
        break;
    }
    reach |= t.mapRect(n.frame.adjusted(-grow, -grow, grow, grow));
    for (const LaidOutNode& c : n.children)
        if (!inkReach(c, inner, reach))
            return false;
    return true;
}

// Whether any pixel on the image's outer edge has ink.
bool inkOnEdge(const QImage& image)
{
    const int w = image.width(), h = image.height();
    for (int y = 0; y < h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        if (y == 0 || y == h - 1) {
            if (std::any_of(line, line + w, [](QRgb px) { return px != 0; }))
                return true;
        } else if (line[0] || line[w - 1]) {
            return true;
        }
    }
    return false;
}


class Painter {
public:
    explicit Painter(const Environment& env) : m_env(env) {}
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
    bool paintKeptGroup(const LaidOutNode& n, QPainter& p);
    KeptGroup paintGroupImage(const LaidOutNode& n, const QPainter& p, const GroupKey& key, QPoint whole);

    Environment m_env;
    // Drawing groups already signed in this render (by a glow over them).
    GroupSignatures m_signed;
    // The disc the painter named here is clipped to, while a circle clips what it paints.
    const QPainter* m_discPainter = nullptr;
    ClipDisc m_disc{};
};

void Painter::paintText(const LaidOutNode& n, const RNode& r, QPainter& p)
{
    QStringList lines = n.lines;
    if (r.kind == Kind::timerText) {
        const QString now = currentText(r, n);
        if (lines.join(QLatin1Char('\n')) != now)
            lines = QStringList{now};
    }
    const TextDecoration s(r.node->style, r.inherited->style);
    const FontEntry& f = fontEntry(r.text.font, r.text.tracking, n.fontScale);
    const qreal lh = f.lineHeight();
    const qreal spacing = r.text.lineSpacing * n.fontScale;
    const TextAlignment align = s.alignment;
    const bool strike = s.strikethrough;
    const QPen pen(brush(r.foreground, n.frame), 1);
    p.setPen(pen);
    const Color* solid = r.foreground.color();
    for (int i = 0; i < lines.size(); ++i) {
        const qreal width = f.advance(lines[i]);
        qreal x = n.frame.left();
        if (align == TextAlignment::center)
            x += (n.frame.width() - width) / 2;
        else if (align == TextAlignment::trailing)
            x += n.frame.width() - width;
        const qreal baseline = n.frame.top() + i * (lh + spacing) + f.ascent();
        if (!solid || !drawTextSprite(p, f, QPointF(x, baseline), lines[i], pen.color()))
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
        if (invisible(f))
            return;
        const qreal d = std::min(n.frame.width(), n.frame.height());
        const QRectF dot(n.frame.center().x() - d / 2, n.frame.center().y() - d / 2, d, d);
        if (const Color* c = f.color();
            c && drawDotSprite(p, dot, qcolor(*c), &p == m_discPainter && p.hasClipping() ? &m_disc : nullptr))
            return;
        p.setPen(Qt::NoPen);
        p.setBrush(brush(f, n.frame));
        p.drawEllipse(dot);
        p.setBrush(Qt::NoBrush);
        return;
    }
    if (!stroked && s.trimFrom <= 0 && s.trimTo >= 1) {
        const Fill f = s.fill.value_or(r.foreground);
        if (invisible(f))
            return;
        if (const Color* c = f.color(); c && drawShapeSprite(p, s, n.frame, qcolor(*c)))
            return;
        if (const Color* c = f.color(); c && s.kind == ShapeKind::rectangle && fillPixelRect(p, n.frame, qcolor(*c)))
            return;
    }
    QRectF rect = n.frame;
    if (stroked && s.strokeInside)
        rect.adjust(s.stroke.lineWidth / 2, s.stroke.lineWidth / 2, -s.stroke.lineWidth / 2, -s.stroke.lineWidth / 2);
    // Built only when drawn directly: a stroke from a sprite needs no outline.
    std::optional<QPainterPath> outline;
    auto path = [&]() -> const QPainterPath& {
        if (!outline) {
            outline = shapePath(s, rect);
            if (s.trimFrom > 0 || s.trimTo < 1)
                outline = trimPath(*outline, s.trimFrom, s.trimTo);
        }
        return *outline;
    };
    if (!stroked || s.fill) {
        const Fill f = s.fill.value_or(r.foreground);
        if (!invisible(f)) {
            const QBrush b = brush(f, n.frame);
            bandsFor(f, p, path().controlPointRect(), [&] { p.fillPath(path(), b); });
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
            if (pattern.size() % 2)
                pattern << pattern;
            pen.setDashPattern(pattern);
            pen.setDashOffset(s.stroke.dashPhase / s.stroke.lineWidth);
        }
        // From a sprite rather than in bands: a clipped stroke is outlined a level off here and
        // there, while the sprite's outline is the direct one moved by whole pixels.
        if (!drawStrokeSprite(p, s, rect, pen))
            p.strokePath(path(), pen);
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
        thread_local GlowCache kept;
        const std::optional<GlowKey> key = glowKey(n, p, m_signed);
        const KeptGlow* known = key ? kept.find(*key) : nullptr;
        if (!known || !(known->image.isNull() || blendDevicePixels(p, known->image, known->at))) {
            QPainter lp;
            Layer layer(p, lp, scale);
            paintChildren(n, lp);
            lp.end();
            const QRect inked = glow(layer.image(), qcolor(node.color), sigma * scale);
            const QPointF offset = QPointF(node.x, node.y) * dpr;
            if (key && kept.seenBefore(*key)) {
                KeptGlow made = deviceGlow(*key, p, layer.image(), offset, inked);
                if (made.image.isNull() || blendDevicePixels(p, made.image, made.at))
                    kept.keep(std::move(made));
                else
                    drawLayer(p, layer.image(), offset, inked);
            } else {
                drawLayer(p, layer.image(), offset, inked);
            }
        }
    }
    paintChildren(n, p);
}

// A group painted alone at the painter's scale and place within a device pixel: the same
// pixels as painting it on the device, moved by whole pixels. Below the device scale (a glow's
// small layer) a coordinate so moved was seen to round an antialiased edge a level apart, so
// there the image starts at the device's corner and every coordinate is the direct one.
KeptGroup Painter::paintGroupImage(const LaidOutNode& n, const QPainter& p, const GroupKey& key, QPoint whole)
{
    KeptGroup made{key, QImage(), QPoint()};
    QRectF reach;
    if (!inkReach(n, QTransform(), reach))
        return made;
    const QTransform t = p.deviceTransform();
    const QRectF px = t.mapRect(reach);
    const QPoint corner(int(std::floor(px.left())) - kGroupMargin, int(std::floor(px.top())) - kGroupMargin);
    const QPoint far(int(std::ceil(px.right())) + kGroupMargin, int(std::ceil(px.bottom())) + kGroupMargin);
    const bool fromCorner = key.scale < 1;
    if (fromCorner && (corner.x() < 0 || corner.y() < 0))
        return made;
    const QPoint origin = fromCorner ? QPoint() : corner;
    if (!(far.x() - origin.x() <= kMaxGroupSide && far.y() - origin.y() <= kMaxGroupSide))
        return made;
    QImage image(far.x() - origin.x(), far.y() - origin.y(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter ip(&image);
        ip.setRenderHints(p.renderHints());
        ip.setTransform(QTransform(t.m11(), 0, 0, t.m22(), t.dx() - origin.x(), t.dy() - origin.y()));
        Painter alone(m_env);
        alone.m_signed = m_signed;
        alone.paintChildren(n, ip);
    }
    // Ink on the edge may have been cut: such a group is painted directly.
    if (inkOnEdge(image))
        return made;
    const QRect inked = inkedBox(image);
    if (inked.isEmpty()) {
        made.image = QImage(1, 1, QImage::Format_ARGB32_Premultiplied);
        made.image.fill(Qt::transparent);
        return made;
    }
    made.image = image.copy(inked);
    made.at = origin + inked.topLeft() - (fromCorner ? QPoint() : whole);
    return made;
}

bool Painter::paintKeptGroup(const LaidOutNode& n, QPainter& p)
{
    if (!blendsDevicePixels(p))
        return false;
    const QTransform t = p.deviceTransform();
    const qreal s = t.m11();
    if (t.type() > QTransform::TxScale || !(s > 0) || t.m22() != s || !(std::abs(t.dx()) < 1e6 && std::abs(t.dy()) < 1e6))
        return false;
    std::optional<quint64> content;
    for (const auto& [node, signature] : m_signed)
        if (node == &n) {
            content = signature;
            break;
        }
    if (!content && !(content = paintSignature(n)))
        return false;
    const QPoint whole(int(std::floor(t.dx())), int(std::floor(t.dy())));
    const bool fromCorner = s < 1;
    const GroupKey key{*content, s, t.dx() - whole.x(), t.dy() - whole.y(), fromCorner ? whole.x() : 0,
                       fromCorner ? whole.y() : 0, int(p.renderHints())};
    thread_local GroupCache kept;
    const KeptGroup* group = kept.find(key);
    if (!group) {
        if (!kept.seenBefore(key))
            return false;
        group = &kept.keep(paintGroupImage(n, p, key, whole));
    }
    return !group->image.isNull() && blendDevicePixels(p, group->image, group->at + (fromCorner ? QPoint() : whole));
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
        if (!keepMasked(content.image(), mask.image())) {
            cp.begin(&content.image());
            cp.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            inRowBands(cp, QRectF(mask.image().rect()), 64, [&] { cp.drawImage(0, 0, mask.image()); });
            cp.end();
        }
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
            if (const Color* c = node.shape.fill->color(); c && fillPixelRect(p, n.frame, qcolor(*c)))
                return;
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
        if (node.value <= 0)
            return;
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
        const QPainter* outerPainter = m_discPainter;
        const ClipDisc outerDisc = m_disc;
        const QTransform t = p.deviceTransform();
        // A circle that becomes the painter's whole clip, under no turn: dots well inside it
        // may still come from sprites.
        if (shape.kind == Kind::shape && shape.node->shape.kind == ShapeKind::circle && !p.hasClipping() &&
            t.type() <= QTransform::TxScale && t.m11() == t.m22() && t.m11() > 0) {
            const QRectF f = n.children[1].frame;
            m_discPainter = &p;
            m_disc = {t.map(f.center()), std::min(f.width(), f.height()) / 2 * t.m11()};
        } else {
            m_discPainter = nullptr;
        }
        p.save();
        if (shape.kind == Kind::shape)
            p.setClipPath(shapePath(shape.node->shape, n.children[1].frame), Qt::IntersectClip);
        else
            p.setClipRect(n.frame, Qt::IntersectClip);
        paintNode(n.children[0], p);
        p.restore();
        m_discPainter = outerPainter;
        m_disc = outerDisc;
        return;
    }
    case Kind::mask:
        paintMask(n, p);
        return;
    case Kind::shadow:
        paintShadow(n, node, p);
        return;
    case Kind::drawingGroup:
        if (!paintKeptGroup(n, p))
            paintChildren(n, p);
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
