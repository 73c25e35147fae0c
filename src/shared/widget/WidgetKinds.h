#pragma once
// The kind of every widget, in the order the bundle offers them. The same strings name a widget
// to the host's reload service, in placements and in the app's catalog, so they never change.
namespace velk::kinds {

// Clocks.
inline constexpr const char* analogClassic = "velk.clock.analogClassic";
inline constexpr const char* analogMinimal = "velk.clock.analogMinimal";
inline constexpr const char* hybridClassic = "velk.clock.hybridClassic";
inline constexpr const char* hybridMinimal = "velk.clock.hybridMinimal";
inline constexpr const char* matrixSmall = "velk.clock.matrixSmall";
inline constexpr const char* stackedClock = "velk.clock.stacked";
inline constexpr const char* matrixMedium = "velk.clock.matrixMedium";
inline constexpr const char* worldClock = "velk.clock.world";
inline constexpr const char* dotDial = "velk.clock.dotDial";
inline constexpr const char* dualClock = "velk.clock.dual";

// Weather and battery.
inline constexpr const char* weatherCurrent = "velk.weather.current";
inline constexpr const char* weatherNight = "velk.weather.night";
inline constexpr const char* weatherForecast = "velk.weather.forecast";
inline constexpr const char* weatherRain = "velk.weather.rain";
inline constexpr const char* batteryRing = "velk.battery.ring";
inline constexpr const char* batteryPercent = "velk.battery.percent";
inline constexpr const char* batteryDevices = "velk.battery.devices";
inline constexpr const char* batteryLog = "velk.battery.log";

// Reminders and calendar.
inline constexpr const char* remindersChecklist = "velk.reminders.checklist";
inline constexpr const char* remindersNextUp = "velk.reminders.nextUp";
inline constexpr const char* remindersSingle = "velk.reminders.single";
inline constexpr const char* remindersToday = "velk.reminders.today";
inline constexpr const char* calendarBigDate = "velk.calendar.bigDate";
inline constexpr const char* calendarMonthGrid = "velk.calendar.monthGrid";
inline constexpr const char* calendarDayEvents = "velk.calendar.dayEvents";
inline constexpr const char* calendarAgenda = "velk.calendar.agenda";

// Notes and screen time.
inline constexpr const char* notesQuick = "velk.notes.quick";
inline constexpr const char* notesSingle = "velk.notes.single";
inline constexpr const char* notesList = "velk.notes.list";
inline constexpr const char* notesPinned = "velk.notes.pinned";
inline constexpr const char* usageTotal = "velk.screentime.total";
inline constexpr const char* usageElapsed = "velk.screentime.elapsed";
inline constexpr const char* usageApps = "velk.screentime.apps";
inline constexpr const char* usageWeekly = "velk.screentime.weekly";

// Media and activity.
inline constexpr const char* nowPlaying = "velk.nowplaying";
inline constexpr const char* remote = "velk.remote";
inline constexpr const char* stock = "velk.stock";
inline constexpr const char* focus = "velk.focus.timer";
inline constexpr const char* stopwatch = "velk.stopwatch";
inline constexpr const char* habits = "velk.habits.week";
inline constexpr const char* countdown = "velk.countdown";
inline constexpr const char* steps = "velk.steps";
inline constexpr const char* water = "velk.water";

// System, sky and info.
inline constexpr const char* watchlist = "velk.stock.watchlist";
inline constexpr const char* system = "velk.system.monitor";
inline constexpr const char* network = "velk.system.network";
inline constexpr const char* storage = "velk.system.storage";
inline constexpr const char* moon = "velk.weather.moon";
inline constexpr const char* daylight = "velk.weather.daylight";
inline constexpr const char* airQuality = "velk.weather.airquality";
inline constexpr const char* quote = "velk.quote";
inline constexpr const char* year = "velk.year";
inline constexpr const char* inbox = "velk.inbox";

} // namespace velk::kinds
