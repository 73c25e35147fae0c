#pragma once
// The four weather views. Each draws one snapshot as it is given: temperatures are already
// whole degrees in the widget's unit and are printed with a degree sign and no unit letter.
// They fetch nothing and keep nothing.
#include "shared/look/WidgetRoot.h"
#include "shared/models/WeatherRecords.h"

#include <QString>

namespace velk {

// Small: the place, the temperature writ large, the condition and the day's high and low, with
// the condition's symbol in the top corner.
struct WeatherCurrent {
    WeatherSnapshot data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

private:
    view::View weatherContent() const;
};

// Small: the temperature with its degree sign set apart in the accent, and how it feels.
struct WeatherNight {
    WeatherSnapshot data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }
};

// Medium: the current temperature and conditions over one column per coming day.
struct WeatherForecast {
    WeatherSnapshot data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }
};

// Medium: the rain chance now over a dot-column chart of the coming hours.
struct WeatherRain {
    WeatherSnapshot data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    // The chance as shown: whole percent, truncated (0.999 shows 99%). A chance that is not a
    // number shows 0%, one past the ends of 0...1 is held to them.
    static QString percentText(double chance);
};

// The symbol drawn for a snapshot's conditions; a snapshot without a weather code counts as
// partly cloudy (code 2).
QString conditionSymbol(const WeatherSnapshot& data);

} // namespace velk
