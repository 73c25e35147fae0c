#include "shared/data/system/PowerLog.h"

#include "platform/core/Calendar.h"
#include "platform/core/Clock.h"
#include "shared/data/activity/ExtrasStore.h"

#include <algorithm>
#include <cmath>

namespace velk {

namespace {
constexpr size_t kMaxEvents = 6;
const QString kSeparator = QStringLiteral(" \u00B7 ");
} // namespace

std::vector<PowerSnapshot::LogEntry> PowerLog::record(const std::optional<BatteryReading>& current)
{
    const Date now = Clock::now();
    // A machine without a battery runs on mains power: its log is that present state alone, and
    // the log kept for a battery is neither read nor changed by it.
    if (!current) return {{now, QString::number(kMainsPercent) + QLatin1Char('%'), true}};

    std::optional<Stored> stored = ExtrasStore::read<Stored>(kKey);
    // Each day starts without history: no event is derived from yesterday's last state.
    if (stored && !stored->entries.empty() && !Calendar::current().isDateInToday(stored->entries.back().time))
        stored.reset();

    std::vector<PowerSnapshot::LogEntry> entries;
    if (stored)
        std::copy_if(stored->entries.begin(), stored->entries.end(), std::back_inserter(entries),
                     [](const PowerSnapshot::LogEntry& e) { return !e.isCurrent; });

    if (stored) {
        auto event = [&](const QString& message) { entries.push_back({now, message, false}); };
        if (!stored->lastCharging && current->isCharging) {
            event(QStringLiteral("Connected to power"));
        } else if (stored->lastCharging && !current->isCharging) {
            const double hours = now.secondsSince(stored->lastAt) / 3600.0;
            if (hours > 0.2) {
                const double drop = double(stored->lastPercent - current->percent);
                const qint64 perHour = std::max<qint64>(std::llround(drop / hours), 0);
                event(QStringLiteral("Disconnected") + kSeparator + QStringLiteral("Drain %1%/h").arg(perHour));
            } else {
                event(QStringLiteral("Disconnected from power"));
            }
        }
        if (current->percent == 100 && stored->lastPercent <= 99) event(QStringLiteral("Fully charged at 100%"));
    }

    if (entries.size() > kMaxEvents) entries.erase(entries.begin(), entries.end() - kMaxEvents);

    QString line = QString::number(current->percent) + QLatin1Char('%');
    if (current->remaining) line += kSeparator + *current->remaining + QStringLiteral(" remaining");
    entries.push_back({now, line, true});

    const Stored next{entries, current->percent, current->isCharging, now};
    ExtrasStore::write(next, kKey);
    return entries;
}

} // namespace velk
