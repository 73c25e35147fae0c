#pragma once
// Tells when the calendar files change: a file added, removed, renamed or rewritten anywhere in
// the store (by a sync tool, another program, or our own saves). A burst of changes (a sync run
// writing many files) gives one signal once it settles.
#include "platform/calendar/CalendarStore.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

namespace velk {

class CalendarStoreWatcher : public QObject {
    Q_OBJECT
public:
    // Creates the root when it does not exist yet, so that the first collection a sync tool
    // makes is seen.
    explicit CalendarStoreWatcher(QString root = CalendarStore::defaultRoot(), QObject* parent = nullptr,
                                  int settleMs = 250);

    QString root() const { return root_; }

signals:
    void changed();

private:
    void rewatch();
    void noteChange();

    QString root_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
};

} // namespace velk
