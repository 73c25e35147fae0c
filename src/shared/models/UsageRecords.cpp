#include "shared/models/UsageRecords.h"

namespace velk {

const UsageSnapshot& UsageSnapshot::sample()
{
    static const UsageSnapshot s{
        204,
        180,
        {
            {QStringLiteral("Terminal"), 72, false},
            {QStringLiteral("Safari"), 47, false},
            {QStringLiteral("Messages"), 36, true},
        },
        {
            {QStringLiteral("Thu"), 250, false, false},
            {QStringLiteral("Fri"), 200, false, false},
            {QStringLiteral("Sat"), 300, false, false},
            {QStringLiteral("Sun"), 150, false, false},
            {QStringLiteral("Mon"), 250, false, false},
            {QStringLiteral("Tue"), 350, false, true},
            {QStringLiteral("Wed"), 204, true, false},
        },
    };
    return s;
}

} // namespace velk
