#pragma once
// The check circle that completes (or reopens) a reminder from a widget, and the reminder row
// the checklist and the today list share.
#include "shared/look/WidgetRoot.h"
#include "shared/models/ReminderRecords.h"

namespace velk {

// A button running ToggleReminderIntent for the item. It draws the item as it was given: the
// new state shows when the widget is drawn again from a fresh snapshot.
struct ReminderToggle {
    ReminderItem item;
    Color circleColor;
    Color checkColor;
    qreal diameter = 16;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }
};

// Sizes of a reminder row, in design points.
struct ReminderRowStyle {
    qreal spacing = 11;
    qreal toggleDiameter = 15;
    qreal titleSize = 11;
};

// Toggle, title (struck through and faint when done), and the due time of an open reminder,
// in the alert colour when it is urgent.
view::View reminderRow(const ReminderItem& item, const ReminderRowStyle& style, const WCtx& ctx);

} // namespace velk
