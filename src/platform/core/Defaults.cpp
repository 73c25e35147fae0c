#include "platform/core/Defaults.h"
#include "platform/core/GroupContainer.h"
#include "platform/core/Log.h"

#include <QCoreApplication>
#include <QFile>

#include <sqlite3.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <type_traits>
#include <unordered_set>

namespace velk {

namespace {

constexpr int kBusyTimeoutMs = 2000;

// Why the last access on this thread failed (Defaults::lastError()).
thread_local QString t_lastError;

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

std::optional<Defaults::Kind> kindFromText(const unsigned char* text)
{
    if (!text) return std::nullopt;
    const char* t = reinterpret_cast<const char*>(text);
    for (auto k : {Defaults::Kind::data, Defaults::Kind::integer, Defaults::Kind::boolean,
                   Defaults::Kind::string})
        if (std::strcmp(t, kindText(k)) == 0) return k;
    return std::nullopt; // a row some other writer made: not ours to interpret
}

// One row as read back.
struct Value {
    Defaults::Kind kind;
    QByteArray bytes; // data, or the UTF-8 of a string
    qint64 number = 0; // integer and bool
};

// One SQLite connection with its prepared statements. Used by one thread at a time.
class Connection {
public:
    ~Connection()
    {
        for (sqlite3_stmt* s : {get_, put_, del_, keys_, begin_, commit_, rollback_})
            sqlite3_finalize(s);
        sqlite3_close_v2(db_);
    }

    // Opens the file (or an in-memory database for an empty path) and checks that it is a
    // defaults store. Nothing on failure, with the reason in error.
    static std::unique_ptr<Connection> open(const QString& path, QString& error)
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
        }
        return c;
    }

    // The row, or nothing when it is absent or cannot be read (then lastError says why).
    std::optional<Value> get(const QString& key)
    {
        Reset r(get_);
        bindKey(get_, key);
        const int rc = sqlite3_step(get_);
        if (rc != SQLITE_ROW) {
            if (rc != SQLITE_DONE) warn("read", key);
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

    // Replaces the row whole in one statement (its own transaction unless one is open).
    bool put(const QString& key, Defaults::Kind kind, const QByteArray& bytes, qint64 number)
    {
        Reset r(put_);
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

    bool remove(const QString& key)
    {
        Reset r(del_);
        bindKey(del_, key);
        if (sqlite3_step(del_) != SQLITE_DONE) return warn("remove", key);
        return true;
    }

    QStringList keys()
    {
        Reset r(keys_);
        QStringList out;
        int rc;
        while ((rc = sqlite3_step(keys_)) == SQLITE_ROW) {
            const char* k = reinterpret_cast<const char*>(sqlite3_column_text(keys_, 0));
            out << QString::fromUtf8(k, sqlite3_column_bytes(keys_, 0));
        }
        if (rc != SQLITE_DONE) warn("list", {});
        return out;
    }

    // SQLite's quick check of every page: empty when the file is sound, else its first finding.
    QString damage()
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

    bool begin() { return step(begin_); }
    bool commit() { return step(commit_); }
    void rollback()
    {
        if (!sqlite3_get_autocommit(db_)) step(rollback_);
    }

    QString errorText() const { return QString::fromUtf8(sqlite3_errmsg(db_)); }

    // Logs the failure with SQLite's reason and keeps it as lastError(); answers false.
    bool warn(const char* what, const QString& key) const
    {
        t_lastError = QStringLiteral("cannot %1 %2 in %3: %4")
                          .arg(QLatin1String(what), key, QString::fromUtf8(sqlite3_db_filename(db_, "main")),
                               errorText());
        qCWarning(lcDefaults).noquote() << t_lastError;
        return false;
    }

private:
    Connection() = default;

    struct Reset {
        sqlite3_stmt* s;
        ~Reset()
        {
            sqlite3_reset(s);
            sqlite3_clear_bindings(s);
        }
    };

    bool prepare(sqlite3_stmt*& s, const char* sql)
    {
        return sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr) == SQLITE_OK;
    }

    bool step(sqlite3_stmt* s)
    {
        Reset r(s);
        return sqlite3_step(s) == SQLITE_DONE;
    }

    static void bindKey(sqlite3_stmt* s, const QString& key)
    {
        const QByteArray k = key.toUtf8();
        sqlite3_bind_text(s, 1, k.constData(), int(k.size()), SQLITE_TRANSIENT);
    }

    sqlite3* db_ = nullptr;
    sqlite3_stmt* get_ = nullptr;
    sqlite3_stmt* put_ = nullptr;
    sqlite3_stmt* del_ = nullptr;
    sqlite3_stmt* keys_ = nullptr;
    sqlite3_stmt* begin_ = nullptr;
    sqlite3_stmt* commit_ = nullptr;
    sqlite3_stmt* rollback_ = nullptr;
};

std::atomic<quint64> g_nextStoreId{1};

// Each thread keeps its own connection to each store file, opened on first use and closed
// when the thread ends.
thread_local std::unordered_map<quint64, std::unique_ptr<Connection>> t_connections;

} // namespace

// The file behind one or more handles. Stores are made once per path and kept for the life of
// the process, so opening a suite for each access costs a map lookup.
class DefaultsStore {
public:
    // broken: why the file cannot be used; such a store fails every access with that reason.
    DefaultsStore(QString path, std::unique_ptr<Connection> memory, QString broken = {})
        : path_(std::move(path)), memory_(std::move(memory)), broken_(std::move(broken))
    {
    }

