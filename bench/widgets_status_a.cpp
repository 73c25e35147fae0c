// Each battery and notes widget rendered at its design size from its fullest everyday entry,
// the built-in sample: the content through the root view, laid out and painted, at scale 1
// and 2. The ring is also drawn from a live reading, which names the machine as it draws.
#include "BenchSupport.h"
#include "RenderBench.h"
#include "platform/core/Clock.h"
#include "platform/view/Layout.h"
#include "shared/look/ThemeStore.h"
#include "widgets/status/battery/BatteryWidgets.h"
#include "widgets/status/notes/NotesWidgets.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <typeinfo>

using namespace velk;

namespace {

template <class Widget>
void BM_Sample(benchmark::State& state)
{
    ThemeStore::save({QStringLiteral("green"), ThemeSettings::SurfaceStyle::solid});
    const timeline::WidgetDefinition widget = Widget{}.body();
    const timeline::AnyEntry entry = widget.provider().placeholder({});
    bench::layoutAndPaint(
        state, timeline::designSize(widget.family()), [&] { return widget.render(entry); },
        {view::ColorScheme::dark, view::RenderingMode::fullColor}, typeid(Widget).name());
}

void BM_BatteryRingLive(benchmark::State& state)
{
    ThemeStore::save({QStringLiteral("green"), ThemeSettings::SurfaceStyle::solid});
    const timeline::WidgetDefinition widget = BatteryRingWidget{}.body();
    const timeline::AnyEntry entry = widget.provider().timeline({}, {}).entries.at(0);
    bench::layoutAndPaint(state, timeline::designSize(widget.family()), [&] { return widget.render(entry); });
}

#define SAMPLE_BENCH(W) BENCHMARK_TEMPLATE(BM_Sample, W)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond)
SAMPLE_BENCH(BatteryRingWidget);
SAMPLE_BENCH(BatteryPercentWidget);
SAMPLE_BENCH(BatteryDevicesWidget);
SAMPLE_BENCH(BatteryLogWidget);
SAMPLE_BENCH(NotesQuickWidget);
SAMPLE_BENCH(NotesSingleWidget);
SAMPLE_BENCH(NotesListWidget);
SAMPLE_BENCH(NotesPinnedWidget);
BENCHMARK(BM_BatteryRingLive)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    bench::PrivateHome home;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    Clock::pin(Date(787000000));
    return bench::runBenchmarks(argc, argv);
}
