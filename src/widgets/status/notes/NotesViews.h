#pragma once
// The four notes views: the newest note on a card that invites a new one, the newest note with
// its date, a count with the first three notes, and two pinned notes side by side. The notes
// arrive newest edit first.
#include "shared/look/WidgetRoot.h"
#include "shared/models/NoteRecords.h"

#include <QString>
#include <optional>
#include <vector>

namespace velk {

// Medium: a header with a "+", the note on a card and when it was edited.
struct NotesQuickNote {
    std::optional<NoteItem> note;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }
};

// Small: the note, at most four lines, and when it was edited.
struct NotesSingle {
    std::optional<NoteItem> note;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    // "Today 9:30" for an edit made today, else the month and day ("Mar 4") in the user's
    // locale.
    static QString relative(Date edited);
};

// Small: how many notes there are and the first three, the first one lit.
struct NotesList {
    std::vector<NoteItem> notes;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }
};

// Medium: the two latest pinned notes as cards, the second inverted; the two latest notes
// when none is pinned.
struct NotesPinned {
    std::vector<NoteItem> notes;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    // The notes on the cards, in order: at most two.
    std::vector<NoteItem> cards() const;

private:
    view::View pinnedCard(const NoteItem& note, bool inverted, const QString& date) const;
};

} // namespace velk
