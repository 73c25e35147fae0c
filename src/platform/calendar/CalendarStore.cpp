#include "platform/calendar/CalendarStore.h"

#include "platform/calendar/EventOccurrences.h"
#include "platform/calendar/IcsCompletion.h"
#include "platform/calendar/IcsParser.h"
#include "platform/core/GroupContainer.h"
#include "platform/core/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace velk {

namespace {

constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024; // larger is no calendar item anyone keeps

// The whole of a calendar file, or nothing with `error` set. Only a regular file is read (a
// FIFO or a link to a device would block or never end), opened without waiting on it, and
// never more than the cap: the size `stat` gives proves nothing (0 for many special files).
std::optional<QByteArray> readCalendarFile(const QString& path, QString* error)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return std::nullopt;
    }
    struct stat st {};
    std::optional<QByteArray> out;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        *error = QStringLiteral("not a regular file");
    } else {
        QByteArray bytes;
        bytes.resize(qsizetype(std::min<qint64>(st.st_size, kMaxFileBytes) + 1));
        qsizetype have = 0;
        for (;;) {
            if (have == bytes.size()) {
                if (have > kMaxFileBytes) break;
                bytes.resize(std::min<qsizetype>(have * 2, kMaxFileBytes + 1));
            }
            const ssize_t n = ::read(fd, bytes.data() + have, size_t(bytes.size() - have));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                *error = QString::fromLocal8Bit(std::strerror(errno));
                have = -1;
                break;
            }
            if (n == 0) break;
            have += n;
        }
        if (have > kMaxFileBytes) {
            *error = QStringLiteral("too large for a calendar file");
        } else if (have >= 0) {
            bytes.truncate(have);
            out = std::move(bytes);
        }
    }
    ::close(fd);
    return out;
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
};

namespace {

// One calendar file as the folder listing saw it; a change of any field means the file changed.
struct ListedFile {
    QString collection;
    QString path; // relative to the root
    qint64 size = -1, modifiedNs = -1, changedNs = -1;
    quint64 inode = 0, device = 0;

    bool operator==(const ListedFile&) const = default;
};

std::vector<ListedFile> listCalendarFiles(const QString& rootPath)
{
    std::vector<ListedFile> out;
    const QDir root(rootPath);
    if (!root.exists()) return out;
    const QStringList icsFilter{QStringLiteral("*.ics"), QStringLiteral("*.ICS")};
    auto listFolder = [&](const QDir& dir, const QString& collection) {
        const QStringList names = dir.entryList(icsFilter, QDir::Files | QDir::System | QDir::Readable, QDir::Name);
        for (const QString& name : names) {
            if (name.startsWith(QLatin1Char('.'))) continue;
            ListedFile f;
            f.collection = collection;
            f.path = collection.isEmpty() ? name : collection + QLatin1Char('/') + name;
            struct stat st {};
            if (::stat(QFile::encodeName(dir.filePath(name)).constData(), &st) == 0) {
                f.size = st.st_size;
                f.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
                f.changedNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
                f.inode = st.st_ino;
                f.device = st.st_dev;
            }
            out.push_back(std::move(f));
        }
    };
    listFolder(root, QString());
    const QStringList folders = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Readable, QDir::Name);
    for (const QString& folder : folders) {
        if (!folder.startsWith(QLatin1Char('.'))) listFolder(QDir(root.filePath(folder)), folder);
    }
    return out;
}

struct SharedParse {
    std::vector<ListedFile> listing;
    std::shared_ptr<const CalendarStore::Loaded> loaded;
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

} // namespace

