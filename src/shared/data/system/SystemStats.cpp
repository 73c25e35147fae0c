#include "shared/data/system/SystemStats.h"

#include "platform/core/Clock.h"
#include "platform/core/Coding.h"
#include "platform/sysinfo/DiskCapacity.h"
#include "platform/sysinfo/GpuBusy.h"
#include "platform/sysinfo/MemoryInfo.h"
#include "platform/sysinfo/NetworkCounters.h"
#include "shared/data/activity/ExtrasStore.h"

#include <algorithm>
#include <cmath>

namespace velk {

namespace {

// An unsigned 64-bit counter as a JSON integer. Counters beyond 2^63 do not occur in practice;
// such a value, or any negative or fractional number, does not decode.
struct Counter {
    quint64 value = 0;
};

} // namespace

namespace coding {
template <>
struct ValueCoder<Counter> {
    static bool encode(Counter v, QJsonValue& out)
    {
        if (v.value > quint64(std::numeric_limits<qint64>::max())) return false;
        out = QJsonValue(qint64(v.value));
        return true;
    }
    static bool decode(const QJsonValue& in, Counter& out)
    {
        qint64 v = 0;
        if (!ValueCoder<qint64>::decode(in, v) || v < 0) return false;
        out.value = quint64(v);
        return true;
    }
};
} // namespace coding

namespace {

// The previous samples, as kept in the suite.
struct StoredCpuTicks {
    Counter user, system, idle, nice;
    Date at;
    VELK_FIELDS(StoredCpuTicks, user, system, idle, nice, at)
};

struct StoredNetCounters {
    Counter inBytes, outBytes;
    Date at;
    VELK_FIELDS(StoredNetCounters, inBytes, outBytes, at)
};

} // namespace

std::optional<qint64> SystemStats::cpuLoad(const CpuTicks& previous, const CpuTicks& current)
{
    // After a restart the counters begin again below the stored ones; a difference would wrap
    // round to an absurd load, so such a pair has no rate.
    if (current.user < previous.user || current.system < previous.system || current.idle < previous.idle ||
        current.nice < previous.nice)
        return std::nullopt;
    const quint64 busy =
        (current.user + current.system + current.nice) - (previous.user + previous.system + previous.nice);
    const quint64 total = busy + (current.idle - previous.idle);
    if (total == 0) return std::nullopt;
    const double percent = std::clamp(double(busy) / double(total) * 100.0, 0.0, 100.0);
    return qint64(std::llround(percent));
}

std::optional<qint64> SystemStats::cpuPercent()
{
    const auto ticks = readCpuTicks();
    if (!ticks) return std::nullopt;
    const auto previous = ExtrasStore::read<StoredCpuTicks>(kCpuTicksKey);
    ExtrasStore::write(StoredCpuTicks{{ticks->user}, {ticks->system}, {ticks->idle}, {ticks->nice}, Clock::now()},
                       kCpuTicksKey);
    if (!previous) return std::nullopt;
    return cpuLoad(CpuTicks{previous->user.value, previous->system.value, previous->idle.value, previous->nice.value},
                   *ticks);
}

std::optional<qint64> SystemStats::memoryPercent()
{
    const auto memory = readMemoryInfo();
    if (!memory) return std::nullopt;
    return qint64(std::llround(double(memory->usedBytes) / double(memory->totalBytes) * 100.0));
}

std::optional<qint64> SystemStats::gpuPercent()
{
    return readGpuBusyPercent();
}

std::optional<NetworkSnapshot> SystemStats::networkSnapshot()
{
    const auto bytes = readNetworkBytes();
    if (!bytes) return std::nullopt;
    const StoredNetCounters current{{bytes->inBytes}, {bytes->outBytes}, Clock::now()};
    const auto previous = ExtrasStore::read<StoredNetCounters>(kNetBytesKey);
    ExtrasStore::write(current, kNetBytesKey);
    if (!previous) return std::nullopt;
    const double dt = current.at.secondsSince(previous->at);
    if (dt <= 1.0) return std::nullopt;
    // Counters that went down: a restart, or an adapter that left; no rate across that.
    if (current.inBytes.value < previous->inBytes.value || current.outBytes.value < previous->outBytes.value)
        return std::nullopt;
    return NetworkSnapshot{double(current.inBytes.value - previous->inBytes.value) / dt / 1'000'000.0,
                           double(current.outBytes.value - previous->outBytes.value) / dt / 1'000'000.0};
}

std::optional<StorageSnapshot> SystemStats::storageSnapshot()
{
    const auto disk = readHomeDiskCapacity();
    if (!disk) return std::nullopt;
    const quint64 used = disk->availableBytes >= disk->totalBytes ? 0 : disk->totalBytes - disk->availableBytes;
    return StorageSnapshot{qint64(used / 1'000'000'000ull),
                           qint64(std::llround(double(disk->totalBytes) / 1'000'000'000.0))};
}

} // namespace velk
