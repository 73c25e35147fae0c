#include "platform/sysinfo/SysinfoPaths.h"

#include <QDir>
#include <mutex>
#include <optional>

namespace velk {

namespace {
std::mutex gMutex;
std::optional<SysinfoPaths> gOverride;
} // namespace

QString SysinfoPaths::homeDirectory() const
{
    return home.isEmpty() ? QDir::homePath() : home;
}

SysinfoPaths SysinfoPaths::current()
{
    std::lock_guard lock(gMutex);
    return gOverride ? *gOverride : SysinfoPaths{};
}

void SysinfoPaths::setCurrent(const SysinfoPaths& paths)
{
    std::lock_guard lock(gMutex);
    gOverride = paths;
}

void SysinfoPaths::resetCurrent()
{
    std::lock_guard lock(gMutex);
    gOverride.reset();
}

} // namespace velk
