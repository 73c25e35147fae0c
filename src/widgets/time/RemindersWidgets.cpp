#include "widgets/time/RemindersWidgets.h"

#include "shared/look/WidgetRoot.h"
#include "widgets/time/RemindersProvider.h"
#include "widgets/time/RemindersViews.h"

#include <QUrl>

namespace velk {

using timeline::WidgetFamily;
using Tone = WidgetPalette::Tone;

namespace {

// The root for the view built from the entry's snapshot; a tap outside a toggle opens the
// reminders in the app.
template <class ReminderView>
timeline::WidgetDefinition remindersWidget(const char* kind, Tone tone, WidgetFamily family)
{
    return timeline::AppIntentConfiguration<SurfaceConfigIntent>(
        QString::fromLatin1(kind), RemindersProvider{},
        [tone, family](const RemindersProvider::Entry& entry) -> view::View {
            return VelkWidgetRoot{tone, timeline::designSize(family), entry.surface,
                                  [data = entry.data](const WCtx& ctx) -> view::View { return ReminderView{data, ctx}; }}
                .body()
                .widgetURL(QUrl(QString::fromLatin1(kRemindersWidgetURL)));
        });
}

} // namespace

timeline::WidgetDefinition RemindersChecklistWidget::body() const
{
    return remindersWidget<RemindersChecklist>("velk.reminders.checklist", Tone::light, WidgetFamily::medium)
        .configurationDisplayName(QStringLiteral("Checklist"))
        .description(QStringLiteral("Today's reminders, tappable."))
        .supportedFamilies(WidgetFamily::medium)
        .contentMarginsDisabled();
}

timeline::WidgetDefinition RemindersNextUpWidget::body() const
{
    return remindersWidget<RemindersNextUp>("velk.reminders.nextUp", Tone::dark, WidgetFamily::small)
        .configurationDisplayName(QStringLiteral("Next Up"))
        .description(QStringLiteral("Countdown to your next reminder."))
        .supportedFamilies(WidgetFamily::small)
        .contentMarginsDisabled();
}

timeline::WidgetDefinition RemindersSingleWidget::body() const
{
    return remindersWidget<RemindersSingle>("velk.reminders.single", Tone::light, WidgetFamily::small)
        .configurationDisplayName(QStringLiteral("Single Focus"))
        .description(QStringLiteral("One reminder at a time."))
        .supportedFamilies(WidgetFamily::small)
        .contentMarginsDisabled();
}

timeline::WidgetDefinition RemindersTodayWidget::body() const
{
    return remindersWidget<RemindersToday>("velk.reminders.today", Tone::dark, WidgetFamily::large)
        .configurationDisplayName(QStringLiteral("Today List"))
        .description(QStringLiteral("The full day with progress."))
        .supportedFamilies(WidgetFamily::large)
        .contentMarginsDisabled();
}

} // namespace velk
