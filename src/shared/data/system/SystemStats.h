#pragma once
// Samples of the host for the system-monitor, network and storage widgets. Load and throughput
// are rates, so the previous counters are kept in the shared suite between calls: every rate is
// the average since the previous call of the same function, whichever widget made it.
#include "platform/sysinfo/CpuTicks.h"
#include "shared/models/SystemRecords.h"

#include <QString>
#include <optional>

namespace velk {

namespace SystemStats {

inline const QString kCpuTicksKey = QStringLiteral("velk.sys.cputicks.v1");
inline const QString kNetBytesKey = QStringLiteral("velk.sys.netbytes.v1");

// Average processor load in percent since the previous call; nothing on the first call,
// after a reboot (counters that went down) or when no time passed between the samples.
std::optional<qint64> cpuPercent();
// Physical memory in use, in percent.
std::optional<qint64> memoryPercent();
// The graphics processor's load as its driver reports it.
std::optional<qint64> gpuPercent();
// Receive and send rates in decimal megabytes per second since the previous call.
std::optional<NetworkSnapshot> networkSnapshot();
// Used and total space of the home directory's volume, in decimal gigabytes.
std::optional<StorageSnapshot> storageSnapshot();

// The load between two samples: nothing when any counter went down (the machine restarted
// in between) or no tick passed; otherwise 0 to 100.
std::optional<qint64> cpuLoad(const CpuTicks& previous, const CpuTicks& current);

} // namespace SystemStats

} // namespace velk
