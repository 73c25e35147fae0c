#include "platform/core/DefaultsConnection.h"

#include "platform/core/Log.h"

#include <QFile>

#include <sqlite3.h>

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velk::defaults {

const char* kindText(Defaults::Kind kind)
{
    switch (kind) {
    case Defaults::Kind::data:
        return "data";
    case Defaults::Kind::integer:
        return "integer";
    case Defaults::Kind::boolean:
        return "bool";
    case Defaults::Kind::string:
        return "string";
    }
    return "data";
}

namespace {

constexpr int kBusyTimeoutMs = 2000;

std::optional<Defaults::Kind> kindFromText(const unsigned char* text)
{
    if (!text) return std::nullopt;
    const char* t = reinterpret_cast<const char*>(text);
    for (auto k : {Defaults::Kind::data, Defaults::Kind::integer, Defaults::Kind::boolean, Defaults::Kind::string})
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

Connection::~Connection()
{
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
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        error = c->db_ ? QString::fromUtf8(sqlite3_errmsg(c->db_)) : QString::fromUtf8(sqlite3_errstr(rc));
        return nullptr;
    }
    sqlite3_busy_timeout(c->db_, kBusyTimeoutMs);
    // The first statement reads the header: a file that is not a database fails here,
    // before anything is written to it.
    const char* setup =
        path.isEmpty()
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
    if (setupRc != SQLITE_OK || !c->prepare(c->get_, "SELECT kind, value FROM defaults WHERE key = ?1") ||
        !c->prepare(c->put_, "INSERT INTO defaults(key, kind, value) VALUES(?1, ?2, ?3) "
                             "ON CONFLICT(key) DO UPDATE SET kind = excluded.kind, value = excluded.value") ||
        !c->prepare(c->del_, "DELETE FROM defaults WHERE key = ?1") ||
        !c->prepare(c->keys_, "SELECT key FROM defaults ORDER BY key") || !c->prepare(c->begin_, "BEGIN IMMEDIATE") ||
        !c->prepare(c->commit_, "COMMIT") || !c->prepare(c->rollback_, "ROLLBACK")) {
        error = QString::fromUtf8(sqlite3_errmsg(c->db_));
        return nullptr;
    }
    if (!path.isEmpty()) {
        struct stat st {};
        if (::stat(file.constData(), &st) == 0 && (st.st_mode & 077) != 0) ::chmod(file.constData(), st.st_mode & 0700);
    }
    return c;
}

std::optional<Value> Connection::get(const QString& key)
{
    // Read at every call: a value another connection wrote is seen at once, and a read of the
    // few small rows a render asks for costs microseconds.
    Reset r{get_};
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

bool Connection::put(const QString& key, Defaults::Kind kind, const QByteArray& bytes, qint64 number)
{
    Reset r{put_};
    bindKey(put_, key);
    sqlite3_bind_text(put_, 2, kindText(kind), -1, SQLITE_STATIC);
    switch (kind) {
    case Defaults::Kind::data:
        // A null pointer would bind SQL NULL; an empty value is still a value.
        if (bytes.isEmpty())
            sqlite3_bind_zeroblob(put_, 3, 0);
        else
            sqlite3_bind_blob(put_, 3, bytes.constData(), int(bytes.size()), SQLITE_STATIC);
        break;
    case Defaults::Kind::string:
        sqlite3_bind_text(put_, 3, bytes.isEmpty() ? "" : bytes.constData(), int(bytes.size()), SQLITE_STATIC);
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
    if (sqlite3_prepare_v2(db_, "PRAGMA quick_check(1)", -1, &check, nullptr) != SQLITE_OK) return errorText();
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

bool Connection::begin()
{
    return step(begin_);
}
bool Connection::commit()
{
    return step(commit_);
}

void Connection::rollback()
{
    if (!sqlite3_get_autocommit(db_)) step(rollback_);
}

QString Connection::errorText() const
{
    return QString::fromUtf8(sqlite3_errmsg(db_));
}

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
