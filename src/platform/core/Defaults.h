#pragma once
// The defaults store: typed key-value suites shared between the VELK processes, one SQLite file
// per suite under $XDG_DATA_HOME/velk/. Every write replaces a value whole in one transaction,
// so a reader in another process sees the old value or the new one, never a mix.
//
// A Defaults is a cheap handle; copies share one connection per suite file and thread, so a
// handle may be used from worker threads. Setters answer false when nothing could be written
// (the failure is logged and the previous value stays); lastError() tells why.
//
// Before the first write to a file in a process its pages are checked (SQLite's quick check):
// a damaged file is never written to, and reads that hit a damaged page are errors, not
// absent values.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace velk {

class DefaultsStore; // the SQLite file behind a handle (Defaults.cpp)

class Defaults {
public:
    // The largest data or string value a suite keeps. Renders read values whole, so a list
    // grown past this would slow every one of them: a setter refuses it (answers false, logs
    // why and keeps the previous value).
    static constexpr qsizetype kMaxValueBytes = qsizetype{4} * 1024 * 1024;

    // The app-group suite every store of the system opens.
    static inline const QString kAppGroupSuite = QStringLiteral("QX48TN7702.com.harrowcrest.velk");

    enum class Kind { data, integer, boolean, string };

    // The named suite, or nothing when its file cannot be opened (logged; the file is kept).
    static std::optional<Defaults> suite(const QString& name);
    // This process's standard defaults (a file named after the application, "velk" when it has
    // no name). When that file cannot be opened the values live in memory for this run.
    static Defaults standard();
    // The app-group suite, falling back to the standard defaults when its file does not exist
    // and cannot be made. A suite file that exists but cannot be opened (damaged, not a
    // database, unreadable) is never stood in for by another file: the handle then fails every
    // access, so nothing meant for the suite lands elsewhere.
    static Defaults shared();

    // Why the last access through any handle on this thread failed: empty when it succeeded.
    // It tells an absent key (empty) from a read that failed, and says why a setter answered
    // false.
    static QString lastError();

    std::optional<QByteArray> data(const QString& key) const;
    bool setData(const QString& key, const QByteArray& value);

    // An absent key (or one that holds no number) reads 0; a bool reads 1 or 0; a string that is
    // a whole decimal number reads that number.
    qint64 integer(const QString& key) const;
    bool setInteger(const QString& key, qint64 value);
    // Adds to the stored integer atomically, also against other processes (absent or non-number
    // counts as 0), saturating at the qint64 limits, and returns the new value. When the store
    // cannot be written it returns the value as it stands and lastError() says why.
    qint64 addToInteger(const QString& key, qint64 delta);

    // A bool, or an integer (non-zero is true); anything else reads false.
    bool boolean(const QString& key) const;
    bool setBool(const QString& key, bool value);

    std::optional<QString> string(const QString& key) const;
    bool setString(const QString& key, const QString& value);

    bool contains(const QString& key) const;
    std::optional<Kind> kind(const QString& key) const;
    bool remove(const QString& key);
    QStringList keys() const;

    // The file behind this handle (empty for the in-memory fallback, whose values last only
    // for this run).
    QString path() const;

    // The stored name of a kind: "data", "integer", "bool", "string".
    static QString kindName(Kind kind);

private:
    explicit Defaults(std::shared_ptr<DefaultsStore> store);
    std::shared_ptr<DefaultsStore> store_;
};

} // namespace velk
