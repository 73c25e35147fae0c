#pragma once
// The user's reminders and events, read from iCalendar files: every *.ics file directly in the
// store's root (the collection "") and in each of its folders (one collection per folder, the
// layout CalDAV sync tools keep). Default root: $XDG_DATA_HOME/velk/calendars.
//
// A store takes the files as they are at its first fetch and answers every later fetch from
// that; make a new store to see later changes. Stores are cheap: every store over the same root,
// in any thread, shares one parse of the files, made again only when a file was added, removed
// or changed (its size, modification or change time, or inode differ), and shares the answers
// worked out from that parse (the reminders with their dates, the events of a span), so the
// widgets of a reload wave expand repeating events once. A new store costs a `stat` of each
// folder and file while nothing changed (a folder is listed again only when its own stamp
// changed), and a reader may simply make one per read. A file rewritten in place to the same
// size within the file system's time resolution is not seen as changed; sync tools and our own
// saves replace files by renaming, which always is. A file that cannot be read is skipped with
// a log line (once per parse), one we may not read is passed over, and neither stops the
// others. One store is for one thread at a time; the shared parse and its answers are safe to
// share.
//
// Fetches answer nothing and saves fail while the user has not given full access to that kind
// of item (CalendarAccess).
//
// Order of answers: collections by name, files by name, items in file order; completed
// reminders by completion date (oldest first), events by start.
#include "platform/calendar/CalendarAccess.h"
#include "platform/calendar/CalendarItems.h"
#include "platform/core/TimeZone.h"

#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace velk {

class CalendarStore {
public:
    explicit CalendarStore(QString root = defaultRoot());
    ~CalendarStore();
    CalendarStore(const CalendarStore&) = delete;
    CalendarStore& operator=(const CalendarStore&) = delete;

    static QString defaultRoot();
    QString root() const { return root_; }

    static CalendarAuthorizationStatus authorizationStatus(CalendarEntityType type)
    {
        return CalendarAccess::status(type);
    }

    // Incomplete reminders due in [dueFrom, dueBefore). Without a lower bound, overdue ones and
    // those without a due date are included too.
    std::vector<CalendarReminder> incompleteReminders(std::optional<Date> dueFrom, std::optional<Date> dueBefore);
    // Completed reminders whose completion date lies in [from, before).
    std::vector<CalendarReminder> completedReminders(std::optional<Date> from, std::optional<Date> before);
    // Events and instances of repeating events overlapping [start, end).
    std::vector<CalendarEvent> events(Date start, Date end);
    // The reminder or event with that identifier (for a repeating event, the identifier of any
    // instance names the event as a whole).
    std::optional<CalendarItem> calendarItem(const QString& identifier);

    // Writes the reminder's completion into its file, replacing the file in one step; the rest of
    // the file is kept as it is. False, with `error` set and the file untouched, when it cannot.
    bool saveReminder(const CalendarReminder& reminder, QString* error = nullptr);

    struct Loaded; // the parsed files of a root, shared read-only

private:
    const Loaded& loaded();
    // Every reminder of the parse with its dates resolved in `zone`, worked out once per parse
    // and zone.
    std::shared_ptr<const std::vector<CalendarReminder>> allReminders(const TimeZone& zone);
    static std::shared_ptr<const Loaded> parsedFiles(const QString& root);

    QString root_;
    std::shared_ptr<const Loaded> loaded_;
};

} // namespace velk
