#pragma once
// The sky widgets' faces: the moon as a lit dot disc, the sun on its arc between sunrise and
// sunset, and the air-quality index with its band.
#include "platform/core/Date.h"
#include "shared/look/WidgetRoot.h"
#include "shared/models/SkyRecords.h"

namespace velk {

// Small: the phase as a disc of dots lit from the side the moon is lit, its name and when the
// next full or new moon comes.
struct MoonView {
    MoonInfo data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }
};

// Medium: the day's length, seven dots on an arc with the sun among them, and the two times.
struct DaylightView {
    DaylightInfo data;
    Date date; // the moment drawn
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    // How far the day has run at `date`: 0 before sunrise, 1 after sunset.
    static double progress(const DaylightInfo& data, Date date);
    // The arc dot (0...6) the sun sits on.
    static int sunIndex(double progress);
};

// Small: the index, a bar full from 150, and the band's name.
struct AirQualityView {
    AirQualitySnapshot data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    // From 101 the index, its bar and its band are drawn in the alert colour.
    static constexpr qint64 kHotIndex = 101;
};

} // namespace velk
