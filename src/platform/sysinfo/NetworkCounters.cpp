#include "platform/sysinfo/NetworkCounters.h"

#include "platform/sysinfo/SysFiles.h"

namespace velk {

bool isCountedInterface(const QString& dir)
{
    // Only interfaces on a device carry traffic of their own: loopback, bridges, veth pairs,
    // tunnels and the like have no backing device, and the one check keeps a sample cheap.
    return sysfiles::exists(dir + QStringLiteral("/device"));
}

std::optional<NetworkBytes> readNetworkBytes(const SysinfoPaths& paths)
{
    const QString net = paths.sysRoot + QStringLiteral("/class/net/");
    const QStringList names = sysfiles::list(net);
    if (names.isEmpty()) return std::nullopt;
    NetworkBytes sums;
    for (const QString& name : names) {
        const QString dir = net + name;
        if (!isCountedInterface(dir)) continue;
        const auto rx = sysfiles::read(dir + QStringLiteral("/statistics/rx_bytes"));
        const auto tx = sysfiles::read(dir + QStringLiteral("/statistics/tx_bytes"));
        const auto in = rx ? sysfiles::parseUnsigned(*rx) : std::nullopt;
        const auto out = tx ? sysfiles::parseUnsigned(*tx) : std::nullopt;
        if (!in || !out) continue;
        sums.inBytes += *in;
        sums.outBytes += *out;
        sums.interfaces.append(name);
    }
    return sums;
}

} // namespace velk
