#pragma once
// The layout engine's own parts, shared by its files and by nothing else: the resolved-node
// walker (Layouter), the stack plans and the small geometry helpers.
//   Layout.cpp      resolving views into nodes, measuring with a cache, the entry point
//   StackLayout.cpp planning stacks: fixed children first, the rest shared, baselines
//   FrameLayout.cpp what each modifier proposes to its child and answers for itself
//   Placement.cpp   placing every node at its origin once sizes are known
#include "platform/view/LayoutNodes.h"

#include <algorithm>
#include <cmath>
#include <memory_resource>
#include <numeric>
#include <unordered_map>

namespace velk::view::detail {

constexpr qreal kDefaultSpacing = 8;
constexpr qreal kDefaultSpacerMinimum = 8;
constexpr qreal kShapeIdeal = 10; // a shape's size when nothing is offered
constexpr qreal kProgressHeight = 4;

inline bool isSpacer(const RNode* r)
{
    return r->kind == Kind::spacer;
}

inline qreal alongH(HAlign a, qreal w)
{
    switch (a) {
    case HAlign::leading:
        return 0;
    case HAlign::center:
        return w / 2;
    case HAlign::trailing:
        return w;
    }
    return 0;
}

inline qreal alongV(VAlign a, const Measure& m)
{
    switch (a) {
    case VAlign::top:
        return 0;
    case VAlign::center:
        return m.size.height() / 2;
    case VAlign::bottom:
        return m.size.height();
    case VAlign::firstTextBaseline:
        return m.first();
    case VAlign::lastTextBaseline:
        return m.last();
    }
    return 0;
}

inline bool isBaseline(VAlign a)
{
    return a == VAlign::firstTextBaseline || a == VAlign::lastTextBaseline;
}

// Where a child of `child` size sits inside `outer` for an alignment. A frame's own baselines
// come from the child it places, so baseline alignments centre in a single frame.
inline QPointF alignIn(const QSizeF& outer, const QSizeF& child, Alignment a)
{
    qreal fx = a.horizontal == HAlign::leading ? 0 : a.horizontal == HAlign::trailing ? 1 : 0.5;
    qreal fy = a.vertical == VAlign::top ? 0 : a.vertical == VAlign::bottom ? 1 : 0.5;
    return QPointF((outer.width() - child.width()) * fx, (outer.height() - child.height()) * fy);
}

// A view without text: its bottom edge stands in for both baselines.
inline Measure plain(QSizeF s)
{
    return Measure{s};
}

// The answer of a view `size` big around a child placed `dy` below its top: the child's text
// baselines move with it; without text the view's own bottom edge is its baseline.
inline Measure around(QSizeF size, const Measure& child, qreal dy)
{
    return Measure{size, child.firstBaseline + dy, child.lastBaseline + dy};
}

inline qreal orZero(std::optional<qreal> v)
{
    return v.value_or(0);
}

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
    explicit Layouter(LayoutArena& arena) : arena_(arena), scratch_(buffer_, sizeof buffer_) {}

    RNode* resolve(const View& v, const Inherited* inh, Axis axis);
    Measure measure(RNode* r, const Proposal& p);
    LaidOutNode place(RNode* r, const Proposal& p, QPointF origin);

private:
    RNode* newNode(const Node* n, Kind k, const Inherited* inh)
    {
        RNode& r = arena_.nodes.emplace_back(&arena_.memory);
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

    // The stack's plan for the proposal it was last measured with: placing usually offers that
    // same proposal again, and a repeated child is placed once for each time it appears.
    const StackPlan& stackPlan(RNode* r, const Proposal& p);

    struct KeptPlan {
        Proposal proposal;
        StackPlan plan;
    };

    LayoutArena& arena_;
    alignas(std::max_align_t) std::byte buffer_[16384];
    std::pmr::monotonic_buffer_resource scratch_;
    std::pmr::unordered_map<const RNode*, KeptPlan> plans_{&scratch_};
    // A text's lines for the proposal it was last measured with, for placing it.
    struct KeptLines {
        Proposal proposal;
        TextLines lines;
    };
    std::pmr::unordered_map<const RNode*, KeptLines> lines_{&scratch_};
};

// The child's proposal under a padding, frame or fixedSize; other nodes pass theirs on.
Proposal childProposal(const RNode* r, const Proposal& p);
// A stack's baselines from those of its children (StackLayout.cpp).
void reportBaselines(StackPlan& plan, QSizeF size);

} // namespace velk::view::detail
