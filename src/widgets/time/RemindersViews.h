#pragma once
// The four reminders views, drawn from one snapshot. Only the checklist and the today list
// are interactive (a toggle per row); the others draw no button.
#include "shared/look/WidgetRoot.h"
#include "shared/models/ReminderRecords.h"

#include <QString>
#include <vector>

namespace velk {

// Medium: a header with the count of open reminders, then up to three rows, the last
// completed reminder first.
struct RemindersChecklist {
    RemindersSnapshot data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    // The reminders the checklist may show, in order: the last done one, then every open one.
    std::vector<ReminderItem> rows() const;

private:
    view::View reminderRow(const ReminderItem& item) const;
};

// Small: a countdown to the next reminder and its title, or a clear state.
struct RemindersNextUp {
    RemindersSnapshot data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    // Minutes under an hour as they are (negative ones too), else whole hours and "H".
    static QString countdownText(qint64 minutes);
    // What stands under the countdown: "Min" under an hour, else the minutes past the hour and "M".
    static QString countdownUnit(qint64 minutes);
};

// Small: the one reminder to do now, or an all-done state.
struct RemindersSingle {
    RemindersSnapshot data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    // The first open urgent reminder, else the first open one.
    std::optional<ReminderItem> focus() const;
};

// Large: up to five rows, how many are done, and a dot bar of the share done.
struct RemindersToday {
    RemindersSnapshot data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }
};

} // namespace velk
