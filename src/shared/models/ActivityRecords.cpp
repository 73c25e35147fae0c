#include "shared/models/ActivityRecords.h"

#include "platform/core/Clock.h"

namespace velk {

StopwatchState StopwatchState::sample()
{
    return StopwatchState{Clock::now().addingSeconds(-287.3), {61.1, 133.4, 214.5}};
}

FocusSession FocusSession::sample()
{
    return FocusSession{Clock::now().addingSeconds(932), 25};
}

const std::vector<HabitItem>& HabitItem::samples()
{
    static const std::vector<HabitItem> rows{
        HabitItem(QStringLiteral("Run")),
        HabitItem(QStringLiteral("Read")),
        HabitItem(QStringLiteral("No sugar")),
    };
    return rows;
}

const std::vector<HabitWeekRow>& HabitWeekRow::samples()
{
    static const std::vector<HabitWeekRow> rows{
        {QUuid::createUuid(), QStringLiteral("Run"), 7, 7},
        {QUuid::createUuid(), QStringLiteral("Read"), 5, 7},
        {QUuid::createUuid(), QStringLiteral("No sugar"), 2, 7},
    };
    return rows;
}

} // namespace velk
