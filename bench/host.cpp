// What the host does per widget and per wakeup: lay out and paint an entry at its placed size,
// pick the shown entry of a long timeline, and read the placement file.
#include "host/PlacementStore.h"
#include "host/WidgetTimeline.h"
#include "platform/view/Layout.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

using namespace velk;
using namespace velk::host;

namespace {

struct Mark {
    qint64 n = 0;
    VELK_FIELDS(Mark, n)
};
enum class Plain { plain };
VELK_APP_ENUM(Plain, "Surface", {Plain::plain, "plain", "Plain"})
using MarkEntry = timeline::Entry<Mark, Plain>;

view::View face(int n)
{
    return view::ZStack({view::RoundedRectangle(22).fill(Color::rgb255(40, 120, 200)),
                         view::VStack({view::Text(QString("%1").arg(n)).font(view::Font::system(40, view::Weight::bold)),
                                       view::Text("Widget").font(view::Font::system(13))})});
}

void BM_LayoutAndPaintSmallAt2x(benchmark::State& state)
{
    QImage image(320, 320, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    int n = 0;
    for (auto _ : state) {
        const auto tree = view::layout(face(++n).frame(160, 160), {160, 160});
        QPainter p(&image);
        view::paint(tree, p);
    }
}
BENCHMARK(BM_LayoutAndPaintSmallAt2x);

void BM_ShownEntryOfADayOfMinutes(benchmark::State& state)
{
    std::vector<timeline::AnyEntry> entries;
    for (int i = 0; i < 1440; ++i) entries.emplace_back(MarkEntry{Date(i * 60.0), {i}, Plain::plain});
    for (auto _ : state) benchmark::DoNotOptimize(shownEntryIndex(entries, Date(43200)));
}
BENCHMARK(BM_ShownEntryOfADayOfMinutes);

void BM_ParseEighteenPlacements(benchmark::State& state)
{
    std::vector<Placement> placements;
    for (int i = 0; i < 18; ++i) placements.push_back({newPlacementId(), "velk.clock.dual", QPoint(i * 10, i * 10), 1, {}});
    const QByteArray bytes = serializePlacements(placements);
    for (auto _ : state) benchmark::DoNotOptimize(parsePlacements(bytes, nullptr));
}
BENCHMARK(BM_ParseEighteenPlacements);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
