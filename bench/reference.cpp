// The yardstick for every widget render: a clock drawn with QPainter alone (background, the
// time in one large font) at each design size and at scale 1 and 2. The render benchmarks
// report their cost as a multiple of it (`x_text`); this prints its time on its own.
#include "BenchSupport.h"
#include "RenderBench.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {

void textClockAt(benchmark::State& state, QSizeF size)
{
    QImage image = velk::bench::renderTarget(size, qreal(state.range(0)));
    for (auto _ : state) {
        velk::bench::paintTextClock(image, size);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_TextClockSmall(benchmark::State& s)
{
    textClockAt(s, {160, 160});
}
void BM_TextClockMedium(benchmark::State& s)
{
    textClockAt(s, {344, 160});
}
void BM_TextClockLarge(benchmark::State& s)
{
    textClockAt(s, {344, 344});
}
BENCHMARK(BM_TextClockSmall)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TextClockMedium)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TextClockLarge)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    velk::bench::PrivateHome home;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    return velk::bench::runBenchmarks(argc, argv);
}
