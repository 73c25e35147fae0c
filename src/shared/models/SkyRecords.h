#pragma once
// Air quality, daylight, moon, year progress and the daily quote, with the texts their views
// show.
#include "platform/core/Coding.h"
#include "platform/core/Date.h"
#include "shared/models/RecordEquality.h"

#include <QString>

namespace velk {

struct AirQualitySnapshot {
    qint64 aqi = 0; // US air-quality index
    Date updated;

    VELK_FIELDS(AirQualitySnapshot, aqi, updated)
    VELK_RECORD_EQUALITY(AirQualitySnapshot)

    // The band of aqi: "Good", "Moderate", "Unhealthy for some", "Unhealthy", "Very unhealthy",
    // "Hazardous".
    QString category() const;

    static AirQualitySnapshot sample();
};

struct DaylightInfo {
    Date sunrise;
    Date sunset;
    QString place;

    VELK_FIELDS(DaylightInfo, sunrise, sunset, place)
    VELK_RECORD_EQUALITY(DaylightInfo)

    // The day length as "15H 40M"; both numbers negative when sunset precedes sunrise.
    QString lengthLabel() const;

    // Sunrise 05:02 and sunset 20:42 of the current day in the user's calendar, "London".
    static DaylightInfo sample();
};

struct MoonInfo {
    QString phaseName;
    double illuminated = 0;
    bool waxing = false;
    qint64 daysToFull = 0; // 0: full moon tonight
    qint64 daysToNew = 0;  // 0: new moon tonight

    VELK_FIELDS(MoonInfo, phaseName, illuminated, waxing, daysToFull, daysToNew)
    VELK_RECORD_EQUALITY(MoonInfo)

    // "Full moon tonight", "New moon tonight", "Full in N days" or "New in N days".
    QString detail() const;
};

// Never stored: computed from a date whenever it is needed.
struct YearInfo {
    qint64 year = 0;
    qint64 dayOfYear = 1; // 1 for the first day
    qint64 daysInYear = 365;

    friend bool operator==(const YearInfo&, const YearInfo&) = default;

    // The year, day of year and length of year of `date` in the user's current calendar and
    // time zone.
    static YearInfo current(Date date);
};

struct QuoteItem {
    QString text;
    QString author;

    VELK_FIELDS(QuoteItem, text, author)
    VELK_RECORD_EQUALITY(QuoteItem)
};

} // namespace velk
