#pragma once
// One of the user's short notes; the notes file holds a JSON array of them.
#include "platform/core/Coding.h"
#include "platform/core/Date.h"
#include "shared/models/RecordEquality.h"

#include <QString>
#include <QUuid>

#include <vector>

namespace velk {

// The most the notes file may hold. Thousands of long notes fit; a file past it is refused by
// its readers and the app saves no list past it, so neither the app nor a widget ever loads
// more than this.
inline constexpr qint64 kNotesFileMaxBytes = qint64(8) * 1024 * 1024;

struct NoteItem {
    QUuid id = QUuid::createUuid(); // a note made in code without an id gets a fresh one
    QString text;
    Date edited;
    bool pinned = false;

    NoteItem() = default;
    NoteItem(QString text, Date edited, bool pinned) : text(std::move(text)), edited(edited), pinned(pinned) {}
    NoteItem(QUuid id, QString text, Date edited, bool pinned)
        : id(id), text(std::move(text)), edited(edited), pinned(pinned)
    {}

    VELK_FIELDS(NoteItem, id, text, edited, pinned)
    VELK_RECORD_EQUALITY(NoteItem)

    // Seven notes, dated relative to the clock at each call; their ids are fresh per process.
    static std::vector<NoteItem> samples();
};

} // namespace velk
