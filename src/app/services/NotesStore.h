#pragma once
// The user's notes: "notes.json" in the app group's container, a JSON array of NoteItem in the
// store's order (newest added first). The app is its only writer; the notes widgets read it
// from their own process, so every change rewrites the whole file atomically (a new file
// beside it, flushed, then renamed over it): a reader, or a crash at any moment, finds either
// the old list or the new one.
//
// A file that is there but cannot be read or decoded is not overwritten: before the first
// save it is moved aside to "notes.json.unreadable-<yyyyMMdd-HHmmss>", so the notes in it can
// still be recovered by hand.
#include "shared/models/NoteRecords.h"

#include <QList>
#include <QObject>
#include <QString>
#include <optional>

namespace velk {

class NotesStore : public QObject {
    Q_OBJECT
public:
    // The container of the app group plus "notes.json"; the temporary folder plus "notes.json"
    // when the container cannot be made.
    static QString fileURL();

    // Loads the file at path (fileURL() by default).
    explicit NotesStore(QObject* parent = nullptr);
    explicit NotesStore(QString path, QObject* parent = nullptr);

    const QList<NoteItem>& notes() const { return notes_; }
    // Replaces the list and saves it.
    void setNotes(const QList<NoteItem>& notes);

    void add(const QString& text);
    void remove(const NoteItem& note); // every note with this id ("delete")
    void togglePin(const NoteItem& note);

    // Whether the last save reached the disk; a failed one keeps the previous file.
    bool lastSaveSucceeded() const { return lastSaveSucceeded_; }
    const QString& path() const { return path_; }
    // Where an unreadable file was moved before the first save; nothing when none was.
    const std::optional<QString>& keptAsidePath() const { return keptAside_; }

    // Writes notes to path whole and atomically, readable by the user alone; false (and the
    // file unchanged) on failure, or when the list is larger than a notes file may hold.
    static bool save(const QList<NoteItem>& notes, const QString& path);

signals:
    void notesWillChange();
    void notesChanged();

private:
    void load();
    void change(const QList<NoteItem>& notes);
    // The file's bytes for notes; nothing (and a warning) past the cap.
    static std::optional<QByteArray> encoded(const QList<NoteItem>& notes);
    static bool write(const QByteArray& bytes, const QString& path);
    bool moveUnreadableAside();

    QString path_;
    QList<NoteItem> notes_;
    bool unreadable_ = false;
    std::optional<QString> keptAside_;
    bool lastSaveSucceeded_ = true;
};

} // namespace velk
