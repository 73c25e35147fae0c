// The ticker, watchlist, system, network, storage, moon, daylight, air-quality, quote and inbox
// widgets rendered from a gallery entry at their design sizes: the content through the root
// view, laid out and painted, at scale 1 and 2. The system and network widgets are redrawn on
// the app's live-refresh timer.
#include "BenchSupport.h"
#include "RenderBench.h"
#include "platform/core/Clock.h"
#include "platform/view/Layout.h"
#include "shared/look/ThemeStore.h"
#include "widgets/extras/info/QuoteInboxWidgets.h"
#include "widgets/extras/sky/SkyWidgets.h"
#include "widgets/extras/stocks/StockWidgets.h"
#include "widgets/extras/system/SystemWidgets.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <typeinfo>

using namespace velk;

namespace {

template <class Widget>
void BM_Extras(benchmark::State& state)
{
    ThemeStore::save({QStringLiteral("green"), ThemeSettings::SurfaceStyle::solid});
    const timeline::WidgetDefinition widget = Widget{}.body();
    const QSizeF size = timeline::designSize(widget.family());
    // The preview road: the sample data, no network and no system reads in the loop.
    const timeline::AnyEntry entry = widget.provider().snapshot(widget.configuration(), {widget.family(), size, true});
    bench::layoutAndPaint(
        state, size, [&] { return widget.render(entry); }, {view::ColorScheme::dark, view::RenderingMode::fullColor},
        typeid(Widget).name());
}

#define EXTRAS_BENCH(W) BENCHMARK_TEMPLATE(BM_Extras, W)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond)
EXTRAS_BENCH(StockWidget);
EXTRAS_BENCH(WatchlistWidget);
EXTRAS_BENCH(SystemWidget);
EXTRAS_BENCH(NetworkWidget);
EXTRAS_BENCH(StorageWidget);
EXTRAS_BENCH(MoonWidget);
EXTRAS_BENCH(DaylightWidget);
EXTRAS_BENCH(AirQualityWidget);
EXTRAS_BENCH(QuoteWidget);
EXTRAS_BENCH(InboxWidget);

} // namespace

int main(int argc, char** argv)
{
    bench::PrivateHome home;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    Clock::pin(Date(787000000));
    return bench::runBenchmarks(argc, argv);
}
