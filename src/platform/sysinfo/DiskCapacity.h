#pragma once
// Capacity of the volume holding a path (statvfs). Available space is what an ordinary user can
// still write (f_bavail): the blocks reserved for the superuser are not the user's to fill.
#include "platform/sysinfo/SysinfoPaths.h"

#include <QString>
#include <optional>

namespace velk {

struct DiskCapacity {
    quint64 totalBytes = 0;
    quint64 availableBytes = 0;

    friend bool operator==(const DiskCapacity&, const DiskCapacity&) = default;
};

std::optional<DiskCapacity> readDiskCapacity(const QString& path);
// The volume of the home directory.
std::optional<DiskCapacity> readHomeDiskCapacity(const SysinfoPaths& paths = SysinfoPaths::current());

} // namespace velk
