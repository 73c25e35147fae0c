#include "platform/calendar/IcsParser.h"

#include "platform/calendar/RecurrenceCheck.h"

#include <QDateTime>
#include <libical/ical.h>
#include <map>
#include <memory>

namespace velk {

namespace {

struct ComponentDeleter {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentDeleter>;

void makeErrorsNonFatal()
{
    // Some builds abort on the first malformed value; one bad file must never stop the reader.
    static const bool once = [] {
        icalerror_set_errors_are_fatal(0);
        return true;
    }();
    (void)once;
}

QString text(const char* s)
{
    return s ? QString::fromUtf8(s) : QString();
}

// A zone changes its offset a few times a year at most; libical expands a zone's rules into
// every change from the rule's start to the year asked for (up to 2582), so a rule that changes
// more often is not honoured: the zone then keeps the fixed offsets its observances give.
constexpr int kMaxZoneChangesPerYear = 12;
constexpr int kLastExpandedYear = 2582;
constexpr qint64 kZoneRuleCheckSteps = 1000;

// The zones one VCALENDAR defines, by TZID, for TZIDs no tz database zone matches.
class FileZones {
public:
    // Collected up front: looking them up later must not disturb libical's iteration over the
    // calendar's components, which the caller is in the middle of.
    FileZones(icalcomponent* calendar, QStringList& problems) : problems_(problems)
    {
        for (icalcomponent* c = icalcomponent_get_first_component(calendar, ICAL_VTIMEZONE_COMPONENT); c;
             c = icalcomponent_get_next_component(calendar, ICAL_VTIMEZONE_COMPONENT)) {
            if (icalproperty* p = icalcomponent_get_first_property(c, ICAL_TZID_PROPERTY))
                definitions_.emplace(text(icalproperty_get_tzid(p)), c);
        }
    }

    std::shared_ptr<icaltimezone> zone(const QString& tzid)
    {
        if (auto it = zones_.find(tzid); it != zones_.end()) return it->second;
        std::shared_ptr<icaltimezone> result;
        if (auto def = definitions_.find(tzid); def != definitions_.end()) {
            icalcomponent* copy = icalcomponent_new_clone(def->second);
            if (copy) keepCheapRules(copy, tzid);
            icaltimezone* z = icaltimezone_new();
            if (z && copy && icaltimezone_set_component(z, copy)) {
                // libical fills in a zone's changes on first use, up to the year asked for. The
                // parse is shared by readers on several threads: expand it here, once, to the
                // last year libical covers (the budget above paid for it), so they only read.
                icaltimetype last = icaltime_null_time();
                last.year = kLastExpandedYear;
                last.month = 12;
                last.day = 31;
                int daylight = 0;
                icaltimezone_get_utc_offset(z, &last, &daylight);
                result.reset(z, [](icaltimezone* tz) { icaltimezone_free(tz, 1); });
            } else {
                if (z) icaltimezone_free(z, 1);
                if (copy) icalcomponent_free(copy);
            }
        }
        zones_[tzid] = result;
        return result;
    }

private:
    // Drops the rules of the zone's observances that are not honoured (see above), and the
    // ones past the file's budget; one problem line for the zone.
    void keepCheapRules(icalcomponent* zone, const QString& tzid)
    {
        QString why;
        std::vector<std::pair<icalcomponent*, icalproperty*>> dropped;
        for (icalcomponent* o = icalcomponent_get_first_component(zone, ICAL_ANY_COMPONENT); o;
             o = icalcomponent_get_next_component(zone, ICAL_ANY_COMPONENT)) {
            const icaltimetype start = icalcomponent_get_dtstart(o);
            for (icalproperty* p = icalcomponent_get_first_property(o, ICAL_RRULE_PROPERTY); p;
                 p = icalcomponent_get_next_property(o, ICAL_RRULE_PROPERTY)) {
                const icalrecurrencetype rule = icalproperty_get_rrule(p);
                QString problem;
                if (!budget_.spend(kZoneRuleCheckSteps)) {
                    problem = QStringLiteral("the file's zones repeat too much to expand");
                } else {
                    const RuleCheck check = checkRule(rule, QDate(start.year, start.month, start.day));
                    problem = check.problem;
                    if (problem.isEmpty() && check.perYear > kMaxZoneChangesPerYear)
                        problem = QStringLiteral("it changes the offset more than %1 times a year")
                                      .arg(kMaxZoneChangesPerYear);
                    if (problem.isEmpty() &&
                        !budget_.spend(qint64(check.perYear) * std::max(1, kLastExpandedYear - start.year)))
                        problem = QStringLiteral("the file's zones repeat too much to expand");
                }
                if (!problem.isEmpty()) {
                    why = problem;
                    dropped.emplace_back(o, p);
                }
            }
        }
        for (auto [observance, rule] : dropped) {
            icalcomponent_remove_property(observance, rule);
            icalproperty_free(rule);
        }
        if (!dropped.empty())
            problems_ << QStringLiteral(
                             "time zone %1: its repeat rule is not honoured (%2); read with its fixed offsets")
                             .arg(tzid, why);
    }

