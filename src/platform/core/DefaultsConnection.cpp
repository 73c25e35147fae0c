#include "platform/core/DefaultsConnection.h"

#include "platform/core/Log.h"

#include <QFile>

#include <sqlite3.h>

#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velk::defaults {

const char* kindText(Defaults::Kind kind)
{
    switch (kind) {
    case Defaults::Kind::data: return "data";
    case Defaults::Kind::integer: return "integer";
    case Defaults::Kind::boolean: return "bool";
    case Defaults::Kind::string: return "string";
    }
    return "data";
}

namespace {

constexpr int kBusyTimeoutMs = 2000;

// The read cache.
//
// Every widget render reads a few settings, and a read through SQLite takes and drops the WAL
// read locks with system calls each time. So a connection keeps the values it read for as long
// as the file is unchanged, and tells "unchanged" from memory alone:
//
// In WAL mode every connection to the file, in any process, shares the WAL-index (the -shm
// file, mapped by each). It starts with a 48-byte header kept twice; a writer commits by
// writing copy 2, then copy 1, and every commit changes it (a counter goes up by one, the last
// frame and the checksums move; a restarted WAL gets new salts). Before each real read the
// header is copied (copy 1, then copy 2); while both copies stay equal to that snapshot nothing
// has been committed since, so what was read then is still what a read would give now. A
// commit that lands between the snapshot and the read only costs one needless read later.
//
// Anything unexpected means a real read and no caching: copies that differ (a writer between
// them), a header not yet initialised or of another version, no mapping (not WAL mode, the
// in-memory fallback, a VFS without shared memory), a transaction open on this connection.
//
// The header is read through SQLite's own mapping of the WAL-index (the VFS's xShmMap), not a
// mapping of our own: opening the -shm file ourselves would mean closing a descriptor of it
// later, and closing any descriptor of a file drops every POSIX lock this process holds on it,
// SQLite's locks on the WAL-index included. SQLite keeps that mapping while the connection is
// open and never shrinks the file under it: this open connection holds the lock that keeps
// other processes from resetting the WAL-index or leaving WAL mode.
constexpr quint32 kWalIndexVersion = 3007000; // the header's first word
constexpr int kWalIndexRegionBytes = 32768; // SQLite maps the WAL-index in regions of this size
constexpr size_t kIsInitByte = 12; // of the header: non-zero once a header has been written
// Settings are few and small; larger values (stored documents) are read when a timeline
// reloads, not at every render, and are not kept.
constexpr size_t kMaxCachedKeys = 32;
constexpr qsizetype kMaxCachedBytes = 16 * 1024;

std::optional<Defaults::Kind> kindFromText(const unsigned char* text)
{
    if (!text) return std::nullopt;
    const char* t = reinterpret_cast<const char*>(text);
    for (auto k : {Defaults::Kind::data, Defaults::Kind::integer, Defaults::Kind::boolean,
                   Defaults::Kind::string})
        if (std::strcmp(t, kindText(k)) == 0) return k;
    return std::nullopt; // a row some other writer made: not ours to interpret
}

struct Reset {
    sqlite3_stmt* s;
    ~Reset()
    {
        sqlite3_reset(s);
        sqlite3_clear_bindings(s);
    }
};

} // namespace

QString& threadLastError()
{
    thread_local QString error;
    return error;
}

Connection::~Connection()
{
    walIndex_ = nullptr; // SQLite's mapping goes with the connection
    for (sqlite3_stmt* s : {get_, put_, del_, keys_, begin_, commit_, rollback_})
        sqlite3_finalize(s);
    sqlite3_close_v2(db_);
}

