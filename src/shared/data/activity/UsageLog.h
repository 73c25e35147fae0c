#pragma once
// The reading side of the screen-time log. The app adds the seconds each app spends frontmost
// to a per-day document in the shared suite; this turns it into today's snapshot for the
// screen-time widgets. It never writes the log.
#include "platform/core/DateFormatter.h"
#include "shared/models/UsageRecords.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <optional>

namespace velk {

namespace UsageLog {

inline const QString kKey = QStringLiteral("velk.usage.v1");

struct Store {
    // Day key ("yyyy-MM-dd") -> app name -> seconds.
    QMap<QString, QMap<QString, double>> days;

    // Nothing unless the document is an object whose "days" is a map of maps of numbers.
    static std::optional<Store> decode(const QByteArray& json);
    friend bool operator==(const Store&, const Store&) = default;
};

// The day-key formatter, the same one the writer of the log uses.
const DateFormatter& dayFormat();

// The stored log; an absent or undecodable document reads as an empty one.
Store load();

// Today's total, its three most used apps and the last seven days, as of Clock::now();
// nothing when neither today nor any day of the week has a minute logged.
std::optional<UsageSnapshot> snapshot(qint64 budgetMinutes);
std::optional<UsageSnapshot> snapshot(const Store& store, qint64 budgetMinutes, Date now);

} // namespace UsageLog

} // namespace velk