    QStringList& problems_;
    RecurrenceBudget budget_;
    std::map<QString, icalcomponent*> definitions_;
    std::map<QString, std::shared_ptr<icaltimezone>> zones_;
};

std::optional<IcsTime> timeOf(icaltimetype tt, icalproperty* p, FileZones& zones)
{
    if (icaltime_is_null_time(tt)) return std::nullopt;
    IcsTime t;
    t.year = tt.year;
    t.month = tt.month;
    t.day = tt.day;
    t.isDate = tt.is_date;
    if (!t.isDate) {
        t.hour = tt.hour;
        t.minute = tt.minute;
        t.second = tt.second;
    }
    if (icaltime_is_utc(tt)) {
        t.anchor = IcsTime::Anchor::utc;
    } else if (icalparameter* tzp = p ? icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER) : nullptr) {
        const QString tzid = text(icalparameter_get_tzid(tzp));
        if (auto z = zoneForTzid(tzid)) {
            t.anchor = IcsTime::Anchor::zone;
            t.zone = z;
        } else if (auto fz = zones.zone(tzid)) {
            t.anchor = IcsTime::Anchor::zone;
            t.fileZone = fz;
        }
        // A TZID that nothing defines reads as floating: the wall time the user wrote.
    }
    return t;
}

std::optional<IcsTime> propertyTime(icalcomponent* c, icalproperty_kind kind, FileZones& zones)
{
    icalproperty* p = icalcomponent_get_first_property(c, kind);
    if (!p) return std::nullopt;
    icalvalue* v = icalproperty_get_value(p);
    if (!v) return std::nullopt;
    switch (icalvalue_isa(v)) {
    case ICAL_DATE_VALUE:
        return timeOf(icalvalue_get_date(v), p, zones);
    case ICAL_DATETIME_VALUE:
        return timeOf(icalvalue_get_datetime(v), p, zones);
    case ICAL_DATETIMEPERIOD_VALUE:
        return timeOf(icalvalue_get_datetimeperiod(v).time, p, zones);
    default:
        return std::nullopt;
    }
}

IcsDuration durationOf(icaldurationtype d)
{
    const qint64 sign = d.is_neg ? -1 : 1;
    return {sign * (qint64(d.weeks) * 7 + d.days),
            sign * (qint64(d.hours) * 3600 + qint64(d.minutes) * 60 + d.seconds)};
}

// The dates of every property of that kind; a period gives its start, and its end or length.
std::vector<ParsedRdate> propertyDates(icalcomponent* c, icalproperty_kind kind, FileZones& zones)
{
    std::vector<ParsedRdate> out;
    for (icalproperty* p = icalcomponent_get_first_property(c, kind); p; p = icalcomponent_get_next_property(c, kind)) {
        icalvalue* v = icalproperty_get_value(p);
        if (!v) continue;
        icaltimetype tt = icaltime_null_time();
        std::optional<icalperiodtype> period;
        switch (icalvalue_isa(v)) {
        case ICAL_DATE_VALUE:
            tt = icalvalue_get_date(v);
            break;
        case ICAL_DATETIME_VALUE:
            tt = icalvalue_get_datetime(v);
            break;
        case ICAL_PERIOD_VALUE:
            period = icalvalue_get_period(v);
            break;
        case ICAL_DATETIMEPERIOD_VALUE: {
            const icaldatetimeperiodtype dp = icalvalue_get_datetimeperiod(v);
            if (icaltime_is_null_time(dp.time))
                period = dp.period;
            else
                tt = dp.time;
            break;
        }
        default:
            break;
        }
        if (period) tt = period->start;
        const std::optional<IcsTime> start = timeOf(tt, p, zones);
        if (!start) continue;
        ParsedRdate d{*start, {}, {}};
        if (period) {
            if (!icaltime_is_null_time(period->end))
                d.end = timeOf(period->end, p, zones);
            else if (!icaldurationtype_is_null_duration(period->duration))
                d.duration = durationOf(period->duration);
        }
        out.push_back(std::move(d));
    }
    return out;
}

std::vector<IcsTime> propertyTimes(icalcomponent* c, icalproperty_kind kind, FileZones& zones)
{
    std::vector<IcsTime> out;
    for (ParsedRdate& d : propertyDates(c, kind, zones))
        out.push_back(std::move(d.start));
    return out;
}

QString propertyText(icalcomponent* c, icalproperty_kind kind)
{
    icalproperty* p = icalcomponent_get_first_property(c, kind);
    if (!p) return {};
    icalvalue* v = icalproperty_get_value(p);
    if (!v) return {};
    if (icalvalue_isa(v) == ICAL_TEXT_VALUE) return text(icalvalue_get_text(v));
    char* s = icalvalue_as_ical_string_r(v);
    QString out = text(s);
    icalmemory_free_buffer(s);
    return out;
}

// A value libical could not read (and dropped) leaves an X-LIC-ERROR of the value kind behind.
std::optional<QString> valueError(icalcomponent* c)
{
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_XLICERROR_PROPERTY)) {
        icalparameter* type = icalproperty_get_first_parameter(p, ICAL_XLICERRORTYPE_PARAMETER);
        if (type && icalparameter_get_xlicerrortype(type) == ICAL_XLICERRORTYPE_VALUEPARSEERROR)
            return text(icalproperty_get_xlicerror(p));
    }
    return std::nullopt;
}

