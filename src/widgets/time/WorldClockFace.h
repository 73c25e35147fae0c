#pragma once
// Up to three cities side by side, each with its name and local time; the home city carries an
// accent dot and cities where it is night are dimmed. A dotted rule runs underneath.
#include "platform/core/Date.h"
#include "platform/core/TimeZone.h"
#include "platform/view/View.h"
#include "shared/look/WidgetRoot.h"

#include <vector>

namespace velk {

// Day is 07:00 to 19:59 on the wall clock of `zone`, in the user's calendar.
bool isDaytime(Date date, const TimeZone& zone);

struct ClockWorld {
    // Columns shown at most; later zones are left out.
    static constexpr int kMaxColumns = 3;
    // Opacity of a city's time while it is night there.
    static constexpr double kNightOpacity = 0.55;

    Date date;
    std::vector<TimeZone> zones;
    int homeIndex = 0;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

private:
    view::View column(int position) const;
};

} // namespace velk
