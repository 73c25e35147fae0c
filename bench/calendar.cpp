// Reading today's reminders and events from a store of 500 items in 5 collections: each read
// opens a fresh store and parses every file, as the widgets' providers do.
#include "platform/calendar/CalendarAccess.h"
#include "platform/calendar/CalendarStore.h"
#include "platform/core/Clock.h"
#include "shared/data/calendar/EventSync.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>

using namespace velk;

namespace {

// 2025-03-07 09:30 UTC.
const Date kNow = Date::fromUnix(1741339800);

QByteArray todo(int c, int i)
{
    QByteArray due;
    switch (i % 5) {
    case 0: due = "DUE;TZID=Europe/Paris:20250307T" + QByteArray::number(100000 + (i % 12) * 10000) + "\r\n"; break;
    case 1: due = "DUE;VALUE=DATE:20250307\r\n"; break;
    case 2: due = "DUE:20250306T090000Z\r\nSTATUS:COMPLETED\r\nCOMPLETED:20250307T0" + QByteArray::number(i % 10) + "0000Z\r\n"; break;
    case 3: due = "DUE:202503" + QByteArray::number(10 + i % 18) + "T120000Z\r\n"; break;
    default: break; // no due date
    }
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Bench//EN\r\nBEGIN:VTODO\r\nUID:todo-" + QByteArray::number(c) + "-"
        + QByteArray::number(i) + "\r\nDTSTAMP:20250301T120000Z\r\nSUMMARY:Reminder " + QByteArray::number(i) + "\r\n" + due
        + "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT15M\r\nDESCRIPTION:Reminder\r\nEND:VALARM\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
}

QByteArray event(int c, int i)
{
    QByteArray when;
    switch (i % 4) {
    case 0: when = "DTSTART;TZID=America/New_York:20240101T040000\r\nDTEND;TZID=America/New_York:20240101T043000\r\n"
                   "RRULE:FREQ=DAILY\r\nEXDATE;TZID=America/New_York:20250306T040000\r\n"; break;
    case 1: when = "DTSTART:20250307T" + QByteArray::number(100000 + (i % 12) * 10000) + "Z\r\nDURATION:PT45M\r\n"; break;
    case 2: when = "DTSTART;VALUE=DATE:20250307\r\nDTEND;VALUE=DATE:20250308\r\n"; break;
    default: when = "DTSTART:202502" + QByteArray::number(10 + i % 18) + "T120000Z\r\nDTEND:202502" + QByteArray::number(10 + i % 18)
                  + "T130000Z\r\nRRULE:FREQ=WEEKLY;COUNT=10\r\n"; break;
    }
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Bench//EN\r\nBEGIN:VEVENT\r\nUID:event-" + QByteArray::number(c) + "-"
        + QByteArray::number(i) + "\r\nDTSTAMP:20250301T120000Z\r\nSUMMARY:Event " + QByteArray::number(i)
        + "\r\nLOCATION:Room " + QByteArray::number(i) + "\r\n" + when + "END:VEVENT\r\nEND:VCALENDAR\r\n";
}

class Store {
public:
    Store()
    {
        ::setenv("XDG_DATA_HOME", home.path().toUtf8().constData(), 1);
        const QString root = CalendarStore::defaultRoot();
        for (int c = 0; c < 5; ++c) {
            const QString folder = root + QStringLiteral("/collection-%1").arg(c);
            QDir().mkpath(folder);
            for (int i = 0; i < 100; ++i) {
                QFile f(folder + QStringLiteral("/item-%1.ics").arg(i));
                if (f.open(QIODevice::WriteOnly)) f.write(i % 2 ? todo(c, i) : event(c, i));
            }
        }
        CalendarAccess::setStatus(CalendarEntityType::reminder, CalendarAuthorizationStatus::fullAccess);
        CalendarAccess::setStatus(CalendarEntityType::event, CalendarAuthorizationStatus::fullAccess);
        Clock::pin(kNow);
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
    for (auto _ : state) benchmark::DoNotOptimize(EventSync::readReminders());
}
BENCHMARK(BM_ReadReminders)->Unit(benchmark::kMillisecond);

void BM_ReadCalendar(benchmark::State& state)
{
    store();
    for (auto _ : state) benchmark::DoNotOptimize(EventSync::readCalendar());
}
BENCHMARK(BM_ReadCalendar)->Unit(benchmark::kMillisecond);

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
