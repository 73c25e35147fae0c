#include "platform/view/LayoutEngine.h"
#include "platform/view/Symbols.h"

namespace velk::view::detail {

namespace {

// A flexible frame's answer in one direction, from the original proposal and the child's size.
qreal flexResult(std::optional<qreal> proposed, std::optional<qreal> mn, std::optional<qreal> ideal,
                 std::optional<qreal> mx, qreal child)
{
    const qreal offered = proposed ? *proposed : ideal ? *ideal : child;
    qreal result = child;
    if (!proposed && ideal) result = *ideal;
    if (mn) result = std::max(*mn, std::min(result, offered));
    if (mx) result = std::min(*mx, std::max(result, offered));
    if (mn && mx && *mn > *mx) result = *mn;
    return result;
}

std::optional<qreal> flexProposal(std::optional<qreal> proposed, std::optional<qreal> mn, std::optional<qreal> ideal,
                                  std::optional<qreal> mx)
{
    if (!proposed) return ideal;
    qreal v = *proposed;
    if (mn) v = std::max(v, *mn);
    if (mx) v = std::min(v, *mx);
    return v;
}

} // namespace

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
    auto offered = [&](qreal ideal) { return QSizeF(p.w.value_or(ideal), p.h.value_or(ideal)); };
    switch (r->kind) {
    case Kind::empty:
        return {};
    case Kind::vstack:
    case Kind::hstack:
    case Kind::zstack:
        return stackPlan(r, p).total;
    case Kind::spacer: {
        const qreal mn = n.spacing.value_or(kDefaultSpacerMinimum);
        switch (r->axis) {
        case Axis::horizontal:
            return plain(QSizeF(std::max(mn, orZero(p.w)), 0));
        case Axis::vertical:
            return plain(QSizeF(0, std::max(mn, orZero(p.h))));
        case Axis::none:
            return plain(QSizeF(std::max(mn, orZero(p.w)), std::max(mn, orZero(p.h))));
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
        return around(QSizeF(c.size.width() + in.leading + in.trailing, c.size.height() + in.top + in.bottom), c,
                      in.top);
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

} // namespace velk::view::detail
