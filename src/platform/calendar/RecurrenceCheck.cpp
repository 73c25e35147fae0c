#include "platform/calendar/RecurrenceCheck.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace velk {

RecurrenceRule::RecurrenceRule(const QByteArray& text) : rule_(icalrecurrencetype_from_string(text.constData())) {}

RecurrenceRule::~RecurrenceRule()
{
    // libical hands the RSCALE name to the caller and never frees it itself.
    free(rule_.rscale);
}

namespace {

// Enough periods to meet every combination of weekday and leap year the filters can ask for.
constexpr int kCycleYears = 28;

template <size_t N>
std::vector<int> listed(const short (&values)[N])
{
    std::vector<int> out;
    for (short v : values) {
        if (v == ICAL_RECURRENCE_ARRAY_MAX) break;
        out.push_back(v);
    }
    return out;
}

bool matchesCounted(const std::vector<int>& values, int actual, int count)
{
    if (values.empty()) return true;
    return std::any_of(values.begin(), values.end(),
                       [&](int v) { return v > 0 ? actual == v : actual == count + 1 + v; });
}

struct WeekdayFilter {
    int weekday = 0;  // Qt numbering, Monday = 1
    int position = 0; // 0: every one; n: the n-th (from the end when negative)
};

struct Filters {
    std::vector<int> months, monthDays, yearDays, weekNumbers, setPositions;
    std::vector<WeekdayFilter> weekdays;
    bool positionsInMonth = false; // BYDAY positions count within the month, else the year
    qint64 timesPerDay = 1;

    bool day(QDate d) const
    {
        if (!months.empty() && std::find(months.begin(), months.end(), d.month()) == months.end()) return false;
        if (!matchesCounted(monthDays, d.day(), d.daysInMonth())) return false;
        if (!matchesCounted(yearDays, d.dayOfYear(), d.daysInYear())) return false;
        if (!weekNumbers.empty()) {
            int weekYear = 0;
            const int week = d.weekNumber(&weekYear);
            if (!matchesCounted(weekNumbers, week, QDate(weekYear, 12, 28).weekNumber())) return false;
        }
        if (weekdays.empty()) return true;
        const int index = positionsInMonth ? d.day() : d.dayOfYear();
        const int length = positionsInMonth ? d.daysInMonth() : d.daysInYear();
        return std::any_of(weekdays.begin(), weekdays.end(), [&](const WeekdayFilter& w) {
            if (w.weekday != d.dayOfWeek()) return false;
            if (w.position > 0) return (index - 1) / 7 + 1 == w.position;
            if (w.position < 0) return (length - index) / 7 + 1 == -w.position;
            return true;
        });
    }

    // Instances a period with `days` matching days gives, after BYSETPOS.
    qint64 instances(qint64 days) const
    {
        const qint64 set = days * timesPerDay;
        if (setPositions.empty() || set == 0) return set;
        return std::count_if(setPositions.begin(), setPositions.end(), [&](int p) { return std::abs(p) <= set; });
    }
};

bool finerThanDaily(icalrecurrencetype_frequency f)
{
    return f == ICAL_SECONDLY_RECURRENCE || f == ICAL_MINUTELY_RECURRENCE || f == ICAL_HOURLY_RECURRENCE;
}

} // namespace

