// The app's gallery: the first paint of all 53 cards (every preview laid out and drawn once,
// as the window does when it opens) and the repaint after a theme is applied.
#include "BenchSupport.h"
#include "app/screens/GalleryView.h"
#include "app/screens/WidgetCard.h"
#include "shared/look/ThemeStore.h"

#include <QApplication>
#include <benchmark/benchmark.h>

using namespace velk;
using namespace velk::app;

namespace {

void drawAll(GalleryView& page)
{
    for (WidgetGalleryCard* c : page.visibleCards()) benchmark::DoNotOptimize(c->card()->picture());
}

void BM_GalleryFirstPaint(benchmark::State& state)
{
    ThemeStore theme;
    for (auto _ : state) {
        GalleryView page(&theme, nullptr, std::nullopt);
        page.resize(920, 700);
        page.show();
        QCoreApplication::processEvents();
        drawAll(page);
    }
}
BENCHMARK(BM_GalleryFirstPaint)->Unit(benchmark::kMillisecond);

void BM_GalleryThemeSwitch(benchmark::State& state)
{
    ThemeStore theme;
    GalleryView page(&theme, nullptr, std::nullopt);
    page.resize(920, 700);
    page.show();
    QCoreApplication::processEvents();
    drawAll(page);
    bool amber = false;
    for (auto _ : state) {
        amber = !amber;
        theme.setSettings(ThemeSettings{amber ? QStringLiteral("amber") : QStringLiteral("teal"),
                                        ThemeSettings::SurfaceStyle::solid});
        drawAll(page);
    }
}
BENCHMARK(BM_GalleryThemeSwitch)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    velk::bench::PrivateHome home;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    return velk::bench::runBenchmarks(argc, argv);
}
