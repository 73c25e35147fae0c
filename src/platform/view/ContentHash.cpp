#include "platform/view/ContentHash.h"

#include "platform/view/LayoutNodes.h"
#include "platform/core/Clock.h"
#include "platform/view/Rounding.h"
#include "platform/view/Symbols.h"

#include <QHash>
#include <algorithm>
#include <bit>

namespace velk::view {

namespace {

// Values go in one at a time, each mixed through a 64-bit finaliser so that neighbouring
// numbers and reordered fields land far apart.
class FinalisingMix {
public:
    quint64 value() const { return m_h; }

    void add(quint64 v)
    {
        quint64 x = m_h ^ (v + 0x9e3779b97f4a7c15ULL + (m_h << 6) + (m_h >> 2));
        x ^= x >> 30;
        x *= 0xbf58476d1ce4e5b9ULL;
        x ^= x >> 27;
        x *= 0x94d049bb133111ebULL;
        x ^= x >> 31;
        m_h = x;
    }

private:
    quint64 m_h = 0xcbf29ce484222325ULL;
};

// Values go in two at a time, folded by one 64 x 64 -> 128-bit multiply (the high and low
// halves xored): a quarter of the finaliser's work for the thousands of values of a painted
// subtree. The count of values goes in last, so a trailing zero still tells.
class MultiplyMix {
public:
    quint64 value() const
    {
        quint64 h = m_h;
        quint64 n = m_count;
        if (m_count & 1)
            h = fold(m_pending ^ 0xa0761d6478bd642fULL, h ^ 0xe7037ed1a0b428dbULL);
        return fold(h ^ 0x8ebc6af09c88c6e3ULL, n ^ 0x589965cc75374cc3ULL);
    }

