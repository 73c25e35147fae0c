#include "shared/data/sky/SkyMath.h"

#include "platform/core/Calendar.h"

#include <QDate>
#include <QDateTime>
#include <QTimeZone>
#include <cmath>
#include <numbers>

namespace velk {

namespace {

constexpr double kRad = std::numbers::pi / 180.0;
constexpr double kCosZenith = -0.01453808050249674; // the sun's upper limb at 90.833 degrees

// A new moon (2000-01-06 18:14 UTC) and the mean synodic month in days.
constexpr double kReferenceNewMoonUnix = 947182440.0;
constexpr double kSynodicMonth = 29.530588853;

double reduce(double value, double range)
{
    double r = std::fmod(value, range);
    if (r < 0) r += range;
    // A remainder a hair below zero rounds up to `range` itself, which is no hour of the day.
    return r < range ? r : 0.0;
}

qint64 roundedDays(double days)
{
    return qint64(std::llround(days));
}

QString phaseName(double p)
{
    if (p < 0.033 || p >= 0.967) return QStringLiteral("New Moon");
    if (p < 0.216) return QStringLiteral("Waxing Crescent");
    if (p < 0.284) return QStringLiteral("First Quarter");
    if (p < 0.467) return QStringLiteral("Waxing Gibbous");
    if (p < 0.533) return QStringLiteral("Full Moon");
    if (p < 0.716) return QStringLiteral("Waning Gibbous");
    if (p < 0.784) return QStringLiteral("Last Quarter");
    return QStringLiteral("Waning Crescent");
}

} // namespace

std::optional<Date> SkyMath::solarEvent(bool rise, Date date, double latitude, double longitude)
{
    // The day is the calendar day holding `date` in the user's zone; the event is that day's at
    // the place, reckoned by the place's own (mean solar) clock.
    const Calendar calendar = Calendar::gregorian();
    const int n = calendar.ordinality(CalendarComponent::day, CalendarComponent::year, date).value_or(1);
    const DateComponents local =
        calendar.dateComponents({CalendarComponent::year, CalendarComponent::month, CalendarComponent::day}, date);
    const QDate utcDay = date.toQDateTime().date();
    const QDate day(local.year.value_or(utcDay.year()), local.month.value_or(utcDay.month()),
                    local.day.value_or(utcDay.day()));

    const double nominal = rise ? 6.0 : 18.0;
    const double lngHour = longitude / 15.0;
    const double t = n + (nominal - lngHour) / 24.0;
    const double m = 0.9856 * t - 3.289;
    const double l = reduce(m + 1.916 * std::sin(m * kRad) + 0.020 * std::sin(2 * m * kRad) + 282.634, 360.0);
    double ra = reduce(std::atan(0.91764 * std::tan(l * kRad)) / kRad, 360.0);
    ra += std::floor(l / 90.0) * 90.0 - std::floor(ra / 90.0) * 90.0;
    const double sinDec = 0.39782 * std::sin(l * kRad);
    const double cosDec = std::cos(std::asin(sinDec));
    const double cosH = (kCosZenith - sinDec * std::sin(latitude * kRad)) / (cosDec * std::cos(latitude * kRad));
    if (!(std::fabs(cosH) <= 1.0)) return std::nullopt; // also catches NaN
    double h = std::acos(cosH) / kRad;
    if (rise) h = 360.0 - h;
    h /= 15.0;
    // The place's clock time of the event, within twelve hours of its nominal hour: a sunrise
    // belongs to the morning and a sunset to the evening, so one close to midnight (far north
    // or south) stays on the side of midnight that belongs to this day.
    const double localMean = nominal - 12.0 + reduce(h + ra / 15.0 - 0.06571 * t - 6.622 - nominal + 12.0, 24.0);
    // Hours from midnight UTC of the day: below 0 east of Greenwich, past 24 far west of it.
    const double ut = localMean - lngHour;

    const double midnight = double(QDateTime(day, QTime(0, 0), QTimeZone::utc()).toSecsSinceEpoch());
    return Date::fromUnix(midnight + std::floor(ut * 60.0) * 60.0);
}

MoonInfo SkyMath::moon(Date date)
{
    const double days = (date.unix() - kReferenceNewMoonUnix) / 86400.0;
    // A remainder that keeps the sign would give dates before the reference a negative age and
    // phases out of range; the age always lies within one lunation.
    double age = reduce(days, kSynodicMonth);
    double p = age / kSynodicMonth;
    if (p >= 1.0) p = 0.0; // a tiny negative remainder rounded up to a whole lunation

    MoonInfo info;
    info.phaseName = phaseName(p);
    info.illuminated = (1.0 - std::cos(2.0 * std::numbers::pi * p)) / 2.0;
    info.waxing = p < 0.5;
    info.daysToFull = roundedDays((p <= 0.5 ? 0.5 - p : 1.5 - p) * kSynodicMonth);
    info.daysToNew = roundedDays((1.0 - p) * kSynodicMonth);
    return info;
}

} // namespace velk
