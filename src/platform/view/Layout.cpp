#include "platform/view/LayoutNodes.h"
#include "platform/core/Clock.h"
#include "platform/view/Symbols.h"
#include <algorithm>
#include <cmath>
#include <numeric>

namespace velk::view {

namespace {

constexpr qreal kDefaultSpacing = 8;
constexpr qreal kDefaultSpacerMinimum = 8;
constexpr qreal kShapeIdeal = 10; // a shape's size when nothing is offered
constexpr qreal kProgressHeight = 4;

bool isSpacer(const RNode* r) { return r->kind == Kind::spacer; }

qreal alongH(HAlign a, qreal w)
{
    switch (a) {
    case HAlign::leading: return 0;
    case HAlign::center: return w / 2;
    case HAlign::trailing: return w;
    }
    return 0;
}

qreal alongV(VAlign a, const Measure& m)
{
    switch (a) {
    case VAlign::top: return 0;
    case VAlign::center: return m.size.height() / 2;
    case VAlign::bottom: return m.size.height();
    case VAlign::firstTextBaseline: return m.first();
    case VAlign::lastTextBaseline: return m.last();
    }
    return 0;
}

bool isBaseline(VAlign a) { return a == VAlign::firstTextBaseline || a == VAlign::lastTextBaseline; }

// Where a child of `child` size sits inside `outer` for an alignment. A frame's own baselines
// come from the child it places, so baseline alignments centre in a single frame.
QPointF alignIn(const QSizeF& outer, const QSizeF& child, Alignment a)
{
    qreal fx = a.horizontal == HAlign::leading ? 0 : a.horizontal == HAlign::trailing ? 1 : 0.5;
    qreal fy = a.vertical == VAlign::top ? 0 : a.vertical == VAlign::bottom ? 1 : 0.5;
    return QPointF((outer.width() - child.width()) * fx, (outer.height() - child.height()) * fy);
}

// A view without text: its bottom edge stands in for both baselines.
Measure plain(QSizeF s) { return Measure{s}; }

// The answer of a view `size` big around a child placed `dy` below its top: the child's text
// baselines move with it; without text the view's own bottom edge is its baseline.
Measure around(QSizeF size, const Measure& child, qreal dy)
{
    return Measure{size, child.firstBaseline + dy, child.lastBaseline + dy};
}

qreal orZero(std::optional<qreal> v) { return v.value_or(0); }

// Plans and their working lists are needed only while laying out; they come from the layouter's
// scratch buffer, released in one go when the layout is done.
struct StackPlan {
    explicit StackPlan(std::pmr::memory_resource* memory) : proposals(memory), measures(memory), offsets(memory) {}
    std::pmr::vector<Proposal> proposals;
    std::pmr::vector<Measure> measures;
    std::pmr::vector<QPointF> offsets;
    Measure total;
};

class Layouter {
public:
    explicit Layouter(LayoutArena& arena) : m_arena(arena), m_scratch(m_buffer, sizeof m_buffer) {}

    RNode* resolve(const View& v, const Inherited* inh, Axis axis);
    Measure measure(RNode* r, const Proposal& p);
    LaidOutNode place(RNode* r, const Proposal& p, QPointF origin);

private:
    RNode* newNode(const Node* n, Kind k, const Inherited* inh)
    {
        RNode& r = m_arena.nodes.emplace_back(&m_arena.memory);
        r.node = n;
        r.kind = k;
        r.inherited = inh;
        return &r;
    }
    Measure compute(RNode* r, const Proposal& p);
    StackPlan planStack(RNode* r, const Proposal& p);
    StackPlan planZStack(RNode* r, const Proposal& p);
    Measure measureText(RNode* r, const Proposal& p, TextLines* lines = nullptr);
    RNode* geometryContent(RNode* r, QSizeF size);

