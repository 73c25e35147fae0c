#include "platform/core/Clock.h"
#include "platform/view/LayoutEngine.h"
#include "platform/view/Symbols.h"

namespace velk::view {

namespace detail {

RNode* Layouter::resolve(const View& v, const Inherited* inh, Axis axis)
{
    const Node& n = v.node();
    switch (n.kind) {
    case Kind::style: {
        Inherited& next = arena_.inherited.emplace_back(*inh);
        next.style = n.style;
        next.style.inheritFrom(inh->style);
        return resolve(n.children[0], &next, axis);
    }
    case Kind::environment: {
        Inherited& next = arena_.inherited.emplace_back(*inh);
        next.env = n.environment;
        return resolve(n.children[0], &next, axis);
    }
    case Kind::priority: {
        RNode* r = resolve(n.children[0], inh, axis);
        r->priority = n.value;
        return r;
    }
    case Kind::environmentReader: {
        arena_.keep.push_back(n.environmentContent ? n.environmentContent(inh->env) : View());
        return resolve(arena_.keep.back(), inh, axis);
    }
    default:
        break;
    }

    RNode* r = newNode(&n, n.kind, inh);
    r->axis = axis;
    const Axis childAxis = n.kind == Kind::hstack   ? Axis::horizontal
                           : n.kind == Kind::vstack ? Axis::vertical
                                                    : Axis::none;
    const bool isStack = n.kind == Kind::hstack || n.kind == Kind::vstack || n.kind == Kind::zstack;
    r->children.reserve(n.children.size());
    const Node* previous = nullptr;
    RNode* previousResolved = nullptr;
    for (size_t i = 0; i < n.children.size(); ++i) {
        const Node* child = &n.children[i].node();
        RNode* c;
        if (isStack && child == previous) {
            // The same view again beside itself (a row of equal dots, a column of equal rows)
            // resolves to the same node: same view, same inherited values, same direction. It
            // answers every proposal alike, so it measures once and its answers are shared.
            c = previousResolved;
        } else {
            // A spacer keeps its stack's direction through the modifiers wrapped around it.
            const Axis a = isStack ? childAxis : (i == 0 ? axis : Axis::none);
            c = resolve(n.children[i], inh, a);
            // A reader builds its content when resolved; it is asked again each time.
            const bool reader = child->kind == Kind::environmentReader;
            previous = reader ? nullptr : child;
            previousResolved = c;
        }
        if (isStack && c->kind == Kind::empty) continue;
        r->children.push_back(c);
    }

    if (n.kind == Kind::text || n.kind == Kind::timerText) {
        TextStyle s = n.style;
        s.inheritFrom(inh->style);
        Font f = s.font.value_or(Font::system(17));
        if (s.weight) f.weight = *s.weight;
        if (s.monospacedDigit.value_or(false)) f.monospacedDigit = true;
        r->text.font = f;
        r->text.tracking = s.tracking.value_or(0);
        r->text.lineLimit = s.lineLimit.value_or(std::nullopt);
        r->text.lineSpacing = s.lineSpacing.value_or(0);
        r->text.minimumScaleFactor = s.minimumScaleFactor.value_or(1);
        r->shownText =
            n.kind == Kind::text ? n.text : timerString(n.from, n.to, n.countsDown, n.showsHours, Clock::now());
    }
    if (n.kind == Kind::image) {
        Font f = inh->style.font.value_or(Font::system(17));
        if (inh->style.weight) f.weight = *inh->style.weight;
        r->text.font = f;
    }
    const Color primary = inh->env.colorScheme == ColorScheme::dark ? Color::white(1) : Color::white(0);
    const TextStyle* own = (n.kind == Kind::text || n.kind == Kind::timerText) ? &n.style : nullptr;
    r->foreground = own && own->foreground ? *own->foreground : inh->style.foreground.value_or(Fill(primary));
    return r;
}

Measure Layouter::measure(RNode* r, const Proposal& p)
{
    // A frame fixed both ways offers its child the same proposal whatever it is offered, and
    // answers with its own size: its first answer is its answer to every proposal.
    if (r->kind == Kind::fixedFrame && !r->cache.empty() && r->node->width && r->node->height)
        return r->cache.front().measure;
    for (const auto& e : r->cache)
        if (e.proposal == p) return e.measure;
    Measure m = compute(r, p);
    if (r->cache.empty()) r->cache.reserve(4); // stacks ask each child two or three sizes
    r->cache.push_back({p, m});
    return m;
}

Measure Layouter::measureText(RNode* r, const Proposal& p, TextLines* out)
{
    auto it = lines_.find(r);
    if (it == lines_.end() || !(it->second.proposal == p)) {
        TextLines t = layoutText(r->shownText, r->text, p.w, p.h);
        if (it == lines_.end())
            it = lines_.emplace(r, KeptLines{p, std::move(t)}).first;
        else
            it->second = KeptLines{p, std::move(t)};
    }
    const TextLines& t = it->second.lines;
    if (out) *out = t;
    return Measure{t.size, t.firstBaseline, t.lastBaseline};
}

} // namespace detail

using detail::Layouter;

QString kindName(const RNode& r)
{
    switch (r.kind) {
    case Kind::empty:
        return QStringLiteral("Empty");
    case Kind::vstack:
        return QStringLiteral("VStack");
    case Kind::hstack:
        return QStringLiteral("HStack");
    case Kind::zstack:
        return QStringLiteral("ZStack");
    case Kind::spacer:
        return QStringLiteral("Spacer");
    case Kind::text:
        return QStringLiteral("Text");
    case Kind::timerText:
        return QStringLiteral("TimerText");
    case Kind::timerProgress:
        return QStringLiteral("TimerProgress");
    case Kind::image:
        return QStringLiteral("Image");
    case Kind::shape:
        switch (r.node->shape.kind) {
        case ShapeKind::rectangle:
            return QStringLiteral("Rectangle");
        case ShapeKind::roundedRectangle:
            return QStringLiteral("RoundedRectangle");
        case ShapeKind::circle:
            return QStringLiteral("Circle");
        case ShapeKind::ellipse:
            return QStringLiteral("Ellipse");
        case ShapeKind::capsule:
            return QStringLiteral("Capsule");
        case ShapeKind::path:
            return QStringLiteral("Path");
        }
        break;
    case Kind::color:
        return QStringLiteral("Color");
    case Kind::canvas:
        return QStringLiteral("Canvas");
    case Kind::geometryReader:
        return QStringLiteral("GeometryReader");
    case Kind::environmentReader:
        return QStringLiteral("EnvironmentReader");
    case Kind::button:
        return QStringLiteral("Button");
    case Kind::style:
        return QStringLiteral("style");
    case Kind::environment:
        return QStringLiteral("environment");
    case Kind::priority:
        return QStringLiteral("layoutPriority");
    case Kind::padding:
        return QStringLiteral("padding");
    case Kind::fixedFrame:
    case Kind::flexFrame:
        return QStringLiteral("frame");
    case Kind::fixedSize:
        return QStringLiteral("fixedSize");
    case Kind::overlay:
        return QStringLiteral("overlay");
    case Kind::background:
        return QStringLiteral("background");
    case Kind::position:
        return QStringLiteral("position");
    case Kind::offset:
        return QStringLiteral("offset");
    case Kind::rotation:
        return QStringLiteral("rotationEffect");
    case Kind::scale:
        return QStringLiteral("scaleEffect");
    case Kind::mask:
        return QStringLiteral("mask");
    case Kind::clip:
        return QStringLiteral("clipShape");
    case Kind::opacity:
        return QStringLiteral("opacity");
    case Kind::shadow:
        return QStringLiteral("shadow");
    case Kind::hitTesting:
        return QStringLiteral("allowsHitTesting");
    case Kind::widgetURL:
        return QStringLiteral("widgetURL");
    }
    return QStringLiteral("Unknown");
}

bool isTimer(const RNode& r)
{
    return r.kind == Kind::timerText || r.kind == Kind::timerProgress;
}

QString currentText(const RNode& r, const LaidOutNode& laid)
{
    if (r.kind == Kind::timerText) {
        const Node& n = *r.node;
        return timerString(n.from, n.to, n.countsDown, n.showsHours, Clock::now());
    }
    return laid.lines.join(QLatin1Char('\n'));
}

LaidOutTree::LaidOutTree() : arena_(std::make_shared<LayoutArena>()) {}

LaidOutTree layout(const View& view, QSizeF proposal, const Environment& env)
{
    LaidOutTree tree;
    tree.environment_ = env;
    Inherited& root = tree.arena_->inherited.emplace_back();
    root.env = env;
    tree.arena_->keep.push_back(view); // the tree points into the view's nodes
    Layouter l(*tree.arena_);
    RNode* r = l.resolve(tree.arena_->keep.back(), &root, Axis::none);
    tree.root_ = l.place(r, Proposal{proposal.width(), proposal.height()}, QPointF(0, 0));
    return tree;
}

} // namespace velk::view