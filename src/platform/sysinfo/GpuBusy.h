#pragma once
// The graphics processor's utilisation as its driver reports it, from
// <sysRoot>/class/drm/card*/device/gpu_busy_percent (amdgpu and others that offer it).
#include "platform/sysinfo/SysinfoPaths.h"

#include <optional>

namespace velk {

// The first card, in name order, whose file holds an integer; its value is passed on as the
// driver gives it. Nothing when no card reports one.
std::optional<qint64> readGpuBusyPercent(const SysinfoPaths& paths = SysinfoPaths::current());

} // namespace velk
