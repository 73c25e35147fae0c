#include "shared/data/config/ConfigIntents.h"

namespace velk {

namespace {

bool isTrimmedSpace(QChar c)
{
    return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space;
}

QString trimmedSymbol(const QString& field)
{
    qsizetype begin = 0;
    qsizetype end = field.size();
    while (begin < end && isTrimmedSpace(field.at(begin)))
        ++begin;
    while (end > begin && isTrimmedSpace(field.at(end - 1)))
        --end;
    return field.mid(begin, end - begin).toUpper();
}

// A city's zone; an unset city takes the fallback zone when the platform knows it.
TimeZone zoneOf(const std::optional<TimeZoneEntity>& city, const char* fallbackIdentifier)
{
    if (city) return city->timeZone();
    if (fallbackIdentifier)
        if (auto zone = TimeZone::named(QString::fromLatin1(fallbackIdentifier))) return *zone;
    return TimeZone::current();
}

} // namespace

QStringList WatchlistConfigIntent::symbols() const
{
    QStringList out;
    for (const QString* field : {&symbol1, &symbol2, &symbol3}) {
        QString symbol = trimmedSymbol(*field);
        if (!symbol.isEmpty()) out.append(std::move(symbol));
    }
    return out;
}

TimeZone ClockConfigIntent::timeZone() const
{
    return zoneOf(city, nullptr);
}

std::array<TimeZone, 3> WorldClockConfigIntent::zones() const
{
    return {zoneOf(city1, nullptr), zoneOf(city2, "America/New_York"), zoneOf(city3, "Asia/Tokyo")};
}

} // namespace velk
