// The system-monitor, network and storage widgets sample the host on every timeline build; one
// full sample (processor, memory, graphics, network, storage) should stay well under 200 µs.
#include "BenchSupport.h"
#include "platform/sysinfo/CpuTicks.h"
#include "platform/sysinfo/NetworkCounters.h"
#include "platform/sysinfo/PowerSupplies.h"
#include "shared/data/system/SystemStats.h"

#include "fixtures/sysinfo/SysinfoFixtures.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

using namespace velk;

namespace {

void fullSample()
{
    benchmark::DoNotOptimize(SystemStats::cpuPercent());
    benchmark::DoNotOptimize(SystemStats::memoryPercent());
    benchmark::DoNotOptimize(SystemStats::gpuPercent());
    benchmark::DoNotOptimize(SystemStats::networkSnapshot());
    benchmark::DoNotOptimize(SystemStats::storageSnapshot());
}

// This machine's own procfs and sysfs.
void BM_SystemStatsFullSample(benchmark::State& state)
{
    SysinfoPaths::resetCurrent();
    for (auto _ : state)
        fullSample();
}
BENCHMARK(BM_SystemStatsFullSample)->Unit(benchmark::kMicrosecond);

// The laptop fixture: a GPU figure and several interfaces to sort out, on any build machine.
void BM_SystemStatsFullSampleLaptopTree(benchmark::State& state)
{
    SysinfoPathsOverride paths(test::sysinfoFixture(QStringLiteral("laptop")));
    for (auto _ : state)
        fullSample();
}
BENCHMARK(BM_SystemStatsFullSampleLaptopTree)->Unit(benchmark::kMicrosecond);

void BM_ParseProcStat(benchmark::State& state)
{
    QByteArray text = "cpu  1000 100 500 8000 200 50 50 0 0 0\n";
    for (int i = 0; i < 64; ++i)
        text += "cpu" + QByteArray::number(i) + " 10 1 5 80 2 0 0 0 0 0\n";
    text += "intr 123456 0 0\nctxt 987654\n";
    for (auto _ : state)
        benchmark::DoNotOptimize(parseCpuTicks(text));
}
BENCHMARK(BM_ParseProcStat);

void BM_ReadPowerSources(benchmark::State& state)
{
    const SysinfoPaths paths = test::sysinfoFixture(QStringLiteral("laptop"));
    for (auto _ : state)
        benchmark::DoNotOptimize(readPowerSources(paths));
}
BENCHMARK(BM_ReadPowerSources)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    bench::PrivateHome home;
    QCoreApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
