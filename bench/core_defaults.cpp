// Reading and writing a 2 KB JSON document in the app-group suite, opened for each access as
// every store does. Targets: read under 20 us median, write under 100 us. Every read goes to
// the file through the thread's connection.
#include "platform/core/Defaults.h"

#include <QByteArray>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>

using velk::Defaults;

namespace {

QByteArray document2k()
{
    QByteArray json = R"({"items":[)";
    for (int i = 0; json.size() < 2000; ++i)
        json +=
            (i ? "," : "") + QByteArray(R"({"id":")") + QByteArray::number(i) + R"(","done":false,"due":7654321.5})";
    return json + "]}";
}

QTemporaryDir& home()
{
    static QTemporaryDir dir;
    static const bool set = ::setenv("XDG_DATA_HOME", dir.path().toUtf8().constData(), 1) == 0;
    (void)set;
    return dir;
}

void BM_ReadDocument(benchmark::State& state)
{
    home();
    Defaults::shared().setData("velk.bench.doc", document2k());
    for (auto _ : state) {
        auto value = Defaults::shared().data("velk.bench.doc");
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_ReadDocument);

// What each clock render asks: a small setting that seldom changes.
void BM_ReadUnchangedSetting(benchmark::State& state)
{
    home();
    Defaults::shared().setInteger("velk.bench.timeformat", 24);
    for (auto _ : state)
        benchmark::DoNotOptimize(Defaults::shared().integer("velk.bench.timeformat"));
}
BENCHMARK(BM_ReadUnchangedSetting);

// A write, then the read of the value written.
void BM_WriteThenReadSetting(benchmark::State& state)
{
    home();
    qint64 i = 0;
    for (auto _ : state) {
        Defaults::shared().setInteger("velk.bench.changing", ++i);
        benchmark::DoNotOptimize(Defaults::shared().integer("velk.bench.changing"));
    }
}
BENCHMARK(BM_WriteThenReadSetting);

void BM_WriteSetting(benchmark::State& state)
{
    home();
    qint64 i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(Defaults::shared().setInteger("velk.bench.changing", ++i));
}
BENCHMARK(BM_WriteSetting);

void BM_WriteDocument(benchmark::State& state)
{
    home();
    QByteArray doc = document2k();
    qint64 i = 0;
    for (auto _ : state) {
        doc[doc.size() - 3] = char('0' + (i++ % 10)); // a different value each time
        benchmark::DoNotOptimize(Defaults::shared().setData("velk.bench.doc", doc));
    }
}
BENCHMARK(BM_WriteDocument);

void BM_AddToInteger(benchmark::State& state)
{
    home();
    for (auto _ : state)
        benchmark::DoNotOptimize(Defaults::shared().addToInteger("velk.bench.count", 1));
}
BENCHMARK(BM_AddToInteger);

} // namespace

BENCHMARK_MAIN();
