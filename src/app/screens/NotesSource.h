#pragma once
// What the notes sheet needs of the app's notes: the list in its order (newest added first)
// and the three changes, each saved by the store before it returns, and a signal after each.
// The app's notes store answers it through a thin adapter.
#include "shared/models/NoteRecords.h"

#include <QList>
#include <QObject>
#include <optional>

namespace velk::app {

class NotesSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual QList<NoteItem> notes() const = 0;
    virtual void add(const QString& text) = 0;
    virtual void remove(const NoteItem& note) = 0;
    virtual void togglePin(const NoteItem& note) = 0;
    // Where an unreadable notes file was moved aside, once a change has done so.
    virtual std::optional<QString> keptAsidePath() const { return std::nullopt; }

signals:
    void notesChanged();
};

} // namespace velk::app
