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

// Habits, counters and goals live in ExtrasStoreActivity; ExtrasStore is the one name callers use.
class ExtrasStore : public ExtrasStoreActivity {
public:
    // The value stored as JSON under key, or nothing when the key is absent or its data does
    // not decode as T. Undecodable data is left where it is.
    template <class T>
    static std::optional<T> read(const QString& key)
    {
        const std::optional<QByteArray> bytes = Defaults::shared().data(key);
        if (!bytes) return std::nullopt;
        return decodeJson<T>(*bytes);
    }

    // Replaces the value under key with value's JSON; when value cannot be encoded nothing is
    // written, the suite is not opened and the previous value stays.
    template <class T>
    static void write(const T& value, const QString& key)
    {
        const std::optional<QByteArray> bytes = encodeJson(value);
        if (!bytes) return;
        Defaults::shared().setData(key, *bytes);
    }

    // The formatter of day keys ("yyyy-MM-dd"): made once per process on first use, in the
    // locale, calendar and time zone current at that moment, and kept for the process's life.
    static const DateFormatter& dayFormat();
    // dayFormat() applied to a moment.
    static QString dayKey(Date date);
};

// The notification the app answers by reloading every widget timeline.
inline const QString kReloadWidgetsNotification = QStringLiteral("com.harrowcrest.velk.reloadwidgets");

// Asks the widget host to reload each kind, in the order given, then posts
// kReloadWidgetsNotification once (even for an empty list). Reports nothing.
void reloadKinds(const QStringList& kinds);

} // namespace velk
