#pragma once
// The writing side of the screen-time log "velk.usage.v1": seconds of use per application per
// day, the newest 15 days that hold any use. Only the app writes it.
#include "shared/data/activity/UsageLog.h"

#include <QByteArray>
#include <QString>

namespace velk {

class UsageLogWriter {
public:
    UsageLogWriter() = delete;
    static constexpr int kDaysKept = 15;

    // Adds seconds to app on the day of `on` and rewrites the log.
    static void add(double seconds, const QString& app, Date on);
    // The store with seconds added and the oldest days beyond kDaysKept removed.
    static UsageLog::Store adding(UsageLog::Store store, double seconds, const QString& app, const QString& dayKey);
    // {"days": {...}}; nothing when a value cannot be written as JSON.
    static std::optional<QByteArray> encode(const UsageLog::Store& store);

private:
    static void save(const UsageLog::Store& store);
};

} // namespace velk
