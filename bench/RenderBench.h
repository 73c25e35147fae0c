#pragma once
// The path every widget render takes, as a benchmark loop: a fresh layout of the view and its
// painting into one reused image at the scale in the benchmark's first argument.
#include "platform/view/Layout.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace velk::bench {

template <class MakeView>
void layoutAndPaint(benchmark::State& state, QSizeF size, MakeView makeView,
                    const view::Environment& env = {view::ColorScheme::dark, view::RenderingMode::fullColor})
{
    const qreal dpr = qreal(state.range(0));
    QImage image((size * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        const view::LaidOutTree tree = view::layout(makeView(), size, env);
        QPainter p(&image);
        view::paint(tree, p);
    }
}

} // namespace velk::bench
