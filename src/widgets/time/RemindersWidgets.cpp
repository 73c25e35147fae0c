#include "widgets/time/RemindersWidgets.h"

#include "shared/look/VelkWidget.h"
#include "shared/widget/WidgetKinds.h"
#include "widgets/time/RemindersProvider.h"
#include "widgets/time/RemindersViews.h"

namespace velk {

using timeline::WidgetFamily;
using Tone = WidgetPalette::Tone;

namespace {

// Every reminders widget draws the entry's snapshot; a tap outside a toggle opens the reminders.
template <class ReminderView>
timeline::WidgetDefinition remindersWidget(const char* kind, const char* name, const char* description,
                                           WidgetFamily family, Tone tone)
{
    return velkWidget<SurfaceConfigIntent>({kind, name, description, family, tone, kRemindersWidgetURL},
                                           RemindersProvider{},
                                           [](const RemindersProvider::Entry& entry, const WCtx& ctx) -> view::View {
                                               return ReminderView{entry.data, ctx};
                                           });
}

} // namespace

timeline::WidgetDefinition RemindersChecklistWidget::body() const
{
    return remindersWidget<RemindersChecklist>(kinds::remindersChecklist, "Checklist", "Today's reminders, tappable.",
                                               WidgetFamily::medium, Tone::light);
}

timeline::WidgetDefinition RemindersNextUpWidget::body() const
{
    return remindersWidget<RemindersNextUp>(kinds::remindersNextUp, "Next Up", "Countdown to your next reminder.",
                                            WidgetFamily::small, Tone::dark);
}

timeline::WidgetDefinition RemindersSingleWidget::body() const
{
    return remindersWidget<RemindersSingle>(kinds::remindersSingle, "Single Focus", "One reminder at a time.",
                                            WidgetFamily::small, Tone::light);
}

timeline::WidgetDefinition RemindersTodayWidget::body() const
{
    return remindersWidget<RemindersToday>(kinds::remindersToday, "Today List", "The full day with progress.",
                                           WidgetFamily::large, Tone::dark);
}

} // namespace velk
