#include "widgets/status/notes/NotesStore.h"

#include "platform/core/Coding.h"
#include "platform/core/Defaults.h"
#include "platform/core/FileSave.h"
#include "platform/core/GroupContainer.h"
#include "platform/core/Log.h"

#include <QDir>

#include <algorithm>

namespace velk {

QString NotesStore::fileURL()
{
    const std::optional<QString> container = GroupContainer::url(Defaults::kAppGroupSuite);
    return QDir(container.value_or(QDir::tempPath())).filePath(kFileName);
}

std::vector<NoteItem> NotesStore::latest()
{
    QString why;
    bool missing = false;
    const std::optional<QByteArray> bytes = readRegularFile(fileURL(), kNotesFileMaxBytes, &why, &missing);
    if (!bytes) {
        if (!missing) qCWarning(lcWidgets) << "notes: not read:" << why;
        return {};
    }
    std::vector<NoteItem> notes = decodeJson<std::vector<NoteItem>>(*bytes).value_or(std::vector<NoteItem>{});
    std::stable_sort(notes.begin(), notes.end(), [](const NoteItem& a, const NoteItem& b) {
        return a.edited.sinceReference > b.edited.sinceReference;
    });
    return notes;
}

} // namespace velk