std::shared_ptr<const CalendarStore::Loaded> CalendarStore::parsedFiles(const QString& rootPath)
{
    std::vector<ListedFile> listing = listCalendarFiles(rootPath);
    {
        const std::lock_guard lock(sharedMutex);
        const auto it = sharedParses().find(rootPath);
        if (it != sharedParses().end() && it->second.listing == listing) return it->second.loaded;
    }
    // Parsed outside the lock: another root's readers need not wait. Two threads that find the
    // same change may both parse; the later result is kept, and both are right.
    auto loaded = std::make_shared<Loaded>();
    for (const ListedFile& listed : listing) {
        const QString path = QDir(rootPath).filePath(listed.path);
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
    auto& parses = sharedParses();
    if (parses.size() >= kMaxSharedRoots && !parses.count(rootPath)) parses.clear();
    parses[rootPath] = SharedParse{std::move(listing), loaded};
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

std::vector<CalendarReminder> CalendarStore::incompleteReminders(std::optional<Date> dueFrom,
                                                                 std::optional<Date> dueBefore)
{
    std::vector<CalendarReminder> out;
    if (!hasAccess(CalendarEntityType::reminder)) return out;
    const TimeZone zone = TimeZone::current();
    for (const LoadedFile& f : loaded().files) {
        for (const ParsedReminder& r : f.parsed.reminders) {
            if (r.completed) continue;
            CalendarReminder item = makeReminder(f, r, zone);
            if (!item.dueDate) {
                if (dueFrom) continue;
            } else if ((dueFrom && *item.dueDate < *dueFrom) || (dueBefore && *item.dueDate >= *dueBefore)) {
                continue;
            }
            out.push_back(std::move(item));
        }
    }
    return out;
}

std::vector<CalendarReminder> CalendarStore::completedReminders(std::optional<Date> from, std::optional<Date> before)
{
    std::vector<CalendarReminder> out;
    if (!hasAccess(CalendarEntityType::reminder)) return out;
    const TimeZone zone = TimeZone::current();
    for (const LoadedFile& f : loaded().files) {
        for (const ParsedReminder& r : f.parsed.reminders) {
            if (!r.completed) continue;
            CalendarReminder item = makeReminder(f, r, zone);
            if (!item.completionDate) {
                if (from || before) continue;
            } else if ((from && *item.completionDate < *from) || (before && *item.completionDate >= *before)) {
                continue;
            }
            out.push_back(std::move(item));
        }
    }
    std::stable_sort(out.begin(), out.end(), [](const CalendarReminder& a, const CalendarReminder& b) {
        return a.completionDate.value_or(Date(-1e300)) < b.completionDate.value_or(Date(-1e300));
    });
    return out;
}

std::vector<CalendarEvent> CalendarStore::events(Date start, Date end)
{
    std::vector<CalendarEvent> out;
    if (!hasAccess(CalendarEntityType::event)) return out;
    const TimeZone zone = TimeZone::current();
    for (const LoadedFile& f : loaded().files) {
        // Instances that an event of the file replaces, by UID.
        std::map<QString, QSet<QString>> replaced;
        for (const ParsedEvent& e : f.parsed.events)
            if (e.recurrenceId && !e.uid.isEmpty()) replaced[e.uid].insert(e.recurrenceId->instanceKey(zone));

        RecurrenceBudget budget; // one for the whole file
        for (const ParsedEvent& e : f.parsed.events) {
            const QString id = eventIdentifier(f, e);
            const auto r = replaced.find(e.uid);
            const QSet<QString> none;
            const QSet<QString>& replacedKeys = (e.recurrenceId || r == replaced.end()) ? none : r->second;
            QString skipped;
            const auto occurrences = eventOccurrences(e, start, end, zone, replacedKeys, &budget, &skipped);
            if (!skipped.isEmpty())
                qCWarning(lcCalendar) << "skipped event" << id << "in" << f.path << "-" << skipped;
            for (const EventOccurrence& o : occurrences) {
                CalendarEvent ev;
                if (e.recurrenceId) ev.identifier = id + QLatin1Char('/') + e.recurrenceId->instanceKey(zone);
                else if (!o.instanceKey.isEmpty()) ev.identifier = id + QLatin1Char('/') + o.instanceKey;
                else ev.identifier = id;
                ev.title = e.title;
                ev.location = e.location;
                ev.startDate = o.start;
                ev.endDate = o.end;
                ev.allDay = o.allDay;
                ev.collection = f.collection;
                ev.filePath = f.path;
                out.push_back(std::move(ev));
            }
        }
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const CalendarEvent& a, const CalendarEvent& b) { return a.startDate < b.startDate; });
    return out;
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
                const bool instanceOf = identifier.startsWith(id + QLatin1Char('/'))
                    && (!e.rrule.isEmpty() || !e.rdates.empty());
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
    loaded_.reset(); // later fetches of this store read the files again
    return true;
}

} // namespace velk
