#include "platform/view/ContentHash.h"

#include "platform/core/Clock.h"
#include "platform/view/LayoutNodes.h"
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
    quint64 value() const { return h_; }

    void add(quint64 v)
    {
        quint64 x = h_ ^ (v + 0x9e3779b97f4a7c15ULL + (h_ << 6) + (h_ >> 2));
        x ^= x >> 30;
        x *= 0xbf58476d1ce4e5b9ULL;
        x ^= x >> 27;
        x *= 0x94d049bb133111ebULL;
        x ^= x >> 31;
        h_ = x;
    }

private:
    quint64 h_ = 0xcbf29ce484222325ULL;
};

template <typename Mix>
class BasicHasher {
public:
    quint64 value() const { return mix_.value(); }
    void add(quint64 v) { mix_.add(v); }
    void add(const QString& s)
    {
        add(quint64(s.size()));
        add(quint64(qHash(s, 0)));
    }
    // To the thousandth of a point, as inspection rounds: float noise below that paints the same.
    void number(qreal v) { add(std::isfinite(v) ? quint64(roundAway(v * 1000.0)) : std::bit_cast<quint64>(v)); }
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

private:
    Mix mix_;
};

using Hasher = BasicHasher<FinalisingMix>;

void hashNode(Hasher& h, const LaidOutNode& n)
{
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
        if (struck) h.color(s.strikethroughColor ? *s.strikethroughColor : r.foreground.representative());
        h.add(quint64(s.alignment));
        // A timer's shown text comes from the clock, so its truncation is not in the text above.
        h.add(quint64(!n.lines.isEmpty() && n.lines.back().endsWith(QChar(0x2026)) &&
                      !r.shownText.endsWith(QChar(0x2026))));
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
        if (s.fill || !s.strokeFill) h.fill(s.fill.value_or(r.foreground));
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

} // namespace

quint64 contentHash(const LaidOutTree& tree)
{
    Hasher h;
    hashNode(h, tree.root());
    return h.value();
}

} // namespace velk::view