    void add(quint64 v)
    {
        if (m_count++ & 1)
            m_h = fold(m_pending ^ 0xa0761d6478bd642fULL, v ^ m_h);
        else
            m_pending = v;
    }

private:
    static quint64 fold(quint64 a, quint64 b)
    {
        const unsigned __int128 r = static_cast<unsigned __int128>(a) * b;
        return quint64(r) ^ quint64(r >> 64);
    }
    quint64 m_h = 0xcbf29ce484222325ULL;
    quint64 m_pending = 0;
    quint64 m_count = 0;
};

template <typename Mix>
class BasicHasher {
public:
    quint64 value() const { return m_mix.value(); }
    void add(quint64 v) { m_mix.add(v); }
    void add(const QString& s)
    {
        add(quint64(s.size()));
        add(quint64(qHash(s, 0)));
    }
    // To the thousandth of a point, as inspection rounds: float noise below that paints the same.
    void number(qreal v)
    {
        add(std::isfinite(v) ? quint64(roundAway(v * 1000.0)) : std::bit_cast<quint64>(v));
    }
    void rect(const QRectF& r)
    {
        number(r.x());
        number(r.y());
        number(r.width());
        number(r.height());
    }
    // Colours as inspection shows them: 8 bits a channel.
    void color(const Color& c)
    {
        auto byte = [](double v) { return quint64(roundAway(std::clamp(v, 0.0, 1.0) * 255.0)); };
        add(byte(c.r) << 24 | byte(c.g) << 16 | byte(c.b) << 8 | byte(c.a));
    }
    void fill(const Fill& f)
    {
        if (const Color* c = f.color()) {
            add(quint64(1));
            color(*c);
            return;
        }
        const auto& stops = f.gradient()->stops;
        add(quint64(2) << 32 | quint64(stops.size()));
        for (const GradientStop& s : stops) {
            color(s.color);
            number(s.location);
        }
    }
    void font(const Font& f, qreal scale)
    {
        number(f.size * scale);
        add(quint64(f.weight) << 16 | quint64(f.design) << 8 | quint64(f.monospacedDigit));
    }
    void point(qreal x, qreal y)
    {
        number(x);
        number(y);
    }
    // Exactly, for what decides pixels: two values a ten-thousandth apart antialias differently.
    void exact(qreal v) { add(std::bit_cast<quint64>(v)); }
    void exactRect(const QRectF& r)
    {
        exact(r.x());
        exact(r.y());
        exact(r.width());
        exact(r.height());
    }
    void exactColor(const Color& c)
    {
        exact(c.r);
        exact(c.g);
        exact(c.b);
        exact(c.a);
    }
    void exactFill(const Fill& f)
    {
        if (const Color* c = f.color()) {
            add(quint64(1));
            exactColor(*c);
            return;
        }
        const LinearGradient& g = *f.gradient();
        add(quint64(2) << 32 | quint64(g.stops.size()));
        for (const GradientStop& s : g.stops) {
            exactColor(s.color);
            exact(s.location);
        }
        exact(g.startPoint.x);
        exact(g.startPoint.y);
        exact(g.endPoint.x);
        exact(g.endPoint.y);
    }
    void exactPath(const QPainterPath& path)
    {
        add(quint64(path.fillRule()) << 32 | quint64(path.elementCount()));
        for (int i = 0; i < path.elementCount(); ++i) {
            const QPainterPath::Element e = path.elementAt(i);
            add(quint64(e.type));
            exact(e.x);
            exact(e.y);
        }
    }

private:
    Mix m_mix;
};

using Hasher = BasicHasher<FinalisingMix>;
// Signatures are only compared within one run, so they take the cheaper mix.
using Signer = BasicHasher<MultiplyMix>;

void hashNode(Hasher& h, const LaidOutNode& n)
{
    // A drawing group shows its content as it is: the hash is the content's.
    if (n.source->kind == Kind::drawingGroup) {
        hashNode(h, n.children[0]);
        return;
    }
    const RNode& r = *n.source;
    const Node& node = *r.node;
    h.add(n.kind);
    h.rect(n.frame);
    switch (r.kind) {
    case Kind::text:
    case Kind::timerText: {
        const TextDecoration s(node.style, r.inherited->style);
        h.add(currentText(r, n));
        h.font(r.text.font, n.fontScale);
        h.fill(r.foreground);
        h.number(r.text.tracking * n.fontScale);
        h.add(quint64(r.text.lineLimit.value_or(-1)));
        h.number(r.text.lineSpacing);
        h.number(r.text.minimumScaleFactor);
        h.number(n.fontScale);
        const bool struck = s.strikethrough;
        h.add(quint64(struck));
        if (struck)
            h.color(s.strikethroughColor ? *s.strikethroughColor : r.foreground.representative());
        h.add(quint64(s.alignment));
        // A timer's shown text comes from the clock, so its truncation is not in the text above.
        h.add(quint64(!n.lines.isEmpty() && n.lines.back().endsWith(QChar(0x2026)) && !r.shownText.endsWith(QChar(0x2026))));
        break;
    }
    case Kind::image:
        h.add(node.text);
        h.font(r.text.font, 1);
        h.fill(r.foreground);
        h.add(quint64(!symbolShape(node.text)));
        break;
    case Kind::shape: {
        const ShapeData& s = node.shape;
        h.add(quint64(s.fill.has_value()) << 2 | quint64(s.strokeFill.has_value()) << 1 | quint64(s.strokeInside));
        if (s.fill || !s.strokeFill)
            h.fill(s.fill.value_or(r.foreground));
        if (s.strokeFill) {
            h.fill(*s.strokeFill);
            h.number(s.stroke.lineWidth);
        }
        h.number(s.cornerRadius);
        h.number(s.trimFrom);
        h.number(s.trimTo);
        break;
    }
    case Kind::color:
        h.fill(*node.shape.fill);
        break;
    case Kind::timerProgress:
        h.fill(r.foreground);
        break;
    case Kind::vstack:
    case Kind::hstack:
    case Kind::zstack:
        h.add(quint64(node.alignment.horizontal) << 8 | quint64(node.alignment.vertical));
        h.number(node.spacing.value_or(-1));
        break;
    case Kind::spacer:
        h.number(node.spacing.value_or(-1));
        break;
    case Kind::offset:
    case Kind::scale:
    case Kind::position:
        h.point(node.x, node.y);
        break;
    case Kind::rotation:
    case Kind::opacity:
        h.number(node.value);
        break;
    case Kind::shadow:
        h.color(node.color);
        h.number(node.value);
        h.point(node.x, node.y);
        break;
    case Kind::button:
        h.add(node.action.intentType);
        h.add(quint64(qHash(node.action.parameters, 0)));
        break;
    case Kind::widgetURL:
        h.add(node.url.toString());
        break;
    case Kind::hitTesting:
        h.add(quint64(node.flag));
        break;
    default:
        break;
    }
    // The child count keeps a node's last child apart from its next sibling.
    h.add(quint64(n.children.size()));
    for (const LaidOutNode& c : n.children)
        hashNode(h, c);
}

bool signNode(Signer& h, const LaidOutNode& n, GroupSignatures* groups);

// Everything the painter reads of a node, exactly; false for what cannot be told apart by
// value (a canvas draws whatever its closure does).
bool signBody(Signer& h, const LaidOutNode& n, GroupSignatures* groups)
{
    const RNode& r = *n.source;
    const Node& node = *r.node;
    h.add(quint64(r.kind));
    h.exactRect(n.frame);
    switch (r.kind) {
    case Kind::canvas:
        return false;
    case Kind::text:
    case Kind::timerText: {
        const TextDecoration s(node.style, r.inherited->style);
        h.add(quint64(n.lines.size()));
        for (const QString& line : n.lines)
            h.add(line);
        if (r.kind == Kind::timerText)
            h.add(currentText(r, n));
        h.exact(r.text.font.size);
        h.add(quint64(r.text.font.weight) << 16 | quint64(r.text.font.design) << 8 |
              quint64(r.text.font.monospacedDigit));
        h.exact(r.text.tracking);
        h.exact(r.text.lineSpacing);
        h.exact(n.fontScale);
        h.exactFill(r.foreground);
        h.add(quint64(s.alignment));
        const bool struck = s.strikethrough;
        h.add(quint64(struck));
        if (struck && s.strikethroughColor)
            h.exactColor(*s.strikethroughColor);
        break;
    }
    case Kind::image:
        h.add(node.text);
        h.add(quint64(r.text.font.weight));
        h.exactFill(r.foreground);
        break;
    case Kind::shape: {
        const ShapeData& s = node.shape;
        h.add(quint64(s.kind) << 8 | quint64(s.corner) << 4 | quint64(s.fill.has_value()) << 2 |
              quint64(s.strokeFill.has_value()) << 1 | quint64(s.strokeInside));
        h.exact(s.cornerRadius);
        if (s.kind == ShapeKind::path)
            h.exactPath(s.build ? s.build(QRectF(QPointF(0, 0), n.frame.normalized().size())) : s.path);
        h.exactFill(s.fill.value_or(r.foreground));
        if (s.strokeFill) {
            h.exactFill(*s.strokeFill);
            h.exact(s.stroke.lineWidth);
            h.add(quint64(s.stroke.lineCap) << 8 | quint64(s.stroke.lineJoin));
            h.add(quint64(s.stroke.dash.size()));
            for (qreal d : s.stroke.dash)
                h.exact(d);
            h.exact(s.stroke.dashPhase);
        }
        h.exact(s.trimFrom);
        h.exact(s.trimTo);
        break;
    }
    case Kind::color:
        h.exactFill(*node.shape.fill);
        break;
    case Kind::timerProgress:
        h.exact(timerFraction(node.from, node.to, node.countsDown, Clock::now()));
        h.exactFill(r.foreground);
        break;
    case Kind::offset:
    case Kind::rotation:
    case Kind::scale:
    case Kind::opacity:
    case Kind::shadow:
        h.exact(node.x);
        h.exact(node.y);
        h.exact(node.value);
        h.exact(node.anchor.x);
        h.exact(node.anchor.y);
        h.exactColor(node.color);
        break;
    default:
        break;
    }
    h.add(quint64(n.children.size()));
    for (const LaidOutNode& c : n.children)
        if (!signNode(h, c, groups))
            return false;
    return true;
}

// A drawing group met on the way is signed on its own as well, and its signature noted.
bool signNode(Signer& h, const LaidOutNode& n, GroupSignatures* groups)
{
    if (!groups || n.source->kind != Kind::drawingGroup)
        return signBody(h, n, groups);
    Signer own;
    if (!signBody(own, n, groups))
        return false;
    groups->push_back({&n, own.value()});
    h.add(own.value());
    return true;
}

} // namespace

std::optional<quint64> paintSignature(const LaidOutNode& node)
{
    Signer h;
    if (!signBody(h, node, nullptr))
        return std::nullopt;
    return h.value();
}

std::optional<quint64> paintSignature(const LaidOutNode& node, GroupSignatures& groups)
{
    Signer h;
    if (!signNode(h, node, &groups))
        return std::nullopt;
    return h.value();
}

quint64 contentHash(const LaidOutTree& tree)
{
    Hasher h;
    hashNode(h, tree.root());
    return h.value();
}

} // namespace velk::view
