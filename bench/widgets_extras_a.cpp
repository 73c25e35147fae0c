// Layout plus painting of each media and activity widget (and the year) at its design size,
// from its placeholder entry, as the host draws it. The stopwatch, focus and now-playing faces
// are repainted every second while they run, so their cost at scale 1 is the one that counts.
#include "BenchSupport.h"
#include "RenderBench.h"
#include "platform/core/Clock.h"
#include "platform/view/Layout.h"
#include "shared/look/ThemeStore.h"
#include "widgets/extras/activity/ActivityWidgets.h"
#include "widgets/extras/info/YearWidget.h"
#include "widgets/extras/media/MediaWidgets.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <typeinfo>

using namespace velk;

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
VELK_WIDGET_BENCH(NowPlayingWidget);
VELK_WIDGET_BENCH(RemoteWidget);
VELK_WIDGET_BENCH(FocusWidget);
VELK_WIDGET_BENCH(StopwatchWidget);
VELK_WIDGET_BENCH(HabitsWidget);
VELK_WIDGET_BENCH(CountdownWidget);
VELK_WIDGET_BENCH(StepsWidget);
VELK_WIDGET_BENCH(WaterWidget);
VELK_WIDGET_BENCH(YearWidget);

} // namespace

int main(int argc, char** argv)
{
    bench::PrivateHome home;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    // The samples are built on first use from this pinned moment, so the timers read the same
    // in every run.
    Clock::pin(Date(786974400)); // 9 December 2025, midday UTC
    return bench::runBenchmarks(argc, argv);
}
