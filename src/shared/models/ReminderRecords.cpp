#include "shared/models/ReminderRecords.h"

namespace velk {

const std::vector<ReminderItem>& ReminderItem::samples()
{
    static const std::vector<ReminderItem> rows{
        {QStringLiteral("1"), QStringLiteral("Morning run 5K"), std::nullopt, true, false},
        {QStringLiteral("2"), QStringLiteral("Ship widget beta build"), std::nullopt, true, false},
        {QStringLiteral("3"), QStringLiteral("Call Dana about the press kit"), QStringLiteral("17:00"), false, false},
        {QStringLiteral("4"), QStringLiteral("Water the monstera"), QStringLiteral("18:30"), false, true},
        {QStringLiteral("5"), QStringLiteral("Review App Store copy"), QStringLiteral("21:00"), false, false},
    };
    return rows;
}

const std::vector<EventItem>& EventItem::samples()
{
    static const std::vector<EventItem> rows{
        {QStringLiteral("1"), QStringLiteral("09:30"), std::nullopt, QStringLiteral("Standup \u00B7 widgets team"),
         QStringLiteral("Done"), true, false},
        {QStringLiteral("2"), QStringLiteral("14:00"), QStringLiteral("14:45"),
         QStringLiteral("Design review \u00B7 VELK 1.2"), QStringLiteral("Studio B \u00B7 45 min"), false, false},
        {QStringLiteral("3"), QStringLiteral("17:00"), QStringLiteral("17:30"),
         QStringLiteral("Press kit call \u00B7 Dana"), QStringLiteral("FaceTime \u00B7 30 min"), false, true},
    };
    return rows;
}

} // namespace velk