bool isCancelled(icalcomponent* c)
{
    icalproperty* p = icalcomponent_get_first_property(c, ICAL_STATUS_PROPERTY);
    return p && icalproperty_get_status(p) == ICAL_STATUS_CANCELLED;
}

QString describe(const char* kind, const QString& uid, int index)
{
    return uid.isEmpty() ? QStringLiteral("%1 #%2").arg(QLatin1String(kind)).arg(index + 1)
                         : QStringLiteral("%1 %2").arg(QLatin1String(kind), uid);
}

void readCalendar(icalcomponent* calendar, ParsedCalendarFile& out, int& todoIndex, int& eventIndex)
{
    FileZones zones(calendar, out.problems);
    for (icalcomponent* c = icalcomponent_get_first_component(calendar, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(calendar, ICAL_ANY_COMPONENT)) {
        const icalcomponent_kind kind = icalcomponent_isa(c);
        if (kind == ICAL_VTODO_COMPONENT) {
            ParsedReminder r;
            r.todoIndex = todoIndex++;
            r.uid = propertyText(c, ICAL_UID_PROPERTY);
            if (auto e = valueError(c)) {
                out.problems << QStringLiteral("%1: %2").arg(describe("to-do", r.uid, r.todoIndex), *e);
                continue;
            }
            if (isCancelled(c)) continue;
            r.title = propertyText(c, ICAL_SUMMARY_PROPERTY);
            r.due = propertyTime(c, ICAL_DUE_PROPERTY, zones);
            if (!r.due) {
                // A to-do may give its due date as a start plus a duration.
                auto start = propertyTime(c, ICAL_DTSTART_PROPERTY, zones);
                icalproperty* dp = icalcomponent_get_first_property(c, ICAL_DURATION_PROPERTY);
                if (start && dp && !start->isDate) {
                    // Resolved later; keep the start and let the store add the duration.
                    const int secs = icaldurationtype_as_int(icalproperty_get_duration(dp));
                    IcsTime due = *start;
                    // Wall arithmetic on the fields is enough for the whole minutes used here.
                    QDateTime wall(QDate(due.year, due.month, due.day), QTime(due.hour, due.minute, due.second),
                                   Qt::UTC);
                    wall = wall.addSecs(secs);
                    r.due = due.withWall(wall.date().year(), wall.date().month(), wall.date().day(), wall.time().hour(),
                                         wall.time().minute(), wall.time().second());
                }
            }
            r.completedAt = propertyTime(c, ICAL_COMPLETED_PROPERTY, zones);
            icalproperty* sp = icalcomponent_get_first_property(c, ICAL_STATUS_PROPERTY);
            r.completed = r.completedAt.has_value() || (sp && icalproperty_get_status(sp) == ICAL_STATUS_COMPLETED);
            out.reminders.push_back(std::move(r));
        } else if (kind == ICAL_VEVENT_COMPONENT) {
            ParsedEvent e;
            e.eventIndex = eventIndex++;
            e.uid = propertyText(c, ICAL_UID_PROPERTY);
            if (auto err = valueError(c)) {
                out.problems << QStringLiteral("%1: %2").arg(describe("event", e.uid, e.eventIndex), *err);
                continue;
            }
            if (isCancelled(c)) {
                // A cancelled instance of a series takes that instance away; it needs no start.
                e.recurrenceId = propertyTime(c, ICAL_RECURRENCEID_PROPERTY, zones);
                e.cancelled = true;
                if (e.recurrenceId) out.events.push_back(std::move(e));
                continue;
            }
            auto start = propertyTime(c, ICAL_DTSTART_PROPERTY, zones);
            if (!start) {
                out.problems << QStringLiteral("%1: no start").arg(describe("event", e.uid, e.eventIndex));
                continue;
            }
            e.start = *start;
            e.title = propertyText(c, ICAL_SUMMARY_PROPERTY);
            e.location = propertyText(c, ICAL_LOCATION_PROPERTY);
            e.end = propertyTime(c, ICAL_DTEND_PROPERTY, zones);
            if (!e.end) {
                if (icalproperty* dp = icalcomponent_get_first_property(c, ICAL_DURATION_PROPERTY))
                    e.duration = durationOf(icalproperty_get_duration(dp));
            }
            e.rrule = propertyText(c, ICAL_RRULE_PROPERTY);
            e.exdates = propertyTimes(c, ICAL_EXDATE_PROPERTY, zones);
            e.rdates = propertyDates(c, ICAL_RDATE_PROPERTY, zones);
            e.recurrenceId = propertyTime(c, ICAL_RECURRENCEID_PROPERTY, zones);
            out.events.push_back(std::move(e));
        }
    }
}

// The text without its content lines (unfolded) longer than the cap: libical's line reader
// slows down with the square of a line's length. Such a line is an inline attachment or a
// hostile file; nothing read here lives in one. Null when nothing had to go.
QByteArray withoutLongLines(const QByteArray& text, int* dropped)
{
    QByteArray out;
    bool copying = false;
    qsizetype start = 0;
    const qsizetype size = text.size();
    while (start < size) {
        // A content line runs on over the physical lines that start with a space or a tab.
        qsizetype end = start;
        do {
            const qsizetype nl = text.indexOf('\n', end);
            end = nl < 0 ? size : nl + 1;
        } while (end < size && (text[end] == ' ' || text[end] == '\t'));
        if (end - start > kMaxIcsLineBytes) {
            if (!copying) {
                out = text.left(start);
                copying = true;
            }
            ++*dropped;
        } else if (copying) {
            out.append(text.constData() + start, end - start);
        }
        start = end;
    }
    return copying ? out : QByteArray();
}

} // namespace

