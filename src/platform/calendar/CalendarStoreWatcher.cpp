#include "platform/calendar/CalendarStoreWatcher.h"

#include "platform/core/GroupContainer.h"
#include "platform/core/Log.h"

#include <QDir>
#include <QSet>

namespace velk {

CalendarStoreWatcher::CalendarStoreWatcher(QString root, QObject* parent, int settleMs)
    : QObject(parent), root_(std::move(root))
{
    settle_.setSingleShot(true);
    settle_.setInterval(settleMs);
    connect(&settle_, &QTimer::timeout, this, &CalendarStoreWatcher::changed);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
        rewatch(); // folders and files may have come or gone
        noteChange();
    });
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] {
        rewatch(); // a file replaced by rename is a new file to watch
        noteChange();
    });
    // Calendars are as private as the rest of the state: the folder is the user's alone.
    if (!GroupContainer::makePrivateDirectory(root_))
        qCWarning(lcCalendar) << "cannot create the calendar folder" << root_;
    rewatch();
}

void CalendarStoreWatcher::noteChange()
{
    settle_.start();
}

void CalendarStoreWatcher::rewatch()
{
    QStringList wanted{root_};
    const QDir root(root_);
    const QStringList icsFilter{QStringLiteral("*.ics"), QStringLiteral("*.ICS")};
    auto addFolder = [&](const QDir& dir) {
        for (const QString& name : dir.entryList(icsFilter, QDir::Files, QDir::Name))
            wanted << dir.filePath(name);
    };
    addFolder(root);
    for (const QString& folder : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QDir dir(root.filePath(folder));
        wanted << dir.path();
        addFolder(dir);
    }
    const QStringList watchedList = watcher_.files() + watcher_.directories();
    const QSet<QString> watched(watchedList.begin(), watchedList.end());
    const QSet<QString> wantedSet(wanted.begin(), wanted.end());
    QStringList gone;
    for (const QString& p : watchedList)
        if (!wantedSet.contains(p)) gone << p;
    if (!gone.isEmpty()) watcher_.removePaths(gone);
    QStringList added;
    for (const QString& p : wanted)
        if (!watched.contains(p)) added << p;
    if (!added.isEmpty()) watcher_.addPaths(added);
}

} // namespace velk
