#pragma once
// The four battery views, each drawn from one power snapshot: the computer's charge as a ring
// and as a large number, one row per device, and today's power log. They hold no state and
// react to no tap.
#include "shared/look/WidgetRoot.h"
#include "shared/models/PowerRecords.h"

#include <QString>

namespace velk {

// Small: the computer's charge as a ring with the number in it.
struct BatteryRing {
    PowerSnapshot data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    // The computer the ring stands for: the sample keeps its own name, live data names this
    // machine.
    QString label() const;
};

// Small: the charge as a large number over a dot bar, and what is left of it.
struct BatteryPercent {
    PowerSnapshot data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    // "Charging", else the time remaining ("— remaining" when there is no estimate).
    QString statusLine() const;
};

// Medium: one row per device in the snapshot's order, low ones in the alert colour.
struct BatteryDevices {
    PowerSnapshot data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    // 20 percent or less.
    static bool isLow(qint64 percent) { return percent <= 20; }
};

// Medium: charging or not, the last three log lines (newest at the bottom) and a dot bar.
struct BatteryLog {
    PowerSnapshot data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }
};

} // namespace velk
