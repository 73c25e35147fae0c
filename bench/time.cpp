// Clock texts are made on the render path of every clock face: a new formatter and one format
// should stay well under 50 microseconds, and a clock text (the stored 12/24-hour choice and a
// formatter kept by the process) well under that.
#include "platform/core/Calendar.h"
#include "platform/core/DateFormatter.h"
#include "platform/core/Defaults.h"
#include "shared/data/clock/ClockFormat.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>

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

// The shared suite in a private folder, with the 24-hour choice stored.
void privateSuite()
{
    static QTemporaryDir dir;
    static const bool set = ::setenv("XDG_DATA_HOME", dir.path().toUtf8().constData(), 1) == 0 &&
                            Defaults::shared().setInteger(ClockFormat::kTimeFormatKey, 24);
    (void)set;
}

void BM_ClockTextHhmm(benchmark::State& state)
{
    privateSuite();
    const TimeZone zone = *TimeZone::named(QStringLiteral("Europe/Berlin"));
    for (auto _ : state)
        benchmark::DoNotOptimize(ClockFormat::hhmm(kMoment, zone));
}
BENCHMARK(BM_ClockTextHhmm);

void BM_Uses24Hour(benchmark::State& state)
{
    privateSuite();
    for (auto _ : state)
        benchmark::DoNotOptimize(ClockFormat::uses24Hour());
}
BENCHMARK(BM_Uses24Hour);

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
