#include "host/PlacementStore.h"

#include "host/HostFiles.h"
#include "platform/core/FileSave.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <QStandardPaths>
#include <QUuid>
#include <algorithm>
#include <cmath>

namespace velk::host {

namespace {

constexpr int kVersion = 1;
const QSet<QString> kWidgetMembers = {QStringLiteral("id"), QStringLiteral("kind"),  QStringLiteral("x"),
                                      QStringLiteral("y"),  QStringLiteral("scale"), QStringLiteral("configuration")};
// A lock held this long by a live writer is one that hung.
constexpr int kStaleLockMs = 10000;
// A placement file holds a few hundred bytes per widget.
constexpr qint64 kMaxFileBytes = 8 * 1024 * 1024;
// Far outside any screen, yet safe to add screen sizes to.
constexpr double kMaxCoordinate = 1000000;

int coordinate(const QJsonValue& v)
{
    const double d = v.toDouble();
    // Clamped before rounding: a huge or non-finite value must not wrap around.
    return std::isfinite(d) ? int(std::lround(std::clamp(d, -kMaxCoordinate, kMaxCoordinate))) : 0;
}

std::optional<QRect> readScreenArea(const QJsonObject& file)
{
    const QJsonObject o = file.value(QLatin1String("screen")).toObject();
    const QRect area(o.value(QLatin1String("x")).toInt(), o.value(QLatin1String("y")).toInt(),
                     o.value(QLatin1String("width")).toInt(), o.value(QLatin1String("height")).toInt());
    // Anything but a plausible screen is as good as none.
    if (area.width() < 100 || area.height() < 100 || area.width() > 100000 || area.height() > 100000)
        return std::nullopt;
    return area;
}

} // namespace

bool isWidgetScale(qreal scale)
{
    return scale == 1 || scale == 1.5 || scale == 2;
}

QString newPlacementId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

std::optional<std::vector<Placement>> parsePlacements(const QByteArray& json, QString* error)
{
    auto fail = [error](const QString& why) -> std::optional<std::vector<Placement>> {
        if (error) *error = why;
        return std::nullopt;
    };
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parse);
    if (parse.error != QJsonParseError::NoError)
        return fail(QStringLiteral("not JSON (%1 at offset %2)").arg(parse.errorString()).arg(parse.offset));
    if (!doc.isObject() || !doc.object().value(QLatin1String("widgets")).isArray())
        return fail(QStringLiteral("no \"widgets\" list"));

    std::vector<Placement> out;
    QSet<QString> ids;
    const QJsonArray widgets = doc.object().value(QLatin1String("widgets")).toArray();
    for (qsizetype i = 0; i < widgets.size(); ++i) {
        const QJsonObject o = widgets[i].toObject();
        Placement p;
        p.id = o.value(QLatin1String("id")).toString();
        p.kind = o.value(QLatin1String("kind")).toString();
        if (p.id.isEmpty() || p.kind.isEmpty()) return fail(QStringLiteral("widget %1 has no id or kind").arg(i));
        if (ids.contains(p.id)) return fail(QStringLiteral("the id %1 is used twice").arg(p.id));
        ids.insert(p.id);
        // Positions are whole pixels; a stray fraction or a missing one is not worth losing the
        // widget over.
        p.position = QPoint(coordinate(o.value(QLatin1String("x"))), coordinate(o.value(QLatin1String("y"))));
        const qreal scale = o.value(QLatin1String("scale")).toDouble(1);
        p.scale = isWidgetScale(scale) ? scale : 1;
        p.configuration = o.value(QLatin1String("configuration")).toObject();
        for (auto it = o.begin(); it != o.end(); ++it)
            if (!kWidgetMembers.contains(it.key())) p.unknown.insert(it.key(), it.value());
        out.push_back(std::move(p));
    }
    return out;
}

QByteArray serializePlacements(const std::vector<Placement>& placements, const QJsonObject& file)
{
    QJsonArray widgets;
    for (const Placement& p : placements) {
        QJsonObject o = p.unknown;
        o.insert(QStringLiteral("id"), p.id);
        o.insert(QStringLiteral("kind"), p.kind);
        o.insert(QStringLiteral("x"), p.position.x());
        o.insert(QStringLiteral("y"), p.position.y());
        o.insert(QStringLiteral("scale"), p.scale);
        o.insert(QStringLiteral("configuration"), p.configuration);
        widgets.append(o);
    }
    QJsonObject top = file;
    // A newer version's number stays, so that version still knows the file as its own.
    const int version = std::max(kVersion, file.value(QLatin1String("version")).toInt(kVersion));
    top.insert(QStringLiteral("version"), version);
    top.insert(QStringLiteral("widgets"), widgets);
    return QJsonDocument(top).toJson(QJsonDocument::Indented);
}

