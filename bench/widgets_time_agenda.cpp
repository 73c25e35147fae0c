// Layout plus painting of each reminders and calendar widget at its design size, from its
// placeholder entry, as the host draws it: root, theme, date texts and all. Scale 1 is the
// figure that counts; scale 2 shows what a high-density screen costs.
#include "BenchSupport.h"
#include "RenderBench.h"
#include "platform/core/Clock.h"
#include "platform/view/Layout.h"
#include "shared/look/ThemeStore.h"
#include "widgets/time/CalendarWidgets.h"
#include "widgets/time/RemindersWidgets.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <typeinfo>

using namespace velk;
using namespace velk::view;

namespace {

template <class Widget>
void BM_Widget(benchmark::State& state)
{
    ThemeStore::save({QStringLiteral("green"), ThemeSettings::SurfaceStyle::solid});
    const timeline::WidgetDefinition widget = Widget{}.body();
    const timeline::AnyEntry entry = widget.provider().placeholder({});
    bench::layoutAndPaint(
        state, timeline::designSize(widget.family()), [&] { return widget.render(entry); },
        {view::ColorScheme::dark, view::RenderingMode::fullColor}, typeid(Widget).name());
}

#define VELK_WIDGET_BENCH(W) BENCHMARK_TEMPLATE(BM_Widget, W)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond)
VELK_WIDGET_BENCH(RemindersChecklistWidget);
VELK_WIDGET_BENCH(RemindersNextUpWidget);
VELK_WIDGET_BENCH(RemindersSingleWidget);
VELK_WIDGET_BENCH(RemindersTodayWidget);
VELK_WIDGET_BENCH(CalendarBigDateWidget);
VELK_WIDGET_BENCH(CalendarMonthGridWidget);
VELK_WIDGET_BENCH(CalendarDayEventsWidget);
VELK_WIDGET_BENCH(CalendarAgendaWidget);

} // namespace

int main(int argc, char** argv)
{
    bench::PrivateHome home;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    // A fixed day, so every run draws the same month and the same texts.
    Clock::pin(Date(786974400)); // 9 December 2025, midday UTC
    return bench::runBenchmarks(argc, argv);
}
