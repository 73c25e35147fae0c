// Parsing a recorded 7-day forecast answer into a WeatherSnapshot (target: under 1 ms).
#include "shared/data/weather/WeatherProvider.h"

#include <QFile>
#include <benchmark/benchmark.h>

#include <unicode/locid.h>
#include <unicode/timezone.h>

using namespace velk;

static void BM_ParseSevenDayForecast(benchmark::State& state)
{
    QFile file(QStringLiteral(VELK_BENCH_SOURCE_DIR "/tests/fixtures/web/forecast_7day.json"));
    if (!file.open(QIODevice::ReadOnly)) {
        state.SkipWithError("missing forecast fixture");
        return;
    }
    const QByteArray body = file.readAll();
    const WeatherProvider::Place place{QStringLiteral("London"), 51.5, -0.12};
    // 2025-06-05 07:30 UTC, 08:30 in London.
    const WeatherProvider::ForecastEnvironment env{Date::fromUnix(1749108600), *TimeZone::named("UTC"),
                                                   Locale(QStringLiteral("en_US")), false};
    for (auto _ : state) {
        auto snapshot = WeatherProvider::parseForecast(body, place, env);
        benchmark::DoNotOptimize(snapshot);
        if (!snapshot || snapshot->days.size() != 6) state.SkipWithError("fixture did not parse");
    }
}
BENCHMARK(BM_ParseSevenDayForecast)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
