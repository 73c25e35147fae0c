// Layout plus painting of a dense widget through the root view: a 35-dot bar, an 18 x 3 grid,
// a chart of seven bars, six texts, glow and scanlines, on a large widget at scale 1 and 2.
// Every widget render pays for this path, so it has to stay well under a frame.
#include "BenchSupport.h"
#include "RenderBench.h"
#include "platform/view/Layout.h"
#include "shared/look/Captions.h"
#include "shared/look/DotPieces.h"
#include "shared/look/ThemeStore.h"
#include "shared/look/WidgetRoot.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <benchmark/benchmark.h>
#include <cstdlib>

using namespace velk;
using namespace velk::view;

namespace {

View denseContent(const WCtx& ctx, int reading = 42)
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    std::vector<DotBarChart::Bar> bars;
    const double values[] = {0.2, 0.55, 0.8, 0.35, 1.0, 0.65, 0.1};
    const char* days[] = {"M", "T", "W", "T", "F", "S", "S"};
    for (int i = 0; i < 7; ++i)
        bars.emplace_back(values[i], i == 4 ? std::optional<Color>(pal.accent) : std::nullopt, days[i]);
    auto small = [&](const char* s) {
        return Text(QString::fromLatin1(s)).font(ctx.numerals(11, Weight::medium)).foregroundColor(pal.inkDim);
    };
    return VStack(
               HAlign::leading, 10 * u,
               {HStack({DotCaption{QStringLiteral("cpu load"), 11, 0.12, pal.accent, pal.inkDim, ctx}, Spacer(),
                        small("8 CORES")}),
                Text(QStringLiteral("%1%").arg(reading)).font(ctx.numerals(48, Weight::black)).foregroundColor(pal.ink),
                DotBar{reading / 100.0, 0.1, 8.9, 6, pal.track, pal.fill, pal.alert, u},
                DotGrid{18, 3, 31, 5, pal.track, pal.fill, 30, pal.accent, u}.body().frame(std::nullopt, 36 * u),
                DotBarChart{std::move(bars), 16, 70, 5, 4, pal.fill, Font::system(10 * u), pal.inkDim, u},
                HStack({small("PEAK 91%"), Spacer(), small("AVG 37%"), Spacer(), small("14:05")})})
        .padding(16 * u)
        .frame(Frame::maxInfinity(Alignment::topLeading));
}

View denseRoot()
{
    return VelkWidgetRoot{WidgetPalette::Tone::dark, {344, 344}, SurfaceOption::followApp, [](const WCtx& ctx) {
                              return denseContent(ctx);
                          }};
}

void BM_DenseRootLayoutAndPaint(benchmark::State& state)
{
    ThemeStore::save({QStringLiteral("green"), ThemeSettings::SurfaceStyle::solid});
    bench::layoutAndPaint(state, {344, 344}, denseRoot);
}
BENCHMARK(BM_DenseRootLayoutAndPaint)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// The desktop host's road: a widget whose content changed (a new reading on every render)
// laid out and painted as the host paints a tile, into a cleared image under the tile's
// rounded clip. The readings come round only after a thousand renders.
void BM_DenseRootInHostTile(benchmark::State& state)
{
    ThemeStore::save({QStringLiteral("green"), ThemeSettings::SurfaceStyle::solid});
    constexpr qreal kCornerRadius = 20; // the host's tile corner at scale 1
    const QSizeF size(344, 344);
    const qreal dpr = qreal(state.range(0));
    const Environment env{ColorScheme::dark, RenderingMode::fullColor};
    QImage image = bench::renderTarget(size, dpr);
    int renders = 0;
    auto render = [&] {
        const int reading = 1000 + renders++ % 1000;
        const View content =
            VelkWidgetRoot{WidgetPalette::Tone::dark, {344, 344}, SurfaceOption::followApp, [reading](const WCtx& ctx) {
                               return denseContent(ctx, reading);
                           }};
        const LaidOutTree tree = layout(content.frame(size.width(), size.height()), size, env);
        QPainter painter(&image);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(QRectF(QPointF(0, 0), size), Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath tile;
        tile.addRoundedRect(QRectF(QPointF(0, 0), size), kCornerRadius, kCornerRadius);
        painter.setClipPath(tile);
        paint(tree, painter);
    };
    render(); // the first render loads fonts
    for (auto _ : state)
        bench::renderOnce(render);
    bench::keepImage(image, "DenseRootInHostTile", dpr);
    bench::compareWithTextClock(state, size, dpr, render);
}
BENCHMARK(BM_DenseRootInHostTile)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    bench::PrivateHome home;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    // VELK_ROOT_PNG=<file> also writes the dense view at scale 2, for a look by eye.
    if (const char* png = std::getenv("VELK_ROOT_PNG")) {
        ThemeStore::save({QStringLiteral("green"), ThemeSettings::SurfaceStyle::solid});
        renderImage(denseRoot(), {344, 344}, 2, Environment{ColorScheme::dark, RenderingMode::fullColor})
            .save(QString::fromLocal8Bit(png));
    }
    return bench::runBenchmarks(argc, argv);
}
