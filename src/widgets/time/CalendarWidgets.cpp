#include "widgets/time/CalendarWidgets.h"

#include "shared/look/VelkWidget.h"
#include "shared/widget/WidgetKinds.h"
#include "widgets/time/CalendarProvider.h"
#include "widgets/time/CalendarViews.h"

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

// The views draw the entry's date, so an entry made before midnight shows its own day until the
// next reload. A tap opens the calendar.
template <class CalendarView>
timeline::WidgetDefinition calendarWidget(const char* kind, const char* name, const char* description,
                                          WidgetFamily family, Tone tone)
{
    return velkWidget<SurfaceConfigIntent>({kind, name, description, family, tone, kCalendarWidgetURL},
                                           CalendarProvider{},
                                           [](const CalendarProvider::Entry& entry, const WCtx& ctx) -> view::View {
                                               return calendarView<CalendarView>(entry.date, entry.data, ctx);
                                           });
}

} // namespace

timeline::WidgetDefinition CalendarBigDateWidget::body() const
{
    return calendarWidget<CalendarBigDate>(kinds::calendarBigDate, "Big Date", "Today, writ large.",
                                           WidgetFamily::small, Tone::light);
}

timeline::WidgetDefinition CalendarMonthGridWidget::body() const
{
    return calendarWidget<CalendarMonthGrid>(kinds::calendarMonthGrid, "Month Grid", "The month as dots.",
                                             WidgetFamily::small, Tone::light);
}

timeline::WidgetDefinition CalendarDayEventsWidget::body() const
{
    return calendarWidget<CalendarDayEvents>(kinds::calendarDayEvents, "Day + Events", "The date with what's next.",
                                             WidgetFamily::medium, Tone::dark);
}

timeline::WidgetDefinition CalendarAgendaWidget::body() const
{
    return calendarWidget<CalendarAgenda>(kinds::calendarAgenda, "Agenda", "Today's schedule with day progress.",
                                          WidgetFamily::large, Tone::dark);
}

} // namespace velk
