#pragma once
// The focus dial and the stopwatch. Both draw their running time with self-updating timer text,
// so one entry serves a whole session or run; the views themselves fix only what they show at
// the moment they are built (the dial's arc, running or idle).
#include "shared/look/WidgetRoot.h"
#include "shared/models/ActivityRecords.h"

#include <QString>

namespace velk {

// Small: a ring that empties over the session with a live countdown in it; the whole face
// starts or stops a session.
struct FocusView {
    FocusSession state;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    static bool isRunning(const FocusSession& state, Date now) { return state.endDate && *state.endDate > now; }
    // The share of the session still to run: 1 at its start and whenever none runs, falling to
    // 0 at its end. A session with no length shows the full ring.
    static double progressFraction(const FocusSession& state, Date now);
};

// Small: a count-up time and the latest lap; the whole face starts and laps, and once a lap
// exists a reset button sits in the bottom row.
struct StopwatchView {
    StopwatchState state;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    // The most recent lap's own length as "mm:ss.s", rounded to tenths before the minutes are
    // taken (119.96 s reads 02:00.0); empty without laps. Laps stored out of order or not as
    // numbers read as 00:00.0.
    static QString lapLabel(const std::vector<double>& laps);
};

} // namespace velk
