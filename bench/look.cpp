// Every widget render reads the theme settings afresh and derives its palette, so both sit on
// the render path of all 53 widgets.
#include "BenchSupport.h"
#include "shared/look/ThemeStore.h"
#include "shared/look/WidgetPalette.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

using namespace velk;

namespace {

void BM_ThemeStoreCurrent(benchmark::State& state)
{
    ThemeStore::save({QStringLiteral("green"), ThemeSettings::SurfaceStyle::glass});
    for (auto _ : state)
        benchmark::DoNotOptimize(ThemeStore::current());
}
BENCHMARK(BM_ThemeStoreCurrent);

void BM_ThemeForRender(benchmark::State& state)
{
    ThemeStore::save({QStringLiteral("macos"), ThemeSettings::SurfaceStyle::accent});
    for (auto _ : state) {
        const ThemeSettings settings = ThemeStore::current();
        const VelkTheme& theme = VelkThemes::resolve(settings.themeID, true);
        benchmark::DoNotOptimize(WidgetPalette::resolve(settings.surface, theme));
        benchmark::DoNotOptimize(WidgetPalette::background(settings.surface, theme));
    }
}
BENCHMARK(BM_ThemeForRender);

} // namespace

int main(int argc, char** argv)
{
    bench::PrivateHome home;
    QCoreApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
