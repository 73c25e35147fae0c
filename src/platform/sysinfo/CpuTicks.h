#pragma once
// The processor's tick counters, all processors together, since boot: the kernel's aggregate
// "cpu" line of /proc/stat folded into four counters.
#include "platform/sysinfo/SysinfoPaths.h"

#include <QByteArrayView>
#include <optional>

namespace velk {

struct CpuTicks {
    quint64 user = 0;   // user mode, guest time included (the kernel already counts it there)
    quint64 system = 0; // kernel mode, interrupts, soft interrupts and time stolen by a hypervisor
    quint64 idle = 0;   // idle and waiting for I/O
    quint64 nice = 0;   // user mode at lowered priority

    friend bool operator==(const CpuTicks&, const CpuTicks&) = default;
};

// The counters of the aggregate line of a /proc/stat text, or nothing when it has none or it
// holds fewer than the four basic columns.
std::optional<CpuTicks> parseCpuTicks(QByteArrayView procStat);

// Reads <procRoot>/stat.
std::optional<CpuTicks> readCpuTicks(const SysinfoPaths& paths = SysinfoPaths::current());

} // namespace velk
