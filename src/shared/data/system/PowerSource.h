#pragma once
// The power state the battery widgets show: the computer's own battery, the charge of connected
// peripherals (read from the system, then those the app has collected over Bluetooth) and
// today's power log.
#include "platform/sysinfo/PowerSupplies.h"
#include "shared/data/system/PowerLog.h"
#include "shared/models/PowerRecords.h"

#include <QString>
#include <optional>
#include <vector>

namespace velk {

namespace PowerSource {

// Peripherals stored by the app's Bluetooth battery poller.
inline const QString kBluetoothKey = QStringLiteral("velk.btbatteries.v1");
// What the computer calls itself, naming the device line of its own battery: the firmware's
// product name (<sysRoot>/class/dmi/id/product_name), else the host name.
QString machineName(const SysinfoPaths& paths = SysinfoPaths::current());

// Never fails: without a battery it shows 100 percent, charging, and an empty log.
PowerSnapshot snapshot();

// The first usable internal battery; nothing when there is none (a desktop).
std::optional<BatteryReading> readInternalBattery();
// Peripheral batteries the system reports, named by kind where the product says it.
std::vector<PowerSnapshot::Device> readBluetoothDevices();

// The reading of the first usable internal battery among `sources`: a source without a
// positive maximum capacity gives no percentage and is passed over.
std::optional<BatteryReading> batteryFrom(const std::vector<PowerSourceDescription>& sources);
std::vector<PowerSnapshot::Device> devicesFrom(const std::vector<PeripheralBattery>& batteries);
// "45m", "2h 5m".
QString formatMinutes(qint64 minutes);

} // namespace PowerSource

} // namespace velk
