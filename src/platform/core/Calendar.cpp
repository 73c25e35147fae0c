#include "platform/core/Calendar.h"
#include "platform/core/Clock.h"

#include <algorithm>
#include <cmath>
#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>
#include <vector>

namespace velk {

namespace {

UDate toUDate(Date d)
{
    return d.unix() * 1000.0;
}
Date fromUDate(UDate u)
{
    return Date::fromUnix(u / 1000.0);
}

constexpr double kMsPerDay = 86'400'000.0;

// Making an ICU calendar loads locale data; cloning a ready one does not.
const icu::Calendar& prototype()
{
    static const icu::Calendar* const proto = [] {
        UErrorCode status = U_ZERO_ERROR;
        auto* cal = new icu::GregorianCalendar(*icu::TimeZone::getGMT(), icu::Locale::getRoot(), status);
        cal->setLenient(true);
        return cal;
    }();
    return *proto;
}

UCalendarDateFields fieldOf(CalendarComponent c)
{
    switch (c) {
    case CalendarComponent::era:
        return UCAL_ERA;
    case CalendarComponent::year:
        return UCAL_YEAR;
    case CalendarComponent::month:
        return UCAL_MONTH;
    case CalendarComponent::day:
        return UCAL_DATE;
    case CalendarComponent::hour:
        return UCAL_HOUR_OF_DAY;
    case CalendarComponent::minute:
        return UCAL_MINUTE;
    case CalendarComponent::second:
        return UCAL_SECOND;
    case CalendarComponent::nanosecond:
        return UCAL_MILLISECOND;
    case CalendarComponent::weekday:
        return UCAL_DAY_OF_WEEK;
    case CalendarComponent::weekdayOrdinal:
        return UCAL_DAY_OF_WEEK_IN_MONTH;
    case CalendarComponent::weekOfMonth:
        return UCAL_WEEK_OF_MONTH;
    case CalendarComponent::weekOfYear:
        return UCAL_WEEK_OF_YEAR;
    case CalendarComponent::yearForWeekOfYear:
        return UCAL_YEAR_WOY;
    }
    return UCAL_DATE;
}

int get(icu::Calendar& cal, UCalendarDateFields field)
{
    UErrorCode status = U_ZERO_ERROR;
    const int v = cal.get(field, status);
    return U_SUCCESS(status) ? v : 0;
}

// A local wall-clock time; month 1-12.
struct Wall {
    int era = 1, year = 1, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    bool sameAs(const Wall& o) const
    {
        return era == o.era && year == o.year && month == o.month && day == o.day && hour == o.hour &&
               minute == o.minute && second == o.second;
    }
};

Wall wallAt(icu::Calendar& cal, UDate t)
{
    UErrorCode status = U_ZERO_ERROR;
    cal.setTime(t, status);
    return {get(cal, UCAL_ERA),         get(cal, UCAL_YEAR),   get(cal, UCAL_MONTH) + 1, get(cal, UCAL_DATE),
            get(cal, UCAL_HOUR_OF_DAY), get(cal, UCAL_MINUTE), get(cal, UCAL_SECOND)};
}

std::optional<UDate> timeOf(icu::Calendar& cal, const Wall& w, UCalendarWallTimeOption skipped,
                            UCalendarWallTimeOption repeated)
{
    cal.clear();
    cal.setSkippedWallTimeOption(skipped);
    cal.setRepeatedWallTimeOption(repeated);
    cal.set(UCAL_ERA, w.era);
    cal.set(UCAL_YEAR, w.year);
    cal.set(UCAL_MONTH, w.month - 1);
    cal.set(UCAL_DATE, w.day);
    cal.set(UCAL_HOUR_OF_DAY, w.hour);
    cal.set(UCAL_MINUTE, w.minute);
    cal.set(UCAL_SECOND, w.second);
    cal.set(UCAL_MILLISECOND, 0);
    UErrorCode status = U_ZERO_ERROR;
    const UDate t = cal.getTime(status);
    if (U_FAILURE(status)) return std::nullopt;
    return t;
}

// The moment a wall time names, with the policies deciding skipped and repeated times.
std::optional<UDate> resolveWall(icu::Calendar& cal, const Wall& w, MatchingPolicy policy, RepeatedTimePolicy repeated)
{
    // Skipped LAST shifts a skipped time forward by the skipped span, FIRST shifts it back.
    const auto early = timeOf(cal, w, UCAL_WALLTIME_LAST, UCAL_WALLTIME_FIRST);
    const auto late = timeOf(cal, w, UCAL_WALLTIME_FIRST, UCAL_WALLTIME_LAST);
    if (!early || !late) return std::nullopt;
    if (wallAt(cal, *early).sameAs(w))
        return repeated == RepeatedTimePolicy::last && wallAt(cal, *late).sameAs(w) ? late : early;
    switch (policy) {
    case MatchingPolicy::nextTime:
        return timeOf(cal, w, UCAL_WALLTIME_NEXT_VALID, UCAL_WALLTIME_FIRST);
    case MatchingPolicy::nextTimePreservingSmallerComponents:
        return early;
    case MatchingPolicy::previousTimePreservingSmallerComponents:
        return late;
    case MatchingPolicy::strict:
        return std::nullopt;
    }
    return std::nullopt;
}

bool inRange(const std::optional<int>& v, int lo, int hi)
{
    return !v || (*v >= lo && *v <= hi);
}

} // namespace

std::optional<int> DateComponents::value(CalendarComponent c) const
{
    switch (c) {
    case CalendarComponent::era:
        return era;
    case CalendarComponent::year:
        return year;
    case CalendarComponent::month:
        return month;
    case CalendarComponent::day:
        return day;
    case CalendarComponent::hour:
        return hour;
    case CalendarComponent::minute:
        return minute;
    case CalendarComponent::second:
        return second;
    case CalendarComponent::nanosecond:
        return nanosecond;
    case CalendarComponent::weekday:
        return weekday;
    case CalendarComponent::weekdayOrdinal:
        return weekdayOrdinal;
    case CalendarComponent::weekOfMonth:
        return weekOfMonth;
    case CalendarComponent::weekOfYear:
        return weekOfYear;
    case CalendarComponent::yearForWeekOfYear:
        return yearForWeekOfYear;
    }
    return std::nullopt;
}

void DateComponents::setValue(CalendarComponent c, std::optional<int> v)
{
    switch (c) {
    case CalendarComponent::era:
        era = v;
        break;
    case CalendarComponent::year:
        year = v;
        break;
    case CalendarComponent::month:
        month = v;
        break;
    case CalendarComponent::day:
        day = v;
        break;
    case CalendarComponent::hour:
        hour = v;
        break;
    case CalendarComponent::minute:
        minute = v;
        break;
    case CalendarComponent::second:
        second = v;
        break;
    case CalendarComponent::nanosecond:
        nanosecond = v;
        break;
    case CalendarComponent::weekday:
        weekday = v;
        break;
    case CalendarComponent::weekdayOrdinal:
        weekdayOrdinal = v;
        break;
    case CalendarComponent::weekOfMonth:
        weekOfMonth = v;
        break;
    case CalendarComponent::weekOfYear:
        weekOfYear = v;
        break;
    case CalendarComponent::yearForWeekOfYear:
        yearForWeekOfYear = v;
        break;
    }
}

Calendar Calendar::gregorian()
{
    Calendar cal;
    cal.zone_ = TimeZone::current();
    return cal;
}

Calendar Calendar::current()
{
    Calendar cal = gregorian();
    cal.setLocale(Locale::current());
    return cal;
}

void Calendar::setFirstWeekday(int weekday)
{
    if (weekday >= 1 && weekday <= 7) firstWeekday_ = weekday;
}

void Calendar::setMinimumDaysInFirstWeek(int days)
{
    if (days >= 1 && days <= 7) minimumDays_ = days;
}

void Calendar::setLocale(const Locale& locale)
{
    locale_ = locale;
    firstWeekday_ = locale.firstWeekday();
    minimumDays_ = locale.minimumDaysInFirstWeek();
}

std::unique_ptr<icu::Calendar> Calendar::icuCalendar() const
{
    std::unique_ptr<icu::Calendar> cal(prototype().clone());
    cal->setTimeZone(zone_.icuZone());
    cal->setFirstDayOfWeek(UCalendarDaysOfWeek(firstWeekday_));
    cal->setMinimalDaysInFirstWeek(uint8_t(minimumDays_));
    return cal;
}

int Calendar::component(CalendarComponent c, Date d) const
{
    if (c == CalendarComponent::nanosecond) {
        const double unix = d.unix();
        return std::min(999'999'999, int(std::llround((unix - std::floor(unix)) * 1e9)));
    }
    auto cal = icuCalendar();
    UErrorCode status = U_ZERO_ERROR;
    cal->setTime(std::floor(toUDate(d)), status);
    const int v = get(*cal, fieldOf(c));
    return c == CalendarComponent::month ? v + 1 : v;
}

DateComponents Calendar::dateComponents(const std::set<CalendarComponent>& which, Date d) const
{
    DateComponents out;
    out.timeZone = zone_;
    auto cal = icuCalendar();
    UErrorCode status = U_ZERO_ERROR;
    cal->setTime(std::floor(toUDate(d)), status);
    for (CalendarComponent c : which) {
        if (c == CalendarComponent::nanosecond)
            out.nanosecond = component(c, d);
        else
            out.setValue(c, get(*cal, fieldOf(c)) + (c == CalendarComponent::month ? 1 : 0));
    }
    return out;
}

std::optional<Date> Calendar::date(const DateComponents& c) const
{
    if (!inRange(c.era, 0, 1) || !inRange(c.month, 1, 12) || !inRange(c.day, 1, 31) || !inRange(c.hour, 0, 23) ||
        !inRange(c.minute, 0, 59) || !inRange(c.second, 0, 59) || !inRange(c.nanosecond, 0, 999'999'999) ||
        !inRange(c.weekday, 1, 7) || !inRange(c.weekOfYear, 1, 53) || !inRange(c.weekOfMonth, 0, 6) ||
        !inRange(c.weekdayOrdinal, -5, 5) || (c.year && *c.year < 1))
        return std::nullopt;
    auto cal = icuCalendar();
    if (c.timeZone) cal->setTimeZone(c.timeZone->icuZone());
    cal->setSkippedWallTimeOption(UCAL_WALLTIME_LAST);
    cal->setRepeatedWallTimeOption(UCAL_WALLTIME_FIRST);
    UErrorCode status = U_ZERO_ERROR;
    const bool byWeek =
        !c.day && (c.weekday || c.weekOfYear || c.weekOfMonth || c.weekdayOrdinal || c.yearForWeekOfYear);

    cal->clear();
    cal->set(UCAL_ERA, c.era.value_or(1));
    cal->set(UCAL_YEAR, c.year.value_or(1));
    if (c.month || !byWeek) cal->set(UCAL_MONTH, c.month.value_or(1) - 1);
    if (!byWeek) {
        cal->set(UCAL_DATE, 1);
        const int days = cal->getActualMaximum(UCAL_DATE, status);
        if (U_FAILURE(status) || c.day.value_or(1) > days) return std::nullopt;
        cal->set(UCAL_DATE, c.day.value_or(1));
    } else {
        // ICU resolves the date from the fields set last, so the week fields win.
        if (c.yearForWeekOfYear) cal->set(UCAL_YEAR_WOY, *c.yearForWeekOfYear);
        if (c.weekOfYear) cal->set(UCAL_WEEK_OF_YEAR, *c.weekOfYear);
        if (c.weekOfMonth) cal->set(UCAL_WEEK_OF_MONTH, *c.weekOfMonth);
        if (c.weekdayOrdinal) cal->set(UCAL_DAY_OF_WEEK_IN_MONTH, *c.weekdayOrdinal);
        cal->set(UCAL_DAY_OF_WEEK, c.weekday.value_or(firstWeekday_));
    }
    cal->set(UCAL_HOUR_OF_DAY, c.hour.value_or(0));
    cal->set(UCAL_MINUTE, c.minute.value_or(0));
    cal->set(UCAL_SECOND, c.second.value_or(0));
    cal->set(UCAL_MILLISECOND, 0);
    const UDate t = cal->getTime(status);
    if (U_FAILURE(status)) return std::nullopt;
    return fromUDate(t).addingSeconds(c.nanosecond.value_or(0) / 1e9);
}

Date Calendar::startOfDay(Date d) const
{
    auto cal = icuCalendar();
    Wall w = wallAt(*cal, std::floor(toUDate(d)));
    w.hour = w.minute = w.second = 0;
    const auto t = timeOf(*cal, w, UCAL_WALLTIME_NEXT_VALID, UCAL_WALLTIME_FIRST);
    return t ? fromUDate(*t) : d;
}

std::optional<Date> Calendar::date(CalendarComponent c, int value, Date to, bool wrappingComponents) const
{
    if (c == CalendarComponent::nanosecond) {
        if (!wrappingComponents) return to.addingSeconds(value / 1e9);
        const qint64 ns = component(c, to);
        const qint64 wrapped = ((ns + value) % 1'000'000'000 + 1'000'000'000) % 1'000'000'000;
        return to.addingSeconds(double(wrapped - ns) / 1e9);
    }
    auto cal = icuCalendar();
    const double ms = toUDate(to);
    const double whole = std::floor(ms);
    UErrorCode status = U_ZERO_ERROR;
    cal->setTime(whole, status);
    if (wrappingComponents)
        cal->roll(fieldOf(c), int32_t(value), status);
    else
        cal->add(fieldOf(c), int32_t(value), status);
    const UDate t = cal->getTime(status);
    if (U_FAILURE(status)) return std::nullopt;
    return fromUDate(t + (ms - whole));
}

std::optional<Date> Calendar::date(int hour, int minute, int second, Date of, MatchingPolicy policy,
                                   RepeatedTimePolicy repeated) const
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return std::nullopt;
    auto cal = icuCalendar();
    Wall w = wallAt(*cal, std::floor(toUDate(of)));
    w.hour = hour;
    w.minute = minute;
    w.second = second;
    const auto t = resolveWall(*cal, w, policy, repeated);
    return t ? std::optional<Date>(fromUDate(*t)) : std::nullopt;
}

