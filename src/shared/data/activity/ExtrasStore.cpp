#include "shared/data/activity/ExtrasStore.h"

#include "platform/core/DistributedNotifications.h"
#include "platform/core/Log.h"
#include "platform/timeline/WidgetCenter.h"

namespace velk {

void requireStored(const StoreResult& result)
{
    if (!result) throw StoreWriteError(result.error.toStdString());
}

namespace ExtrasStore {

std::optional<Defaults> writableSuite(QString* error)
{
    Defaults suite = Defaults::shared();
    if (suite.path().isEmpty()) {
        *error = QStringLiteral("the shared defaults cannot be opened, so nothing is stored (see the earlier message)");
        qCWarning(lcDefaults).noquote() << *error;
        return std::nullopt;
    }
    return suite;
}

namespace detail {

StoreResult writeData(const QString& key, const QByteArray& bytes)
{
    QString error;
    std::optional<Defaults> suite = writableSuite(&error);
    if (suite && !suite->setData(key, bytes)) error = Defaults::lastError(); // logged by the store
    return {error};
}

StoreResult unencodable(const QString& key)
{
    const QString error = QStringLiteral("the value for %1 cannot be encoded; nothing is stored").arg(key);
    qCWarning(lcDefaults).noquote() << error;
    return {error};
}

void logUndecodable(const QString& key)
{
    qCDebug(lcDefaults) << "the stored value of" << key << "does not decode; it is read as absent and left in place";
}

} // namespace detail

const DateFormatter& dayFormat()
{
    // A function-local static: made exactly once, even when several threads ask first.
    static const DateFormatter formatter = [] {
        DateFormatter f; // the current locale and time zone, as of now
        f.setCalendar(Calendar::current());
        f.setDateFormat(QStringLiteral("yyyy-MM-dd"));
        return f;
    }();
    return formatter;
}

QString dayKey(Date date)
{
    return dayFormat().string(date);
}

} // namespace ExtrasStore

void reloadKinds(const QStringList& kinds, ReloadNotice notice)
{
    for (const QString& kind : kinds)
        timeline::WidgetCenter::shared().reloadTimelines(kind);
    if (notice == ReloadNotice::post) DistributedNotifications().post(kReloadWidgetsNotification);
}

} // namespace velk
