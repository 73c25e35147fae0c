// Coding of the largest widget record, read by every weather render.
#include "shared/models/WeatherRecords.h"

#include <benchmark/benchmark.h>

namespace {

void BM_WeatherSnapshotDecode(benchmark::State& state)
{
    const QByteArray bytes = *velk::encodeJson(velk::WeatherSnapshot::sample());
    for (auto _ : state) {
        auto snapshot = velk::decodeJson<velk::WeatherSnapshot>(bytes);
        benchmark::DoNotOptimize(snapshot);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_WeatherSnapshotDecode);

void BM_WeatherSnapshotEncode(benchmark::State& state)
{
    const velk::WeatherSnapshot& snapshot = velk::WeatherSnapshot::sample();
    for (auto _ : state) {
        auto bytes = velk::encodeJson(snapshot);
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_WeatherSnapshotEncode);

} // namespace

BENCHMARK_MAIN();
