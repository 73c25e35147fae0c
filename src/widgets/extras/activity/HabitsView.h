#pragma once
// The habits face: up to three habits, each with this week's check-ins as seven dots; a tap on
// a row checks that habit in for today, or takes today's check-in back.
#include "shared/look/WidgetRoot.h"
#include "shared/models/ActivityRecords.h"

#include <vector>

namespace velk {

struct HabitsView {
    std::vector<HabitWeekRow> rows;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    static constexpr size_t kShownRows = 3;
    // Fewer check-ins than this in a week draw the row in the alert colour.
    static constexpr qint64 kOnTrack = 3;
    // A week has no more than seven days: a larger stored total draws seven dots.
    static constexpr qint64 kMaxDots = 7;
};

} // namespace velk
