#pragma once
// Where the user's notes live and how the widgets read them. The app writes "notes.json" in the
// app group's container whole and replaces it atomically; the widgets only ever read it, whole,
// on every request.
#include "shared/models/NoteRecords.h"

#include <QString>
#include <vector>

namespace velk {

class NotesStore {
public:
    NotesStore() = delete;

    static inline const QString kFileName = QStringLiteral("notes.json");

    // notes.json in the app group's container; in the temporary folder when there is no
    // container (where it normally does not exist).
    static QString fileURL();

    // Every note in the file, the latest edit first (equal edits keep the file's order). Never
    // fails: a missing, unreadable, empty or undecodable file gives no notes, and the file is
    // left exactly as it is.
    static std::vector<NoteItem> latest();
};

} // namespace velk
