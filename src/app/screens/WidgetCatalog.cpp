#include "app/screens/WidgetCatalog.h"

#include "extension/VelkWidgetsBundle.h"
#include "platform/core/Clock.h"
#include "platform/core/TimeZone.h"
#include "shared/look/WidgetRoot.h"
#include "shared/widget/WidgetKinds.h"
#include "widgets/status/weather/WeatherViews.h"
#include "widgets/time/AnalogFaces.h"
#include "widgets/time/CalendarViews.h"
#include "widgets/time/DotDialFace.h"
#include "widgets/time/DualClockFace.h"
#include "widgets/time/MatrixFaces.h"
#include "widgets/time/WorldClockFace.h"

#include <QDateTime>
#include <QTimeZone>

namespace velk::app {

using Category = CatalogWidget::Category;
using Size = CatalogWidget::Size;
using Tone = WidgetPalette::Tone;

namespace {

struct CategoryInfo {
    Category category;
    const char* title;
    const char* symbol;
};

constexpr CategoryInfo kCategoryInfo[] = {
    {Category::clocks, "Clocks", "clock"},
    {Category::reminders, "Reminders", "checkmark.circle"},
    {Category::calendars, "Calendars", "calendar"},
    {Category::weather, "Weather", "cloud.sun"},
    {Category::battery, "Battery", "battery.75percent"},
    {Category::notes, "Notes", "note.text"},
    {Category::screenTime, "Screen Time", "chart.bar"},
    {Category::media, "Media", "play.circle"},
    {Category::focus, "Focus", "timer"},
    {Category::health, "Health", "heart"},
    {Category::system, "System", "cpu"},
    {Category::extras, "Extras", "sparkles"},
};

struct Row {
    const char* kind;
    const char* name;
    Category category;
    Size size;
    Tone tone;
};

// Catalog order: category by category, as the sidebar lists them.
const Row kRows[] = {
    {kinds::analogClassic, "Analog Classic", Category::clocks, Size::small, Tone::light},
    {kinds::analogMinimal, "Analog Minimal", Category::clocks, Size::small, Tone::dark},
    {kinds::hybridClassic, "Hybrid Classic", Category::clocks, Size::small, Tone::light},
    {kinds::hybridMinimal, "Hybrid Minimal", Category::clocks, Size::small, Tone::dark},
    {kinds::matrixSmall, "Matrix Digital", Category::clocks, Size::small, Tone::light},
    {kinds::stackedClock, "Stacked", Category::clocks, Size::small, Tone::dark},
    {kinds::matrixMedium, "Matrix Digital", Category::clocks, Size::medium, Tone::dark},
    {kinds::worldClock, "World Clock", Category::clocks, Size::medium, Tone::light},
    {kinds::dotDial, "Dot Dial", Category::clocks, Size::small, Tone::dark},
    {kinds::dualClock, "Dual Time", Category::clocks, Size::medium, Tone::dark},
    {kinds::remindersChecklist, "Checklist", Category::reminders, Size::medium, Tone::light},
    {kinds::remindersNextUp, "Next Up", Category::reminders, Size::small, Tone::dark},
    {kinds::remindersSingle, "Single Focus", Category::reminders, Size::small, Tone::light},
    {kinds::remindersToday, "Today List", Category::reminders, Size::large, Tone::dark},
    {kinds::calendarBigDate, "Big Date", Category::calendars, Size::small, Tone::light},
    {kinds::calendarMonthGrid, "Month Grid", Category::calendars, Size::small, Tone::light},
    {kinds::calendarDayEvents, "Day + Events", Category::calendars, Size::medium, Tone::dark},
    {kinds::calendarAgenda, "Agenda", Category::calendars, Size::large, Tone::dark},
    {kinds::weatherCurrent, "Conditions", Category::weather, Size::small, Tone::dark},
    {kinds::weatherNight, "Feels Like", Category::weather, Size::small, Tone::light},
    {kinds::weatherForecast, "6-Day Forecast", Category::weather, Size::medium, Tone::light},
    {kinds::weatherRain, "Rain Radar", Category::weather, Size::medium, Tone::dark},
    {kinds::moon, "Moon", Category::weather, Size::small, Tone::dark},
    {kinds::daylight, "Daylight", Category::weather, Size::medium, Tone::light},
    {kinds::airQuality, "Air Quality", Category::weather, Size::small, Tone::light},
    {kinds::batteryRing, "Ring", Category::battery, Size::small, Tone::light},
    {kinds::batteryPercent, "Percent", Category::battery, Size::small, Tone::dark},
    {kinds::batteryDevices, "Devices", Category::battery, Size::medium, Tone::light},
    {kinds::batteryLog, "Power Log", Category::battery, Size::medium, Tone::dark},
    {kinds::notesQuick, "Quick Note", Category::notes, Size::medium, Tone::dark},
    {kinds::notesSingle, "Single Note", Category::notes, Size::small, Tone::light},
    {kinds::notesList, "Notes List", Category::notes, Size::small, Tone::dark},
    {kinds::notesPinned, "Pinned", Category::notes, Size::medium, Tone::light},
    {kinds::usageTotal, "Total", Category::screenTime, Size::small, Tone::dark},
    {kinds::usageElapsed, "Elapsed", Category::screenTime, Size::small, Tone::light},
    {kinds::usageApps, "Top Apps", Category::screenTime, Size::medium, Tone::light},
    {kinds::usageWeekly, "Weekly", Category::screenTime, Size::medium, Tone::dark},
    {kinds::nowPlaying, "Now Playing", Category::media, Size::medium, Tone::dark},
    {kinds::remote, "Remote", Category::media, Size::small, Tone::dark},
    {kinds::focus, "Focus", Category::focus, Size::small, Tone::dark},
    {kinds::stopwatch, "Stopwatch", Category::focus, Size::small, Tone::light},
    {kinds::habits, "Habits", Category::focus, Size::medium, Tone::light},
    {kinds::countdown, "Countdown", Category::focus, Size::small, Tone::dark},
    {kinds::steps, "Steps", Category::health, Size::small, Tone::light},
    {kinds::water, "Water", Category::health, Size::small, Tone::light},
    {kinds::system, "System", Category::system, Size::medium, Tone::dark},
    {kinds::network, "Network", Category::system, Size::small, Tone::light},
    {kinds::storage, "Storage", Category::system, Size::small, Tone::dark},
    {kinds::stock, "Ticker", Category::extras, Size::medium, Tone::dark},
    {kinds::watchlist, "Watchlist", Category::extras, Size::medium, Tone::dark},
    {kinds::quote, "Daily Quote", Category::extras, Size::medium, Tone::light},
    {kinds::year, "Year Progress", Category::extras, Size::medium, Tone::dark},
    {kinds::inbox, "Inbox", Category::extras, Size::small, Tone::dark},
};

const timeline::WidgetBundle& bundle()
{
    static const timeline::WidgetBundle b = VelkWidgetsBundle{}.body();
    return b;
}

TimeZone zoneNamed(const char* identifier)
{
    return TimeZone::named(QString::fromLatin1(identifier)).value_or(TimeZone::current());
}

// The night sample only the "Feels Like" card shows: made once, dated at that first use.
const WeatherSnapshot& sampleNight()
{
    static const WeatherSnapshot night = [] {
        WeatherSnapshot w;
        w.place = QStringLiteral("Tokyo");
        w.temperature = 31;
        w.condition = QStringLiteral("Clear night");
        w.high = 33;
        w.low = 26;
        w.feelsLike = 33;
        w.isNight = true;
        w.rainChance = 0;
        w.updated = Clock::now();
        w.code = 0;
        return w;
    }();
    return night;
}

// The clocks, the two date widgets and the night weather show fixed catalog data, not what a
// placeholder reads from the clock: every gallery shows the same afternoon in London.
std::optional<view::View> fixedPreview(const CatalogWidget& w)
{
    using Face = std::function<view::View(const WCtx&)>;
    const Date at = WidgetCatalog::previewDate();
    const TimeZone london = zoneNamed("Europe/London");
    constexpr double seconds = 37;
    Face face;
    const QByteArray k = w.kind.toLatin1();
    if (k == kinds::analogClassic)
        face = [=](const WCtx& c) { return ClockAnalogClassic{at, london, seconds, false, c}; };
    else if (k == kinds::analogMinimal)
        face = [=](const WCtx& c) { return ClockAnalogMinimal{at, london, seconds, false, c}; };
    else if (k == kinds::hybridClassic)
        face = [=](const WCtx& c) { return ClockAnalogClassic{at, london, seconds, true, c}; };
    else if (k == kinds::hybridMinimal)
        face = [=](const WCtx& c) { return ClockAnalogMinimal{at, london, seconds, true, c}; };
    else if (k == kinds::matrixSmall)
        face = [=](const WCtx& c) { return ClockMatrixSmall{at, london, QStringLiteral("London"), c}; };
    else if (k == kinds::stackedClock)
        face = [=](const WCtx& c) { return ClockStacked{at, london, c}; };
    else if (k == kinds::matrixMedium)
        face = [=](const WCtx& c) { return ClockMatrixMedium{at, london, c}; };
    else if (k == kinds::worldClock)
        face = [=](const WCtx& c) {
            return ClockWorld{at, {london, zoneNamed("America/New_York"), zoneNamed("Asia/Tokyo")}, 0, c};
        };
    else if (k == kinds::dotDial)
        face = [=](const WCtx& c) { return ClockDotDial{at, london, seconds, c}; };
    else if (k == kinds::dualClock)
        face = [=](const WCtx& c) { return ClockDual{at, london, zoneNamed("Australia/Sydney"), c}; };
    else if (k == kinds::calendarBigDate)
        face = [=](const WCtx& c) { return CalendarBigDate{at, c}; };
    else if (k == kinds::calendarMonthGrid)
        face = [=](const WCtx& c) { return CalendarMonthGrid{at, c}; };
    else if (k == kinds::weatherNight)
        face = [](const WCtx& c) { return WeatherNight{sampleNight(), c}; };
    if (!face) return std::nullopt;
    return view::View(VelkWidgetRoot{w.tone, designSize(w.size), SurfaceOption::followApp, std::move(face)});
}

} // namespace

QString rawValue(Category category)
{
    for (const CategoryInfo& c : kCategoryInfo)
        if (c.category == category) return QString::fromLatin1(c.title);
    return {};
}

std::optional<Category> categoryFromRawValue(const QString& raw)
{
    for (const CategoryInfo& c : kCategoryInfo)
        if (raw == QLatin1String(c.title)) return c.category;
    return std::nullopt;
}

QString symbol(Category category)
{
    for (const CategoryInfo& c : kCategoryInfo)
        if (c.category == category) return QString::fromLatin1(c.symbol);
    return {};
}

QString rawValue(Size size)
{
    switch (size) {
    case Size::small:
        return QStringLiteral("Small");
    case Size::medium:
        return QStringLiteral("Medium");
    case Size::large:
        return QStringLiteral("Large");
    }
    return {};
}

QSizeF designSize(Size size)
{
    switch (size) {
    case Size::small:
        return {160, 160};
    case Size::medium:
        return {344, 160};
    case Size::large:
        return {344, 344};
    }
    return {160, 160};
}

std::optional<view::View> CatalogWidget::preview() const
{
    if (auto fixed = fixedPreview(*this)) return fixed;
    const timeline::WidgetDefinition* widget = bundle().widget(kind);
    if (!widget) return std::nullopt;
    timeline::TimelineContext context;
    context.family = widget->family();
    context.displaySize = timeline::designSize(widget->family());
    context.isPreview = true;
    return widget->render(widget->provider().placeholder(context));
}

namespace WidgetCatalog {

const std::vector<CatalogWidget>& all()
{
    static const std::vector<CatalogWidget> entries = [] {
        std::vector<CatalogWidget> out;
        for (const Row& r : kRows)
            out.push_back({QString::fromLatin1(r.kind), QString::fromUtf8(r.name), r.category, r.size, r.tone});
        return out;
    }();
    return entries;
}

std::vector<CatalogWidget> widgets(std::optional<Category> category)
{
    if (!category) return all();
    std::vector<CatalogWidget> out;
    for (const CatalogWidget& w : all())
        if (w.category == *category) out.push_back(w);
    return out;
}

Date previewDate()
{
    QTimeZone london("Europe/London");
    if (!london.isValid()) london = QTimeZone::systemTimeZone();
    return Date::fromQDateTime(QDateTime(QDate(2026, 7, 15), QTime(16, 32, 37), london));
}

} // namespace WidgetCatalog

} // namespace velk::app
