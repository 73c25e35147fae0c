#include "platform/calendar/CalendarStore.h"

#include "platform/calendar/EventOccurrences.h"
#include "platform/calendar/IcsCompletion.h"
#include "platform/calendar/IcsParser.h"
#include "platform/core/FileSave.h"
#include "platform/core/GroupContainer.h"
#include "platform/core/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velk {

namespace {

constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024; // larger is no calendar item anyone keeps

// The whole of a calendar file, or nothing with `error` set; only a regular file is read, and
// never more than the cap.
std::optional<QByteArray> readCalendarFile(const QString& path, QString* error)
{
    return readRegularFile(path, kMaxFileBytes, error);
}

struct LoadedFile {
    QString collection;
    QString path; // relative to the root
    ParsedCalendarFile parsed;
};

QString relativeIdentifier(const QString& path, const char* kind, int index)
{
    return QStringLiteral("%1#%2%3").arg(path, QLatin1String(kind)).arg(index);
}

QString reminderIdentifier(const LoadedFile& f, const ParsedReminder& r)
{
    return r.uid.isEmpty() ? relativeIdentifier(f.path, "todo", r.todoIndex) : r.uid;
}

QString eventIdentifier(const LoadedFile& f, const ParsedEvent& e)
{
    return e.uid.isEmpty() ? relativeIdentifier(f.path, "event", e.eventIndex) : e.uid;
}

CalendarReminder makeReminder(const LoadedFile& f, const ParsedReminder& r, const TimeZone& zone)
{
    CalendarReminder out;
    out.identifier = reminderIdentifier(f, r);
    out.title = r.title;
    if (r.due) {
        out.dueDate = r.due->resolve(zone);
        out.dueHasTime = out.dueDate && !r.due->isDate;
    }
    out.completed = r.completed;
    if (r.completedAt) out.completionDate = r.completedAt->resolve(zone);
    out.collection = f.collection;
    out.filePath = f.path;
    out.uid = r.uid;
    out.todoIndex = r.todoIndex;
    return out;
}

bool hasAccess(CalendarEntityType type)
{
    return CalendarAccess::status(type) == CalendarAuthorizationStatus::fullAccess;
}

} // namespace

struct CalendarStore::Loaded {
    std::vector<LoadedFile> files;

    // What is worked out from these files, kept with them: every store over the same parse
    // (each widget of a reload wave makes its own) then asks the costly part once. Stores on
    // several threads share a Loaded, so each answer has its lock, held while it is worked out:
    // a second reader waits for the first one's answer instead of working it out again.
    struct Reminders {
        QString zone; // the identifier of the zone the dates were resolved in
        std::shared_ptr<const std::vector<CalendarReminder>> all; // in file order
    };
    struct Events {
        Date start, end;
        QString zone;
        std::shared_ptr<const std::vector<CalendarEvent>> events; // by start
    };
    static constexpr size_t kKeptEventSpans = 4; // a day, the next, and a few others
    mutable std::mutex remindersMutex;
    mutable Reminders reminders;
    mutable std::mutex eventsMutex;
    mutable std::vector<Events> events; // most recently asked first
};

namespace {

// What `stat` says of a file or folder; a change of any field means it changed.
struct Stamp {
    qint64 size = -1, modifiedNs = -1, changedNs = -1;
    quint64 inode = 0, device = 0;

    bool operator==(const Stamp&) const = default;
};

Stamp stampOf(const struct stat& st)
{
    return {st.st_size, qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
            qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec, quint64(st.st_ino), quint64(st.st_dev)};
}

// One calendar file as the listing saw it.
struct ListedFile {
    QString collection;
    QString path; // relative to the root
    Stamp stamp;
    bool link = false; // a symbolic link: what it points to may change unseen by the folder

