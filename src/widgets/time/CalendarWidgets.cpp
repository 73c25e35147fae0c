#include "widgets/time/CalendarWidgets.h"

#include "shared/look/WidgetRoot.h"
#include "widgets/time/CalendarProvider.h"
#include "widgets/time/CalendarViews.h"

#include <QUrl>

namespace velk {

using timeline::WidgetFamily;
using Tone = WidgetPalette::Tone;

namespace {

// The day views draw the date alone, the event views the date and the snapshot.
template <class V>
view::View calendarView(Date date, const CalendarSnapshot& data, const WCtx& ctx)
{
    if constexpr (requires { V{date, data, ctx}; })
        return V{date, data, ctx};
    else
        return V{date, ctx};
}

// The root for the view built from the entry; the views draw the entry's date, so an entry
// made before midnight shows its own day until the next reload. A tap opens the calendar.
template <class CalendarView>
timeline::WidgetDefinition calendarWidget(const char* kind, Tone tone, WidgetFamily family)
{
    return timeline::AppIntentConfiguration<SurfaceConfigIntent>(
        QString::fromLatin1(kind), CalendarProvider{},
        [tone, family](const CalendarProvider::Entry& entry) -> view::View {
            return VelkWidgetRoot{tone, timeline::designSize(family), entry.surface,
                                  [date = entry.date, data = entry.data](const WCtx& ctx) -> view::View {
                                      return calendarView<CalendarView>(date, data, ctx);
                                  }}
                .body()
                .widgetURL(QUrl(QString::fromLatin1(kCalendarWidgetURL)));
        });
}

} // namespace

timeline::WidgetDefinition CalendarBigDateWidget::body() const
{
    return calendarWidget<CalendarBigDate>("velk.calendar.bigDate", Tone::light, WidgetFamily::small)
        .configurationDisplayName(QStringLiteral("Big Date"))
        .description(QStringLiteral("Today, writ large."))
        .supportedFamilies(WidgetFamily::small)
        .contentMarginsDisabled();
}

timeline::WidgetDefinition CalendarMonthGridWidget::body() const
{
    return calendarWidget<CalendarMonthGrid>("velk.calendar.monthGrid", Tone::light, WidgetFamily::small)
        .configurationDisplayName(QStringLiteral("Month Grid"))
        .description(QStringLiteral("The month as dots."))
        .supportedFamilies(WidgetFamily::small)
        .contentMarginsDisabled();
}

timeline::WidgetDefinition CalendarDayEventsWidget::body() const
{
    return calendarWidget<CalendarDayEvents>("velk.calendar.dayEvents", Tone::dark, WidgetFamily::medium)
        .configurationDisplayName(QStringLiteral("Day + Events"))
        .description(QStringLiteral("The date with what's next."))
        .supportedFamilies(WidgetFamily::medium)
        .contentMarginsDisabled();
}

timeline::WidgetDefinition CalendarAgendaWidget::body() const
{
    return calendarWidget<CalendarAgenda>("velk.calendar.agenda", Tone::dark, WidgetFamily::large)
        .configurationDisplayName(QStringLiteral("Agenda"))
        .description(QStringLiteral("Today's schedule with day progress."))
        .supportedFamilies(WidgetFamily::large)
        .contentMarginsDisabled();
}

} // namespace velk
