#pragma once
// Bytes received and sent by the machine's real network interfaces, from
// <sysRoot>/class/net/*/statistics/{rx,tx}_bytes (64-bit counters since the interface appeared).
// An interface counts when it sits on a device (wired, wireless, USB, modem); loopback and the
// purely virtual ones (bridges, veth pairs, tunnels, container networks) carry traffic already
// counted on a real interface, or none that leaves the machine.
#include "platform/sysinfo/SysinfoPaths.h"

#include <QStringList>
#include <optional>

namespace velk {

struct NetworkBytes {
    quint64 inBytes = 0;
    quint64 outBytes = 0;
    QStringList interfaces; // the counted interfaces, in name order

    friend bool operator==(const NetworkBytes&, const NetworkBytes&) = default;
};

// Whether the interface directory <sysRoot>/class/net/<name> belongs to a real interface.
bool isCountedInterface(const QString& interfaceDirectory);

// Sums over the counted interfaces (zero when none counts); nothing when the interface list
// cannot be read or is empty.
std::optional<NetworkBytes> readNetworkBytes(const SysinfoPaths& paths = SysinfoPaths::current());

} // namespace velk
