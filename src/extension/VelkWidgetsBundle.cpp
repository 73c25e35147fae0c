#include "extension/VelkWidgetsBundle.h"

#include "shared/data/activity/ButtonIntents.h"
#include "shared/data/calendar/ToggleReminderIntent.h"
#include "widgets/time/CalendarWidgets.h"
#include "widgets/time/ClockWidgets.h"
#include "widgets/time/RemindersWidgets.h"

namespace velk {

namespace {

// A widget type is a value made with no arguments whose body() declares it.
template <class Widget>
void offer(timeline::WidgetBundle& bundle)
{
    bundle.add(Widget{}.body());
}

} // namespace

timeline::WidgetBundle VelkWidgetsBundle::body() const
{
    timeline::WidgetBundle b;
    // One line per widget, `offer<SomeWidget>(b);`, each in its place in the gallery order:
    //
    // 1 clocks: AnalogClassicWidget, AnalogMinimalWidget, HybridClassicWidget,
    //   HybridMinimalWidget, MatrixSmallWidget, StackedClockWidget, MatrixMediumWidget,
    //   WorldClockWidget, DotDialWidget, DualClockWidget
    // 2 weather and battery: WeatherCurrentWidget, WeatherNightWidget, WeatherForecastWidget,
    //   WeatherRainWidget, BatteryRingWidget, BatteryPercentWidget, BatteryDevicesWidget,
    //   BatteryLogWidget
    // 3 reminders and calendar: RemindersChecklistWidget, RemindersNextUpWidget,
    //   RemindersSingleWidget, RemindersTodayWidget, CalendarBigDateWidget,
    //   CalendarMonthGridWidget, CalendarDayEventsWidget, CalendarAgendaWidget
    // 4 notes and screen time: NotesQuickWidget, NotesSingleWidget, NotesListWidget,
    //   NotesPinnedWidget, UsageTotalWidget, UsageElapsedWidget, UsageAppsWidget,
    //   UsageWeeklyWidget
    // 5 media and activity: NowPlayingWidget, RemoteWidget, StockWidget, FocusWidget,
    //   StopwatchWidget, HabitsWidget, CountdownWidget, StepsWidget, WaterWidget
    // 6 system, sky and info: WatchlistWidget, SystemWidget, NetworkWidget, StorageWidget,
    //   MoonWidget, DaylightWidget, AirQualityWidget, QuoteWidget, YearWidget, InboxWidget

    // 1 clocks
    offer<AnalogClassicWidget>(b);
    offer<AnalogMinimalWidget>(b);
    offer<HybridClassicWidget>(b);
    offer<HybridMinimalWidget>(b);
    offer<MatrixSmallWidget>(b);
    offer<StackedClockWidget>(b);
    offer<MatrixMediumWidget>(b);
    offer<WorldClockWidget>(b);
    offer<DotDialWidget>(b);
    offer<DualClockWidget>(b);

    // 3 reminders and calendar
    offer<RemindersChecklistWidget>(b);
    offer<RemindersNextUpWidget>(b);
    offer<RemindersSingleWidget>(b);
    offer<RemindersTodayWidget>(b);
    offer<CalendarBigDateWidget>(b);
    offer<CalendarMonthGridWidget>(b);
    offer<CalendarDayEventsWidget>(b);
    offer<CalendarAgendaWidget>(b);
    return b;
}

void VelkWidgetsBundle::registerIntents(intents::IntentRegistry& registry)
{
    registerButtonIntents(registry);
    registry.registerAction<ToggleReminderIntent>();
}

} // namespace velk
