#include "extension/VelkWidgetsBundle.h"

#include "shared/data/activity/ButtonIntents.h"
#include "shared/data/calendar/ToggleReminderIntent.h"
#include "widgets/extras/activity/ActivityWidgets.h"
#include "widgets/extras/info/QuoteInboxWidgets.h"
#include "widgets/extras/info/YearWidget.h"
#include "widgets/extras/media/MediaWidgets.h"
#include "widgets/extras/sky/SkyWidgets.h"
#include "widgets/extras/stocks/StockWidgets.h"
#include "widgets/extras/system/SystemWidgets.h"
#include "widgets/status/battery/BatteryWidgets.h"
#include "widgets/status/notes/NotesWidgets.h"
#include "widgets/status/usage/UsageWidgets.h"
#include "widgets/status/weather/WeatherWidgets.h"
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
    // One line per widget, in the gallery's order, group by group.
    timeline::WidgetBundle b;

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

    // 2 weather and battery
    offer<WeatherCurrentWidget>(b);
    offer<WeatherNightWidget>(b);
    offer<WeatherForecastWidget>(b);
    offer<WeatherRainWidget>(b);
    offer<BatteryRingWidget>(b);
    offer<BatteryPercentWidget>(b);
    offer<BatteryDevicesWidget>(b);
    offer<BatteryLogWidget>(b);

    // 3 reminders and calendar
    offer<RemindersChecklistWidget>(b);
    offer<RemindersNextUpWidget>(b);
    offer<RemindersSingleWidget>(b);
    offer<RemindersTodayWidget>(b);
    offer<CalendarBigDateWidget>(b);
    offer<CalendarMonthGridWidget>(b);
    offer<CalendarDayEventsWidget>(b);
    offer<CalendarAgendaWidget>(b);

    // 4 notes and screen time
    offer<NotesQuickWidget>(b);
    offer<NotesSingleWidget>(b);
    offer<NotesListWidget>(b);
    offer<NotesPinnedWidget>(b);
    offer<UsageTotalWidget>(b);
    offer<UsageElapsedWidget>(b);
    offer<UsageAppsWidget>(b);
    offer<UsageWeeklyWidget>(b);

    // 5 media and activity
    offer<NowPlayingWidget>(b);
    offer<RemoteWidget>(b);
    offer<StockWidget>(b);
    offer<FocusWidget>(b);
    offer<StopwatchWidget>(b);
    offer<HabitsWidget>(b);
    offer<CountdownWidget>(b);
    offer<StepsWidget>(b);
    offer<WaterWidget>(b);

    // 6 system, sky and info
    offer<WatchlistWidget>(b);
    offer<SystemWidget>(b);
    offer<NetworkWidget>(b);
    offer<StorageWidget>(b);
    offer<MoonWidget>(b);
    offer<DaylightWidget>(b);
    offer<AirQualityWidget>(b);
    offer<QuoteWidget>(b);
    offer<YearWidget>(b);
    offer<InboxWidget>(b);
    return b;
}

void VelkWidgetsBundle::registerIntents(intents::IntentRegistry& registry)
{
    registerButtonIntents(registry);
    registry.registerAction<ToggleReminderIntent>();
}

} // namespace velk
