#pragma once
// The digital faces: the small dot-matrix clock (place, time, date), the stacked hours over
// minutes with the zone's offset written sideways, and the medium clock with the full date and
// a row of dots that fills as the hour passes.
#include "platform/core/Date.h"
#include "platform/core/TimeZone.h"
#include "platform/view/View.h"
#include "shared/look/WidgetRoot.h"

#include <QString>
#include <optional>

namespace velk {

struct ClockMatrixSmall {
    Date date;
    TimeZone timeZone = TimeZone::utc();
    // The chosen city's name; without one the zone's city name is shown.
    std::optional<QString> place;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    QString placeLabel() const;
    // "Wed, Dec 9" in the user's locale and the desktop's own zone.
    QString shortDate() const;
};

struct ClockStacked {
    Date date;
    TimeZone timeZone = TimeZone::utc();
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }
};

struct ClockMatrixMedium {
    Date date;
    TimeZone timeZone = TimeZone::utc();
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    // "Wednesday, December 9" in the user's locale and the desktop's own zone.
    QString longDate() const;
};

} // namespace velk
