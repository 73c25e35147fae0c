#include "platform/sysinfo/DiskCapacity.h"

#include "platform/core/Log.h"

#include <cerrno>
#include <cstring>
#include <sys/statvfs.h>

namespace velk {

std::optional<DiskCapacity> readDiskCapacity(const QString& path)
{
    struct statvfs st {};
    if (path.isEmpty()) return std::nullopt;
    if (::statvfs(path.toLocal8Bit().constData(), &st) != 0) {
        qCDebug(lcSysinfo) << "cannot read the capacity of" << path << ":" << ::strerror(errno);
        return std::nullopt;
    }
    const quint64 unit = st.f_frsize ? st.f_frsize : st.f_bsize;
    return DiskCapacity{quint64(st.f_blocks) * unit, quint64(st.f_bavail) * unit};
}

std::optional<DiskCapacity> readHomeDiskCapacity(const SysinfoPaths& paths)
{
    return readDiskCapacity(paths.homeDirectory());
}

} // namespace velk
