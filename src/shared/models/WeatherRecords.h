#pragma once
// One place's current weather, its coming days and hours of rain chance, as fetched (Celsius).
#include "platform/core/Coding.h"
#include "platform/core/Date.h"
#include "shared/models/RecordEquality.h"

#include <QString>

#include <optional>
#include <vector>

namespace velk {

struct WeatherSnapshot {
    struct Day {
        QString label; // short day name; also the identity
        qint64 high = 0;
        qint64 low = 0;
        bool isPeak = false;

        VELK_FIELDS(Day, label, high, low, isPeak)
        VELK_RECORD_EQUALITY(Day)

        const QString& id() const { return label; }
    };

    struct RainHour {
        QString label;     // the hour as display text; also the identity
        double chance = 0; // 0...1
        bool isPeak = false;

        VELK_FIELDS(RainHour, label, chance, isPeak)
        VELK_RECORD_EQUALITY(RainHour)

        const QString& id() const { return label; }
    };

    QString place;
    qint64 temperature = 0;
    QString condition;
    qint64 high = 0;
    qint64 low = 0;
    qint64 feelsLike = 0;
    bool isNight = false;
    std::vector<Day> days;
    double rainChance = 0;
    std::vector<RainHour> rainHours;
    Date updated;
    std::optional<qint64> code; // WMO weather interpretation code

    VELK_FIELDS(WeatherSnapshot, place, temperature, condition, high, low, feelsLike, isNight, days, rainChance,
                rainHours, updated, code)
    VELK_RECORD_EQUALITY(WeatherSnapshot)

    // The symbol name drawn for a weather code by day or by night.
    static QString symbol(qint64 code, bool isNight);

    // A copy with every temperature (current, high, low, feels-like, each day's high and low)
    // converted to whole degrees Fahrenheit. Apply once, to a Celsius snapshot.
    WeatherSnapshot inFahrenheit() const;

    // "updated" is the clock at each call.
    static WeatherSnapshot sample();
};

} // namespace velk