std::optional<Date> Calendar::nextDate(Date start, const DateComponents& m, MatchingPolicy policy,
                                       RepeatedTimePolicy repeated, SearchDirection direction) const
{
    if (m.era || m.weekdayOrdinal || m.weekOfMonth || m.weekOfYear || m.yearForWeekOfYear ||
        m.nanosecond.value_or(0) != 0)
        return std::nullopt;
    if (!inRange(m.month, 1, 12) || !inRange(m.day, 1, 31) || !inRange(m.weekday, 1, 7) || !inRange(m.hour, 0, 23) ||
        !inRange(m.minute, 0, 59) || !inRange(m.second, 0, 59))
        return std::nullopt;
    const bool forward = direction == SearchDirection::forward;

    // Candidate times of a matching day, in search order.
    std::vector<int> hours, minutes;
    if (m.hour)
        hours = {*m.hour};
    else if (m.minute || m.second)
        for (int h = 0; h < 24; ++h)
            hours.push_back(h);
    else
        hours = {0};
    if (m.minute)
        minutes = {*m.minute};
    else if (!m.hour && m.second)
        for (int mi = 0; mi < 60; ++mi)
            minutes.push_back(mi);
    else
        minutes = {0};
    std::vector<int> times; // seconds of the day
    for (int h : hours)
        for (int mi : minutes)
            times.push_back(h * 3600 + mi * 60 + m.second.value_or(0));
    if (!forward) std::reverse(times.begin(), times.end());

    auto cal = icuCalendar();
    const double startMs = toUDate(start);
    const Wall first = wallAt(*cal, std::floor(startMs));
    const int startSecond = first.hour * 3600 + first.minute * 60 + first.second;

    // Days are walked on a zone-free calendar, so a clock change never skips or repeats one.
    std::unique_ptr<icu::Calendar> days(prototype().clone());
    UErrorCode status = U_ZERO_ERROR;
    days->clear();
    days->set(first.year, first.month - 1, first.day, 12, 0, 0);
    days->set(UCAL_ERA, first.era);
    constexpr int kMaxDays = 366 * 8 + 2; // the 29th of February comes back within eight years
    for (int k = 0; k <= kMaxDays; ++k) {
        const Wall day{get(*days, UCAL_ERA), get(*days, UCAL_YEAR), get(*days, UCAL_MONTH) + 1, get(*days, UCAL_DATE)};
        if (m.year && day.era == 1 && (forward ? day.year > *m.year : day.year < *m.year)) break;
        const bool matches = (!m.year || (day.era == 1 && day.year == *m.year)) &&
                             (!m.month || day.month == *m.month) && (!m.day || day.day == *m.day) &&
                             (!m.weekday || get(*days, UCAL_DAY_OF_WEEK) == *m.weekday);
        if (matches) {
            for (int secs : times) {
                // On the first day, skip what lies well outside the search (a clock change moves
                // a wall time by a few hours at most).
                if (k == 0 && (forward ? secs < startSecond - 4 * 3600 : secs > startSecond + 4 * 3600)) continue;
                Wall w = day;
                w.hour = secs / 3600;
                w.minute = secs / 60 % 60;
                w.second = secs % 60;
                const auto t = resolveWall(*cal, w, policy, repeated);
                if (t && (forward ? *t > startMs : *t < startMs)) return fromUDate(*t);
            }
        }
        days->add(UCAL_DATE, forward ? 1 : -1, status);
        if (U_FAILURE(status)) return std::nullopt;
    }
    return std::nullopt;
}