std::unique_ptr<Connection> Connection::open(const QString& path, QString& error)
{
    auto c = std::unique_ptr<Connection>(new Connection);
    const QByteArray file = path.isEmpty() ? QByteArray(":memory:") : QFile::encodeName(path);
    if (!path.isEmpty()) {
        // Create the file ourselves so it is private from the first byte; SQLite gives its
        // -wal and -shm files the mode of the database file.
        const int fd = ::open(file.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) ::close(fd);
    }
    const int rc = sqlite3_open_v2(file.constData(), &c->db_,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                                   nullptr);
    if (rc != SQLITE_OK) {
        error = c->db_ ? QString::fromUtf8(sqlite3_errmsg(c->db_)) : QString::fromUtf8(sqlite3_errstr(rc));
        return nullptr;
    }
    sqlite3_busy_timeout(c->db_, kBusyTimeoutMs);
    // The first statement reads the header: a file that is not a database fails here,
    // before anything is written to it.
    const char* setup = path.isEmpty()
        ? "CREATE TABLE IF NOT EXISTS defaults(key TEXT PRIMARY KEY NOT NULL, kind TEXT NOT NULL, value)"
        : "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
          "CREATE TABLE IF NOT EXISTS defaults(key TEXT PRIMARY KEY NOT NULL, kind TEXT NOT NULL, value)";
    // Two processes creating the file at once can see SQLITE_BUSY from the journal-mode
    // switch without the busy handler being consulted; that is contention, not a bad file.
    int setupRc = SQLITE_BUSY;
    for (int attempt = 0; attempt < 200; ++attempt) {
        setupRc = sqlite3_exec(c->db_, setup, nullptr, nullptr, nullptr);
        if (setupRc != SQLITE_BUSY && setupRc != SQLITE_LOCKED) break;
        ::usleep(10'000);
    }
    if (setupRc != SQLITE_OK
        || !c->prepare(c->get_, "SELECT kind, value FROM defaults WHERE key = ?1")
        || !c->prepare(c->put_,
                       "INSERT INTO defaults(key, kind, value) VALUES(?1, ?2, ?3) "
                       "ON CONFLICT(key) DO UPDATE SET kind = excluded.kind, value = excluded.value")
        || !c->prepare(c->del_, "DELETE FROM defaults WHERE key = ?1")
        || !c->prepare(c->keys_, "SELECT key FROM defaults ORDER BY key")
        || !c->prepare(c->begin_, "BEGIN IMMEDIATE")
        || !c->prepare(c->commit_, "COMMIT")
        || !c->prepare(c->rollback_, "ROLLBACK")) {
        error = QString::fromUtf8(sqlite3_errmsg(c->db_));
        return nullptr;
    }
    if (!path.isEmpty()) {
        struct stat st {};
        if (::stat(file.constData(), &st) == 0 && (st.st_mode & 077) != 0)
            ::chmod(file.constData(), st.st_mode & 0700);
        c->watchWalIndex();
    }
    return c;
}

void Connection::watchWalIndex()
{
    // Only in WAL mode: asking for the shared memory of a file in another journal mode would
    // make a -shm file for it, and one left from an earlier WAL run would never change.
    sqlite3_stmt* mode = nullptr;
    if (sqlite3_prepare_v2(db_, "PRAGMA journal_mode", -1, &mode, nullptr) != SQLITE_OK) return;
    const bool wal = sqlite3_step(mode) == SQLITE_ROW
        && std::strcmp(reinterpret_cast<const char*>(sqlite3_column_text(mode, 0)), "wal") == 0;
    sqlite3_finalize(mode);
    if (!wal) return;
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(db_, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file
        || !file->pMethods || file->pMethods->iVersion < 2 || !file->pMethods->xShmMap)
        return;
    // The setup's reads have mapped the first region already; bExtend = 0 never grows the file
    // and answers null when the region is not there.
    void volatile* region = nullptr;
    if (file->pMethods->xShmMap(file, 0, kWalIndexRegionBytes, 0, &region) != SQLITE_OK || !region) return;
    walIndex_ = static_cast<const volatile quint32*>(region);
}

std::optional<Connection::WalHeader> Connection::walHeader() const
{
    // Word by word, in the reverse of the writer's order: if copy 1 (read first) equals copy 2
    // (read after), the header was whole at that moment.
    WalHeader first, second;
    const auto* words = const_cast<const quint32*>(walIndex_);
    for (size_t i = 0; i < first.size(); ++i) first[i] = __atomic_load_n(words + i, __ATOMIC_RELAXED);
    std::atomic_thread_fence(std::memory_order_acquire);
    for (size_t i = 0; i < second.size(); ++i)
        second[i] = __atomic_load_n(words + first.size() + i, __ATOMIC_RELAXED);
    if (first != second || first[0] != kWalIndexVersion
        || reinterpret_cast<const unsigned char*>(first.data())[kIsInitByte] == 0)
        return std::nullopt;
    return first;
}

std::optional<Value> Connection::get(const QString& key)
{
    // Inside a transaction the read belongs to it (adding to a count): never cached.
    std::optional<WalHeader> now;
    if (walIndex_ && sqlite3_get_autocommit(db_)) now = walHeader();
    if (now && now == seen_) {
        for (const Cached& c : cache_)
            if (c.key == key) return c.value;
    } else {
        // Changed, in the middle of a commit, or not to be cached: what was kept is stale.
        forget();
        seen_ = now; // taken before the read below, so it never claims a newer state
    }
    bool failed = false;
    std::optional<Value> v = read(key, failed);
    if (seen_ && !failed) remember(key, v);
    return v;
}

void Connection::remember(const QString& key, const std::optional<Value>& value)
{
    if (value && value->bytes.size() > kMaxCachedBytes) return;
    if (cache_.size() >= kMaxCachedKeys) cache_.clear();
    cache_.push_back({key, value});
}

void Connection::forget()
{
    cache_.clear();
    seen_.reset();
}

std::optional<Value> Connection::read(const QString& key, bool& failed)
{
    Reset r{get_};
    bindKey(get_, key);
    const int rc = sqlite3_step(get_);
    if (rc != SQLITE_ROW) {
        if (rc != SQLITE_DONE) {
            warn("read", key);
            failed = true;
        }
        return std::nullopt;
    }
    const auto kind = kindFromText(sqlite3_column_text(get_, 0));
    if (!kind) return std::nullopt;
    Value v{*kind, {}, 0};
    switch (*kind) {
    case Defaults::Kind::data: {
        const void* blob = sqlite3_column_blob(get_, 1);
        const int n = sqlite3_column_bytes(get_, 1);
        v.bytes = n > 0 ? QByteArray(static_cast<const char*>(blob), n) : QByteArray("");
        break;
    }
    case Defaults::Kind::string: {
        const unsigned char* text = sqlite3_column_text(get_, 1);
        const int n = sqlite3_column_bytes(get_, 1);
        v.bytes = n > 0 ? QByteArray(reinterpret_cast<const char*>(text), n) : QByteArray("");
        break;
    }
    case Defaults::Kind::integer:
    case Defaults::Kind::boolean:
        v.number = sqlite3_column_int64(get_, 1);
        break;
    }
    return v;
}

bool Connection::put(const QString& key, Defaults::Kind kind, const QByteArray& bytes, qint64 number)
{
    forget(); // a write moves the WAL-index header anyway; nothing kept outlives it
    Reset r{put_};
    bindKey(put_, key);
    sqlite3_bind_text(put_, 2, kindText(kind), -1, SQLITE_STATIC);
    switch (kind) {
    case Defaults::Kind::data:
        // A null pointer would bind SQL NULL; an empty value is still a value.
        if (bytes.isEmpty()) sqlite3_bind_zeroblob(put_, 3, 0);
        else sqlite3_bind_blob(put_, 3, bytes.constData(), int(bytes.size()), SQLITE_STATIC);
        break;
    case Defaults::Kind::string:
        sqlite3_bind_text(put_, 3, bytes.isEmpty() ? "" : bytes.constData(), int(bytes.size()),
                          SQLITE_STATIC);
        break;
    case Defaults::Kind::integer:
    case Defaults::Kind::boolean:
        sqlite3_bind_int64(put_, 3, number);
        break;
    }
    if (sqlite3_step(put_) != SQLITE_DONE) return warn("write", key);
    return true;
}

bool Connection::remove(const QString& key)
{
    forget();
    Reset r{del_};
    bindKey(del_, key);
    if (sqlite3_step(del_) != SQLITE_DONE) return warn("remove", key);
    return true;
}

QStringList Connection::keys()
{
    Reset r{keys_};
    QStringList out;
    int rc;
    while ((rc = sqlite3_step(keys_)) == SQLITE_ROW) {
        const char* k = reinterpret_cast<const char*>(sqlite3_column_text(keys_, 0));
        out << QString::fromUtf8(k, sqlite3_column_bytes(keys_, 0));
    }
    if (rc != SQLITE_DONE) warn("list", {});
    return out;
}

QString Connection::damage()
{
    sqlite3_stmt* check = nullptr;
    if (sqlite3_prepare_v2(db_, "PRAGMA quick_check(1)", -1, &check, nullptr) != SQLITE_OK)
        return errorText();
    QString finding;
    const int rc = sqlite3_step(check);
    if (rc == SQLITE_ROW) {
        const char* text = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
        if (!text || std::strcmp(text, "ok") != 0)
            finding = text ? QString::fromUtf8(text) : QStringLiteral("unreadable");
    } else {
        finding = errorText();
    }
    sqlite3_finalize(check);
    return finding;
}

bool Connection::begin() { return step(begin_); }
bool Connection::commit() { return step(commit_); }

void Connection::rollback()
{
    if (!sqlite3_get_autocommit(db_)) step(rollback_);
}

QString Connection::errorText() const { return QString::fromUtf8(sqlite3_errmsg(db_)); }

bool Connection::warn(const char* what, const QString& key) const
{
    const QString subject = key.isEmpty() ? QLatin1String(what) : QLatin1String(what) + QLatin1Char(' ') + key;
    threadLastError() = QStringLiteral("cannot %1 in %2: %3")
                            .arg(subject, QString::fromUtf8(sqlite3_db_filename(db_, "main")), errorText());
    qCWarning(lcDefaults).noquote() << threadLastError();
    return false;
}

bool Connection::prepare(sqlite3_stmt*& s, const char* sql)
{
    return sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr) == SQLITE_OK;
}

bool Connection::step(sqlite3_stmt* s)
{
    Reset r{s};
    return sqlite3_step(s) == SQLITE_DONE;
}

void Connection::bindKey(sqlite3_stmt* s, const QString& key)
{
    const QByteArray k = key.toUtf8();
    sqlite3_bind_text(s, 1, k.constData(), int(k.size()), SQLITE_TRANSIENT);
}

} // namespace velk::defaults
