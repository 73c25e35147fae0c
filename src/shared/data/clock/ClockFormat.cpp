#include "shared/data/clock/ClockFormat.h"

#include "platform/core/DateFormatter.h"
#include "platform/core/Defaults.h"
#include "platform/core/Locale.h"

#include <cstdlib>

namespace velk {

namespace {

DateFormatter posixFormatter(const TimeZone& timeZone)
{
    DateFormatter f;
    f.setLocale(Locale(QStringLiteral("en_US_POSIX")));
    f.setTimeZone(timeZone);
    return f;
}

} // namespace

bool ClockFormat::uses24Hour()
{
    switch (Defaults::shared().integer(kTimeFormatKey)) {
    case 12: return false;
    case 24: return true;
    default: break;
    }
    const QString pattern = DateFormatter::dateFormat(QStringLiteral("j"), 0, Locale::current())
                                .value_or(QStringLiteral("H"));
    return pattern.contains(QLatin1Char('H')) || pattern.contains(QLatin1Char('k'));
}

QString ClockFormat::hhmm(Date date, const TimeZone& timeZone)
{
    DateFormatter f = posixFormatter(timeZone);
    f.setDateFormat(uses24Hour() ? QStringLiteral("HH:mm") : QStringLiteral("h:mm"));
    return f.string(date);
}

ClockFormat::Parts ClockFormat::parts(Date date, const TimeZone& timeZone)
{
    DateFormatter f = posixFormatter(timeZone);
    f.setDateFormat(uses24Hour() ? QStringLiteral("HH") : QStringLiteral("h"));
    Parts p;
    p.hh = f.string(date);
    f.setDateFormat(QStringLiteral("mm"));
    p.mm = f.string(date);
    return p;
}

QString ClockFormat::gmtLabel(const TimeZone& timeZone, Date at)
{
    const int s = timeZone.secondsFromGMT(at);
    const int h = s / 3600; // truncates toward zero
    const int r = std::abs(s - h * 3600);
    // The sign comes from the whole offset, so half an hour behind GMT still reads "GMT-0:30".
    QString label = QStringLiteral("GMT%1%2").arg(s < 0 ? QLatin1Char('-') : QLatin1Char('+')).arg(std::abs(h));
    if (r > 59)
        label += QStringLiteral(":%1").arg(r / 60, 2, 10, QLatin1Char('0'));
    return label;
}

} // namespace velk
