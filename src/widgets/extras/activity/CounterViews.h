#pragma once
// The water and steps faces: today's count against its goal, the whole face a button that logs
// one more glass or a thousand steps.
#include "shared/look/WidgetRoot.h"
#include "shared/models/ActivityRecords.h"

#include <QString>

namespace velk {

struct WaterView {
    CounterSnapshot data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    // A glass is a quarter litre: 1.25L, 0.50L, and whole litres without decimals (2L, 0L).
    static QString litres(qint64 glasses);
    // Rows of four glasses for the goal; none for a goal that is not positive. A goal far past
    // what the face can show draws no more rows than fit, rather than thousands of dots.
    static qint64 rows(qint64 goal);
    static constexpr qint64 kMaxRows = 25;
};

struct StepsView {
    CounterSnapshot data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }
};

} // namespace velk