    bool operator==(const ListedFile&) const = default;
};

// One folder of calendar files (the root, collection ""): its stamp and where its files are in
// the listing.
struct ListedFolder {
    QString collection;
    Stamp stamp;
    // Listed long enough after its last change that a later change shows in its stamp, however
    // coarse the file system's clock.
    bool settled = false;
    size_t first = 0, count = 0;
};

struct Listing {
    Stamp root;
    bool rootSettled = false;
    std::vector<QString> folderNames;
    std::vector<ListedFolder> folders; // the root first, then the collections by name
    std::vector<ListedFile> files;     // folder by folder, each by name
};

// A folder whose stamp is this close to the moment of listing may change again without its
// stamp showing it (file systems that keep whole or even seconds): it is listed again next time.
constexpr qint64 kSettleNs = 2'000'000'000;

qint64 wallNs()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

bool settledAt(const Stamp& stamp, qint64 nowNs)
{
    return nowNs - std::max(stamp.modifiedNs, stamp.changedNs) > kSettleNs;
}

// The calendar files under the root with their stamps. A folder whose own stamp has not
// changed since `previous` still holds the same names (adding, removing or renaming an entry
// changes the folder), so only its files are looked at again, one `stat` each; other folders
// are listed afresh. Unreadable files are listed too (a change of their permissions is a change
// of their stamp); the parse passes over them.
Listing listCalendarFiles(const QString& rootPath, const Listing* previous)
{
    Listing out;
    struct stat st {};
    if (::stat(QFile::encodeName(rootPath).constData(), &st) != 0) return out;
    const qint64 nowNs = wallNs();
    const QDir root(rootPath);
    out.root = stampOf(st);
    out.rootSettled = settledAt(out.root, nowNs);
    if (previous && previous->rootSettled && previous->root == out.root) {
        out.folderNames = previous->folderNames;
    } else {
        for (const QString& name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
            if (!name.startsWith(QLatin1Char('.'))) out.folderNames.push_back(name);
    }

    const QStringList icsFilter{QStringLiteral("*.ics"), QStringLiteral("*.ICS")};
    auto listFolder = [&](const QString& collection) {
        const QString path = collection.isEmpty() ? rootPath : root.filePath(collection);
        ListedFolder folder;
        folder.collection = collection;
        folder.first = out.files.size();
        const int dirFd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dirFd < 0 || ::fstat(dirFd, &st) != 0) {
            if (dirFd >= 0) ::close(dirFd);
            out.folders.push_back(std::move(folder)); // no files, and listed again next time
            return;
        }
        folder.stamp = stampOf(st);
        folder.settled = settledAt(folder.stamp, nowNs);
        const ListedFolder* before = nullptr;
        if (previous) {
            for (const ListedFolder& f : previous->folders)
                if (f.collection == collection) before = &f;
        }
        if (before && before->settled && before->stamp == folder.stamp) {
            const auto from = previous->files.begin() + qsizetype(before->first);
            out.files.insert(out.files.end(), from, from + qsizetype(before->count));
        } else {
            for (const QString& name : QDir(path).entryList(icsFilter, QDir::Files | QDir::System, QDir::Name)) {
                if (name.startsWith(QLatin1Char('.'))) continue;
                const bool link =
                    ::fstatat(dirFd, QFile::encodeName(name).constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                    S_ISLNK(st.st_mode);
                out.files.push_back(
                    {collection, collection.isEmpty() ? name : collection + QLatin1Char('/') + name, {}, link});
            }
        }
        folder.count = out.files.size() - folder.first;
        for (size_t i = folder.first; i < out.files.size(); ++i) {
            ListedFile& f = out.files[i];
            const QByteArray name =
                QFile::encodeName(collection.isEmpty() ? f.path : f.path.mid(collection.size() + 1));
            f.stamp = ::fstatat(dirFd, name.constData(), &st, 0) == 0 ? stampOf(st) : Stamp{};
        }
        ::close(dirFd);
        out.folders.push_back(std::move(folder));
    };
    listFolder(QString());
    for (const QString& name : out.folderNames)
        listFolder(name);
    return out;
}

// Tells whether anything in a set of folders may have changed since it was last asked, from
// the kernel's file change events (inotify): a file written, added, removed, renamed or given
// other permissions, in the folder or in place. Asking costs one read that finds nothing.
// Not usable (and then every reader looks at the files) when the kernel gives no watch.
class ChangeWatch {
public:
    ChangeWatch() : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}
    ~ChangeWatch()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    ChangeWatch(const ChangeWatch&) = delete;
    ChangeWatch& operator=(const ChangeWatch&) = delete;

    bool usable() const { return fd_ >= 0 && watching_; }

    // Adds these folders to the watch; a folder that cannot be watched makes it unusable.
    void watch(const std::vector<QString>& folders)
    {
        if (fd_ < 0) return;
        watching_ = true;
        constexpr uint32_t kEvents = IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_MOVED_FROM | IN_MOVED_TO | IN_CREATE |
                                     IN_DELETE | IN_DELETE_SELF | IN_MOVE_SELF;
        for (const QString& folder : folders)
            if (::inotify_add_watch(fd_, QFile::encodeName(folder).constData(), kEvents) < 0) watching_ = false;
    }

    // True when an event (or a lost one: the queue overflowed) came since the last call.
    bool changed()
    {
        if (fd_ < 0) return true;
        alignas(struct inotify_event) char buffer[4096];
        bool any = false;
        for (;;) {
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n > 0) {
                any = true;
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            return any || (n < 0 && errno != EAGAIN);
        }
    }

private:
    int fd_;
    bool watching_ = false;
};

// While the change watch is quiet, the files are still looked at once in this long: a change
// the kernel does not report (a network file system written from another machine) shows then.
constexpr qint64 kFullCheckNs = 5'000'000'000;

qint64 monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

struct SharedParse {
    std::shared_ptr<const Listing> listing; // the newest, and the check it came from
    quint64 listingCheck = 0;
    qint64 listedAtNs = 0;
    quint64 checks = 0;                           // the checks begun
    std::shared_ptr<const Listing> parsedListing; // what `loaded` was made from
    std::shared_ptr<const CalendarStore::Loaded> loaded;
    std::shared_ptr<ChangeWatch> watch = std::make_shared<ChangeWatch>();
    // Held while the root is parsed: readers that find the same change wait for one parse.
    std::shared_ptr<std::mutex> parsing = std::make_shared<std::mutex>();

