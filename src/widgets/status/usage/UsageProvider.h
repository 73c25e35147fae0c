#pragma once
// The timeline of the four screen-time widgets: today's usage from the log the app keeps,
// against the daily budget, in one entry asked for again every 10 minutes. A gallery snapshot
// shows the built-in sample; a placed widget with nothing logged this week shows zero usage
// against the budget, never sample figures. It writes nothing.
#include "shared/models/UsageRecords.h"
#include "shared/widget/LocalProvider.h"

#include <QString>

namespace velk {

struct UsageProvider : LocalProvider<UsageSnapshot> {
    static constexpr int kReloadMinutes = 10;
    static constexpr qint64 kDefaultBudgetMinutes = 480;
    // The daily budget in minutes, written by the app's settings in the shared suite.
    static inline const QString kBudgetKey = QStringLiteral("velk.screenTimeBudgetMinutes");

    UsageProvider();

    // The stored budget when it is above 0, else the default; read afresh at every call.
    static qint64 budget();
    // No usage, no apps, no days, against the budget as it stands now.
    static UsageSnapshot emptySnapshot();
};

} // namespace velk