QStringList mergePlacements(const std::vector<Placement>& base, const std::vector<Placement>& disk,
                            std::vector<Placement>& mine)
{
    auto find = [](const std::vector<Placement>& list, const QString& id) -> const Placement* {
        for (const Placement& p : list)
            if (p.id == id) return &p;
        return nullptr;
    };
    QStringList changed;
    // Removed or changed by another writer.
    for (const Placement& b : base) {
        const Placement* d = find(disk, b.id);
        if (d && *d == b) continue;
        const auto it = std::find_if(mine.begin(), mine.end(), [&](const Placement& p) { return p.id == b.id; });
        if (it == mine.end()) continue; // removed here too
        if (!d)
            mine.erase(it);
        else
            *it = *d;
        changed << b.id;
    }
    // Added by another writer.
    for (const Placement& d : disk)
        if (!find(base, d.id) && !find(mine, d.id)) {
            mine.push_back(d);
            changed << d.id;
        }
    return changed;
}

PlacementStore::PlacementStore(QString path) : path_(std::move(path)) {}

QString PlacementStore::defaultPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("velk/widgets.json"));
}

PlacementStore::Loaded PlacementStore::load() const
{
    Loaded result;
    QString why;
    bool missing = false;
    const std::optional<QByteArray> file = readRegularFile(path_, kMaxFileBytes, &why, &missing);
    if (!file) {
        if (missing) return result;
        // Unreadable, a FIFO, a device or huge is not corrupt: leave it where it is, and say so.
        result.warning = why;
        result.canSave = false;
        return result;
    }
    const QByteArray& bytes = *file;
    if (auto placements = parsePlacements(bytes, &why)) {
        result.placements = std::move(*placements);
        result.screenArea = readScreenArea(QJsonDocument::fromJson(bytes).object());
        return result;
    }
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss"));
    QString aside = path_ + QStringLiteral(".corrupt-") + stamp;
    for (int n = 1; QFileInfo::exists(aside); ++n)
        aside = path_ + QStringLiteral(".corrupt-%1-%2").arg(stamp).arg(n);
    if (QFile::rename(path_, aside)) {
        result.movedTo = aside;
        result.warning =
            QStringLiteral("%1 is damaged (%2); it was moved to %3 and no widgets were placed").arg(path_, why, aside);
    } else {
        result.warning = QStringLiteral("%1 is damaged (%2) and could not be moved aside").arg(path_, why);
        result.canSave = false;
    }
    return result;
}

bool PlacementStore::save(const std::vector<Placement>& placements, QString* error,
                          std::optional<QRect> screenArea) const
{
    if (!makePrivateDir(QFileInfo(path_).absolutePath(), error)) return false;
    QString why;
    bool missing = false;
    const std::optional<QByteArray> old = readRegularFile(path_, kMaxFileBytes, &why, &missing);
    if (!old && !missing) {
        if (error) *error = QStringLiteral("%1; nothing was written").arg(why);
        return false;
    }
    QJsonObject current = old ? QJsonDocument::fromJson(*old).object() : QJsonObject();
    if (screenArea)
        current.insert(QStringLiteral("screen"), QJsonObject{{QStringLiteral("x"), screenArea->x()},
                                                             {QStringLiteral("y"), screenArea->y()},
                                                             {QStringLiteral("width"), screenArea->width()},
                                                             {QStringLiteral("height"), screenArea->height()}});
    // The user's own layout: readable by the user only.
    return saveFileAtomically(path_, serializePlacements(placements, current), error, FileAccess::ownerOnly);
}

} // namespace velk::host

namespace velk::host {

std::unique_ptr<QLockFile> PlacementStore::lock(int waitMs, QString* error, bool* busy) const
{
    if (busy) *busy = false;
    QString why;
    if (!makePrivateDir(QFileInfo(path_).absolutePath(), &why)) {
        if (error) *error = QStringLiteral("cannot write %1: %2").arg(path_, why);
        return nullptr;
    }
    // Writers hold the lock for a moment, but many may queue for it (fifty commands started at
    // once on a loaded machine).
    auto lock = std::make_unique<QLockFile>(path_ + QStringLiteral(".lock"));
    // A lock left by a writer that died is taken over at once (its process is gone); one held
    // by a live writer only once it is this old.
    lock->setStaleLockTime(kStaleLockMs);
    if (lock->tryLock(waitMs)) return lock;
    const bool held = lock->error() == QLockFile::LockFailedError;
    if (busy) *busy = held;
    if (error)
        *error = held ? QStringLiteral("cannot write %1: another writer holds %1.lock").arg(path_)
                      : QStringLiteral("cannot write %1: its lock file cannot be made").arg(path_);
    return nullptr;
}

} // namespace velk::host