    bool parsedIsCurrent() const
    {
        return loaded && listing && parsedListing && parsedListing->files == listing->files;
    }
};

// The last parse of each root, for every store of the process. A handful of roots at most in
// practice (the user's, and a test's); past that the oldest are let go.
constexpr size_t kMaxSharedRoots = 8;
std::mutex sharedMutex;
std::map<QString, SharedParse>& sharedParses()
{
    static std::map<QString, SharedParse> parses;
    return parses;
}

SharedParse& sharedParse(const QString& root)
{
    auto& parses = sharedParses();
    if (parses.size() >= kMaxSharedRoots && !parses.count(root)) parses.clear();
    return parses[root];
}

std::vector<QString> foldersOf(const QString& root, const Listing* listing)
{
    std::vector<QString> out{root};
    if (listing)
        for (const QString& name : listing->folderNames)
            out.push_back(QDir(root).filePath(name));
    return out;
}

} // namespace

std::shared_ptr<const CalendarStore::Loaded> CalendarStore::parsedFiles(const QString& rootPath)
{
    std::shared_ptr<const Listing> previous;
    std::shared_ptr<std::mutex> parsing;
    quint64 check = 0;
    {
        const std::lock_guard lock(sharedMutex);
        SharedParse& shared = sharedParse(rootPath);
        // Nothing changed since the newest listing was taken, and that listing is parsed: the
        // files need no look at all. A listing begun by another reader and not yet done does
        // not count, nor does one with a linked file (the link's target is not watched).
        const bool quiet = shared.watch->usable() && !shared.watch->changed();
        if (quiet && shared.listingCheck == shared.checks && shared.parsedIsCurrent() &&
            monotonicNs() - shared.listedAtNs < kFullCheckNs &&
            std::none_of(shared.listing->files.begin(), shared.listing->files.end(),
                         [](const ListedFile& f) { return f.link; }))
            return shared.loaded;
        // Watched before listing, so a change while the files are looked at shows next time.
        check = ++shared.checks;
        shared.watch->changed();
        shared.watch->watch(foldersOf(rootPath, shared.listing.get()));
        previous = shared.listing;
        parsing = shared.parsing;
    }
    const qint64 startedNs = monotonicNs();
    auto listing = std::make_shared<const Listing>(listCalendarFiles(rootPath, previous.get()));
    auto parsedAlready = [&]() -> std::shared_ptr<const Loaded> {
        const std::lock_guard lock(sharedMutex);
        SharedParse& shared = sharedParse(rootPath);
        if (check >= shared.listingCheck) {
            // Folders that are new since the watch began are watched from now on.
            if (!previous || previous->folderNames != listing->folderNames)
                shared.watch->watch(foldersOf(rootPath, listing.get()));
            shared.listing = listing;
            shared.listingCheck = check;
            shared.listedAtNs = startedNs;
        }
        if (!shared.loaded || !shared.parsedListing || shared.parsedListing->files != listing->files) return nullptr;
        return shared.loaded;
    };
    if (auto loaded = parsedAlready()) return loaded;
    // One parse of a root at a time; other roots' readers need not wait. A reader that waited
    // here mostly finds the files parsed by the one before it.
    const std::lock_guard parseLock(*parsing);
    if (auto loaded = parsedAlready()) return loaded;
    auto loaded = std::make_shared<Loaded>();
    for (const ListedFile& listed : listing->files) {
        const QString path = QDir(rootPath).filePath(listed.path);
        // Files the user keeps unreadable (or that are gone by now) are passed over quietly.
        if (::access(QFile::encodeName(path).constData(), R_OK) != 0) continue;
        QString why;
        const std::optional<QByteArray> text = readCalendarFile(path, &why);
        if (!text) {
            qCWarning(lcCalendar) << "skipped" << path << "-" << why;
            continue;
        }
        LoadedFile f{listed.collection, listed.path, parseCalendarText(*text)};
        for (const QString& p : f.parsed.problems)
            qCWarning(lcCalendar) << (f.parsed.ok ? "in" : "skipped") << path << "-" << p;
        if (f.parsed.ok) loaded->files.push_back(std::move(f));
    }
    const std::lock_guard lock(sharedMutex);
    SharedParse& shared = sharedParse(rootPath);
    shared.parsedListing = listing;
    shared.loaded = loaded;
    return loaded;
}

