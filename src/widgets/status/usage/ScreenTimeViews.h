#pragma once
// The four screen-time views: today's total against the budget, the share of the budget burned
// as a dot grid, the top apps as dot bars, and seven days as a dot-column chart. Minute counts
// read as "3H 24M", "45M" or "8H".
#include "shared/look/WidgetRoot.h"
#include "shared/models/UsageRecords.h"

namespace velk {

// Small: today's total, a bar of the budget with any excess in the alert colour, and what is
// left or how far over.
struct ScreenTimeTotal {
    UsageSnapshot data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }
};

// Small: the share of the budget used, in percent and as 70 dots, capped at the full budget.
struct ScreenTimeElapsed {
    UsageSnapshot data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }
};

// Medium: the three most used apps, each bar against the most used; the flagged one in the
// alert colour.
struct ScreenTimeApps {
    UsageSnapshot data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }
};

// Medium: the daily average over the week and one dot column per day, today in the accent.
struct ScreenTimeWeekly {
    UsageSnapshot data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }
};

} // namespace velk
