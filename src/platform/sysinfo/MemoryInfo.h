#pragma once
// Physical memory in use, from /proc/meminfo: used = MemTotal - MemAvailable, so page cache the
// kernel can drop at once counts as free.
#include "platform/sysinfo/SysinfoPaths.h"

#include <QByteArrayView>
#include <optional>

namespace velk {

struct MemoryInfo {
    quint64 totalBytes = 0;
    quint64 usedBytes = 0;

    friend bool operator==(const MemoryInfo&, const MemoryInfo&) = default;
};

// Nothing when MemTotal or MemAvailable is missing or malformed, or MemTotal is 0.
std::optional<MemoryInfo> parseMemoryInfo(QByteArrayView meminfo);

std::optional<MemoryInfo> readMemoryInfo(const SysinfoPaths& paths = SysinfoPaths::current());

} // namespace velk
