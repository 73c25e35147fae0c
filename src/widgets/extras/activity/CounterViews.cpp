#include "widgets/extras/activity/CounterViews.h"

#include "platform/timeline/IntentButton.h"
#include "shared/data/activity/ButtonIntents.h"
#include "shared/look/Captions.h"
#include "shared/look/DotPieces.h"
#include "widgets/extras/activity/ActivityLook.h"

#include <algorithm>

namespace velk {

using namespace view;
using namespace activity;

namespace {

View face(const WCtx& ctx, Views rows)
{
    return paddedFace(VStack(HAlign::leading, 0, std::move(rows)), ctx);
}

} // namespace

// ---- WaterView --------------------------------------------------------------------------------

QString WaterView::litres(qint64 glasses)
{
    return QString::asprintf("%.2fL", double(glasses) * 0.25).remove(QStringLiteral(".00"));
}

qint64 WaterView::rows(qint64 goal)
{
    return goal > 0 ? std::min((goal - 1) / 4 + 1, kMaxRows) : 0;
}

View WaterView::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    const qint64 value = nonNegative(data.value);
    const qint64 goal = data.goal;

    Views grid;
    for (qint64 r = 0; r < rows(goal); ++r) {
        Views cells;
        for (qint64 c = 0; c < 4; ++c) {
            const qint64 i = r * 4 + c;
            if (i >= goal) break;
            View dot = i < value ? Circle().fill(pal.fill) : Circle().strokeBorder(pal.track, 2 * u);
            cells.push_back(dot.frame(20 * u, 20 * u));
        }
        grid.push_back(HStack(VAlign::center, 8 * u, std::move(cells)));
    }

    const qint64 shown = nonNegative(std::min(value, goal));
    const View tap = face(
        ctx, {Caption{QStringLiteral("Water"), 9, 0.16, pal.inkDim, ctx},
              VStack(HAlign::leading, 8 * u, std::move(grid)).padding(Edge::top, 16 * u), Spacer(0),
              numeralFit(Text(litres(value)).font(ctx.numerals(22, Weight::black)).foregroundColor(pal.ink)),
              View(Caption{QStringLiteral("%1 of %2 glasses").arg(shown).arg(nonNegative(goal)), 9, 0, pal.inkDim, ctx})
                  .padding(Edge::top, 2 * u)});
    return Button(timeline::buttonAction(AddWaterIntent{}), tap);
}

// ---- StepsView --------------------------------------------------------------------------------

View StepsView::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    const qint64 value = nonNegative(data.value);
    const View tap = face(
        ctx, {Caption{QStringLiteral("Steps"), 9, 0.16, pal.inkDim, ctx},
              numeralFit(Text(groupedInteger(value)).font(ctx.numerals(40, Weight::black)).foregroundColor(pal.ink))
                  .padding(Edge::top, 10 * u),
              Spacer(0),
              DotBar{shareOf(double(value), double(data.goal)), 0, 8, 6.7, pal.track, pal.fill, Color::clear(), u}
                  .body()
                  .padding(Edge::bottom, 8 * u),
              Caption{QStringLiteral("Goal ") + groupedInteger(data.goal), 9, 0, pal.inkDim, ctx}});
    return Button(timeline::buttonAction(AddStepsIntent{}), tap);
}

} // namespace velk
