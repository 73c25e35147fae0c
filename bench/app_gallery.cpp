// The app's gallery: the first paint of all 53 cards (the page built, laid out and every card
// drawn, frame, name and preview, as the window does when each comes into view) and the
// repaint after a theme is applied. Run with QT_SCALE_FACTOR=2 for a 2x screen.
#include "BenchSupport.h"
#include "app/screens/GalleryView.h"
#include "shared/look/ThemeStore.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

using namespace velk;
using namespace velk::app;

namespace {

// Every card painted whole (frame, name, size and preview), the ones below the fold too, each
// into a surface of its own size as the window's backing store gets it when it scrolls in.
void paintAll(GalleryView& page, QImage& target)
{
    const qreal ratio = page.devicePixelRatioF();
    for (WidgetGalleryCard* card : page.visibleCards()) {
        const QSize pixels = card->size() * ratio;
        if (target.width() < pixels.width() || target.height() < pixels.height()) {
            target = QImage(pixels.expandedTo(target.size()), QImage::Format_ARGB32_Premultiplied);
            target.setDevicePixelRatio(ratio);
        }
        QPainter p(&target);
        card->render(&p);
    }
    benchmark::DoNotOptimize(target.constBits());
}

void BM_GalleryFirstPaint(benchmark::State& state)
{
    ThemeStore theme;
    QImage target;
    for (auto _ : state) {
        GalleryView page(&theme, nullptr, std::nullopt);
        page.resize(924, 720);
        page.show();
        QCoreApplication::processEvents();
        paintAll(page, target);
    }
}
BENCHMARK(BM_GalleryFirstPaint)->Unit(benchmark::kMillisecond);

// A theme applied while the gallery shows: what the window repaints (the bar and the cards in
// view; the others are drawn in the new theme as they scroll in), and, for comparison, every
// card at once.
void themeSwitch(benchmark::State& state, bool allCards)
{
    ThemeStore theme;
    GalleryView page(&theme, nullptr, std::nullopt);
    page.resize(924, 720);
    page.show();
    QCoreApplication::processEvents();
    QImage target;
    paintAll(page, target);
    bool amber = false;
    for (auto _ : state) {
        amber = !amber;
        theme.setSettings(ThemeSettings{amber ? QStringLiteral("amber") : QStringLiteral("teal"),
                                        ThemeSettings::SurfaceStyle::solid});
        if (allCards)
            paintAll(page, target);
        else
            benchmark::DoNotOptimize(page.grab());
    }
}

void BM_GalleryThemeSwitch(benchmark::State& state)
{
    themeSwitch(state, false);
}
BENCHMARK(BM_GalleryThemeSwitch)->Unit(benchmark::kMillisecond);

void BM_GalleryThemeSwitchAllCards(benchmark::State& state)
{
    themeSwitch(state, true);
}
BENCHMARK(BM_GalleryThemeSwitchAllCards)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    velk::bench::PrivateHome home;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    return velk::bench::runBenchmarks(argc, argv);
}
