#include "app/services/NotesStore.h"

#include "platform/core/Clock.h"
#include "platform/core/Coding.h"
#include "platform/core/Defaults.h"
#include "platform/core/FileSave.h"
#include "platform/core/GroupContainer.h"
#include "platform/core/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <vector>

namespace velk {

QString NotesStore::fileURL()
{
    if (const std::optional<QString> container = GroupContainer::url(Defaults::kAppGroupSuite))
        return *container + QStringLiteral("/notes.json");
    return QDir::tempPath() + QStringLiteral("/notes.json");
}

NotesStore::NotesStore(QObject* parent) : NotesStore(fileURL(), parent) {}

NotesStore::NotesStore(QString path, QObject* parent) : QObject(parent), path_(std::move(path))
{
    load();
}

void NotesStore::load()
{
    QString why;
    bool missing = false;
    // A FIFO, a device or a file past the cap at the path is refused without waiting on it,
    // and kept aside like any other file that cannot be read.
    const std::optional<QByteArray> bytes = readRegularFile(path_, kNotesFileMaxBytes, &why, &missing);
    if (!bytes) {
        if (missing) return;
        qCWarning(lcDefaults) << "notes: not read:" << why;
        unreadable_ = true;
        return;
    }
    const auto decoded = decodeJson<std::vector<NoteItem>>(*bytes);
    if (!decoded) {
        unreadable_ = true;
        return;
    }
    notes_ = QList<NoteItem>(decoded->begin(), decoded->end());
}

bool NotesStore::moveUnreadableAside()
{
    if (!unreadable_) return true;
    if (!QFileInfo::exists(path_)) {
        unreadable_ = false;
        return true;
    }
    const QString stamp = Clock::now().toQDateTime().toLocalTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = path_ + QStringLiteral(".unreadable-") + stamp;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = path_ + QStringLiteral(".unreadable-") + stamp + u'-' + QString::number(n);
    if (!QFile::rename(path_, aside)) {
        qCWarning(lcDefaults) << "notes: cannot move the unreadable" << path_ << "aside; not saving over it";
        return false;
    }
    qCWarning(lcDefaults) << "notes: the unreadable" << path_ << "was kept as" << aside;
    unreadable_ = false;
    keptAside_ = aside;
    return true;
}

std::optional<QByteArray> NotesStore::encoded(const QList<NoteItem>& notes)
{
    std::optional<QByteArray> bytes = encodeJson(std::vector<NoteItem>(notes.begin(), notes.end()));
    if (bytes && bytes->size() > kNotesFileMaxBytes) {
        qCWarning(lcDefaults) << "notes: the list would take" << bytes->size() << "bytes, more than the"
                              << kNotesFileMaxBytes << "a notes file may hold; it is not saved";
        return std::nullopt;
    }
    return bytes;
}

bool NotesStore::write(const QByteArray& bytes, const QString& path)
{
    QString error;
    // The user's notes are theirs alone, as is all other state.
    if (saveFileAtomically(path, bytes, &error, FileAccess::ownerOnly)) return true;
    qCWarning(lcDefaults) << "notes:" << error;
    return false;
}

bool NotesStore::save(const QList<NoteItem>& notes, const QString& path)
{
    const std::optional<QByteArray> bytes = encoded(notes);
    return bytes && write(*bytes, path);
}

void NotesStore::change(const QList<NoteItem>& notes)
{
    // A list the file could not hold is not taken: what is shown stays what is saved.
    const std::optional<QByteArray> bytes = encoded(notes);
    if (!bytes) {
        lastSaveSucceeded_ = false;
        return;
    }
    emit notesWillChange();
    notes_ = notes;
    emit notesChanged();
    lastSaveSucceeded_ = moveUnreadableAside() && write(*bytes, path_);
}

void NotesStore::setNotes(const QList<NoteItem>& notes)
{
    change(notes);
}

void NotesStore::add(const QString& text)
{
    QList<NoteItem> next = notes_;
    next.prepend(NoteItem(QUuid::createUuid(), text, Clock::now(), false));
    change(next);
}

void NotesStore::remove(const NoteItem& note)
{
    QList<NoteItem> next = notes_;
    next.removeIf([&](const NoteItem& n) { return n.id == note.id; });
    change(next);
}

void NotesStore::togglePin(const NoteItem& note)
{
    QList<NoteItem> next = notes_;
    for (NoteItem& n : next) {
        if (n.id != note.id) continue;
        n.pinned = !n.pinned;
        change(next);
        return;
    }
}

} // namespace velk