std::optional<int> Calendar::ordinality(CalendarComponent smaller, CalendarComponent larger, Date d) const
{
    using C = CalendarComponent;
    auto cal = icuCalendar();
    UErrorCode status = U_ZERO_ERROR;
    cal->setTime(std::floor(toUDate(d)), status);
    const bool inWeek = larger == C::weekOfYear || larger == C::weekOfMonth;
    if ((smaller == C::weekday || smaller == C::day) && inWeek)
        return (get(*cal, UCAL_DAY_OF_WEEK) - firstWeekday_ + 7) % 7 + 1;
    if (smaller == C::day && larger == C::month) return get(*cal, UCAL_DATE);
    if (smaller == C::day && larger == C::year) return get(*cal, UCAL_DAY_OF_YEAR);
    if (smaller == C::day && larger == C::era) {
        // The era before AD has no first day to count from.
        if (get(*cal, UCAL_ERA) != 1) return std::nullopt;
        const int julianDay = get(*cal, UCAL_JULIAN_DAY);
        cal->clear();
        cal->set(UCAL_ERA, 1);
        cal->set(1, UCAL_JANUARY, 1);
        return julianDay - get(*cal, UCAL_JULIAN_DAY) + 1;
    }
    if (smaller == C::month && larger == C::year) return get(*cal, UCAL_MONTH) + 1;
    if (smaller == C::year && larger == C::era) return get(*cal, UCAL_YEAR);
    if (smaller == C::hour && larger == C::day) return get(*cal, UCAL_HOUR_OF_DAY) + 1;
    if (smaller == C::minute && larger == C::hour) return get(*cal, UCAL_MINUTE) + 1;
    if (smaller == C::second && larger == C::minute) return get(*cal, UCAL_SECOND) + 1;
    if (smaller == C::weekOfYear && larger == C::year) return get(*cal, UCAL_WEEK_OF_YEAR);
    if (smaller == C::weekOfMonth && larger == C::month) return get(*cal, UCAL_WEEK_OF_MONTH);
    return std::nullopt;
}

