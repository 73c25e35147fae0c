// What the host does per widget and per wakeup: lay out and paint an entry at its placed size,
// pick the shown entry of a long timeline, read the placement file, and ask every placed
// widget for a new timeline at once (a reload wave) over a calendar folder of many items.
#include "calendar.h"
#include "extension/VelkWidgetsBundle.h"
#include "host/PlacementStore.h"
#include "host/WidgetTimeline.h"
#include "host/Worker.h"
#include "platform/core/Clock.h"
#include "platform/view/Layout.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <map>

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
    return view::ZStack(
        {view::RoundedRectangle(22).fill(Color::rgb255(40, 120, 200)),
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
    for (int i = 0; i < 1440; ++i)
        entries.emplace_back(MarkEntry{Date(i * 60.0), {i}, Plain::plain});
    for (auto _ : state)
        benchmark::DoNotOptimize(shownEntryIndex(entries, Date(43200)));
}
BENCHMARK(BM_ShownEntryOfADayOfMinutes);

void BM_ParseEighteenPlacements(benchmark::State& state)
{
    std::vector<Placement> placements;
    for (int i = 0; i < 18; ++i)
        placements.push_back({newPlacementId(), "velk.clock.dual", QPoint(i * 10, i * 10), 1, {}});
    const QByteArray bytes = serializePlacements(placements);
    for (auto _ : state)
        benchmark::DoNotOptimize(parsePlacements(bytes, nullptr));
}
BENCHMARK(BM_ParseEighteenPlacements);

// The ten clocks with the four reminders and four calendar widgets: the widgets a reload wave
// over the calendar folder reaches, and the eighteen the host figures were first taken with.
const QStringList kWaveKinds = {"velk.clock.analogClassic", "velk.clock.analogMinimal", "velk.clock.hybridClassic",
                                "velk.clock.hybridMinimal", "velk.clock.matrixSmall",   "velk.clock.stacked",
                                "velk.clock.matrixMedium",  "velk.clock.world",         "velk.clock.dotDial",
                                "velk.clock.dual",          "velk.reminders.checklist", "velk.reminders.nextUp",
                                "velk.reminders.single",    "velk.reminders.today",     "velk.calendar.bigDate",
                                "velk.calendar.monthGrid",  "velk.calendar.dayEvents",  "velk.calendar.agenda"};

// A private home holding a calendar folder of `items` items, made once per size.
void useCalendarHome(int items)
{
    static std::map<int, std::unique_ptr<QTemporaryDir>> homes;
    auto& home = homes[items];
    const bool fresh = !home;
    if (fresh) home = std::make_unique<QTemporaryDir>();
    ::setenv("XDG_DATA_HOME", home->path().toUtf8().constData(), 1);
    ::setenv("XDG_CONFIG_HOME", home->path().toUtf8().constData(), 1);
    if (fresh) bench::writeBenchCalendar(items);
}

// Args: widgets placed (cycling through kWaveKinds), calendar items. Each iteration reloads
// every timeline, as the app's "reload all" does, on the host's worker pool, and waits
// until all have answered. The CPU time is the whole process's: the wave's providers on the
// pool, and the main thread taking the answers in (drawing them is not counted). The first
// wave, before the timing, reads and parses the folder; the timed ones find it unchanged.
void BM_ReloadWave(benchmark::State& state)
{
    useCalendarHome(int(state.range(1)));
    Clock::pin(bench::kCalendarNow);
    static const timeline::WidgetBundle bundle = VelkWidgetsBundle{}.body();
    WorkerPool pool;
    std::vector<std::unique_ptr<WidgetTimeline>> timelines;
    for (int i = 0; i < state.range(0); ++i) {
        const timeline::WidgetDefinition* widget = bundle.widget(kWaveKinds[i % kWaveKinds.size()]);
        if (!widget) {
            state.SkipWithError("the bundle lacks a kind of the wave");
            return;
        }
        timelines.push_back(
            std::make_unique<WidgetTimeline>(*widget, QJsonObject(), timeline::designSize(widget->family()), &pool));
    }
    auto wave = [&] {
        int waiting = int(timelines.size());
        QEventLoop loop;
        std::vector<QMetaObject::Connection> connections;
        for (auto& tl : timelines)
            connections.push_back(QObject::connect(tl.get(), &WidgetTimeline::timelineArrived, &loop, [&] {
                if (--waiting == 0) loop.quit();
            }));
        for (auto& tl : timelines)
            tl->reload();
        if (waiting > 0) loop.exec();
        for (const auto& c : connections)
            QObject::disconnect(c);
    };
    wave();
    for (auto _ : state)
        wave();
    Clock::unpin();
}
BENCHMARK(BM_ReloadWave)
    ->Args({18, 500})
    ->Args({18, 2000})
    ->Args({100, 500})
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::setenv("TZ", "UTC", 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