CalendarStore::CalendarStore(QString root) : root_(std::move(root)) {}
CalendarStore::~CalendarStore() = default;

QString CalendarStore::defaultRoot()
{
    return GroupContainer::dataRoot() + QStringLiteral("/calendars");
}

const CalendarStore::Loaded& CalendarStore::loaded()
{
    if (!loaded_) loaded_ = parsedFiles(root_);
    return *loaded_;
}

std::shared_ptr<const std::vector<CalendarReminder>> CalendarStore::allReminders(const TimeZone& zone)
{
    const Loaded& parse = loaded();
    const std::lock_guard lock(parse.remindersMutex);
    if (parse.reminders.all && parse.reminders.zone == zone.identifier()) return parse.reminders.all;
    auto all = std::make_shared<std::vector<CalendarReminder>>();
    for (const LoadedFile& f : parse.files)
        for (const ParsedReminder& r : f.parsed.reminders)
            all->push_back(makeReminder(f, r, zone));
    parse.reminders = {zone.identifier(), all};
    return all;
}

std::vector<CalendarReminder> CalendarStore::incompleteReminders(std::optional<Date> dueFrom,
                                                                 std::optional<Date> dueBefore)
{
    std::vector<CalendarReminder> out;
    if (!hasAccess(CalendarEntityType::reminder)) return out;
    for (const CalendarReminder& item : *allReminders(TimeZone::current())) {
        if (item.completed) continue;
        if (!item.dueDate) {
            if (dueFrom) continue;
        } else if ((dueFrom && *item.dueDate < *dueFrom) || (dueBefore && *item.dueDate >= *dueBefore)) {
            continue;
        }
        out.push_back(item);
    }
    return out;
}

