#pragma once
// The path every widget render takes, as a benchmark loop: a fresh layout of the view and its
// painting into one reused image at the scale in the benchmark's first argument.
//
// Beside the time each render benchmark reports `x_text`: its cost as a multiple of a clock drawn
// with QPainter alone at the same size and scale (`textClock`, whose own time is `text_us`). The
// two are measured in alternation on the process's CPU clock after the timed loop (Qt hands
// some image work to its pool threads, which have to count too), and the fastest block of each
// is kept: a machine busy with other work only ever adds time, so the ratio stays comparable
// between runs.
#include "platform/view/Layout.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QTime>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <ctime>
#include <malloc.h>
#include <vector>

namespace velk::bench {

// What a minimal Qt clock does on each repaint: clear, fill its background, format the time and
// draw it centred in one large font.
inline void paintTextClockInline(QImage& image, QSizeF size)
{
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.fillRect(QRectF(QPointF(0, 0), size), QColor(8, 14, 10));
    QFont font;
    font.setPixelSize(std::max(8, int(std::min(size.width(), size.height()) * 0.3)));
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(93, 240, 93));
    p.drawText(QRectF(QPointF(0, 0), size), Qt::AlignCenter, QTime(10, 42).toString(QStringLiteral("HH:mm")));
}

// Kept out of line, as is `renderOnce`, so an instruction count (valgrind --tool=callgrind)
// can tell the two apart: their ratio there is free of the machine's load.
[[gnu::noinline]] inline void paintTextClock(QImage& image, QSizeF size)
{
    paintTextClockInline(image, size);
}

// Keeps freed memory in the process between renders. By default glibc hands the top of the heap
// back to the kernel once more than 128 KB lie free there, and a render alternating with another
// drawing (as compareWithTextClock does) then gives back and faults in its transient memory on
// every call: the kernel's page faults, not the render, and they come and go with the heap's
// layout from run to run. Both sides of every comparison run with this setting.
inline void keepHeapBetweenRenders()
{
    static const bool kept = [] {
        mallopt(M_TRIM_THRESHOLD, 256 << 20);
        return true;
    }();
    (void)kept;
}

inline QImage renderTarget(QSizeF size, qreal dpr)
{
    keepHeapBetweenRenders();
    QImage image((size * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    return image;
}

inline double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// CPU seconds per call of `f`, over `block` calls in a row.
template <class F>
double perCall(F&& f, int block)
{
    const double t0 = cpuSeconds();
    for (int i = 0; i < block; ++i)
        f();
    return (cpuSeconds() - t0) / block;
}

template <class Render>
[[gnu::noinline]] void renderOnce(Render& render)
{
    render();
}

// Sets `text_us` and `x_text` on the state: `render` against the text-only clock, alternating.
template <class Render>
void compareWithTextClock(benchmark::State& state, QSizeF size, qreal dpr, Render&& render)
{
    QImage reference = renderTarget(size, dpr);
    constexpr int kRounds = 40, kBlock = 3;
    // First uses load fonts: not what either costs on a repaint.
    render();
    paintTextClockInline(reference, size);
    std::vector<double> own, text;
    own.reserve(kRounds);
    text.reserve(kRounds);
    for (int r = 0; r < kRounds; ++r) {
        own.push_back(perCall([&] { renderOnce(render); }, kBlock));
        text.push_back(perCall([&] { paintTextClock(reference, size); }, kBlock));
    }
    const double ownBest = *std::min_element(own.begin(), own.end());
    const double textBest = *std::min_element(text.begin(), text.end());
    state.counters["text_us"] = textBest * 1e6;
    state.counters["x_text"] = textBest > 0 ? ownBest / textBest : 0;
}

// With VELK_RENDER_PNG_DIR set, each render benchmark that names itself also leaves its last
// image there as NAME@SCALE.png, so two builds can be compared pixel for pixel.
inline void keepImage(const QImage& image, const char* name, qreal dpr)
{
    const char* dir = std::getenv("VELK_RENDER_PNG_DIR");
    if (!dir || !name) return;
    image.save(QStringLiteral("%1/%2@%3.png").arg(QString::fromLocal8Bit(dir), QString::fromLatin1(name)).arg(dpr));
}

template <class MakeView>
void layoutAndPaint(benchmark::State& state, QSizeF size, MakeView makeView,
                    const view::Environment& env = {view::ColorScheme::dark, view::RenderingMode::fullColor},
                    const char* name = nullptr)
{
    const qreal dpr = qreal(state.range(0));
    QImage image = renderTarget(size, dpr);
    auto render = [&] {
        image.fill(Qt::transparent);
        const view::LaidOutTree tree = view::layout(makeView(), size, env);
        QPainter p(&image);
        view::paint(tree, p);
    };
    render(); // the first render loads fonts
    for (auto _ : state)
        renderOnce(render);
    keepImage(image, name, dpr);
    compareWithTextClock(state, size, dpr, render);
}

} // namespace velk::bench