    LayoutArena& m_arena;
    alignas(std::max_align_t) std::byte m_buffer[16384];
    std::pmr::monotonic_buffer_resource m_scratch;
};

RNode* Layouter::resolve(const View& v, const Inherited* inh, Axis axis)
{
    const Node& n = v.node();
    switch (n.kind) {
    case Kind::style: {
        Inherited& next = m_arena.inherited.emplace_back(*inh);
        next.style = n.style;
        next.style.inheritFrom(inh->style);
        return resolve(n.children[0], &next, axis);
    }
    case Kind::environment: {
        Inherited& next = m_arena.inherited.emplace_back(*inh);
        next.env = n.environment;
        return resolve(n.children[0], &next, axis);
    }
    case Kind::priority: {
        RNode* r = resolve(n.children[0], inh, axis);
        r->priority = n.value;
        return r;
    }
    case Kind::environmentReader: {
        m_arena.keep.push_back(n.environmentContent ? n.environmentContent(inh->env) : View());
        return resolve(m_arena.keep.back(), inh, axis);
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
    for (size_t i = 0; i < n.children.size(); ++i) {
        // A spacer keeps its stack's direction through the modifiers wrapped around it.
        const Axis a = isStack ? childAxis : (i == 0 ? axis : Axis::none);
        RNode* c = resolve(n.children[i], inh, a);
        if (isStack && c->kind == Kind::empty)
            continue;
        r->children.push_back(c);
    }

    if (n.kind == Kind::text || n.kind == Kind::timerText) {
        TextStyle s = n.style;
        s.inheritFrom(inh->style);
        Font f = s.font.value_or(Font::system(17));
        if (s.weight)
            f.weight = *s.weight;
        if (s.monospacedDigit.value_or(false))
            f.monospacedDigit = true;
        r->text.font = f;
        r->text.tracking = s.tracking.value_or(0);
        r->text.lineLimit = s.lineLimit.value_or(std::nullopt);
        r->text.lineSpacing = s.lineSpacing.value_or(0);
        r->text.minimumScaleFactor = s.minimumScaleFactor.value_or(1);
        r->shownText = n.kind == Kind::text
                           ? n.text
                           : timerString(n.from, n.to, n.countsDown, n.showsHours, Clock::now());
    }
    if (n.kind == Kind::image) {
        Font f = inh->style.font.value_or(Font::system(17));
        if (inh->style.weight)
            f.weight = *inh->style.weight;
        r->text.font = f;
    }
    const Color primary = inh->env.colorScheme == ColorScheme::dark ? Color::white(1) : Color::white(0);
    const TextStyle* own = (n.kind == Kind::text || n.kind == Kind::timerText) ? &n.style : nullptr;
    r->foreground = own && own->foreground ? *own->foreground : inh->style.foreground.value_or(Fill(primary));
    return r;
}

Measure Layouter::measure(RNode* r, const Proposal& p)
{
    for (const auto& e : r->cache)
        if (e.proposal == p)
            return e.measure;
    Measure m = compute(r, p);
    if (r->cache.empty())
        r->cache.reserve(4); // stacks ask each child two or three sizes
    r->cache.push_back({p, m});
    return m;
}

Measure Layouter::measureText(RNode* r, const Proposal& p, TextLines* out)
{
    TextLines t = layoutText(r->shownText, r->text, p.w, p.h);
    Measure m{t.size, t.firstBaseline, t.lastBaseline};
    if (out)
        *out = std::move(t);
    return m;
}

// A stack's first baseline is that of its first child with text, its last baseline that of
// its last child with text, wherever they were placed; with no text inside, its bottom edge.
void reportBaselines(StackPlan& plan, QSizeF size)
{
    const auto& ms = plan.measures;
    auto has = [](const Measure& m) { return m.hasBaseline(); };
    const auto first = std::find_if(ms.begin(), ms.end(), has);
    if (first == ms.end()) {
        plan.total = plain(size);
        return;
    }
    const size_t f = size_t(first - ms.begin());
    const size_t l = size_t(std::find_if(ms.rbegin(), ms.rend(), has).base() - ms.begin()) - 1;
    plan.total = Measure{size, plan.offsets[f].y() + ms[f].firstBaseline,
                         plan.offsets[l].y() + ms[l].lastBaseline};
}

StackPlan Layouter::planStack(RNode* r, const Proposal& p)
{
    const bool horizontal = r->kind == Kind::hstack;
    const auto& kids = r->children;
    const size_t n = kids.size();
    StackPlan plan(&m_scratch);
    plan.proposals.resize(n);
    plan.measures.resize(n);
    plan.offsets.resize(n);
    if (n == 0)
        return plan;

    std::pmr::vector<qreal> gaps(n - 1, &m_scratch);
    qreal totalGaps = 0;
    for (size_t i = 0; i + 1 < n; ++i) {
        gaps[i] = r->node->spacing ? *r->node->spacing
                  : (isSpacer(kids[i]) || isSpacer(kids[i + 1])) ? 0
                                                                 : kDefaultSpacing;
        totalGaps += gaps[i];
    }
    const std::optional<qreal> main = horizontal ? p.w : p.h;
    const std::optional<qreal> cross = horizontal ? p.h : p.w;
    auto prop = [&](std::optional<qreal> len) {
        return horizontal ? Proposal{len, cross} : Proposal{cross, len};
    };
    auto mainOf = [&](const Measure& m) { return horizontal ? m.size.width() : m.size.height(); };

    if (!main) {
        for (size_t i = 0; i < n; ++i) {
            plan.proposals[i] = prop(std::nullopt);
            plan.measures[i] = measure(kids[i], plan.proposals[i]);
        }
    } else {
        // Least flexible first; each child is offered an equal share of what is left. Higher
        // layout priorities go first and leave the others only their minimum.
        std::pmr::vector<qreal> minimum(n, &m_scratch), flexibility(n, &m_scratch);
        for (size_t i = 0; i < n; ++i) {
            minimum[i] = mainOf(measure(kids[i], prop(0.0)));
            const qreal maximum = mainOf(measure(kids[i], prop(infinity)));
            flexibility[i] = maximum - minimum[i];
            if (std::isnan(flexibility[i])) // unbounded both ways: as flexible as it gets
                flexibility[i] = infinity;
        }
        std::pmr::vector<size_t> order(n, &m_scratch);
        std::iota(order.begin(), order.end(), 0);
        // Ties keep the children's order (a plain sort with the index as the last key does
        // what a stable sort would, without its buffer).
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            if (kids[a]->priority != kids[b]->priority)
                return kids[a]->priority > kids[b]->priority;
            if (isSpacer(kids[a]) != isSpacer(kids[b])) // spacers take what the others leave
                return isSpacer(kids[b]);
            if (flexibility[a] != flexibility[b])
                return flexibility[a] < flexibility[b];
            return a < b;
        });
        qreal remaining = *main - totalGaps;
        size_t g = 0;
        while (g < n) {
            size_t end = g;
            while (end < n && kids[order[end]]->priority == kids[order[g]]->priority)
                ++end;
            qreal lowerMinimum = 0;
            for (size_t k = end; k < n; ++k)
                lowerMinimum += minimum[order[k]];
            qreal groupRemaining = remaining - lowerMinimum;
            // The group's spacers come last; until then their minimum lengths stay reserved and
            // the other children share the rest.
            qreal spacerMinimum = 0;
            size_t others = 0;
            for (size_t k = g; k < end; ++k) {
                if (isSpacer(kids[order[k]]))
                    spacerMinimum += minimum[order[k]];
                else
                    ++others;
            }
            for (size_t k = g; k < end; ++k) {
                const size_t i = order[k];
                const bool spacer = isSpacer(kids[i]);
                const qreal share = spacer
                    ? std::max<qreal>(0, groupRemaining / qreal(end - k))
                    : std::max<qreal>(0, (groupRemaining - spacerMinimum) / qreal(others--));
                plan.proposals[i] = prop(share);
                plan.measures[i] = measure(kids[i], plan.proposals[i]);
                groupRemaining -= mainOf(plan.measures[i]);
                remaining -= mainOf(plan.measures[i]);
            }
            g = end;
        }
    }

    // Along the axis, one after another; across it, by the stack's alignment guide.
    qreal pos = 0;
    qreal minCross = infinity, maxCross = -infinity;
    std::pmr::vector<qreal> crossPos(n, &m_scratch);
    for (size_t i = 0; i < n; ++i) {
        const Measure& m = plan.measures[i];
        const qreal guide = horizontal ? alongV(r->node->alignment.vertical, m)
                                       : alongH(r->node->alignment.horizontal, m.size.width());
        const qreal extent = horizontal ? m.size.height() : m.size.width();
        crossPos[i] = -guide;
        minCross = std::min(minCross, -guide);
        maxCross = std::max(maxCross, -guide + extent);
        if (horizontal)
            plan.offsets[i].setX(pos);
        else
            plan.offsets[i].setY(pos);
        pos += mainOf(m) + (i + 1 < n ? gaps[i] : 0);
    }
    for (size_t i = 0; i < n; ++i) {
        if (horizontal)
            plan.offsets[i].setY(crossPos[i] - minCross);
        else
            plan.offsets[i].setX(crossPos[i] - minCross);
    }
    const qreal crossSize = maxCross - minCross;
    reportBaselines(plan, horizontal ? QSizeF(pos, crossSize) : QSizeF(crossSize, pos));
    return plan;
}

StackPlan Layouter::planZStack(RNode* r, const Proposal& p)
{
    const auto& kids = r->children;
    const size_t n = kids.size();
    StackPlan plan(&m_scratch);
    plan.proposals.assign(n, p);
    plan.measures.resize(n);
    plan.offsets.resize(n);
    if (n == 0)
        return plan;
    qreal minX = infinity, maxX = -infinity, minY = infinity, maxY = -infinity;
    for (size_t i = 0; i < n; ++i) {
        const Measure m = plan.measures[i] = measure(kids[i], p);
        const qreal x = -alongH(r->node->alignment.horizontal, m.size.width());
        const qreal y = -alongV(r->node->alignment.vertical, m);
        plan.offsets[i] = QPointF(x, y);
        minX = std::min(minX, x);
        maxX = std::max(maxX, x + m.size.width());
        minY = std::min(minY, y);
        maxY = std::max(maxY, y + m.size.height());
    }
    for (auto& o : plan.offsets)
        o -= QPointF(minX, minY);
    reportBaselines(plan, QSizeF(maxX - minX, maxY - minY));
    return plan;
}

// A flexible frame's answer in one direction, from the original proposal and the child's size.
qreal flexResult(std::optional<qreal> proposed, std::optional<qreal> mn, std::optional<qreal> ideal,
                 std::optional<qreal> mx, qreal child)
{
    const qreal offered = proposed ? *proposed : ideal ? *ideal : child;
    qreal result = child;
    if (!proposed && ideal)
        result = *ideal;
    if (mn)
        result = std::max(*mn, std::min(result, offered));
    if (mx)
        result = std::min(*mx, std::max(result, offered));
    if (mn && mx && *mn > *mx)
        result = *mn;
    return result;
}

std::optional<qreal> flexProposal(std::optional<qreal> proposed, std::optional<qreal> mn,
                                  std::optional<qreal> ideal, std::optional<qreal> mx)
{
    if (!proposed)
        return ideal;
    qreal v = *proposed;
    if (mn)
        v = std::max(v, *mn);
    if (mx)
        v = std::min(v, *mx);
    return v;
}

Proposal childProposal(const RNode* r, const Proposal& p)
{
    const Node& n = *r->node;
    switch (r->kind) {
    case Kind::padding: {
        auto shrink = [](std::optional<qreal> v, qreal by) {
            return v ? std::optional<qreal>(std::max<qreal>(0, *v - by)) : std::nullopt;
        };
        return {shrink(p.w, n.insets.leading + n.insets.trailing), shrink(p.h, n.insets.top + n.insets.bottom)};
    }
    case Kind::fixedFrame:
        return {n.width ? n.width : p.w, n.height ? n.height : p.h};
    case Kind::flexFrame:
        return {flexProposal(p.w, n.frame.minWidth, n.frame.idealWidth, n.frame.maxWidth),
                flexProposal(p.h, n.frame.minHeight, n.frame.idealHeight, n.frame.maxHeight)};
    case Kind::fixedSize:
        return {n.fixHorizontal ? std::nullopt : p.w, n.fixVertical ? std::nullopt : p.h};
    default:
        return p;
    }
}

Measure Layouter::compute(RNode* r, const Proposal& p)
{
    const Node& n = *r->node;
    auto offered = [&](qreal ideal) {
        return QSizeF(p.w.value_or(ideal), p.h.value_or(ideal));
    };
    switch (r->kind) {
    case Kind::empty:
        return {};
    case Kind::vstack:
    case Kind::hstack:
        return planStack(r, p).total;
    case Kind::zstack:
        return planZStack(r, p).total;
    case Kind::spacer: {
        const qreal mn = n.spacing.value_or(kDefaultSpacerMinimum);
        switch (r->axis) {
        case Axis::horizontal: return plain(QSizeF(std::max(mn, orZero(p.w)), 0));
        case Axis::vertical: return plain(QSizeF(0, std::max(mn, orZero(p.h))));
        case Axis::none: return plain(QSizeF(std::max(mn, orZero(p.w)), std::max(mn, orZero(p.h))));
        }
        return {};
    }
    case Kind::text:
    case Kind::timerText:
        return measureText(r, p);
    case Kind::timerProgress:
        return plain(QSizeF(p.w.value_or(kShapeIdeal), kProgressHeight));
    case Kind::image: {
        const SymbolShape* s = symbolShape(n.text);
        const qreal h = r->text.font.size;
        return plain(QSizeF(h * (s ? s->aspect : 1), h));
    }
    case Kind::shape:
    case Kind::color:
    case Kind::canvas:
    case Kind::geometryReader:
        return plain(offered(kShapeIdeal));
    case Kind::padding: {
        Measure c = measure(r->children[0], childProposal(r, p));
        const EdgeInsets& in = n.insets;
        return around(QSizeF(c.size.width() + in.leading + in.trailing, c.size.height() + in.top + in.bottom),
                      c, in.top);
    }
    case Kind::fixedFrame: {
        Measure c = measure(r->children[0], childProposal(r, p));
        const QSizeF size(n.width.value_or(c.size.width()), n.height.value_or(c.size.height()));
        return around(size, c, alignIn(size, c.size, n.alignment).y());
    }
    case Kind::flexFrame: {
        Measure c = measure(r->children[0], childProposal(r, p));
        const Frame& f = n.frame;
        const QSizeF size(flexResult(p.w, f.minWidth, f.idealWidth, f.maxWidth, c.size.width()),
                          flexResult(p.h, f.minHeight, f.idealHeight, f.maxHeight, c.size.height()));
        return around(size, c, alignIn(size, c.size, n.alignment).y());
    }
    case Kind::fixedSize:
        return measure(r->children[0], childProposal(r, p));
    case Kind::position: {
        Measure c = measure(r->children[0], p);
        return plain(QSizeF(p.w.value_or(c.size.width()), p.h.value_or(c.size.height())));
    }
    default:
        // Modifiers that keep their content's layout: overlays, transforms, effects, buttons.
        return r->children.empty() ? Measure{} : measure(r->children[0], p);
    }
}

RNode* Layouter::geometryContent(RNode* r, QSizeF size)
{
    if (!r->node->geometry)
        return nullptr;
    m_arena.keep.push_back(r->node->geometry(size));
    return resolve(m_arena.keep.back(), r->inherited, Axis::none);
}

LaidOutNode Layouter::place(RNode* r, const Proposal& p, QPointF origin)
{
    LaidOutNode out;
    out.source = r;
    out.kind = kindName(*r);
    const Measure m = measure(r, p);
    out.frame = QRectF(origin, m.size);
    const Node& n = *r->node;

    switch (r->kind) {
    case Kind::vstack:
    case Kind::hstack:
    case Kind::zstack: {
        const StackPlan plan = r->kind == Kind::zstack ? planZStack(r, p) : planStack(r, p);
        out.children.reserve(r->children.size());
        for (size_t i = 0; i < r->children.size(); ++i)
            out.children.push_back(place(r->children[i], plan.proposals[i], origin + plan.offsets[i]));
        break;
    }
    case Kind::text:
    case Kind::timerText: {
        TextLines t;
        measureText(r, p, &t);
        out.lines = t.lines;
        out.fontScale = t.scale;
        break;
    }
    case Kind::geometryReader:
        if (RNode* c = geometryContent(r, m.size))
            out.children.push_back(place(c, Proposal{m.size.width(), m.size.height()}, origin));
        break;
    case Kind::padding:
        out.children.push_back(place(r->children[0], childProposal(r, p),
                                     origin + QPointF(n.insets.leading, n.insets.top)));
        break;
    case Kind::fixedFrame:
    case Kind::flexFrame: {
        const Proposal cp = childProposal(r, p);
        const Measure c = measure(r->children[0], cp);
        out.children.push_back(place(r->children[0], cp, origin + alignIn(m.size, c.size, n.alignment)));
        break;
    }
    case Kind::position: {
        const Measure c = measure(r->children[0], p);
        out.children.push_back(place(r->children[0], p,
                                     origin + QPointF(n.x - c.size.width() / 2, n.y - c.size.height() / 2)));
        break;
    }
    case Kind::overlay:
    case Kind::background:
    case Kind::mask:
    case Kind::clip: {
        out.children.push_back(place(r->children[0], p, origin));
        // The secondary view is offered exactly the primary's size. Aligned by a baseline, it
        // puts its own on the primary's, as siblings in a stack do.
        const Proposal sp{m.size.width(), m.size.height()};
        const Measure s = measure(r->children[1], sp);
        QPointF at = alignIn(m.size, s.size, n.alignment);
        if (isBaseline(n.alignment.vertical))
            at.setY(alongV(n.alignment.vertical, m) - alongV(n.alignment.vertical, s));
        out.children.push_back(place(r->children[1], sp, origin + at));
        break;
    }
    default:
        for (RNode* c : r->children)
            out.children.push_back(place(c, childProposal(r, p), origin));
        break;
    }
    return out;
}

} // namespace

QString kindName(const RNode& r)
{
    switch (r.kind) {
    case Kind::empty: return QStringLiteral("Empty");
    case Kind::vstack: return QStringLiteral("VStack");
    case Kind::hstack: return QStringLiteral("HStack");
    case Kind::zstack: return QStringLiteral("ZStack");
    case Kind::spacer: return QStringLiteral("Spacer");
    case Kind::text: return QStringLiteral("Text");
    case Kind::timerText: return QStringLiteral("TimerText");
    case Kind::timerProgress: return QStringLiteral("TimerProgress");
    case Kind::image: return QStringLiteral("Image");
    case Kind::shape:
        switch (r.node->shape.kind) {
        case ShapeKind::rectangle: return QStringLiteral("Rectangle");
        case ShapeKind::roundedRectangle: return QStringLiteral("RoundedRectangle");
        case ShapeKind::circle: return QStringLiteral("Circle");
        case ShapeKind::ellipse: return QStringLiteral("Ellipse");
        case ShapeKind::capsule: return QStringLiteral("Capsule");
        case ShapeKind::path: return QStringLiteral("Path");
        }
        break;
    case Kind::color: return QStringLiteral("Color");
    case Kind::canvas: return QStringLiteral("Canvas");
    case Kind::geometryReader: return QStringLiteral("GeometryReader");
    case Kind::environmentReader: return QStringLiteral("EnvironmentReader");
    case Kind::button: return QStringLiteral("Button");
    case Kind::style: return QStringLiteral("style");
    case Kind::environment: return QStringLiteral("environment");
    case Kind::priority: return QStringLiteral("layoutPriority");
    case Kind::padding: return QStringLiteral("padding");
    case Kind::fixedFrame:
    case Kind::flexFrame: return QStringLiteral("frame");
    case Kind::fixedSize: return QStringLiteral("fixedSize");
    case Kind::overlay: return QStringLiteral("overlay");
    case Kind::background: return QStringLiteral("background");
    case Kind::position: return QStringLiteral("position");
    case Kind::offset: return QStringLiteral("offset");
    case Kind::rotation: return QStringLiteral("rotationEffect");
    case Kind::scale: return QStringLiteral("scaleEffect");
    case Kind::mask: return QStringLiteral("mask");
    case Kind::clip: return QStringLiteral("clipShape");
    case Kind::opacity: return QStringLiteral("opacity");
    case Kind::shadow: return QStringLiteral("shadow");
    case Kind::hitTesting: return QStringLiteral("allowsHitTesting");
    case Kind::widgetURL: return QStringLiteral("widgetURL");
    }
    return QStringLiteral("Unknown");
}

bool isTimer(const RNode& r) { return r.kind == Kind::timerText || r.kind == Kind::timerProgress; }

QString currentText(const RNode& r, const LaidOutNode& laid)
{
    if (r.kind == Kind::timerText) {
        const Node& n = *r.node;
        return timerString(n.from, n.to, n.countsDown, n.showsHours, Clock::now());
    }
    return laid.lines.join(QLatin1Char('\n'));
}

LaidOutTree::LaidOutTree() : m_arena(std::make_shared<LayoutArena>()) {}

LaidOutTree layout(const View& view, QSizeF proposal, const Environment& env)
{
    LaidOutTree tree;
    tree.m_environment = env;
    Inherited& root = tree.m_arena->inherited.emplace_back();
    root.env = env;
    tree.m_arena->keep.push_back(view); // the tree points into the view's nodes
    Layouter l(*tree.m_arena);
    RNode* r = l.resolve(tree.m_arena->keep.back(), &root, Axis::none);
    tree.m_root = l.place(r, Proposal{proposal.width(), proposal.height()}, QPointF(0, 0));
    return tree;
}

} // namespace velk::view
