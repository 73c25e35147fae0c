#include "shared/data/config/TimeZoneEntity.h"

#include "platform/core/Locale.h"

namespace velk {

QString cityName(const QString& zoneIdentifier)
{
    const QStringList pieces = zoneIdentifier.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (pieces.isEmpty()) return zoneIdentifier;
    QString city = pieces.last();
    city.replace(QLatin1Char('_'), QLatin1Char(' '));
    return city;
}

TimeZone TimeZoneEntity::timeZone() const
{
    return TimeZone::named(id).value_or(TimeZone::current());
}

const QStringList& TimeZoneQuery::suggestedIdentifiers()
{
    static const QStringList ids{
        "Europe/London",    "America/New_York", "America/Los_Angeles", "America/Chicago",     "America/Denver",
        "Europe/Paris",     "Europe/Berlin",    "Europe/Madrid",       "Europe/Amsterdam",    "Asia/Tokyo",
        "Asia/Shanghai",    "Asia/Hong_Kong",   "Asia/Singapore",      "Asia/Dubai",          "Asia/Kolkata",
        "Australia/Sydney", "Pacific/Auckland", "America/Sao_Paulo",   "America/Mexico_City", "America/Toronto",
    };
    return ids;
}

std::vector<TimeZoneEntity> TimeZoneQuery::entitiesFor(const QStringList& identifiers) const
{
    std::vector<TimeZoneEntity> out;
    out.reserve(size_t(identifiers.size()));
    for (const QString& id : identifiers)
        out.push_back({id});
    return out;
}

std::vector<TimeZoneEntity> TimeZoneQuery::search(const QStringList& identifiers, const QString& text)
{
    const Locale locale = Locale::current();
    std::vector<TimeZoneEntity> out;
    for (const QString& id : identifiers) {
        // Later matches could never be kept, so looking further changes nothing.
        if (out.size() == size_t(kSearchLimit)) break;
        if (localizedCaseInsensitiveContains(cityName(id), text, locale)) out.push_back({id});
    }
    return out;
}

std::vector<TimeZoneEntity> TimeZoneQuery::entitiesMatching(const QString& text) const
{
    return search(TimeZone::knownTimeZoneIdentifiers(), text);
}

std::vector<TimeZoneEntity> TimeZoneQuery::suggestedEntities() const
{
    const QString current = TimeZone::current().identifier();
    QStringList ids = suggestedIdentifiers();
    if (!ids.contains(current)) ids.prepend(current);
    return entitiesFor(ids);
}

std::optional<TimeZoneEntity> TimeZoneQuery::defaultResult() const
{
    return TimeZoneEntity{TimeZone::current().identifier()};
}

} // namespace velk
