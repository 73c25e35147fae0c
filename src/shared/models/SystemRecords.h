#pragma once
// Processor, memory and graphics load, transfer rates and disk space as sampled from the host.
#include "platform/core/Coding.h"
#include "shared/models/RecordEquality.h"

#include <QString>

#include <optional>

namespace velk {

struct SystemSnapshot {
    qint64 cpuPercent = 0;
    qint64 memoryPercent = 0;
    std::optional<qint64> gpuPercent; // empty when no figure could be read

    VELK_FIELDS(SystemSnapshot, cpuPercent, memoryPercent, gpuPercent)
    VELK_RECORD_EQUALITY(SystemSnapshot)
};

struct NetworkSnapshot {
    double downMBs = 0;
    double upMBs = 0;

    VELK_FIELDS(NetworkSnapshot, downMBs, upMBs)
    VELK_RECORD_EQUALITY(NetworkSnapshot)
};

struct StorageSnapshot {
    qint64 usedGB = 0;
    qint64 totalGB = 0;

    VELK_FIELDS(StorageSnapshot, usedGB, totalGB)
    VELK_RECORD_EQUALITY(StorageSnapshot)

    // The capacity as the storage widget shows it: "512GB", or whole terabytes ("2TB") from
    // 1000 GB on.
    QString totalLabel() const;
};

} // namespace velk
