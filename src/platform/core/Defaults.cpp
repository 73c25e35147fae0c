#include "platform/core/Defaults.h"
#include "platform/core/DefaultsConnection.h"
#include "platform/core/GroupContainer.h"
#include "platform/core/Log.h"

#include <QCoreApplication>
#include <QFile>

#include <atomic>
#include <limits>
#include <mutex>
#include <sys/stat.h>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>

namespace velk {

namespace {

using defaults::Connection;
using defaults::Value;

std::atomic<quint64> g_nextStoreId{1};

// A connection is used by one thread at a time (it is opened without SQLite's own locking), so
// each thread keeps its own to each store file, opened on first use and closed when the thread
// ends, beside why its last access failed.
struct ThreadState {
    std::unordered_map<quint64, std::unique_ptr<Connection>> connections;
    QString lastError;
};

ThreadState& thisThread()
{
    thread_local ThreadState state;
    return state;
}

} // namespace

QString& defaults::threadLastError()
{
    return thisThread().lastError;
}

// The file behind one or more handles. Stores are made once per path and kept for the life of
// the process, so opening a suite for each access costs a map lookup.
class DefaultsStore {
public:
    // broken: why the file cannot be used; such a store fails every access with that reason.
    DefaultsStore(QString path, std::unique_ptr<Connection> memory, QString broken = {})
        : path_(std::move(path)), memory_(std::move(memory)), broken_(std::move(broken))
    {}

    const QString& path() const { return path_; }
    quint64 id() const { return id_; }

    // Runs f with this thread's connection (the one shared connection for the in-memory
    // fallback, under its lock). Gives an empty result (nothing, 0, false) when no connection
    // can be had.
    template <class F, class R = std::invoke_result_t<F, Connection&>>
    R with(F&& f)
    {
        defaults::threadLastError().clear();
        if (!broken_.isEmpty()) {
            defaults::threadLastError() = broken_;
            return R{};
        }
        if (memory_) {
            std::lock_guard lock(memoryMutex_);
            return f(*memory_);
        }
        auto& connections = thisThread().connections;
        auto& slot = connections[id_];
        if (!slot) {
            QString error;
            slot = Connection::open(path_, error);
            if (!slot) {
                connections.erase(id_);
                defaults::threadLastError() = QStringLiteral("cannot open defaults %1: %2").arg(path_, error);
                qCWarning(lcDefaults).noquote() << defaults::threadLastError();
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
    void adopt(std::unique_ptr<Connection> c) { thisThread().connections[id_] = std::move(c); }

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
        if (!damage_.isEmpty()) defaults::threadLastError() = damage_;
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
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (!GroupContainer::makePrivateDirectory(path.left(slash)))
        error = QStringLiteral("its folder cannot be created");
    else
        c = Connection::open(path, error);
    if (!c) {
        if (why) *why = error;
        // Suites are opened for every access; say it once, not every time.
        if (g_reported.insert(path).second)
            qCWarning(lcDefaults) << "cannot open defaults" << path << ":" << error << "(the file is left as it is)";
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
    qCWarning(lcDefaults) << "standard defaults" << path << "cannot be opened; values are kept in memory for this run";
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
    case Defaults::Kind::integer:
        return v->number;
    case Defaults::Kind::boolean:
        return v->number != 0 ? 1 : 0;
    case Defaults::Kind::string: {
        bool ok = false;
        const qint64 n = QString::fromUtf8(v->bytes).trimmed().toLongLong(&ok);
        return ok ? n : 0;
    }
    case Defaults::Kind::data:
        return 0;
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
    return defaults::threadLastError();
}

std::optional<QByteArray> Defaults::data(const QString& key) const
{
    return store_->with([&](Connection& c) -> std::optional<QByteArray> {
        auto v = c.get(key);
        if (!v || v->kind != Kind::data) return std::nullopt;
        return v->bytes;
    });
}

namespace {

// False (with the reason logged and kept for lastError()) for a value past the cap.
bool withinValueCap(const QString& key, qsizetype bytes)
{
    if (bytes <= Defaults::kMaxValueBytes) return true;
    defaults::threadLastError() = QStringLiteral("the value of %1 takes %2 bytes, more than the %3 a value may hold; "
                                                 "the previous value is kept")
                                      .arg(key)
                                      .arg(bytes)
                                      .arg(Defaults::kMaxValueBytes);
    qCWarning(lcDefaults).noquote() << defaults::threadLastError();
    return false;
}

} // namespace

bool Defaults::setData(const QString& key, const QByteArray& value)
{
    if (!withinValueCap(key, value.size())) return false;
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
        if (!defaults::threadLastError().isEmpty()) { // a read that failed is not a 0 to count from
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
    const QString reason = defaults::threadLastError();
    const qint64 standing = integer(key);
    defaults::threadLastError() = reason;
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
    const QByteArray bytes = value.toUtf8();
    if (!withinValueCap(key, bytes.size())) return false;
    return store_->change([&](Connection& c) { return c.put(key, Kind::string, bytes, 0); });
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
    return QString::fromLatin1(defaults::kindText(kind));
}

} // namespace velk
