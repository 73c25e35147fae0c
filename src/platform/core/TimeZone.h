#pragma once
// A time zone of the tz database, backed by ICU. An immutable value: copies share one ICU zone,
// and every member is safe to call from any thread.
#include "platform/core/Date.h"
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class TimeZone;
class BasicTimeZone;
U_NAMESPACE_END

namespace velk {

class TimeZone {
public:
    // The zone with that identifier ("Europe/Paris", an alias such as "Asia/Calcutta", "UTC",
    // "GMT+05:30"), keeping the identifier as given; nothing when no zone has it.
    static std::optional<TimeZone> named(const QString& identifier);
    // The user's zone: the pinned one when set, else the system's (TZ, /etc/localtime).
    static TimeZone current();
    // Pins current() process-wide (tests); nullopt returns to the system's zone.
    static void setCurrent(const std::optional<TimeZone>& zone);
    static TimeZone utc();
    static TimeZone gmt();

    // The location zones of the tz database, sorted, as the system's zone table lists them;
    // ICU's own list when that table cannot be read. Only zones named() knows are listed.
    static QStringList knownTimeZoneIdentifiers();
    static QStringList knownTimeZoneIdentifiers(const QString& zoneTablePath);

    QString identifier() const;
    // The offset from GMT at that moment, daylight saving time included.
    int secondsFromGMT(Date at) const;
    // The short name at that moment ("EST", "EDT"), or the GMT form ("GMT+1") where the zone has
    // no short name in English.
    QString abbreviation(Date at) const;
    bool isDaylightSavingTime(Date at) const;

    const icu::TimeZone& icuZone() const { return *zone_; }
    // The same zone with its transitions (every zone ICU makes has them); null otherwise.
    const icu::BasicTimeZone* icuBasicZone() const { return basic_; }

    friend bool operator==(const TimeZone& a, const TimeZone& b) { return a.identifier() == b.identifier(); }

private:
    explicit TimeZone(std::shared_ptr<const icu::TimeZone> zone);
    std::shared_ptr<const icu::TimeZone> zone_;
    const icu::BasicTimeZone* basic_ = nullptr;
};

// Pins TimeZone::current() for the life of a scope (tests). The identifier must name a zone.
class TimeZonePin {
public:
    explicit TimeZonePin(const QString& identifier) { TimeZone::setCurrent(TimeZone::named(identifier)); }
    ~TimeZonePin() { TimeZone::setCurrent(std::nullopt); }
    TimeZonePin(const TimeZonePin&) = delete;
    TimeZonePin& operator=(const TimeZonePin&) = delete;
};

} // namespace velk
