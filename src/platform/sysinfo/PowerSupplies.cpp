#include "platform/sysinfo/PowerSupplies.h"

#include "platform/sysinfo/SysFiles.h"

#include <cmath>
#include <cstdlib>

namespace velk {

namespace {

const QString kPrefix = QStringLiteral("POWER_SUPPLY_");

// The attributes read one by one when a supply's uevent cannot be read.
const char* const kAttributes[] = {
    "type",       "scope",       "present",   "status",      "capacity",          "energy_now",       "energy_full",
    "charge_now", "charge_full", "power_now", "current_now", "time_to_empty_now", "time_to_full_now", "model_name",
};

std::optional<qint64> integer(const PowerSupplyProperties& p, const char* key)
{
    const auto it = p.constFind(QLatin1String(key));
    if (it == p.constEnd()) return std::nullopt;
    return sysfiles::parseInteger(it->toLatin1());
}

QString text(const PowerSupplyProperties& p, const char* key)
{
    return p.value(QLatin1String(key)).trimmed();
}

bool isAbsent(const PowerSupplyProperties& p)
{
    return integer(p, "present") == 0;
}

struct CapacityPair {
    qint64 now = 0;
    qint64 full = 0;
    std::optional<qint64> rate; // the magnitude of the flow in the pair's unit per hour
};

// Energy (µWh, rate µW) or charge (µAh, rate µA), whichever the driver offers with a usable
// full value.
std::optional<CapacityPair> capacityPair(const PowerSupplyProperties& p)
{
    struct Names {
        const char* now;
        const char* full;
        const char* rate;
    };
    static constexpr Names kPairs[] = {{"energy_now", "energy_full", "power_now"},
                                       {"charge_now", "charge_full", "current_now"}};
    for (const Names& names : kPairs) {
        const auto now = integer(p, names.now);
        const auto full = integer(p, names.full);
        if (!now || !full || *full <= 0) continue;
        CapacityPair pair{*now, *full, std::nullopt};
        // Some drivers sign the flow by its direction; only its size matters here.
        if (const auto rate = integer(p, names.rate); rate && *rate != 0) pair.rate = std::llabs(*rate);
        return pair;
    }
    return std::nullopt;
}

std::optional<qint64> minutes(double hours)
{
    if (!std::isfinite(hours) || hours < 0) return std::nullopt;
    return qint64(hours * 60.0);
}

} // namespace

PowerSupplyProperties parsePowerSupplyUevent(QByteArrayView uevent)
{
    PowerSupplyProperties props;
    const QString all = QString::fromUtf8(uevent);
    for (const QStringView line : QStringView(all).split(u'\n')) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0 || !line.startsWith(kPrefix)) continue;
        props.insert(line.sliced(kPrefix.size(), eq - kPrefix.size()).toString().toLower(),
                     line.sliced(eq + 1).toString());
    }
    return props;
}

PowerSupplyProperties readPowerSupplyProperties(const QString& dir)
{
    if (const auto uevent = sysfiles::read(dir + QStringLiteral("/uevent"))) {
        PowerSupplyProperties props = parsePowerSupplyUevent(*uevent);
        if (!props.isEmpty()) return props;
    }
    PowerSupplyProperties props;
    for (const char* name : kAttributes)
        if (const auto value = sysfiles::read(dir + QLatin1Char('/') + QLatin1String(name)))
            props.insert(QLatin1String(name), QString::fromUtf8(sysfiles::firstLine(*value)));
    return props;
}

std::optional<PowerSourceDescription> describePowerSource(const PowerSupplyProperties& p)
{
    const QString type = text(p, "type");
    PowerSourceDescription d;
    if (type == QLatin1String("Battery") && text(p, "scope") != QLatin1String("Device"))
        d.type = PowerSourceDescription::kInternalBattery;
    else if (type == QLatin1String("UPS"))
        d.type = PowerSourceDescription::kUps;
    else
        return std::nullopt;
    if (isAbsent(p)) return std::nullopt;

    d.name = text(p, "name");
    const QString status = text(p, "status");
    d.isCharging = status == QLatin1String("Charging");
    const bool discharging = status == QLatin1String("Discharging");

    const auto pair = capacityPair(p);
    if (pair) {
        d.currentCapacity = pair->now;
        d.maxCapacity = pair->full;
    } else if (const auto percent = integer(p, "capacity")) {
        d.currentCapacity = *percent;
        d.maxCapacity = 100;
    } else {
        // A driver that reports a zero full capacity and no percentage: the source stays listed
        // with what it has, and the reader skips it for want of a usable maximum.
        d.currentCapacity = integer(p, "energy_now") ? integer(p, "energy_now") : integer(p, "charge_now");
        d.maxCapacity = integer(p, "energy_full") ? integer(p, "energy_full") : integer(p, "charge_full");
    }

    // The kernel's own estimates (seconds) win; otherwise the flow rate gives one.
    if (d.isCharging) {
        if (const auto s = integer(p, "time_to_full_now"); s && *s >= 0)
            d.timeToFullCharge = *s / 60;
        else if (pair && pair->rate)
            d.timeToFullCharge = minutes(double(pair->full - pair->now) / double(*pair->rate));
    } else if (discharging) {
        if (const auto s = integer(p, "time_to_empty_now"); s && *s >= 0)
            d.timeToEmpty = *s / 60;
        else if (pair && pair->rate)
            d.timeToEmpty = minutes(double(pair->now) / double(*pair->rate));
    }
    return d;
}

std::optional<PeripheralBattery> describePeripheralBattery(const PowerSupplyProperties& p)
{
    if (text(p, "type") != QLatin1String("Battery") || text(p, "scope") != QLatin1String("Device")) return std::nullopt;
    if (isAbsent(p)) return std::nullopt;
    PeripheralBattery b;
    if (const QString model = text(p, "model_name"); !model.isEmpty()) b.product = model;
    b.batteryPercent = integer(p, "capacity");
    return b;
}

std::vector<PowerSourceDescription> readPowerSources(const SysinfoPaths& paths)
{
    std::vector<PowerSourceDescription> out;
    const QString root = paths.sysRoot + QStringLiteral("/class/power_supply/");
    for (const QString& name : sysfiles::list(root)) {
        PowerSupplyProperties props = readPowerSupplyProperties(root + name);
        if (!props.contains(QStringLiteral("name"))) props.insert(QStringLiteral("name"), name);
        if (auto d = describePowerSource(props)) out.push_back(std::move(*d));
    }
    return out;
}

std::vector<PeripheralBattery> readPeripheralBatteries(const SysinfoPaths& paths)
{
    std::vector<PeripheralBattery> out;
    const QString root = paths.sysRoot + QStringLiteral("/class/power_supply/");
    for (const QString& name : sysfiles::list(root))
        if (auto b = describePeripheralBattery(readPowerSupplyProperties(root + name))) out.push_back(std::move(*b));
    return out;
}

} // namespace velk
