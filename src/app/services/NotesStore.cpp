#include "app/services/NotesStore.h"

#include "platform/core/Clock.h"
#include "platform/core/Coding.h"
#include "platform/core/Defaults.h"
#include "platform/core/GroupContainer.h"
#include "platform/core/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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
    QFile file(path_);
    if (!file.exists()) return;
    if (!file.open(QIODevice::ReadOnly)) {
        unreadable_ = true;
        return;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        unreadable_ = true;
        return;
    }
    const auto decoded = decodeJson<std::vector<NoteItem>>(bytes);
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

bool NotesStore::save(const QList<NoteItem>& notes, const QString& path)
{
    const std::optional<QByteArray> bytes = encodeJson(std::vector<NoteItem>(notes.begin(), notes.end()));
    if (!bytes) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qCWarning(lcDefaults) << "notes: cannot write" << path << file.errorString();
        return false;
    }
    // commit() does not notice a buffered write that failed (a full disk), so the data is
    // pushed out and checked before the new file may replace the old one.
    if (file.write(*bytes) != bytes->size() || !file.flush() || file.error() != QFileDevice::NoError) {
        qCWarning(lcDefaults) << "notes: writing" << path << "failed:" << file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        qCWarning(lcDefaults) << "notes: replacing" << path << "failed:" << file.errorString();
        return false;
    }
    return true;
}

void NotesStore::change(const QList<NoteItem>& notes)
{
    emit notesWillChange();
    notes_ = notes;
    emit notesChanged();
    lastSaveSucceeded_ = moveUnreadableAside() && save(notes_, path_);
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