    const QString& path() const { return path_; }
    quint64 id() const { return id_; }

    // Runs f with this thread's connection (the one shared connection for the in-memory
    // fallback, under its lock). Gives an empty result (nothing, 0, false) when no connection
    // can be had.
    template <class F, class R = std::invoke_result_t<F, Connection&>>
    R with(F&& f)
    {
        t_lastError.clear();
        if (!broken_.isEmpty()) {
            t_lastError = broken_;
            return R{};
        }
        if (memory_) {
            std::lock_guard lock(memoryMutex_);
            return f(*memory_);
        }
        auto& slot = t_connections[id_];
        if (!slot) {
            QString error;
            slot = Connection::open(path_, error);
            if (!slot) {
                t_connections.erase(id_);
                t_lastError = QStringLiteral("cannot open defaults %1: %2").arg(path_, error);
                qCWarning(lcDefaults).noquote() << t_lastError;
                return R{};
            }
        }
        return f(*slot);
    }

    // As with(), for a change: the file's pages are checked once per process before the first
    // change, and a damaged file is not written to (writing would spread the damage, and a
    // count added to it could be lost with the page).
    template <class F, class R = std::invoke_result_t<F, Connection&>>
    R change(F&& f)
    {
        return with([&](Connection& c) -> R {
            if (!memory_ && !sound(c)) return R{};
            return f(c);
        });
    }

    // For the thread that validated the file: its connection is kept, not opened again.
    void adopt(std::unique_ptr<Connection> c) { t_connections[id_] = std::move(c); }

private:
    bool sound(Connection& c)
    {
        std::lock_guard lock(checkMutex_);
        if (!checked_) {
            checked_ = true;
            if (const QString finding = c.damage(); !finding.isEmpty()) {
                damage_ = QStringLiteral("defaults %1 is damaged (%2); it is left as it is and not written to")
                              .arg(path_, finding);
                qCWarning(lcDefaults).noquote() << damage_;
            }
        }
        if (!damage_.isEmpty()) t_lastError = damage_;
        return damage_.isEmpty();
    }

