#include "shared/models/PowerRecords.h"

#include "shared/models/LocalTimes.h"

namespace velk {

PowerSnapshot PowerSnapshot::sample()
{
    return PowerSnapshot{
        68,
        false,
        QStringLiteral("2H 40M"),
        {
            {QStringLiteral("MacBook"), 68},
            {QStringLiteral("Keyboard"), 84},
            {QStringLiteral("Mouse"), 12},
        },
        {
            {todayAt(7, 40), QStringLiteral("Fully charged at 100%"), false},
            {todayAt(8, 15), QStringLiteral("Disconnected \u00B7 Drain 9%/h"), false},
            {todayAt(16, 32), QStringLiteral("68% \u00B7 2H 40M remaining"), true},
        },
    };
}

} // namespace velk