std::optional<CalendarRange> Calendar::range(CalendarComponent smaller, CalendarComponent larger, Date d) const
{
    using C = CalendarComponent;
    auto cal = icuCalendar();
    UErrorCode status = U_ZERO_ERROR;
    cal->setTime(std::floor(toUDate(d)), status);
    auto actual = [&](UCalendarDateFields f) -> std::optional<CalendarRange> {
        UErrorCode s = U_ZERO_ERROR;
        const int lo = cal->getActualMinimum(f, s);
        const int hi = cal->getActualMaximum(f, s);
        if (U_FAILURE(s)) return std::nullopt;
        return CalendarRange{lo, hi + 1};
    };
    if (smaller == C::day && larger == C::month) return actual(UCAL_DATE);
    if (smaller == C::day && larger == C::year) return actual(UCAL_DAY_OF_YEAR);
    if (smaller == C::month && larger == C::year) return CalendarRange{1, 13};
    if (smaller == C::weekday && (larger == C::weekOfYear || larger == C::weekOfMonth)) return CalendarRange{1, 8};
    if (smaller == C::hour && larger == C::day) return CalendarRange{0, 24};
    if ((smaller == C::minute && larger == C::hour) || (smaller == C::second && larger == C::minute))
        return CalendarRange{0, 60};
    if (smaller == C::weekOfYear && larger == C::year) return actual(UCAL_WEEK_OF_YEAR);
    if (smaller == C::weekOfMonth && larger == C::month) return actual(UCAL_WEEK_OF_MONTH);
    return std::nullopt;
}