    const quint64 id_ = g_nextStoreId++;
    QString path_;
    std::unique_ptr<Connection> memory_;
    std::mutex memoryMutex_;
    const QString broken_;
    std::mutex checkMutex_;
    bool checked_ = false;
    QString damage_;
};

namespace {

std::mutex g_registryMutex;
std::unordered_map<QString, std::shared_ptr<DefaultsStore>> g_stores;
std::unordered_set<QString> g_reported; // paths whose failure was already logged

// The store of a file, opening and checking it on first use. Nothing when it cannot be opened
// (the reason in error); the file itself is never removed or rewritten.
std::shared_ptr<DefaultsStore> storeAt(const QString& path, QString* why = nullptr)
{
    std::lock_guard lock(g_registryMutex);
    if (auto it = g_stores.find(path); it != g_stores.end()) return it->second;

    QString error;
    std::unique_ptr<Connection> c;
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    if (!GroupContainer::makePrivateDirectory(path.left(slash)))
        error = QStringLiteral("its folder cannot be created");
    else
        c = Connection::open(path, error);
    if (!c) {
        if (why) *why = error;
        // Suites are opened for every access; say it once, not every time.
        if (g_reported.insert(path).second)
            qCWarning(lcDefaults) << "cannot open defaults" << path << ":" << error
                                  << "(the file is left as it is)";
        return nullptr;
    }
    auto store = std::make_shared<DefaultsStore>(path, nullptr);
    store->adopt(std::move(c));
    g_stores.emplace(path, store);
    return store;
}

// A store for a file that exists but cannot be opened: every access fails with the reason.
std::shared_ptr<DefaultsStore> brokenStoreFor(const QString& path, const QString& error)
{
    std::lock_guard lock(g_registryMutex);
    const QString key = QStringLiteral("broken:") + path;
    if (auto it = g_stores.find(key); it != g_stores.end()) return it->second;
    auto store = std::make_shared<DefaultsStore>(
        path, nullptr, QStringLiteral("cannot open defaults %1: %2 (the file is left as it is)").arg(path, error));
    g_stores.emplace(key, store);
    return store;
}

std::shared_ptr<DefaultsStore> memoryStoreFor(const QString& path)
{
    std::lock_guard lock(g_registryMutex);
    const QString key = QStringLiteral("memory:") + path;
    if (auto it = g_stores.find(key); it != g_stores.end()) return it->second;
    QString error;
    auto c = Connection::open({}, error);
    Q_ASSERT(c); // an in-memory database needs nothing but memory
    auto store = std::make_shared<DefaultsStore>(QString(), std::move(c));
    g_stores.emplace(key, store);
    qCWarning(lcDefaults) << "standard defaults" << path
                          << "cannot be opened; values are kept in memory for this run";
    return store;
}

QString fileFor(const QString& name)
{
    return GroupContainer::dataRoot() + QLatin1Char('/') + name + QStringLiteral(".sqlite");
}

qint64 numberOf(const std::optional<Value>& v)
{
    if (!v) return 0;
    switch (v->kind) {
    case Defaults::Kind::integer: return v->number;
    case Defaults::Kind::boolean: return v->number != 0 ? 1 : 0;
    case Defaults::Kind::string: {
        bool ok = false;
        const qint64 n = QString::fromUtf8(v->bytes).trimmed().toLongLong(&ok);
        return ok ? n : 0;
    }
    case Defaults::Kind::data: return 0;
    }
    return 0;
}

qint64 saturatingAdd(qint64 a, qint64 b)
{
    qint64 out;
    if (__builtin_add_overflow(a, b, &out))
        return b > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
    return out;
}

} // namespace

Defaults::Defaults(std::shared_ptr<DefaultsStore> store) : store_(std::move(store)) {}

std::optional<Defaults> Defaults::suite(const QString& name)
{
    if (!GroupContainer::isPlainName(name)) {
        qCWarning(lcDefaults) << "cannot open defaults suite" << name << ": not a plain name";
        return std::nullopt;
    }
    auto store = storeAt(fileFor(name));
    if (!store) return std::nullopt;
    return Defaults(std::move(store));
}

Defaults Defaults::standard()
{
    QString app = QCoreApplication::applicationName();
    if (app.isEmpty()) app = QStringLiteral("velk");
    if (!GroupContainer::isPlainName(app)) app.replace(QLatin1Char('/'), QLatin1Char('_'));
    if (!GroupContainer::isPlainName(app)) app = QStringLiteral("velk");
    const QString path = fileFor(app);
    if (auto store = storeAt(path)) return Defaults(std::move(store));
    return Defaults(memoryStoreFor(path));
}

Defaults Defaults::shared()
{
    const QString path = fileFor(kAppGroupSuite);
    QString error;
    if (auto store = storeAt(path, &error)) return Defaults(std::move(store));
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) == 0) return Defaults(brokenStoreFor(path, error));
    return standard();
}

