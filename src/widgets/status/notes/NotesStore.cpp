#include "widgets/status/notes/NotesStore.h"

#include "platform/core/Coding.h"
#include "platform/core/Defaults.h"
#include "platform/core/GroupContainer.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace velk {

QString NotesStore::fileURL()
{
    const std::optional<QString> container = GroupContainer::url(Defaults::kAppGroupSuite);
    return QDir(container.value_or(QDir::tempPath())).filePath(kFileName);
}

std::vector<NoteItem> NotesStore::latest()
{
    QFile file(fileURL());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    std::vector<NoteItem> notes = decodeJson<std::vector<NoteItem>>(file.readAll()).value_or(std::vector<NoteItem>{});
    std::stable_sort(notes.begin(), notes.end(),
                     [](const NoteItem& a, const NoteItem& b) { return a.edited.sinceReference > b.edited.sinceReference; });
    return notes;
}

} // namespace velk
