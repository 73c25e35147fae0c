#pragma once
// A city the user picks for a clock widget: a zone identifier of the tz database, shown by its
// city name. The identifier is stored and compared exactly as given; readers fall back to the
// current zone when it names no zone.
#include "platform/core/TimeZone.h"
#include "platform/intents/AppEntity.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace velk {

// The city part of a zone identifier: the last non-empty piece between "/", with "_" as a
// space ("America/Argentina/Buenos_Aires" -> "Buenos Aires"). An identifier with no piece at
// all ("", "/") is its own city name.
QString cityName(const QString& zoneIdentifier);

struct TimeZoneQuery;

struct TimeZoneEntity {
    static constexpr const char* typeDisplayName = "City";
    using Query = TimeZoneQuery;

    QString id;

    QString displayTitle() const { return cityName(id); }
    // The zone the identifier names, or the current zone when it names none.
    TimeZone timeZone() const;

    friend bool operator==(const TimeZoneEntity&, const TimeZoneEntity&) = default;
};

struct TimeZoneQuery {
    // The zones the suggestion list always offers, in the order offered.
    static const QStringList& suggestedIdentifiers();
    // At most this many search results.
    static constexpr int kSearchLimit = 12;

    // One entity per identifier, in order, unchecked and duplicates kept.
    std::vector<TimeZoneEntity> entitiesFor(const QStringList& identifiers) const;
    // The first kSearchLimit known zones whose city name contains text (case-insensitive, in the
    // current locale), in the platform's order. Regions are not searched.
    std::vector<TimeZoneEntity> entitiesMatching(const QString& text) const;
    // The suggested zones, led by the current zone when it is not one of them.
    std::vector<TimeZoneEntity> suggestedEntities() const;
    // The current zone.
    std::optional<TimeZoneEntity> defaultResult() const;

    // The search over a given list of identifiers (entitiesMatching uses the platform's list).
    static std::vector<TimeZoneEntity> search(const QStringList& identifiers, const QString& text);
};

} // namespace velk