QString Defaults::lastError()
{
    return t_lastError;
}

std::optional<QByteArray> Defaults::data(const QString& key) const
{
    return store_->with([&](Connection& c) -> std::optional<QByteArray> {
        auto v = c.get(key);
        if (!v || v->kind != Kind::data) return std::nullopt;
        return v->bytes;
    });
}

bool Defaults::setData(const QString& key, const QByteArray& value)
{
    return store_->change([&](Connection& c) { return c.put(key, Kind::data, value, 0); });
}

qint64 Defaults::integer(const QString& key) const
{
    return store_->with([&](Connection& c) { return numberOf(c.get(key)); });
}

bool Defaults::setInteger(const QString& key, qint64 value)
{
    return store_->change([&](Connection& c) { return c.put(key, Kind::integer, {}, value); });
}

qint64 Defaults::addToInteger(const QString& key, qint64 delta)
{
    std::optional<qint64> added = store_->change([&](Connection& c) -> std::optional<qint64> {
        // IMMEDIATE takes the write lock before the read, so another process's increment
        // cannot slip in between.
        if (!c.begin()) {
            c.warn("add to", key);
            return std::nullopt;
        }
        const std::optional<Value> now = c.get(key);
        if (!t_lastError.isEmpty()) { // a read that failed is not a 0 to count from
            c.rollback();
            return std::nullopt;
        }
        const qint64 next = saturatingAdd(numberOf(now), delta);
        if (!c.put(key, Kind::integer, {}, next)) {
            c.rollback();
            return std::nullopt;
        }
        if (!c.commit()) {
            c.warn("add to", key);
            c.rollback();
            return std::nullopt;
        }
        return next;
    });
    if (added) return *added;
    // Nothing was stored: answer with the value as it stands, keeping the reason.
    const QString reason = t_lastError;
    const qint64 standing = integer(key);
    t_lastError = reason;
    return standing;
}

bool Defaults::boolean(const QString& key) const
{
    return store_->with([&](Connection& c) {
        auto v = c.get(key);
        return v && (v->kind == Kind::boolean || v->kind == Kind::integer) && v->number != 0;
    });
}

bool Defaults::setBool(const QString& key, bool value)
{
    return store_->change([&](Connection& c) { return c.put(key, Kind::boolean, {}, value ? 1 : 0); });
}

std::optional<QString> Defaults::string(const QString& key) const
{
    return store_->with([&](Connection& c) -> std::optional<QString> {
        auto v = c.get(key);
        if (!v || v->kind != Kind::string) return std::nullopt;
        return QString::fromUtf8(v->bytes);
    });
}

bool Defaults::setString(const QString& key, const QString& value)
{
    return store_->change([&](Connection& c) { return c.put(key, Kind::string, value.toUtf8(), 0); });
}

bool Defaults::contains(const QString& key) const
{
    return kind(key).has_value();
}

std::optional<Defaults::Kind> Defaults::kind(const QString& key) const
{
    return store_->with([&](Connection& c) -> std::optional<Kind> {
        auto v = c.get(key);
        if (!v) return std::nullopt;
        return v->kind;
    });
}

bool Defaults::remove(const QString& key)
{
    return store_->change([&](Connection& c) { return c.remove(key); });
}

QStringList Defaults::keys() const
{
    return store_->with([&](Connection& c) { return c.keys(); });
}

QString Defaults::path() const
{
    return store_->path();
}

QString Defaults::kindName(Kind kind)
{
    return QString::fromLatin1(kindText(kind));
}

} // namespace velk
