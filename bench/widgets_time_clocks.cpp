// Each clock widget rendered from a timeline entry at its design size: the content through the
// root view, laid out and painted, at scale 1 and 2. A clock repaints every minute, and the
// app's gallery draws all ten at once.
#include "BenchSupport.h"
#include "RenderBench.h"
#include "platform/core/Clock.h"
#include "platform/view/Layout.h"
#include "shared/look/ThemeStore.h"
#include "widgets/time/ClockWidgets.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <typeinfo>

using namespace velk;

namespace {

template <class Widget>
void BM_Clock(benchmark::State& state)
{
    ThemeStore::save({QStringLiteral("green"), ThemeSettings::SurfaceStyle::solid});
    const timeline::WidgetDefinition widget = Widget{}.body();
    const QJsonObject configuration{{"city", "Asia/Kolkata"}, {"city2", "America/Los_Angeles"}, {"away", "Asia/Tokyo"}};
    const timeline::AnyEntry entry = widget.provider().timeline(configuration, {}).entries.at(7);
    bench::layoutAndPaint(
        state, timeline::designSize(widget.family()), [&] { return widget.render(entry); },
        {view::ColorScheme::dark, view::RenderingMode::fullColor}, typeid(Widget).name());
}

#define CLOCK_BENCH(W) BENCHMARK_TEMPLATE(BM_Clock, W)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond)
CLOCK_BENCH(AnalogClassicWidget);
CLOCK_BENCH(AnalogMinimalWidget);
CLOCK_BENCH(HybridClassicWidget);
CLOCK_BENCH(HybridMinimalWidget);
CLOCK_BENCH(MatrixSmallWidget);
CLOCK_BENCH(StackedClockWidget);
CLOCK_BENCH(MatrixMediumWidget);
CLOCK_BENCH(WorldClockWidget);
CLOCK_BENCH(DotDialWidget);
CLOCK_BENCH(DualClockWidget);

} // namespace

int main(int argc, char** argv)
{
    bench::PrivateHome home;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    Clock::pin(Date(787000000));
    return bench::runBenchmarks(argc, argv);
}
