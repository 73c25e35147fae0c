#pragma once
// The computer's own battery, connected peripherals' charge and today's power events.
#include "platform/core/Coding.h"
#include "platform/core/Date.h"
#include "shared/models/RecordEquality.h"

#include <QString>

#include <optional>
#include <vector>

namespace velk {

struct PowerSnapshot {
    struct Device {
        QString name; // also the identity
        qint64 percent = 0;

        VELK_FIELDS(Device, name, percent)
        VELK_RECORD_EQUALITY(Device)

        const QString& id() const { return name; }
    };

    struct LogEntry {
        Date time; // also the identity
        QString message;
        bool isCurrent = false; // describes the present state

        VELK_FIELDS(LogEntry, time, message, isCurrent)
        VELK_RECORD_EQUALITY(LogEntry)

        Date id() const { return time; }
    };

    qint64 percent = 0;
    bool isCharging = false;
    std::optional<QString> remaining; // display text such as "2H 40M"
    std::vector<Device> devices;      // display order
    std::vector<LogEntry> log;        // the order the power log keeps

    VELK_FIELDS(PowerSnapshot, percent, isCharging, remaining, devices, log)
    VELK_RECORD_EQUALITY(PowerSnapshot)

    // Its log times are today at 07:40, 08:15 and 16:32 in the user's calendar, today being
    // the clock's at each call.
    static PowerSnapshot sample();
};

} // namespace velk
