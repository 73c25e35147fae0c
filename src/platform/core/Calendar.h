#pragma once
// The Gregorian calendar in a time zone, with a locale's week rules, backed by ICU. A Calendar
// is a plain value (its settings); every operation works on an ICU calendar of its own, so one
// Calendar may be used from several threads at once.
//
// Numbering: month 1-12, day 1-31, hour 0-23, weekday 1 = Sunday ... 7 = Saturday, era 1 = AD.
#include "platform/core/Date.h"
#include "platform/core/Locale.h"
#include "platform/core/TimeZone.h"
#include <memory>
#include <optional>
#include <set>

U_NAMESPACE_BEGIN
class Calendar;
U_NAMESPACE_END

namespace velk {

enum class CalendarComponent {
    era,
    year,
    month,
    day,
    hour,
    minute,
    second,
    nanosecond,
    weekday,
    weekdayOrdinal,
    weekOfMonth,
    weekOfYear,
    yearForWeekOfYear,
};

struct DateComponents {
    std::optional<TimeZone> timeZone;
    std::optional<int> era, year, month, day, hour, minute, second, nanosecond, weekday, weekdayOrdinal, weekOfMonth,
        weekOfYear, yearForWeekOfYear;

    std::optional<int> value(CalendarComponent c) const;
    void setValue(CalendarComponent c, std::optional<int> v);
    friend bool operator==(const DateComponents&, const DateComponents&) = default;
};

struct DateInterval {
    Date start;
    double duration = 0;

    Date end() const { return start.addingSeconds(duration); }
    // Start included, end excluded.
    bool contains(Date d) const { return d >= start && d < end(); }
    friend bool operator==(const DateInterval&, const DateInterval&) = default;
};

// A half-open range of component values, lowerBound ..< upperBound.
struct CalendarRange {
    int lowerBound = 0;
    int upperBound = 0;

    int count() const { return upperBound - lowerBound; }
    friend bool operator==(const CalendarRange&, const CalendarRange&) = default;
};

// What to do when the wall time looked for does not exist (the hour a clock skips forward).
enum class MatchingPolicy {
    nextTime,                                // the first moment after the skipped span (02:30 -> 03:00)
    nextTimePreservingSmallerComponents,     // shifted forward by the skipped span (02:30 -> 03:30)
    previousTimePreservingSmallerComponents, // shifted back by the skipped span (02:30 -> 01:30)
    strict,                                  // only an exact match; search on
};

// Which occurrence of a wall time that happens twice (the hour a clock falls back) to take.
enum class RepeatedTimePolicy { first, last };

enum class SearchDirection { forward, backward };

class Calendar {
public:
    // The Gregorian calendar in the current time zone, weeks starting on Sunday.
    static Calendar gregorian();
    // The user's calendar: Gregorian, in the current time zone, with the current locale's week
    // rules. Read afresh at each call.
    static Calendar current();

    TimeZone timeZone() const { return zone_; }
    void setTimeZone(const TimeZone& zone) { zone_ = zone; }
    int firstWeekday() const { return firstWeekday_; }
    void setFirstWeekday(int weekday);
    int minimumDaysInFirstWeek() const { return minimumDays_; }
    void setMinimumDaysInFirstWeek(int days);
    std::optional<Locale> locale() const { return locale_; }
    // Also takes the locale's week rules (first weekday, minimum days in the first week).
    void setLocale(const Locale& locale);

    int component(CalendarComponent c, Date d) const;
    // The asked components of `d`, with timeZone set to the calendar's zone.
    DateComponents dateComponents(const std::set<CalendarComponent>& which, Date d) const;

    // The moment the components name, in their own zone when they carry one. Missing fields
    // take their first value (year 1, month 1, day 1, 00:00:00). A wall time skipped by a clock
    // change is shifted forward by the skipped span; of a repeated one the first is taken.
    // Nothing when a value is out of range (month 13, 31 April, minute 60, ...).
    std::optional<Date> date(const DateComponents& components) const;

    // The first moment of the day that holds `d` (later than midnight where midnight is skipped).
    Date startOfDay(Date d) const;

    // Adds `value` units of `c`. Days and longer keep the wall clock across a change of
    // daylight saving time; hours and shorter add elapsed time. With `wrappingComponents` the
    // component wraps within its larger unit and leaves the larger ones unchanged.
    std::optional<Date> date(CalendarComponent c, int value, Date to, bool wrappingComponents = false) const;

    // The next moment after (or, backward, before) `start` whose year, month, day, weekday,
    // hour, minute and second match those given; time components below the largest one given
    // count as 0, those above it are free. Nothing when no such moment exists within eight years
    // or another component is asked for.
    std::optional<Date> nextDate(Date start, const DateComponents& matching,
                                 MatchingPolicy policy = MatchingPolicy::nextTime,
                                 RepeatedTimePolicy repeated = RepeatedTimePolicy::first,
                                 SearchDirection direction = SearchDirection::forward) const;

    // The moment of hour:minute:second on the day of `d`, a skipped wall time resolved by
    // `policy` (strict gives nothing).
    std::optional<Date> date(int hour, int minute, int second, Date of,
                             MatchingPolicy policy = MatchingPolicy::nextTime,
                             RepeatedTimePolicy repeated = RepeatedTimePolicy::first) const;

    // Position of the `smaller` unit holding `d` within the `larger` one, counted from 1
    // (day in month, year or era; weekday in week; month in year; hour in day ...).
    std::optional<int> ordinality(CalendarComponent smaller, CalendarComponent larger, Date d) const;
    // The values `smaller` takes within the `larger` unit holding `d` (days of the month ...).
    std::optional<CalendarRange> range(CalendarComponent smaller, CalendarComponent larger, Date d) const;
    // The span of the unit (second to year; weekOfYear and weekOfMonth are the week from the
    // first weekday) that holds `d`.
    std::optional<DateInterval> dateInterval(CalendarComponent c, Date d) const;

    bool isDate(Date a, Date inSameDayAs) const;
    bool isDateInToday(Date d) const;

    // A new lenient ICU Gregorian calendar with these settings, owned by the caller.
    std::unique_ptr<icu::Calendar> icuCalendar() const;

private:
    TimeZone zone_ = TimeZone::utc();
    int firstWeekday_ = 1;
    int minimumDays_ = 1;
    std::optional<Locale> locale_;
};

} // namespace velk
