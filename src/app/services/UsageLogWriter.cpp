#include "app/services/UsageLogWriter.h"

#include "platform/core/Defaults.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace velk {

UsageLog::Store UsageLogWriter::adding(UsageLog::Store store, double seconds, const QString& app, const QString& dayKey)
{
    store.days[dayKey][app] += seconds;
    // QMap keeps its keys sorted, and "yyyy-MM-dd" sorts as dates do.
    while (store.days.size() > kDaysKept)
        store.days.erase(store.days.begin());
    return store;
}

std::optional<QByteArray> UsageLogWriter::encode(const UsageLog::Store& store)
{
    QJsonObject days;
    for (auto day = store.days.cbegin(); day != store.days.cend(); ++day) {
        QJsonObject apps;
        for (auto app = day->cbegin(); app != day->cend(); ++app) {
            if (!std::isfinite(app.value())) return std::nullopt;
            apps.insert(app.key(), app.value());
        }
        days.insert(day.key(), apps);
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("days"), days}}).toJson(QJsonDocument::Compact);
}

void UsageLogWriter::add(double seconds, const QString& app, Date on)
{
    save(adding(UsageLog::load(), seconds, app, UsageLog::dayFormat().string(on)));
}

void UsageLogWriter::save(const UsageLog::Store& store)
{
    const std::optional<QByteArray> bytes = encode(store);
    if (!bytes) return;
    Defaults::shared().setData(UsageLog::kKey, *bytes);
}

} // namespace velk
