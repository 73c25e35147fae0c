#pragma once
// The SQLite side of the defaults store: one connection to a suite file with its prepared
// statements, and the row as read back. Only Defaults.cpp uses it.
#include "platform/core/Defaults.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace velk::defaults {

// Why the last access on this thread failed (Defaults::lastError()).
QString& threadLastError();

const char* kindText(Defaults::Kind kind);

// One row as read back.
struct Value {
    Defaults::Kind kind;
    QByteArray bytes;  // data, or the UTF-8 of a string
    qint64 number = 0; // integer and bool
};

// One SQLite connection with its prepared statements. Used by one thread at a time.
class Connection {
public:
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens the file (or an in-memory database for an empty path) and checks that it is a
    // defaults store. Nothing on failure, with the reason in error.
    static std::unique_ptr<Connection> open(const QString& path, QString& error);

    // The row, or nothing when it is absent or cannot be read (then lastError says why).
    std::optional<Value> get(const QString& key);
    // Replaces the row whole in one statement (its own transaction unless one is open).
    bool put(const QString& key, Defaults::Kind kind, const QByteArray& bytes, qint64 number);
    bool remove(const QString& key);
    QStringList keys();

    // SQLite's quick check of every page: empty when the file is sound, else its first finding.
    QString damage();

    bool begin();
    bool commit();
    void rollback();

    QString errorText() const;
    // Logs the failure with SQLite's reason and keeps it as lastError(); answers false.
    bool warn(const char* what, const QString& key) const;

private:
    Connection() = default;

    bool prepare(sqlite3_stmt*& s, const char* sql);
    bool step(sqlite3_stmt* s);
    static void bindKey(sqlite3_stmt* s, const QString& key);

    sqlite3* db_ = nullptr;
    sqlite3_stmt* get_ = nullptr;
    sqlite3_stmt* put_ = nullptr;
    sqlite3_stmt* del_ = nullptr;
    sqlite3_stmt* keys_ = nullptr;
    sqlite3_stmt* begin_ = nullptr;
    sqlite3_stmt* commit_ = nullptr;
    sqlite3_stmt* rollback_ = nullptr;
};

} // namespace velk::defaults
