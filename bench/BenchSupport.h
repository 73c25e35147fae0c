#pragma once
// What the benchmark programs share: a private home, so none reads or writes the user's
// settings, and the run of the benchmarks named on the command line.
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace velk::bench {

struct PrivateHome {
    QTemporaryDir dir;
    PrivateHome()
    {
        ::setenv("XDG_DATA_HOME", dir.path().toUtf8().constData(), 1);
        ::setenv("XDG_CONFIG_HOME", dir.path().toUtf8().constData(), 1);
    }
};

// 1 on an argument the library does not know, else 0 once every selected benchmark has run.
inline int runBenchmarks(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace velk::bench
