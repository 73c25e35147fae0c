#pragma once
// The check circle beside a reminder in the reminders widgets: completes the reminder, or
// reopens a completed one, without opening the app.
#include "platform/intents/Intent.h"

#include <QString>
#include <tuple>

namespace velk {

struct ToggleReminderIntent {
    static constexpr const char* typeName = "ToggleReminderIntent";
    static constexpr const char* title = "Complete Reminder";

    QString reminderID; // the reminder's identifier, as ReminderItem::id holds it

    ToggleReminderIntent() = default;
    explicit ToggleReminderIntent(QString id) : reminderID(std::move(id)) {}

    static auto parameters()
    {
        return std::make_tuple(intents::parameter("reminderID", "Reminder ID", &ToggleReminderIntent::reminderID));
    }

    // Hands the work to EventSync::toggleReminder; throws StoreWriteError, with its reason,
    // when the id names no reminder or the change was not saved.
    void perform() const;
};

} // namespace velk
