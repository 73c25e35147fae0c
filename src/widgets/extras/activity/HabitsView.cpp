#include "widgets/extras/activity/HabitsView.h"

#include "platform/timeline/IntentButton.h"
#include "shared/data/activity/ButtonIntents.h"
#include "shared/look/Captions.h"
#include "widgets/extras/activity/ActivityLook.h"

#include <algorithm>

namespace velk {

using namespace view;
using activity::nonNegative;

namespace {

View habitRow(const HabitWeekRow& row, const WCtx& ctx)
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    const qint64 done = nonNegative(row.done);
    const qint64 total = nonNegative(row.total);
    const bool behind = done < HabitsView::kOnTrack;

    Views dots;
    for (qint64 i = 0; i < std::min(total, HabitsView::kMaxDots); ++i)
        dots.push_back(Circle().fill(i < done ? (behind ? pal.alert : pal.fill) : pal.track).frame(12 * u, 12 * u));

    const View label =
        HStack(VAlign::center, 14 * u,
               {View(Caption{row.name, 10, 0.08, behind ? pal.alert : pal.ink, ctx})
                    .frame(70 * u, std::nullopt, Alignment::leading),
                HStack(VAlign::center, 8 * u, std::move(dots)), Spacer(0),
                Caption{QStringLiteral("%1 / %2").arg(done).arg(total), 10, 0, behind ? pal.alert : pal.inkDim, ctx}});
    return Button(timeline::buttonAction(HabitToggleIntent(row.id.toString(QUuid::WithoutBraces).toUpper())), label);
}

} // namespace

View HabitsView::body() const
{
    const qreal u = ctx.u;
    Views list;
    for (size_t i = 0; i < rows.size() && i < kShownRows; ++i)
        list.push_back(habitRow(rows[i], ctx));
    if (rows.empty()) list.push_back(Caption{QStringLiteral("Add habits in VELK"), 11, 0, ctx.pal.inkDim, ctx});
    return VStack(HAlign::center, 11 * u, std::move(list))
        .padding(Edge::horizontal, 26 * u)
        .frame(Frame::maxInfinity());
}

} // namespace velk
