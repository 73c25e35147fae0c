// Layout plus painting of a dense widget-like view at the large design size: a 35-dot row,
// an 18 x 3 dot grid, 7 bars, six texts, a glow and a scanline overlay.
// `view_bench --png=out.png [--png-scale=1]` writes the view (at scale 2 unless told) for a look
// by eye or a comparison of two builds.
#include "platform/view/Layout.h"
#include <QGuiApplication>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <cstring>

using namespace velk;
using namespace velk::view;

namespace {

const Color kInk = Color::rgb255(93, 240, 93);
const Color kTrack = Color::rgb255(93, 240, 93, 0.18);
const Color kBack = Color::rgb255(8, 14, 10);

View dot(qreal d, Color c)
{
    return Circle().fill(c).frame(d, d);
}

View denseView()
{
    Views row;
    for (int i = 0; i < 35; ++i)
        row.push_back(dot(5, i < 22 ? kInk : kTrack));
    Views rows;
    for (int r = 0; r < 3; ++r) {
        Views cols;
        for (int c = 0; c < 18; ++c)
            cols.push_back(dot(9, r * 18 + c < 31 ? kInk : kTrack));
        rows.push_back(HStack(VAlign::center, 7, std::move(cols)));
    }
    Views bars;
    for (int b = 0; b < 7; ++b) {
        Views dots;
        for (int k = 0; k < 2 + b; ++k)
            dots.push_back(dot(5, kInk));
        bars.push_back(VStack(HAlign::center, 2, std::move(dots))
                           .frame(Frame::maxWidthInfinity(Alignment::bottom))
                           .frame(std::nullopt, 70, Alignment::bottom));
    }
    const Font caption = Font::system(10, Weight::medium, Design::monospaced);
    View content =
        VStack(HAlign::leading, 10,
               {HStack({Text("SYSTEM").font(caption).tracking(1.6).foregroundColor(kInk), Spacer(),
                        Text("CPU 42%").font(caption).foregroundColor(kInk)}),
                Text("21:47")
                    .font(Font::system(46, Weight::bold, Design::monospaced))
                    .lineLimit(1)
                    .minimumScaleFactor(0.55)
                    .foregroundColor(kInk),
                HStack(VAlign::center, 3.5, std::move(row)).frame(Frame::maxWidthInfinity(Alignment::leading)),
                VStack(HAlign::leading, 7, std::move(rows)), HStack(VAlign::bottom, 0, std::move(bars)),
                HStack({Text("MON").font(caption).foregroundColor(kInk), Spacer(),
                        Text("WED").font(caption).foregroundColor(kInk), Spacer(),
                        Text("SUN · 7 DAYS").font(caption).lineLimit(1).foregroundColor(kInk)}),
                Spacer(0)})
            .padding(20)
            .frame(Frame::maxInfinity(Alignment::topLeading));
    const View scanlines = Canvas([](QPainter& p, QSizeF s, const Environment&) {
                               // All lines in one call: the painter sets up its fill once.
                               QList<QRectF> lines;
                               lines.reserve(qsizetype(s.height() / 3) + 1);
                               for (qreal y = 0; y < s.height(); y += 3)
                                   lines.append(QRectF(0, y, s.width(), 1));
                               p.setPen(Qt::NoPen);
                               p.setBrush(QColor(0, 0, 0, 69));
                               p.drawRects(lines.constData(), int(lines.size()));
                           }).allowsHitTesting(false);
    return ZStack({content.frame(344, 344).shadow(kInk.opacity(0.36 * 0.8), 7), scanlines})
        .background(ColorView(kBack));
}

void renderAt(benchmark::State& state, qreal scale)
{
    QImage image(QSize(int(344 * scale), int(344 * scale)), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        const LaidOutTree tree = layout(denseView(), {344, 344});
        QPainter p(&image);
        paint(tree, p);
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_DenseViewScale1(benchmark::State& s)
{
    renderAt(s, 1);
}
void BM_DenseViewScale2(benchmark::State& s)
{
    renderAt(s, 2);
}
void BM_DenseViewLayoutOnly(benchmark::State& state)
{
    for (auto _ : state) {
        const LaidOutTree tree = layout(denseView(), {344, 344});
        benchmark::DoNotOptimize(tree.root().frame);
    }
}
void BM_DenseViewBuildOnly(benchmark::State& state)
{
    for (auto _ : state) {
        const View v = denseView();
        benchmark::DoNotOptimize(&v);
    }
}
BENCHMARK(BM_DenseViewScale1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DenseViewScale2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DenseViewLayoutOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DenseViewBuildOnly)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    const char* png = nullptr;
    qreal pngScale = 2;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--png=", 6) == 0)
            png = argv[i] + 6;
        else if (std::strncmp(argv[i], "--png-scale=", 12) == 0)
            pngScale = std::atof(argv[i] + 12);
    }
    if (png) return renderImage(denseView(), {344, 344}, pngScale).save(QString::fromLocal8Bit(png)) ? 0 : 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
