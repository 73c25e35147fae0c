#pragma once
// The four calendar views. They draw the entry's date (not the moment they are drawn) in the
// user's calendar, zone and locale, and the entry's events as the reader wrote them.
#include "platform/core/Date.h"
#include "shared/look/WidgetRoot.h"
#include "shared/models/ReminderRecords.h"

#include <QString>

namespace velk {

// Small: the weekday, the day of the month writ large, month and year.
struct CalendarBigDate {
    Date date;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }
};

// Small: the month name and day, the month as dots (day 1 always first, today set apart), and
// the days left in the month.
struct CalendarMonthGrid {
    Date date;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    // Days in the month holding `date` (30 should the calendar know no range for it).
    static int daysInMonth(Date date);
};

// Medium: the day and weekday beside the next two of today's events that are not over.
struct CalendarDayEvents {
    Date date;
    CalendarSnapshot data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }
};

// Large: a dated header with the count of events, the first three events, and the day's
// progress as a dot bar.
struct CalendarAgenda {
    Date date;
    CalendarSnapshot data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    // The progress as drawn: anything that is not a number in 0...1 (a corrupt or foreign
    // snapshot) is kept to that range, not a number counting as none.
    static double shownProgress(double dayProgress);
    // "Day 68%": the shown progress in whole percent, truncated.
    static QString progressText(double dayProgress);
};

} // namespace velk
