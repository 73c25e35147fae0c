#include "host/PlacementStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>
#include <QUuid>

namespace velk::host {

bool isWidgetScale(qreal scale) { return scale == 1 || scale == 1.5 || scale == 2; }

QString newPlacementId() { return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper(); }

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
        if (p.id.isEmpty() || p.kind.isEmpty())
            return fail(QStringLiteral("widget %1 has no id or kind").arg(i));
        if (ids.contains(p.id)) return fail(QStringLiteral("the id %1 is used twice").arg(p.id));
        ids.insert(p.id);
        // Positions are whole pixels; a stray fraction or a missing one is not worth losing the
        // widget over.
        p.position = QPoint(qRound(o.value(QLatin1String("x")).toDouble()), qRound(o.value(QLatin1String("y")).toDouble()));
        const qreal scale = o.value(QLatin1String("scale")).toDouble(1);
        p.scale = isWidgetScale(scale) ? scale : 1;
        p.configuration = o.value(QLatin1String("configuration")).toObject();
        out.push_back(std::move(p));
    }
    return out;
}

QByteArray serializePlacements(const std::vector<Placement>& placements)
{
    QJsonArray widgets;
    for (const Placement& p : placements)
        widgets.append(QJsonObject{{"id", p.id},
                                   {"kind", p.kind},
                                   {"x", p.position.x()},
                                   {"y", p.position.y()},
                                   {"scale", p.scale},
                                   {"configuration", p.configuration}});
    return QJsonDocument(QJsonObject{{"version", 1}, {"widgets", widgets}}).toJson(QJsonDocument::Indented);
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
    QFile file(path_);
    if (!file.exists()) return result;
    if (!file.open(QIODevice::ReadOnly)) {
        // Unreadable is not corrupt: leave it where it is, and say so.
        result.warning = QStringLiteral("cannot read %1: %2").arg(path_, file.errorString());
        result.canSave = false;
        return result;
    }
    const QByteArray bytes = file.readAll();
    file.close();
    QString why;
    if (auto placements = parsePlacements(bytes, &why)) {
        result.placements = std::move(*placements);
        return result;
    }
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss"));
    QString aside = path_ + QStringLiteral(".corrupt-") + stamp;
    for (int n = 1; QFileInfo::exists(aside); ++n)
        aside = path_ + QStringLiteral(".corrupt-%1-%2").arg(stamp).arg(n);
    if (QFile::rename(path_, aside)) {
        result.movedTo = aside;
        result.warning = QStringLiteral("%1 is damaged (%2); it was moved to %3 and no widgets were placed")
                             .arg(path_, why, aside);
    } else {
        result.warning = QStringLiteral("%1 is damaged (%2) and could not be moved aside").arg(path_, why);
        result.canSave = false;
    }
    return result;
}

bool PlacementStore::save(const std::vector<Placement>& placements, QString* error) const
{
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly) || file.write(serializePlacements(placements)) < 0 || !file.commit()) {
        if (error) *error = QStringLiteral("cannot write %1: %2").arg(path_, file.errorString());
        return false;
    }
    return true;
}

} // namespace velk::host
