#include "platform/core/Clock.h"
#include "platform/view/LayoutEngine.h"
#include "platform/view/Symbols.h"

namespace velk::view::detail {

RNode* Layouter::geometryContent(RNode* r, QSizeF size)
{
    if (!r->node->geometry) return nullptr;
    arena_.keep.push_back(r->node->geometry(size));
    return resolve(arena_.keep.back(), r->inherited, Axis::none);
}

LaidOutNode Layouter::place(RNode* r, const Proposal& p, QPointF origin)
{
    LaidOutNode out;
    out.source = r;
    out.kind = kindName(*r);
    const Measure m = measure(r, p);
    out.frame = QRectF(origin, m.size);
    const Node& n = *r->node;
    // One child for most modifiers, two for overlays and masks: room made once, not grown.
    out.children.reserve(r->kind == Kind::geometryReader ? 1 : r->children.size());

    switch (r->kind) {
    case Kind::vstack:
    case Kind::hstack:
    case Kind::zstack: {
        const StackPlan& plan = stackPlan(r, p);
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
        out.children.push_back(
            place(r->children[0], childProposal(r, p), origin + QPointF(n.insets.leading, n.insets.top)));
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
        out.children.push_back(
            place(r->children[0], p, origin + QPointF(n.x - c.size.width() / 2, n.y - c.size.height() / 2)));
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

} // namespace velk::view::detail
