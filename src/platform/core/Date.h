#pragma once
// A moment in time as the system's records store it: seconds since 2001-01-01 00:00:00 UTC,
// with a fraction. Calendars, zones and formatting live in Calendar.h.
#include <QDateTime>
#include <cmath>
#include <compare>

namespace velk {

struct Date {
    // Seconds between 1970-01-01 and 2001-01-01, both UTC.
    static constexpr double kReferenceToUnix = 978307200.0;

    double sinceReference = 0;

    constexpr Date() = default;
    constexpr explicit Date(double secondsSinceReference) : sinceReference(secondsSinceReference) {}

    static constexpr Date fromUnix(double unixSeconds) { return Date(unixSeconds - kReferenceToUnix); }
    static Date fromQDateTime(const QDateTime& dt) { return fromUnix(double(dt.toMSecsSinceEpoch()) / 1000.0); }
    constexpr double unix() const { return sinceReference + kReferenceToUnix; }
    QDateTime toQDateTime() const
    {
        return QDateTime::fromMSecsSinceEpoch(qint64(std::llround(unix() * 1000.0)), Qt::UTC);
    }

    constexpr Date addingSeconds(double s) const { return Date(sinceReference + s); }
    constexpr double secondsSince(Date other) const { return sinceReference - other.sinceReference; }

    friend constexpr bool operator==(Date a, Date b) { return a.sinceReference == b.sinceReference; }
    friend constexpr auto operator<=>(Date a, Date b) { return a.sinceReference <=> b.sinceReference; }
};

} // namespace velk
