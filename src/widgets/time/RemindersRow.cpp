#include "widgets/time/RemindersRow.h"

#include "platform/timeline/IntentButton.h"
#include "shared/data/calendar/ToggleReminderIntent.h"
#include "shared/look/Captions.h"

namespace velk {

using namespace view;

View ReminderToggle::body() const
{
    return Button(timeline::buttonAction(ToggleReminderIntent(item.id)),
                  CheckCircle{item.done, diameter, circleColor, checkColor, ctx});
}

View reminderRow(const ReminderItem& item, const ReminderRowStyle& style, const WCtx& ctx)
{
    const WidgetPalette& pal = ctx.pal;
    Views row{ReminderToggle{item, pal.fill, VelkTokens::ink, style.toggleDiameter, ctx},
              Text(item.title)
                  .font(ctx.numerals(style.titleSize, Weight::medium))
                  .strikethrough(item.done)
                  .foregroundColor(item.done ? pal.inkFaint : pal.ink)
                  .lineLimit(1),
              Spacer(0)};
    if (item.time && !item.done) row.push_back(Caption{*item.time, 10, 0, item.isUrgent ? pal.alert : pal.inkDim, ctx});
    return HStack(VAlign::center, style.spacing * ctx.u, std::move(row));
}

} // namespace velk