RuleCheck checkRule(const icalrecurrencetype& rule, QDate start)
{
    RuleCheck out;
    if (!start.isValid()) {
        out.problem = QStringLiteral("its start is not a date");
        return out;
    }
    if (rule.rscale && qstricmp(rule.rscale, "GREGORIAN") != 0) {
        out.problem = QStringLiteral("it counts in the %1 calendar").arg(QString::fromUtf8(rule.rscale));
        return out;
    }
    Filters f;
    f.months = listed(rule.by_month);
    f.monthDays = listed(rule.by_month_day);
    f.yearDays = listed(rule.by_year_day);
    f.weekNumbers = listed(rule.by_week_no);
    f.setPositions = listed(rule.by_set_pos);
    for (int d : listed(rule.by_day)) {
        const int libicalDay = icalrecurrencetype_day_day_of_week(short(d)); // Sunday = 1
        f.weekdays.push_back(
            {libicalDay == ICAL_SUNDAY_WEEKDAY ? 7 : libicalDay - 1, icalrecurrencetype_day_position(short(d))});
    }
    const std::vector<int> hours = listed(rule.by_hour), minutes = listed(rule.by_minute),
                           seconds = listed(rule.by_second);
    if (std::any_of(f.months.begin(), f.months.end(),
                    [](int m) { return icalrecurrencetype_month_is_leap(short(m)); })) {
        out.problem = QStringLiteral("it names a leap month");
        return out;
    }
    const int interval = std::max<int>(1, rule.interval);

    if (finerThanDaily(rule.freq)) {
        const bool filtered = !f.months.empty() || !f.monthDays.empty() || !f.yearDays.empty() ||
                              !f.weekNumbers.empty() || !f.setPositions.empty() || !f.weekdays.empty() ||
                              !hours.empty() || !minutes.empty() || !seconds.empty();
        if (filtered) {
            out.problem = QStringLiteral("it repeats more often than daily and filters its instances");
            return out;
        }
        const qint64 unit = rule.freq == ICAL_HOURLY_RECURRENCE ? 3600 : rule.freq == ICAL_MINUTELY_RECURRENCE ? 60 : 1;
        out.perYear = int(std::min<qint64>(366 * 86400 / (unit * interval) + 1, 1 << 30));
        return out;
    }

    f.timesPerDay = qint64(std::max<size_t>(1, hours.size())) * qint64(std::max<size_t>(1, minutes.size())) *
                    qint64(std::max<size_t>(1, seconds.size()));
    f.positionsInMonth = rule.freq == ICAL_MONTHLY_RECURRENCE || !f.months.empty();
    // Without day filters libical repeats the start's day of the month (and month, yearly) or
    // weekday, which may itself never come round (yearly on the 31st of BYMONTH=2,4).
    if (f.monthDays.empty() && f.weekdays.empty() && f.yearDays.empty() && f.weekNumbers.empty()) {
        if (rule.freq == ICAL_MONTHLY_RECURRENCE || rule.freq == ICAL_YEARLY_RECURRENCE) f.monthDays = {start.day()};
        if (rule.freq == ICAL_YEARLY_RECURRENCE && f.months.empty()) f.months = {start.month()};
        if (rule.freq == ICAL_WEEKLY_RECURRENCE) f.weekdays = {{start.dayOfWeek(), 0}};
    }

    // The periods the rule visits (every `interval`-th year, month, week or day from the start)
    // over about kCycleYears years.
    struct Period {
        QDate first, last;
    };
    auto period = [&](qint64 k) -> Period {
        switch (rule.freq) {
        case ICAL_YEARLY_RECURRENCE: {
            const int y = start.year() + int(k * interval);
            return {QDate(y, 1, 1), QDate(y, 12, 31)};
        }
        case ICAL_MONTHLY_RECURRENCE: {
            const QDate m = QDate(start.year(), start.month(), 1).addMonths(int(k * interval));
            return {m, m.addDays(m.daysInMonth() - 1)};
        }
        case ICAL_WEEKLY_RECURRENCE: {
            const QDate w = start.addDays(1 - start.dayOfWeek() + k * interval * 7);
            return {w, w.addDays(6)};
        }
        default: {
            const QDate d = start.addDays(k * interval);
            return {d, d};
        }
        }
    };
    const qint64 periods = rule.freq == ICAL_YEARLY_RECURRENCE    ? kCycleYears
                           : rule.freq == ICAL_MONTHLY_RECURRENCE ? kCycleYears * 12
                           : rule.freq == ICAL_WEEKLY_RECURRENCE  ? kCycleYears * 53
                                                                  : kCycleYears * 366;
    qint64 total = 0;
    int firstYear = 0, lastYear = 0;
    for (qint64 k = 0; k < periods; ++k) {
        const Period p = period(k);
        if (!p.first.isValid() || !p.last.isValid()) break;
        if (k == 0) firstYear = p.first.year();
        lastYear = p.last.year();
        qint64 days = 0;
        for (QDate d = p.first; d <= p.last; d = d.addDays(1))
            if (f.day(d)) ++days;
        total += f.instances(days);
    }
    if (total == 0) {
        out.problem = QStringLiteral("it never gives an instance");
        return out;
    }
    const qint64 years = std::max(1, lastYear - firstYear + 1);
    out.perYear = int(std::min<qint64>((total + years - 1) / years, 1 << 30));
    return out;
}

} // namespace velk
