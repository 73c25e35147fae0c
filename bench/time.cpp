// Clock texts make a new formatter and a calendar for every rendered text, on the render path of
// every clock face; making one and formatting with it should stay well under 50 microseconds.
#include "platform/core/Calendar.h"
#include "platform/core/DateFormatter.h"

#include <benchmark/benchmark.h>

using namespace velk;

namespace {

const Date kMoment = Date::fromUnix(1'765'294'327); // 2025-12-09 15:32:07 UTC

void BM_NewFormatterHhmm(benchmark::State& state)
{
    const TimeZone zone = *TimeZone::named(QStringLiteral("Europe/Berlin"));
    const Locale posix(QStringLiteral("en_US_POSIX"));
    for (auto _ : state) {
        DateFormatter f;
        f.setLocale(posix);
        f.setDateFormat(QStringLiteral("HH:mm"));
        f.setTimeZone(zone);
        benchmark::DoNotOptimize(f.string(kMoment));
    }
}
BENCHMARK(BM_NewFormatterHhmm);

void BM_HourTemplateOfCurrentLocale(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(DateFormatter::dateFormat(QStringLiteral("j"), 0, Locale::current()));
}
BENCHMARK(BM_HourTemplateOfCurrentLocale);

void BM_CurrentCalendarMinuteOfDate(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Calendar::current().component(CalendarComponent::minute, kMoment));
}
BENCHMARK(BM_CurrentCalendarMinuteOfDate);

void BM_StartOfDay(benchmark::State& state)
{
    const Calendar cal = Calendar::current();
    for (auto _ : state)
        benchmark::DoNotOptimize(cal.startOfDay(kMoment));
}
BENCHMARK(BM_StartOfDay);

} // namespace

BENCHMARK_MAIN();
