#pragma once
// Today's power events, kept in the shared suite: plug-in, unplug (with the drain rate since the
// previous sample) and full charge, found by comparing each battery reading with the previous
// one, followed by a line for the present state.
#include "platform/core/Coding.h"
#include "shared/models/PowerRecords.h"

#include <QString>
#include <optional>
#include <vector>

namespace velk {

// The internal battery as the power readers see it.
struct BatteryReading {
    qint64 percent = 0;
    bool isCharging = false;
    std::optional<QString> remaining; // time to full while charging, to empty otherwise

    friend bool operator==(const BatteryReading&, const BatteryReading&) = default;
};

namespace PowerLog {

inline const QString kKey = QStringLiteral("velk.powerlog.v1");

// The stored document: the log as last returned and the sample it was made from.
struct Stored {
    std::vector<PowerSnapshot::LogEntry> entries;
    qint64 lastPercent = 0;
    bool lastCharging = false;
    Date lastAt;

    VELK_FIELDS(Stored, entries, lastPercent, lastCharging, lastAt)
    friend bool operator==(const Stored& a, const Stored& b)
    {
        return a.entries == b.entries && a.lastPercent == b.lastPercent && a.lastCharging == b.lastCharging &&
               a.lastAt == b.lastAt;
    }
};

// What a machine without a battery shows as its charge.
constexpr qint64 kMainsPercent = 100;

// Records the reading (now = Clock::now()) and returns the entries to show: at most six
// events of today followed by the present state. Without a reading nothing is read or
// written and the list is the present state on mains power, "100%", alone.
std::vector<PowerSnapshot::LogEntry> record(const std::optional<BatteryReading>& current);

} // namespace PowerLog

} // namespace velk