std::optional<DateInterval> Calendar::dateInterval(CalendarComponent c, Date d) const
{
    using C = CalendarComponent;
    const double ms = toUDate(d);
    auto floorTo = [&](double unitMs) {
        // Whole-hour and shorter units follow the local offset (a +05:45 zone's hours start at
        // :00 local time); the offset is constant within the unit but for a clock change itself.
        const double local = ms + zone_.secondsFromGMT(d) * 1000.0;
        const double floored = std::floor(local / unitMs) * unitMs;
        return DateInterval{fromUDate(ms - (local - floored)), unitMs / 1000.0};
    };
    switch (c) {
    case C::second:
        return floorTo(1000.0);
    case C::minute:
        return floorTo(60'000.0);
    case C::hour:
        return floorTo(3'600'000.0);
    default:
        break;
    }

    auto cal = icuCalendar();
    Wall w = wallAt(*cal, std::floor(ms));
    w.hour = w.minute = w.second = 0;
    Wall next = w;
    switch (c) {
    case C::day:
    case C::weekday: {
        const auto start = timeOf(*cal, w, UCAL_WALLTIME_NEXT_VALID, UCAL_WALLTIME_FIRST);
        if (!start) return std::nullopt;
        // A day lasts from its start to the next day's start: 23 or 25 hours across a clock change.
        UErrorCode status = U_ZERO_ERROR;
        cal->setTime(*start + kMsPerDay / 2, status); // midday, clear of any clock change
        cal->add(UCAL_DATE, 1, status);
        Wall tomorrow = wallAt(*cal, cal->getTime(status));
        tomorrow.hour = tomorrow.minute = tomorrow.second = 0;
        const auto end = timeOf(*cal, tomorrow, UCAL_WALLTIME_NEXT_VALID, UCAL_WALLTIME_FIRST);
        if (!end || U_FAILURE(status)) return std::nullopt;
        return DateInterval{fromUDate(*start), (*end - *start) / 1000.0};
    }
    case C::weekOfYear:
    case C::weekOfMonth: {
        const int weekday = get(*cal, UCAL_DAY_OF_WEEK);
        const int back = (weekday - firstWeekday_ + 7) % 7;
        const auto today = dateInterval(C::day, d);
        if (!today) return std::nullopt;
        const auto first = date(C::day, -back, today->start.addingSeconds(12 * 3600));
        const auto afterLast = first ? date(C::day, 7, *first) : std::nullopt;
        if (!first || !afterLast) return std::nullopt;
        const Date start = startOfDay(*first);
        const Date end = startOfDay(*afterLast);
        return DateInterval{start, end.secondsSince(start)};
    }
    case C::month:
        w.day = 1;
        next = w;
        if (++next.month > 12) {
            next.month = 1;
            ++next.year;
        }
        break;
    case C::year:
        w.day = w.month = 1;
        next = w;
        ++next.year;
        break;
    default:
        return std::nullopt;
    }
    const auto start = timeOf(*cal, w, UCAL_WALLTIME_NEXT_VALID, UCAL_WALLTIME_FIRST);
    const auto end = timeOf(*cal, next, UCAL_WALLTIME_NEXT_VALID, UCAL_WALLTIME_FIRST);
    if (!start || !end) return std::nullopt;
    return DateInterval{fromUDate(*start), (*end - *start) / 1000.0};
}

bool Calendar::isDate(Date a, Date inSameDayAs) const
{
    auto cal = icuCalendar();
    Wall x = wallAt(*cal, std::floor(toUDate(a)));
    Wall y = wallAt(*cal, std::floor(toUDate(inSameDayAs)));
    x.hour = x.minute = x.second = y.hour = y.minute = y.second = 0;
    return x.sameAs(y);
}

bool Calendar::isDateInToday(Date d) const
{
    return isDate(d, Clock::now());
}

} // namespace velk
