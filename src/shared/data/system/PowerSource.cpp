#include "shared/data/system/PowerSource.h"

#include "platform/sysinfo/SysFiles.h"
#include "shared/data/activity/ExtrasStore.h"

#include <QSysInfo>

#include <algorithm>
#include <cmath>

namespace velk {

QString PowerSource::formatMinutes(qint64 m)
{
    if (m < 60) return QString::number(m) + QLatin1Char('m');
    return QString::number(m / 60) + QStringLiteral("h ") + QString::number(m % 60) + QLatin1Char('m');
}

std::optional<BatteryReading> PowerSource::batteryFrom(const std::vector<PowerSourceDescription>& sources)
{
    for (const PowerSourceDescription& s : sources) {
        if (s.type != PowerSourceDescription::kInternalBattery) continue;
        if (!s.currentCapacity || !s.maxCapacity || *s.maxCapacity <= 0) continue;
        BatteryReading r;
        r.percent = qint64(std::llround(double(*s.currentCapacity) / double(*s.maxCapacity) * 100.0));
        r.isCharging = s.isCharging;
        if (s.isCharging) {
            if (s.timeToFullCharge && *s.timeToFullCharge > 0) r.remaining = formatMinutes(*s.timeToFullCharge);
        } else if (s.timeToEmpty && *s.timeToEmpty >= 1) {
            r.remaining = formatMinutes(*s.timeToEmpty);
        }
        return r;
    }
    return std::nullopt;
}

std::vector<PowerSnapshot::Device> PowerSource::devicesFrom(const std::vector<PeripheralBattery>& batteries)
{
    std::vector<PowerSnapshot::Device> devices;
    for (const PeripheralBattery& b : batteries) {
        if (!b.batteryPercent) continue;
        const QString product = b.product.value_or(QStringLiteral("Device"));
        const QString lower = product.toLower();
        QString name = product;
        if (lower.contains(QLatin1String("keyboard")))
            name = QStringLiteral("Keyboard");
        else if (lower.contains(QLatin1String("mouse")))
            name = QStringLiteral("Mouse");
        else if (lower.contains(QLatin1String("trackpad")))
            name = QStringLiteral("Trackpad");
        devices.push_back({name, *b.batteryPercent});
    }
    return devices;
}

QString PowerSource::machineName(const SysinfoPaths& paths)
{
    const std::optional<QByteArray> product =
        sysfiles::read(paths.sysRoot + QStringLiteral("/class/dmi/id/product_name"));
    const QString name = product ? QString::fromUtf8(sysfiles::firstLine(*product)) : QString();
    // Boards sold without a product name carry the firmware vendor's filler instead.
    static const QStringList fillers = {QStringLiteral("To Be Filled By O.E.M."), QStringLiteral("System Product Name"),
                                        QStringLiteral("Default string")};
    if (!name.isEmpty() && !fillers.contains(name, Qt::CaseInsensitive)) return name;
    return QSysInfo::machineHostName();
}

std::optional<BatteryReading> PowerSource::readInternalBattery()
{
    return batteryFrom(readPowerSources());
}

std::vector<PowerSnapshot::Device> PowerSource::readBluetoothDevices()
{
    return devicesFrom(readPeripheralBatteries());
}

PowerSnapshot PowerSource::snapshot()
{
    const auto battery = readInternalBattery();
    std::vector<PowerSnapshot::Device> devices;
    if (battery) devices.push_back({machineName(), battery->percent});
    for (PowerSnapshot::Device& d : readBluetoothDevices())
        devices.push_back(std::move(d));

    std::vector<PowerSnapshot::Device> stored = ExtrasStore::read<std::vector<PowerSnapshot::Device>>(kBluetoothKey)
                                                    .value_or(std::vector<PowerSnapshot::Device>{});
    // What the system reports wins over the app's copy; of equal stored names the first wins.
    for (PowerSnapshot::Device& d : stored) {
        const bool known = std::any_of(devices.begin(), devices.end(),
                                       [&](const PowerSnapshot::Device& e) { return e.name == d.name; });
        if (!known) devices.push_back(std::move(d));
    }

    PowerSnapshot snap;
    snap.percent = battery ? battery->percent : PowerLog::kMainsPercent;
    snap.isCharging = battery ? battery->isCharging : true;
    snap.remaining = battery ? battery->remaining : std::nullopt;
    snap.devices = std::move(devices);
    snap.log = PowerLog::record(battery);
    return snap;
}

} // namespace velk
