#include "platform/calendar/EventOccurrences.h"

#include "platform/core/Log.h"

#include <QDate>
#include <QDateTime>
#include <QTimeZone>
#include <algorithm>
#include <libical/ical.h>
#include <set>
#include <tuple>

namespace velk {

namespace {

// One event's share of its file's budget: a rule that needs more to reach the span
// (FREQ=SECONDLY since 1990 and the like) is not expanded.
constexpr qint64 kMaxStepsPerEvent = 50000;
// What checking a rule costs, counted in iterator steps.
constexpr qint64 kRuleCheckSteps = 1000;
// What an instance that reaches the span costs: it is anchored, named and kept. A file keeps at
// most 5000 of them, far more than a day of any calendar shows.
constexpr qint64 kKeptInstanceSteps = 40;

auto wallDay(const IcsTime& t)
{
    return std::make_tuple(t.year, t.month, t.day);
}

// How long each instance lasts: whole days for an all-day event; else calendar days (the same
// wall time so many days on, whatever clock change lies between) and then elapsed seconds.
struct Span {
    qint64 days = 0;
    double seconds = 0;
};

// A day is shorter than this and longer than its negative: no duration in days can overflow a
// date with it.
constexpr qint64 kMaxSpanDays = 3660000;

std::optional<Date> endOf(const IcsTime& start, Date startDate, const Span& span, const TimeZone& current)
{
    const QDate day(start.year, start.month, start.day);
    if (start.isDate) {
        const QDate d = day.addDays(span.days);
        return start.withWall(d.year(), d.month(), d.day(), 0, 0, 0).resolve(current);
    }
    Date end = startDate;
    if (span.days != 0) {
        const QDate d = day.addDays(span.days);
        const std::optional<Date> wallEnd =
            start.withWall(d.year(), d.month(), d.day(), start.hour, start.minute, start.second).resolve(current);
        if (!wallEnd) return std::nullopt;
        end = *wallEnd;
    }
    end = end.addingSeconds(span.seconds);
    return end < startDate ? startDate : end;
}

Span spanOf(const IcsDuration& d)
{
    return {std::clamp(d.days, -kMaxSpanDays, kMaxSpanDays), double(d.seconds)};
}

Span spanOf(const ParsedEvent& e, Date start, const TimeZone& current)
{
    Span span;
    if (e.start.isDate) {
        if (e.end && e.end->isDate)
            span.days =
                QDate(e.start.year, e.start.month, e.start.day).daysTo(QDate(e.end->year, e.end->month, e.end->day));
        else if (e.duration)
            span.days = std::clamp(e.duration->days + e.duration->seconds / 86400, -kMaxSpanDays, kMaxSpanDays);
        else
            span.days = 1; // a date without an end lasts that day
        span.days = std::max<qint64>(span.days, 0);
        return span;
    }
    if (e.end) {
        if (auto end = e.end->resolve(current)) span.seconds = end->secondsSince(start);
    } else if (e.duration) {
        span = spanOf(*e.duration);
    }
    return span; // an end before the start is the start: see endOf
}

// A period's own length for one RDATE instance, else the event's.
Span spanOf(const ParsedRdate& r, const IcsTime& wall, Date start, const Span& eventSpan, const TimeZone& current)
{
    if (wall.isDate) return eventSpan;
    if (r.end) {
        if (auto end = r.end->resolve(current)) return {0, std::max(end->secondsSince(start), 0.0)};
    } else if (r.duration) {
        return spanOf(*r.duration);
    }
    return eventSpan;
}

bool overlaps(Date start, Date end, Date from, Date to)
{
    if (start >= to) return false;
    return end > from || (end == start && start >= from);
}

class Excluded {
public:
    Excluded(const std::vector<IcsTime>& exdates, const TimeZone& current)
    {
        for (const IcsTime& x : exdates) {
            if (x.isDate)
                days_.insert(wallDay(x));
            else if (auto d = x.resolve(current))
                moments_.insert(*d);
        }
    }
    bool contains(const IcsTime& wall, Date moment) const
    {
        return days_.contains(wallDay(wall)) || moments_.contains(moment);
    }

private:
    std::set<std::tuple<int, int, int>> days_;
    std::set<Date> moments_;
};

icaltimetype wallTime(const IcsTime& t)
{
    icaltimetype tt = icaltime_null_time();
    tt.year = t.year;
    tt.month = t.month;
    tt.day = t.day;
    tt.is_date = t.isDate;
    if (!t.isDate) {
        tt.hour = t.hour;
        tt.minute = t.minute;
        tt.second = t.second;
    }
    return tt;
}

bool repeatsWithinADay(const icalrecurrencetype& rule)
{
    return rule.freq == ICAL_SECONDLY_RECURRENCE || rule.freq == ICAL_MINUTELY_RECURRENCE ||
           rule.freq == ICAL_HOURLY_RECURRENCE;
}

// The last step of a rule repeating within a day at or before midnight of `earliest`'s day,
// worked out from the start with the rule's interval: the rule gives the same instances from
// there as from its start. The steps are counted on wall fields, as the iterator counts them.
std::optional<IcsTime> lastStepBefore(const IcsTime& start, const IcsTime& earliest, const icalrecurrencetype& rule)
{
    const qint64 unit = rule.freq == ICAL_HOURLY_RECURRENCE ? 3600 : rule.freq == ICAL_MINUTELY_RECURRENCE ? 60 : 1;
    const qint64 step = unit * std::max<qint64>(rule.interval, 1);
    const QDateTime from(QDate(start.year, start.month, start.day), QTime(start.hour, start.minute, start.second),
                         QTimeZone::utc());
    const QDateTime to(QDate(earliest.year, earliest.month, earliest.day), QTime(0, 0), QTimeZone::utc());
    if (!from.isValid() || !to.isValid()) return std::nullopt;
    const qint64 elapsed = from.secsTo(to);
    if (elapsed <= 0) return std::nullopt;
    const QDateTime at = from.addSecs(elapsed / step * step);
    return start.withWall(at.date().year(), at.date().month(), at.date().day(), at.time().hour(), at.time().minute(),
                          at.time().second());
}

} // namespace

std::vector<EventOccurrence> eventOccurrences(const ParsedEvent& e, Date from, Date to, const TimeZone& current,
                                              const QSet<QString>& replacedKeys, RecurrenceBudget* budget,
                                              QString* skipped)
{
    std::vector<EventOccurrence> out;
    const std::optional<Date> first = e.start.resolve(current);
    if (!first) return out;
    const Span span = spanOf(e, *first, current);
    const bool repeats = !e.rrule.isEmpty() || !e.rdates.empty();
    RecurrenceBudget own;
    if (!budget) budget = &own;
    auto skip = [&](const QString& why) {
        if (skipped) *skipped = why;
        out.clear();
        return out;
    };

    // False once the file's budget is spent.
    auto consider = [&](const IcsTime& wall, Date start, const Span& length) {
        const std::optional<Date> end = endOf(wall, start, length, current);
        if (!end || !overlaps(start, *end, from, to)) return true;
        EventOccurrence o{start, *end, e.start.isDate, {}};
        if (repeats) {
            if (!budget->spend(kKeptInstanceSteps)) return false;
            o.instanceKey = wall.instanceKey(current);
            if (replacedKeys.contains(o.instanceKey)) return true;
        }
        out.push_back(std::move(o));
        return true;
    };
    const QString tooMuch = QStringLiteral("its file repeats too much to expand");

    if (!repeats) {
        consider(e.start, *first, span);
        return out;
    }

    const Excluded excluded(e.exdates, current);
    if (e.rrule.isEmpty()) {
        if (!excluded.contains(e.start, *first) && !consider(e.start, *first, span)) return skip(tooMuch);
    } else {
        const RecurrenceRule parsed(e.rrule.toUtf8());
        const icalrecurrencetype& rule = parsed.rule();
        if (!parsed.readable()) {
            qCWarning(lcCalendar) << "event" << e.uid << "has a repeat rule that cannot be read:" << e.rrule
                                  << "- showing its first instance only";
            if (!excluded.contains(e.start, *first) && !consider(e.start, *first, span)) return skip(tooMuch);
        } else {
            if (!budget->spend(kRuleCheckSteps)) return skip(tooMuch);
            const RuleCheck check = checkRule(rule, QDate(e.start.year, e.start.month, e.start.day));
            if (!check.problem.isEmpty())
                return skip(QStringLiteral("its repeat rule cannot be expanded: ") + check.problem);
            // Instances whose day lies well before the span cannot reach it: skip them on wall
            // fields alone, without anchoring each one.
            const double reach = std::max(span.seconds + double(span.days) * 86400.0, 0.0) + 2 * 86400.0;
            const IcsTime earliest = e.start.wallAt(from.addingSeconds(-reach), current);
            const bool jump = rule.count == 0 && wallDay(e.start) < wallDay(earliest);
            // A rule repeating within a day is started afresh at its last step before that day:
            // the iterator's own restart counts such a rule's interval from the start's time of
            // day on the day it restarts, out of step with the rule. Longer rules keep their
            // interval in step when restarted at midnight of the day.
            std::optional<IcsTime> lastStep;
            if (jump && repeatsWithinADay(rule) && !e.start.isDate) lastStep = lastStepBefore(e.start, earliest, rule);
            icalrecur_iterator* it = icalrecur_iterator_new(rule, wallTime(lastStep ? *lastStep : e.start));
            if (!it) return skip(QStringLiteral("its repeat rule cannot be expanded"));
            if (jump && !lastStep) {
                IcsTime midnight = earliest.withWall(earliest.year, earliest.month, earliest.day, 0, 0, 0);
                midnight.isDate = e.start.isDate;
                icalrecur_iterator_set_start(it, wallTime(midnight));
            }
            bool finished = false;
            for (qint64 step = 0; step < kMaxStepsPerEvent && budget->spend(1); ++step) {
                const icaltimetype tt = icalrecur_iterator_next(it);
                if (icaltime_is_null_time(tt)) {
                    finished = true;
                    break;
                }
                const IcsTime wall = e.start.withWall(tt.year, tt.month, tt.day, tt.hour, tt.minute, tt.second);
                if (wallDay(wall) < wallDay(earliest)) continue;
                const std::optional<Date> start = wall.resolve(current);
                if (!start) continue;
                if (*start >= to) {
                    finished = true;
                    break;
                }
                if (!excluded.contains(wall, *start) && !consider(wall, *start, span)) break;
            }
            icalrecur_iterator_free(it);
            if (!finished) return skip(QStringLiteral("it repeats too often to expand"));
        }
    }
    for (const ParsedRdate& r : e.rdates) {
        if (!budget->spend(1)) return skip(tooMuch);
        const IcsTime& t = r.start;
        const IcsTime wall = e.start.isDate ? t.withWall(t.year, t.month, t.day, 0, 0, 0) : t;
        const std::optional<Date> start = wall.resolve(current);
        if (start && !excluded.contains(wall, *start) &&
            !consider(wall, *start, spanOf(r, wall, *start, span, current)))
            return skip(tooMuch);
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const EventOccurrence& a, const EventOccurrence& b) { return a.start < b.start; });
    out.erase(std::unique(out.begin(), out.end(),
                          [](const EventOccurrence& a, const EventOccurrence& b) { return a.start == b.start; }),
              out.end());
    return out;
}

} // namespace velk
