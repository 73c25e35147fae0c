// Reading today's reminders and events from a store of 500 items in 5 collections, as the
// widgets' providers do: each read opens a fresh store. Unchanged files are answered from the
// parse the stores share; after a change the files are read and parsed again.
#include "calendar.h"
#include "platform/core/Clock.h"
#include "shared/data/calendar/EventSync.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>

using namespace velk;

namespace {

class Store {
public:
    Store()
    {
        ::setenv("XDG_DATA_HOME", home.path().toUtf8().constData(), 1);
        bench::writeBenchCalendar(500);
        Clock::pin(bench::kCalendarNow);
    }

private:
    QTemporaryDir home;
};

Store& store()
{
    static Store s;
    return s;
}

void BM_ReadReminders(benchmark::State& state)
{
    store();
    for (auto _ : state)
        benchmark::DoNotOptimize(EventSync::readReminders());
}
BENCHMARK(BM_ReadReminders)->Unit(benchmark::kMillisecond);

void BM_ReadCalendar(benchmark::State& state)
{
    store();
    for (auto _ : state)
        benchmark::DoNotOptimize(EventSync::readCalendar());
}
BENCHMARK(BM_ReadCalendar)->Unit(benchmark::kMillisecond);

// Every read finds one file replaced since the last, so the folder is parsed again each time.
void BM_ReadRemindersAfterAChange(benchmark::State& state)
{
    store();
    const QString path = CalendarStore::defaultRoot() + QStringLiteral("/collection-0/item-1.ics");
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QSaveFile f(path);
        if (f.open(QIODevice::WriteOnly)) f.write(bench::benchTodo(0, 1 + 10 * (++n % 2)));
        f.commit();
        state.ResumeTiming();
        benchmark::DoNotOptimize(EventSync::readReminders());
    }
}
BENCHMARK(BM_ReadRemindersAfterAChange)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    ::setenv("TZ", "UTC", 1);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
