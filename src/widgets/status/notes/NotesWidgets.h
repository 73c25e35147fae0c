#pragma once
// The four notes widgets and their shared timeline: one entry of the notes file, read again
// every hour (and whenever the app changes a note). A gallery preview shows the sample notes;
// a placed widget shows the file, or no notes when there is none to read.
#include "platform/timeline/WidgetDefinition.h"
#include "shared/models/NoteRecords.h"
#include "shared/widget/LocalProvider.h"

#include <vector>

namespace velk {

inline const char* const kNotesWidgetURL = "velkwidgets://notes";
inline const char* const kNewNoteWidgetURL = "velkwidgets://notes/new";

struct NotesProvider : LocalProvider<std::vector<NoteItem>> {
    static constexpr int kReloadMinutes = 60;

    NotesProvider();
};

struct NotesQuickWidget {
    timeline::WidgetDefinition body() const;
};

struct NotesSingleWidget {
    timeline::WidgetDefinition body() const;
};

struct NotesListWidget {
    timeline::WidgetDefinition body() const;
};

struct NotesPinnedWidget {
    timeline::WidgetDefinition body() const;
};

} // namespace velk
