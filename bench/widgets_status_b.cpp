// Each weather and screen-time widget rendered from its sample entry at its design size: the
// content through the root view, laid out and painted, at scale 1 and 2. The app's gallery
// draws them all at once, and a placed widget redraws at every entry.
#include "BenchSupport.h"
#include "RenderBench.h"
#include "platform/core/Clock.h"
#include "platform/view/Layout.h"
#include "shared/look/ThemeStore.h"
#include "widgets/status/usage/UsageWidgets.h"
#include "widgets/status/weather/WeatherWidgets.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <typeinfo>

using namespace velk;

namespace {

// The placeholder holds the built-in sample: no forecast request and no stored log needed.
template <class Widget>
void BM_Status(benchmark::State& state)
{
    ThemeStore::save({QStringLiteral("green"), ThemeSettings::SurfaceStyle::solid});
    const timeline::WidgetDefinition widget = Widget{}.body();
    const QSizeF size = timeline::designSize(widget.family());
    const timeline::AnyEntry entry = widget.provider().placeholder({widget.family(), size, false});
    bench::layoutAndPaint(
        state, size, [&] { return widget.render(entry); }, {view::ColorScheme::dark, view::RenderingMode::fullColor},
        typeid(Widget).name());
}

#define STATUS_BENCH(W) BENCHMARK_TEMPLATE(BM_Status, W)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond)
STATUS_BENCH(WeatherCurrentWidget);
STATUS_BENCH(WeatherNightWidget);
STATUS_BENCH(WeatherForecastWidget);
STATUS_BENCH(WeatherRainWidget);
STATUS_BENCH(UsageTotalWidget);
STATUS_BENCH(UsageElapsedWidget);
STATUS_BENCH(UsageAppsWidget);
STATUS_BENCH(UsageWeeklyWidget);

} // namespace

int main(int argc, char** argv)
{
    bench::PrivateHome home;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    Clock::pin(Date(787000000));
    return bench::runBenchmarks(argc, argv);
}
