#pragma once
// Access to the app-group suite shared by the app and the widget host: the generic JSON read
// and write most stores use, the day key of daily values, and reloadKinds, the one way an
// intent asks for widgets to be rebuilt and tells the app about it.
//
// Every access opens the suite afresh (Defaults::shared(): the app-group suite, or this
// process's standard defaults when that cannot be opened) and keeps nothing between calls.
#include "platform/core/Coding.h"
#include "platform/core/DateFormatter.h"
#include "platform/core/Defaults.h"
#include "shared/data/activity/ExtrasStoreActivity.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace velk {

// Plain functions over the suite. Habits, counters and goals are declared with the rest of
// ExtrasStore in ExtrasStoreActivity.h.
namespace ExtrasStore {

namespace detail {
StoreResult writeData(const QString& key, const QByteArray& bytes);
StoreResult unencodable(const QString& key);
void logUndecodable(const QString& key);
} // namespace detail

// The value stored as JSON under key, or nothing when the key is absent or its data does not
// decode as T. Undecodable data is left where it is (and said on the debug log).
template <class T>
std::optional<T> read(const QString& key)
{
    const std::optional<QByteArray> bytes = Defaults::shared().data(key);
    if (!bytes) return std::nullopt;
    std::optional<T> value = decodeJson<T>(*bytes);
    if (!value) detail::logUndecodable(key);
    return value;
}

// Replaces the value under key with value's JSON; when value cannot be encoded nothing is
// written, the suite is not opened and the previous value stays. A failure is logged and its
// reason returned.
template <class T>
StoreResult write(const T& value, const QString& key)
{
    const std::optional<QByteArray> bytes = encodeJson(value);
    if (!bytes) return detail::unencodable(key);
    return detail::writeData(key, *bytes);
}

// The shared suite to change, or why there is none to change: a suite that can only be kept
// in memory for this run does not count as stored.
std::optional<Defaults> writableSuite(QString* error);

// The formatter of day keys ("yyyy-MM-dd"): made once per process on first use, in the locale,
// calendar and time zone current at that moment, and kept for the process's life.
const DateFormatter& dayFormat();
// dayFormat() applied to a moment.
QString dayKey(Date date);

} // namespace ExtrasStore

// The notification the app answers by reloading every widget timeline.
inline const QString kReloadWidgetsNotification = QStringLiteral("com.harrowcrest.velk.reloadwidgets");

// Whether a reload is also posted as kReloadWidgetsNotification. What runs in the widget host
// posts it, so that the app reloads too; the app's own collectors never do, since the app answers
// the notification by reloading every timeline.
enum class ReloadNotice { post, none };

// Asks the widget host to reload each kind, in the order given, then (with ReloadNotice::post)
// posts kReloadWidgetsNotification once, even for an empty list. Reports nothing.
void reloadKinds(const QStringList& kinds, ReloadNotice notice = ReloadNotice::post);

} // namespace velk
