#pragma once
// The machine's power supplies from <sysRoot>/class/power_supply, described the way the power
// readers expect a power source: the system's own batteries (type Battery, any scope but Device,
// and UPS units) with their capacity pair, charging flag and times in minutes, and peripheral
// batteries (scope Device: wireless keyboards, mice, trackpads, headsets) with their product
// name and percentage.
#include "platform/sysinfo/SysinfoPaths.h"

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <optional>
#include <vector>

namespace velk {

// The kernel's properties of one supply, keyed by attribute name in lower case ("type",
// "status", "energy_now", ...).
using PowerSupplyProperties = QHash<QString, QString>;

struct PowerSourceDescription {
    static inline const QString kInternalBattery = QStringLiteral("InternalBattery");
    static inline const QString kUps = QStringLiteral("UPS");

    QString name;                          // the kernel's name, "BAT0"
    QString type;                          // kInternalBattery or kUps
    std::optional<qint64> currentCapacity; // same unit as maxCapacity
    std::optional<qint64> maxCapacity;
    bool isCharging = false;
    std::optional<qint64> timeToFullCharge; // minutes, while charging
    std::optional<qint64> timeToEmpty;      // minutes, while discharging

    friend bool operator==(const PowerSourceDescription&, const PowerSourceDescription&) = default;
};

struct PeripheralBattery {
    std::optional<QString> product;
    std::optional<qint64> batteryPercent;

    friend bool operator==(const PeripheralBattery&, const PeripheralBattery&) = default;
};

// "POWER_SUPPLY_ENERGY_NOW=123" lines -> {"energy_now": "123"}.
PowerSupplyProperties parsePowerSupplyUevent(QByteArrayView uevent);
// A supply's properties from its uevent file, or from its attribute files when the uevent
// cannot be read.
PowerSupplyProperties readPowerSupplyProperties(const QString& supplyDirectory);

// The power source a supply stands for; nothing for mains adapters, USB ports, peripheral
// batteries and batteries marked absent.
std::optional<PowerSourceDescription> describePowerSource(const PowerSupplyProperties& properties);
// The peripheral battery a supply stands for; nothing for anything but a present battery of
// scope Device.
std::optional<PeripheralBattery> describePeripheralBattery(const PowerSupplyProperties& properties);

// All power sources, in supply name order; empty when there are none.
std::vector<PowerSourceDescription> readPowerSources(const SysinfoPaths& paths = SysinfoPaths::current());
// All peripheral batteries, in supply name order.
std::vector<PeripheralBattery> readPeripheralBatteries(const SysinfoPaths& paths = SysinfoPaths::current());

} // namespace velk
