#include "platform/sysinfo/GpuBusy.h"

#include "platform/sysinfo/SysFiles.h"

namespace velk {

namespace {
// "card0" is a card; "card0-DP-1" is one of its connectors and "renderD128" a second node of a
// card already listed.
bool isCard(const QString& name)
{
    if (!name.startsWith(QLatin1String("card")) || name.size() == 4) return false;
    for (qsizetype i = 4; i < name.size(); ++i)
        if (!name[i].isDigit()) return false;
    return true;
}
} // namespace

std::optional<qint64> readGpuBusyPercent(const SysinfoPaths& paths)
{
    const QString drm = paths.sysRoot + QStringLiteral("/class/drm/");
    for (const QString& name : sysfiles::list(drm)) {
        if (!isCard(name)) continue;
        const auto text = sysfiles::read(drm + name + QStringLiteral("/device/gpu_busy_percent"));
        if (!text) continue;
        if (const auto value = sysfiles::parseInteger(*text)) return value;
    }
    return std::nullopt;
}

} // namespace velk