ParsedCalendarFile parseCalendarText(const QByteArray& bytes)
{
    makeErrorsNonFatal();
    ParsedCalendarFile out;
    int dropped = 0;
    const QByteArray shortened = withoutLongLines(bytes, &dropped);
    if (dropped > 0)
        out.problems
            << QStringLiteral("%1 line(s) longer than %2 KiB left out").arg(dropped).arg(kMaxIcsLineBytes / 1024);
    ComponentPtr root(icalparser_parse_string(dropped > 0 ? shortened.constData() : bytes.constData()));
    if (!root) {
        out.problems << QStringLiteral("not an iCalendar file, or cut short");
        return out;
    }
    int todoIndex = 0;
    int eventIndex = 0;
    const icalcomponent_kind kind = icalcomponent_isa(root.get());
    if (kind == ICAL_VCALENDAR_COMPONENT) {
        readCalendar(root.get(), out, todoIndex, eventIndex);
    } else if (kind == ICAL_XROOT_COMPONENT) {
        for (icalcomponent* c = icalcomponent_get_first_component(root.get(), ICAL_VCALENDAR_COMPONENT); c;
             c = icalcomponent_get_next_component(root.get(), ICAL_VCALENDAR_COMPONENT))
            readCalendar(c, out, todoIndex, eventIndex);
    } else {
        out.problems << QStringLiteral("no VCALENDAR in the file");
        return out;
    }
    out.ok = true;
    return out;
}

} // namespace velk
