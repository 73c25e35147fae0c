#pragma once
// A calendar folder of generated items for the benchmarks: half to-dos (timed, date-only,
// completed today, later, undated), half events (a daily repeat since last year with an
// exception, timed today, all-day today, a weekly repeat), spread over five collections of one
// file per item, as CalDAV sync tools keep them. The folder is made under $XDG_DATA_HOME, with
// full access granted in that home's shared suite.
#include "platform/calendar/CalendarAccess.h"
#include "platform/calendar/CalendarStore.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

namespace velk::bench {

// 2025-03-07 09:30 UTC: the day the items are about.
inline const Date kCalendarNow = Date::fromUnix(1741339800);

inline QByteArray benchTodo(int c, int i)
{
    QByteArray due;
    switch (i % 5) {
    case 0:
        due = "DUE;TZID=Europe/Paris:20250307T" + QByteArray::number(100000 + (i % 12) * 10000) + "\r\n";
        break;
    case 1:
        due = "DUE;VALUE=DATE:20250307\r\n";
        break;
    case 2:
        due = "DUE:20250306T090000Z\r\nSTATUS:COMPLETED\r\nCOMPLETED:20250307T0" + QByteArray::number(i % 10) +
              "0000Z\r\n";
        break;
    case 3:
        due = "DUE:202503" + QByteArray::number(10 + i % 18) + "T120000Z\r\n";
        break;
    default:
        break; // no due date
    }
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Bench//EN\r\nBEGIN:VTODO\r\nUID:todo-" + QByteArray::number(c) +
           "-" + QByteArray::number(i) + "\r\nDTSTAMP:20250301T120000Z\r\nSUMMARY:Reminder " + QByteArray::number(i) +
           "\r\n" + due +
           "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT15M\r\nDESCRIPTION:Reminder\r\nEND:VALARM\r\nEND:VTODO\r\nEND:"
           "VCALENDAR\r\n";
}

inline QByteArray benchEvent(int c, int i)
{
    QByteArray when;
    switch (i % 4) {
    case 0:
        when = "DTSTART;TZID=America/New_York:20240101T040000\r\nDTEND;TZID=America/New_York:20240101T043000\r\n"
               "RRULE:FREQ=DAILY\r\nEXDATE;TZID=America/New_York:20250306T040000\r\n";
        break;
    case 1:
        when = "DTSTART:20250307T" + QByteArray::number(100000 + (i % 12) * 10000) + "Z\r\nDURATION:PT45M\r\n";
        break;
    case 2:
        when = "DTSTART;VALUE=DATE:20250307\r\nDTEND;VALUE=DATE:20250308\r\n";
        break;
    default:
        when = "DTSTART:202502" + QByteArray::number(10 + i % 18) + "T120000Z\r\nDTEND:202502" +
               QByteArray::number(10 + i % 18) + "T130000Z\r\nRRULE:FREQ=WEEKLY;COUNT=10\r\n";
        break;
    }
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Bench//EN\r\nBEGIN:VEVENT\r\nUID:event-" +
           QByteArray::number(c) + "-" + QByteArray::number(i) + "\r\nDTSTAMP:20250301T120000Z\r\nSUMMARY:Event " +
           QByteArray::number(i) + "\r\nLOCATION:Room " + QByteArray::number(i) + "\r\n" + when +
           "END:VEVENT\r\nEND:VCALENDAR\r\n";
}

// Writes `items` items (a multiple of five) into the calendar folder of the current
// $XDG_DATA_HOME and grants full access to reminders and events.
inline void writeBenchCalendar(int items)
{
    const QString root = CalendarStore::defaultRoot();
    const int perCollection = items / 5;
    for (int c = 0; c < 5; ++c) {
        const QString folder = root + QStringLiteral("/collection-%1").arg(c);
        QDir().mkpath(folder);
        for (int i = 0; i < perCollection; ++i) {
            QFile f(folder + QStringLiteral("/item-%1.ics").arg(i));
            if (f.open(QIODevice::WriteOnly)) f.write(i % 2 ? benchTodo(c, i) : benchEvent(c, i));
        }
    }
    CalendarAccess::setStatus(CalendarEntityType::reminder, CalendarAuthorizationStatus::fullAccess);
    CalendarAccess::setStatus(CalendarEntityType::event, CalendarAuthorizationStatus::fullAccess);
}

} // namespace velk::bench
