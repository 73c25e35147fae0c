#include "platform/calendar/IcsTime.h"

#include "platform/core/Calendar.h"
#include "platform/core/Locale.h"

#include <QDateTime>
#include <libical/ical.h>
#include <unicode/timezone.h>

namespace velk {

namespace {

constexpr int kLastFileZoneYear = 2582;

Calendar calendarIn(const TimeZone& zone)
{
    Calendar c = Calendar::gregorian();
    c.setTimeZone(zone);
    return c;
}

} // namespace

std::optional<Date> IcsTime::resolve(const TimeZone& current) const
{
    if (anchor == Anchor::zone && fileZone) {
        icaltimetype tt = icaltime_null_time();
        tt.year = year;
        tt.month = month;
        tt.day = day;
        tt.hour = isDate ? 0 : hour;
        tt.minute = isDate ? 0 : minute;
        tt.second = isDate ? 0 : second;
        // libical covers a zone's changes up to 2582 and expands the zone afresh on every
        // question about a later year: such a time (only a hostile file writes one) is not read.
        if (!icaltime_is_valid_time(tt) || month < 1 || month > 12 || day < 1
            || day > icaltime_days_in_month(month, year) || year > kLastFileZoneYear)
            return std::nullopt;
        return Date::fromUnix(double(icaltime_as_timet_with_zone(tt, fileZone.get())));
    }
    TimeZone tz = current;
    if (!isDate && anchor == Anchor::utc) tz = TimeZone::utc();
    else if (!isDate && anchor == Anchor::zone && zone) tz = *zone;
    DateComponents dc;
    dc.year = year;
    dc.month = month;
    dc.day = day;
    dc.hour = isDate ? 0 : hour;
    dc.minute = isDate ? 0 : minute;
    // A leap second (60) is read as the last second of its minute.
    dc.second = isDate ? 0 : std::min(second, 59);
    return calendarIn(tz).date(dc);
}

IcsTime IcsTime::withWall(int y, int mo, int d, int h, int mi, int s) const
{
    IcsTime t = *this;
    t.year = y;
    t.month = mo;
    t.day = d;
    t.hour = h;
    t.minute = mi;
    t.second = s;
    return t;
}

IcsTime IcsTime::wallAt(Date moment, const TimeZone& current) const
{
    if (anchor == Anchor::zone && fileZone) {
        icaltimetype tt = icaltime_from_timet_with_zone(time_t(std::floor(moment.unix())), isDate, fileZone.get());
        return withWall(tt.year, tt.month, tt.day, tt.hour, tt.minute, tt.second);
    }
    TimeZone tz = current;
    if (anchor == Anchor::utc) tz = TimeZone::utc();
    else if (anchor == Anchor::zone && zone) tz = *zone;
    const DateComponents c = calendarIn(tz).dateComponents(
        {CalendarComponent::year, CalendarComponent::month, CalendarComponent::day, CalendarComponent::hour,
         CalendarComponent::minute, CalendarComponent::second},
        moment);
    return withWall(*c.year, *c.month, *c.day, *c.hour, *c.minute, *c.second);
}

QString IcsTime::instanceKey(const TimeZone& current) const
{
    if (isDate)
        return QStringLiteral("%1%2%3").arg(year, 4, 10, QLatin1Char('0')).arg(month, 2, 10, QLatin1Char('0'))
            .arg(day, 2, 10, QLatin1Char('0'));
    if (anchor == Anchor::floating)
        return QStringLiteral("%1%2%3T%4%5%6").arg(year, 4, 10, QLatin1Char('0')).arg(month, 2, 10, QLatin1Char('0'))
            .arg(day, 2, 10, QLatin1Char('0')).arg(hour, 2, 10, QLatin1Char('0'))
            .arg(minute, 2, 10, QLatin1Char('0')).arg(second, 2, 10, QLatin1Char('0'));
    const std::optional<Date> d = resolve(current);
    if (!d) return {};
    return d->toQDateTime().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
}

std::optional<TimeZone> zoneForTzid(const QString& tzid)
{
    const QString id = tzid.trimmed();
    if (id.isEmpty()) return std::nullopt;
    if (auto z = TimeZone::named(id)) return z;
    // Path-style TZIDs carry the zone identifier as their last one or two segments.
    if (id.startsWith(QLatin1Char('/'))) {
        const QStringList parts = id.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (auto z = TimeZone::named(parts.mid(i).join(QLatin1Char('/')))) return z;
        }
    }
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString olson;
    icu::TimeZone::getIDForWindowsID(icutext::toIcu(id), nullptr, olson, status);
    if (U_SUCCESS(status) && !olson.isBogus() && olson.length() > 0) return TimeZone::named(icutext::fromIcu(olson));
    return std::nullopt;
}

} // namespace velk
