#include "platform/core/TimeZone.h"

#include "platform/core/FileSave.h"
#include "platform/core/Locale.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <unicode/basictz.h>
#include <unicode/locid.h>
#include <unicode/strenum.h>
#include <unicode/timezone.h>
#include <unicode/tzfmt.h>

namespace velk {

namespace {

const char* const kUnknownZone = "Etc/Unknown";
const char* const kZoneTable = "/usr/share/zoneinfo/zone.tab";

std::mutex g_currentMutex;
std::optional<TimeZone> g_pinned;

UDate toUDate(Date d)
{
    return d.unix() * 1000.0;
}

// Parses the tz database's zone.tab: "CC<tab>coordinates<tab>Zone/Name[<tab>comment]".
QStringList zonesOfTable(const QByteArray& table)
{
    QStringList zones;
    for (const QByteArray& line : table.split('\n')) {
        if (line.isEmpty() || line.startsWith('#')) continue;
        const QList<QByteArray> columns = line.split('\t');
        if (columns.size() >= 3 && !columns[2].trimmed().isEmpty())
            zones.append(QString::fromUtf8(columns[2].trimmed()));
    }
    return zones;
}

QStringList icuLocationZones()
{
    QStringList zones;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::StringEnumeration> ids(
        icu::TimeZone::createTimeZoneIDEnumeration(UCAL_ZONE_TYPE_CANONICAL_LOCATION, nullptr, nullptr, status));
    if (U_FAILURE(status) || !ids) return zones;
    while (const icu::UnicodeString* id = ids->snext(status)) {
        if (U_FAILURE(status)) break;
        zones.append(icutext::fromIcu(*id));
    }
    return zones;
}

} // namespace

TimeZone::TimeZone(std::shared_ptr<const icu::TimeZone> zone)
    : zone_(std::move(zone)), basic_(dynamic_cast<const icu::BasicTimeZone*>(zone_.get()))
{}

std::optional<TimeZone> TimeZone::named(const QString& identifier)
{
    if (identifier.isEmpty()) return std::nullopt;
    std::shared_ptr<const icu::TimeZone> zone(icu::TimeZone::createTimeZone(icutext::toIcu(identifier)));
    if (!zone) return std::nullopt;
    icu::UnicodeString id;
    zone->getID(id);
    if (id == icu::UnicodeString(kUnknownZone) && identifier != QLatin1String(kUnknownZone)) return std::nullopt;
    return TimeZone(std::move(zone));
}

TimeZone TimeZone::current()
{
    {
        std::lock_guard lock(g_currentMutex);
        if (g_pinned) return *g_pinned;
    }
    return TimeZone(std::shared_ptr<const icu::TimeZone>(icu::TimeZone::createDefault()));
}

void TimeZone::setCurrent(const std::optional<TimeZone>& zone)
{
    std::lock_guard lock(g_currentMutex);
    g_pinned = zone;
}

// Made once: every copy shares the one ICU zone.
TimeZone TimeZone::utc()
{
    static const TimeZone zone = *named(QStringLiteral("UTC"));
    return zone;
}

TimeZone TimeZone::gmt()
{
    static const TimeZone zone = *named(QStringLiteral("GMT"));
    return zone;
}

QStringList TimeZone::knownTimeZoneIdentifiers()
{
    return knownTimeZoneIdentifiers(QString::fromLatin1(kZoneTable));
}

QStringList TimeZone::knownTimeZoneIdentifiers(const QString& zoneTablePath)
{
    QStringList zones;
    // The system's table is some tens of kilobytes; a path naming anything else is not read.
    if (const std::optional<QByteArray> table = readRegularFile(zoneTablePath, 4 * 1024 * 1024, nullptr))
        zones = zonesOfTable(*table);
    if (zones.isEmpty()) zones = icuLocationZones();
    // The system's table may be newer than ICU's data; a zone ICU cannot compute would only fall
    // back to the current zone wherever it is chosen, so it is not offered.
    zones.erase(std::remove_if(zones.begin(), zones.end(), [](const QString& id) { return !named(id); }), zones.end());
    zones.sort();
    zones.removeDuplicates();
    return zones;
}

QString TimeZone::identifier() const
{
    icu::UnicodeString id;
    zone_->getID(id);
    return icutext::fromIcu(id);
}

int TimeZone::secondsFromGMT(Date at) const
{
    int32_t raw = 0;
    int32_t dst = 0;
    UErrorCode status = U_ZERO_ERROR;
    zone_->getOffset(toUDate(at), false, raw, dst, status);
    return U_SUCCESS(status) ? (raw + dst) / 1000 : 0;
}

bool TimeZone::isDaylightSavingTime(Date at) const
{
    int32_t raw = 0;
    int32_t dst = 0;
    UErrorCode status = U_ZERO_ERROR;
    zone_->getOffset(toUDate(at), false, raw, dst, status);
    return U_SUCCESS(status) && dst != 0;
}

QString TimeZone::abbreviation(Date at) const
{
    static std::mutex formatMutex;
    static std::unique_ptr<icu::TimeZoneFormat> format = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::TimeZoneFormat> f(icu::TimeZoneFormat::createInstance(icu::Locale("en_US"), status));
        return U_SUCCESS(status) ? std::move(f) : nullptr;
    }();
    icu::UnicodeString name;
    if (format) {
        std::lock_guard lock(formatMutex);
        format->format(UTZFMT_STYLE_SPECIFIC_SHORT, *zone_, toUDate(at), name);
    }
    if (!name.isEmpty()) return icutext::fromIcu(name);
    // Without ICU's names, the plain offset still identifies the zone's time.
    const int s = secondsFromGMT(at);
    const int h = s / 3600;
    const int m = std::abs(s % 3600) / 60;
    QString text = QStringLiteral("GMT%1%2").arg(s < 0 ? QLatin1Char('-') : QLatin1Char('+')).arg(std::abs(h));
    if (m) text += QStringLiteral(":%1").arg(m, 2, 10, QLatin1Char('0'));
    return text;
}

} // namespace velk