std::vector<CalendarReminder> CalendarStore::completedReminders(std::optional<Date> from, std::optional<Date> before)
{
    std::vector<CalendarReminder> out;
    if (!hasAccess(CalendarEntityType::reminder)) return out;
    for (const CalendarReminder& item : *allReminders(TimeZone::current())) {
        if (!item.completed) continue;
        if (!item.completionDate) {
            if (from || before) continue;
        } else if ((from && *item.completionDate < *from) || (before && *item.completionDate >= *before)) {
            continue;
        }
        out.push_back(item);
    }
    std::stable_sort(out.begin(), out.end(), [](const CalendarReminder& a, const CalendarReminder& b) {
        return a.completionDate.value_or(Date(-1e300)) < b.completionDate.value_or(Date(-1e300));
    });
    return out;
}

std::vector<CalendarEvent> CalendarStore::events(Date start, Date end)
{
    if (!hasAccess(CalendarEntityType::event)) return {};
    const TimeZone zone = TimeZone::current();
    const Loaded& parse = loaded();
    const std::lock_guard lock(parse.eventsMutex);
    auto& kept = parse.events;
    for (auto it = kept.begin(); it != kept.end(); ++it) {
        if (it->start == start && it->end == end && it->zone == zone.identifier()) {
            std::rotate(kept.begin(), it, it + 1);
            return *kept.front().events;
        }
    }
    auto out = std::make_shared<std::vector<CalendarEvent>>();
    for (const LoadedFile& f : parse.files) {
        // Instances that an event of the file replaces or cancels, by UID.
        std::map<QString, QSet<QString>> replaced;
        for (const ParsedEvent& e : f.parsed.events)
            if (e.recurrenceId && !e.uid.isEmpty()) replaced[e.uid].insert(e.recurrenceId->instanceKey(zone));

        RecurrenceBudget budget; // one for the whole file
        for (const ParsedEvent& e : f.parsed.events) {
            if (e.cancelled) continue;
            const QString id = eventIdentifier(f, e);
            const auto r = replaced.find(e.uid);
            const QSet<QString> none;
            const QSet<QString>& replacedKeys = (e.recurrenceId || r == replaced.end()) ? none : r->second;
            QString skipped;
            const auto occurrences = eventOccurrences(e, start, end, zone, replacedKeys, &budget, &skipped);
            if (!skipped.isEmpty()) qCWarning(lcCalendar) << "skipped event" << id << "in" << f.path << "-" << skipped;
            for (const EventOccurrence& o : occurrences) {
                CalendarEvent ev;
                if (e.recurrenceId)
                    ev.identifier = id + QLatin1Char('/') + e.recurrenceId->instanceKey(zone);
                else if (!o.instanceKey.isEmpty())
                    ev.identifier = id + QLatin1Char('/') + o.instanceKey;
                else
                    ev.identifier = id;
                ev.title = e.title;
                ev.location = e.location;
                ev.startDate = o.start;
                ev.endDate = o.end;
                ev.allDay = o.allDay;
                ev.collection = f.collection;
                ev.filePath = f.path;
                out->push_back(std::move(ev));
            }
        }
    }
    std::stable_sort(out->begin(), out->end(),
                     [](const CalendarEvent& a, const CalendarEvent& b) { return a.startDate < b.startDate; });
    if (kept.size() >= Loaded::kKeptEventSpans) kept.pop_back();
    kept.insert(kept.begin(), Loaded::Events{start, end, zone.identifier(), out});
    return *out;
}

