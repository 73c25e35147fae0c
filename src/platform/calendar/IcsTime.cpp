#include "platform/calendar/IcsTime.h"

#include "platform/core/Locale.h"

#include <QDateTime>
#include <libical/ical.h>
#include <unicode/basictz.h>
#include <unicode/timezone.h>

#include <cmath>

namespace velk {

namespace {

constexpr int kLastFileZoneYear = 2582;
// A file's fields are proleptic Gregorian, as the recurrence iterator counts them (ICU's own
// calendar turns Julian before 1582): wall fields and moments are converted here with the zone's
// offsets alone, which also keeps a long expansion cheap.
constexpr qint64 kUnixEpochJulianDay = 2440588;

// The wall fields of whole seconds counted from 1970-01-01T00:00 of the same wall clock.
struct Wall {
    QDate date;
    int hour, minute, second;
};

Wall wallOf(qint64 seconds)
{
    const qint64 days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
    const int inDay = int(seconds - days * 86400);
    return {QDate::fromJulianDay(days + kUnixEpochJulianDay), inDay / 3600, inDay / 60 % 60, inDay % 60};
}

// "20250307T093000Z": the moment's UTC fields.
QString utcKey(Date moment)
{
    const Wall w = wallOf(qint64(std::floor(moment.unix())));
    return QString::asprintf("%04d%02d%02dT%02d%02d%02dZ", w.date.year(), w.date.month(), w.date.day(), w.hour,
                             w.minute, w.second);
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
        if (!icaltime_is_valid_time(tt) || month < 1 || month > 12 || day < 1 ||
            day > icaltime_days_in_month(month, year) || year > kLastFileZoneYear)
            return std::nullopt;
        return Date::fromUnix(double(icaltime_as_timet_with_zone(tt, fileZone.get())));
    }
    TimeZone tz = current;
    if (!isDate && anchor == Anchor::utc)
        tz = TimeZone::utc();
    else if (!isDate && anchor == Anchor::zone && zone)
        tz = *zone;
    const int s = isDate ? 0 : std::min(second, 59); // a leap second is the last of its minute
    const int h = isDate ? 0 : hour, mi = isDate ? 0 : minute;
    if (year < 1 || h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 || !QDate::isValid(year, month, day))
        return std::nullopt;
    const double local =
        double(QDate(year, month, day).toJulianDay() - kUnixEpochJulianDay) * 86400.0 + h * 3600.0 + mi * 60.0 + s;
    // A wall time skipped by a clock change is read with the offset before it (so it moves
    // forward); one that happens twice is the first of the two.
    UErrorCode status = U_ZERO_ERROR;
    int32_t raw = 0, dst = 0;
    if (const icu::BasicTimeZone* basic = tz.icuBasicZone())
        basic->getOffsetFromLocal(local * 1000.0, UCAL_TZ_LOCAL_FORMER, UCAL_TZ_LOCAL_FORMER, raw, dst, status);
    else
        tz.icuZone().getOffset(local * 1000.0, true, raw, dst, status);
    if (U_FAILURE(status)) return std::nullopt;
    return Date::fromUnix(local - (raw + dst) / 1000.0);
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
    if (anchor == Anchor::utc)
        tz = TimeZone::utc();
    else if (anchor == Anchor::zone && zone)
        tz = *zone;
    const double whole = std::floor(moment.unix());
    UErrorCode status = U_ZERO_ERROR;
    int32_t raw = 0, dst = 0;
    tz.icuZone().getOffset(whole * 1000.0, false, raw, dst, status);
    const Wall w = wallOf(qint64(whole) + (U_SUCCESS(status) ? (raw + dst) / 1000 : 0));
    return withWall(w.date.year(), w.date.month(), w.date.day(), w.hour, w.minute, w.second);
}

QString IcsTime::instanceKey(const TimeZone& current) const
{
    if (isDate) return QString::asprintf("%04d%02d%02d", year, month, day);
    if (anchor == Anchor::floating)
        return QString::asprintf("%04d%02d%02dT%02d%02d%02d", year, month, day, hour, minute, second);
    const std::optional<Date> d = resolve(current);
    return d ? utcKey(*d) : QString();
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
