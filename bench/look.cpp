// Every widget render reads the theme settings afresh and derives its palette, so both sit on
// the render path of all 53 widgets.
#include "shared/look/ThemeStore.h"
#include "shared/look/WidgetPalette.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>

using namespace velk;

namespace {

// A private data folder, so the benchmark never reads or writes the user's settings.
struct PrivateHome {
    QTemporaryDir dir;
    PrivateHome() { ::setenv("XDG_DATA_HOME", dir.path().toUtf8().constData(), 1); }
};

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
    PrivateHome home;
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
