#include "platform/view/LayoutEngine.h"

namespace velk::view::detail {

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
    plan.total = Measure{size, plan.offsets[f].y() + ms[f].firstBaseline, plan.offsets[l].y() + ms[l].lastBaseline};
}

StackPlan Layouter::planStack(RNode* r, const Proposal& p)
{
    const bool horizontal = r->kind == Kind::hstack;
    const auto& kids = r->children;
    const size_t n = kids.size();
    StackPlan plan(&scratch_);
    plan.proposals.resize(n);
    plan.measures.resize(n);
    plan.offsets.resize(n);
    if (n == 0) return plan;

    std::pmr::vector<qreal> gaps(n - 1, &scratch_);
    qreal totalGaps = 0;
    for (size_t i = 0; i + 1 < n; ++i) {
        gaps[i] = r->node->spacing                               ? *r->node->spacing
                  : (isSpacer(kids[i]) || isSpacer(kids[i + 1])) ? 0
                                                                 : kDefaultSpacing;
        totalGaps += gaps[i];
    }
    const std::optional<qreal> main = horizontal ? p.w : p.h;
    const std::optional<qreal> cross = horizontal ? p.h : p.w;
    auto prop = [&](std::optional<qreal> len) { return horizontal ? Proposal{len, cross} : Proposal{cross, len}; };
    auto mainOf = [&](const Measure& m) { return horizontal ? m.size.width() : m.size.height(); };

    if (!main) {
        for (size_t i = 0; i < n; ++i) {
            plan.proposals[i] = prop(std::nullopt);
            plan.measures[i] = measure(kids[i], plan.proposals[i]);
        }
    } else {
        // Least flexible first; each child is offered an equal share of what is left. Higher
        // layout priorities go first and leave the others only their minimum.
        std::pmr::vector<qreal> minimum(n, &scratch_), flexibility(n, &scratch_);
        for (size_t i = 0; i < n; ++i) {
            minimum[i] = mainOf(measure(kids[i], prop(0.0)));
            const qreal maximum = mainOf(measure(kids[i], prop(infinity)));
            flexibility[i] = maximum - minimum[i];
            if (std::isnan(flexibility[i])) // unbounded both ways: as flexible as it gets
                flexibility[i] = infinity;
        }
        std::pmr::vector<size_t> order(n, &scratch_);
        std::iota(order.begin(), order.end(), 0);
        // Ties keep the children's order (a plain sort with the index as the last key does
        // what a stable sort would, without its buffer).
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            if (kids[a]->priority != kids[b]->priority) return kids[a]->priority > kids[b]->priority;
            if (isSpacer(kids[a]) != isSpacer(kids[b])) // spacers take what the others leave
                return isSpacer(kids[b]);
            if (flexibility[a] != flexibility[b]) return flexibility[a] < flexibility[b];
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
                const qreal share = spacer ? std::max<qreal>(0, groupRemaining / qreal(end - k))
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
    std::pmr::vector<qreal> crossPos(n, &scratch_);
    for (size_t i = 0; i < n; ++i) {
        const Measure& m = plan.measures[i];
        const qreal guide =
            horizontal ? alongV(r->node->alignment.vertical, m) : alongH(r->node->alignment.horizontal, m.size.width());
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

const StackPlan& Layouter::stackPlan(RNode* r, const Proposal& p)
{
    auto it = plans_.find(r);
    if (it != plans_.end() && it->second.proposal == p) return it->second.plan;
    StackPlan plan = r->kind == Kind::zstack ? planZStack(r, p) : planStack(r, p);
    // Planning may have kept plans of the children, so the slot is looked up again.
    it = plans_.find(r);
    if (it == plans_.end()) return plans_.emplace(r, KeptPlan{p, std::move(plan)}).first->second.plan;
    it->second = KeptPlan{p, std::move(plan)};
    return it->second.plan;
}

StackPlan Layouter::planZStack(RNode* r, const Proposal& p)
{
    const auto& kids = r->children;
    const size_t n = kids.size();
    StackPlan plan(&scratch_);
    plan.proposals.assign(n, p);
    plan.measures.resize(n);
    plan.offsets.resize(n);
    if (n == 0) return plan;
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

} // namespace velk::view::detail