std::optional<CalendarItem> CalendarStore::calendarItem(const QString& identifier)
{
    if (identifier.isEmpty()) return std::nullopt;
    const TimeZone zone = TimeZone::current();
    if (hasAccess(CalendarEntityType::reminder)) {
        for (const LoadedFile& f : loaded().files)
            for (const ParsedReminder& r : f.parsed.reminders)
                if (reminderIdentifier(f, r) == identifier) return makeReminder(f, r, zone);
    }
    if (hasAccess(CalendarEntityType::event)) {
        for (const LoadedFile& f : loaded().files) {
            for (const ParsedEvent& e : f.parsed.events) {
                const QString id = eventIdentifier(f, e);
                const bool instanceOf =
                    identifier.startsWith(id + QLatin1Char('/')) && (!e.rrule.isEmpty() || !e.rdates.empty());
                if (e.recurrenceId || (id != identifier && !instanceOf)) continue;
                const std::optional<Date> start = e.start.resolve(zone);
                if (!start) continue;
                const auto occ = eventOccurrences(e, *start, start->addingSeconds(1), zone);
                CalendarEvent ev;
                ev.identifier = id;
                ev.title = e.title;
                ev.location = e.location;
                ev.startDate = *start;
                ev.endDate = occ.empty() ? *start : occ.front().end;
                ev.allDay = e.start.isDate;
                ev.collection = f.collection;
                ev.filePath = f.path;
                return ev;
            }
        }
    }
    return std::nullopt;
}

bool CalendarStore::saveReminder(const CalendarReminder& reminder, QString* error)
{
    auto fail = [&](const QString& message) {
        qCWarning(lcCalendar) << "could not save reminder" << reminder.identifier << "-" << message;
        if (error) *error = message;
        return false;
    };
    if (!hasAccess(CalendarEntityType::reminder)) return fail(QStringLiteral("no access to reminders"));
    if (reminder.filePath.isEmpty() || reminder.filePath.contains(QStringLiteral("..")))
        return fail(QStringLiteral("the reminder has no file in this store"));

    const QString path = QDir(root_).filePath(reminder.filePath);
    QString why;
    // Only a regular file is read, and so only a regular file is ever replaced.
    const std::optional<QByteArray> read = readCalendarFile(path, &why);
    if (!read) return fail(why);
    const QByteArray& original = *read;

    const std::optional<QByteArray> changed = withTodoCompletion(
        original, reminder.uid, reminder.todoIndex, reminder.completed,
        reminder.completed ? std::optional<Date>(reminder.completionDate.value_or(Clock::now())) : std::nullopt, &why);
    if (!changed) return fail(why);
    // The edited text must still read as the same to-do in its new state.
    const ParsedCalendarFile check = parseCalendarText(*changed);
    const auto same = std::find_if(check.reminders.begin(), check.reminders.end(), [&](const ParsedReminder& r) {
        return reminder.uid.isEmpty() ? r.todoIndex == reminder.todoIndex : r.uid == reminder.uid;
    });
    if (!check.ok || same == check.reminders.end() || same->completed != reminder.completed)
        return fail(QStringLiteral("the edited file would not read back"));

    // QSaveFile resolves a link and replaces its target, which was just found to be a regular
    // file. Written unbuffered, so that a full disk or a file size limit shows at the write:
    // commit() does not report a failed flush of buffered data, and would put a cut-short file
    // in place of the user's.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return fail(out.errorString());
    // A new file would get default permissions; keep the ones the user (or sync tool) chose.
    out.setPermissions(QFileInfo(path).permissions());
    if (out.write(*changed) != changed->size() || !out.flush() || out.error() != QFileDevice::NoError) {
        const QString message = out.errorString();
        out.cancelWriting();
        return fail(message);
    }
    if (!out.commit()) return fail(out.errorString());
    // Later fetches, of this store and every other, read the files again (the new file's stamp
    // would tell them too).
    loaded_.reset();
    {
        const std::lock_guard lock(sharedMutex);
        sharedParses().erase(root_);
    }
    return true;
}

} // namespace velk
