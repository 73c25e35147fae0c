#include "widgets/status/usage/UsageProvider.h"

#include "platform/core/Defaults.h"
#include "shared/data/activity/UsageLog.h"

namespace velk {

qint64 UsageProvider::budget()
{
    const qint64 stored = Defaults::shared().integer(kBudgetKey);
    return stored > 0 ? stored : kDefaultBudgetMinutes;
}

UsageSnapshot UsageProvider::emptySnapshot()
{
    return UsageSnapshot{0, budget(), {}, {}};
}

UsageProvider::UsageProvider()
    : LocalProvider(withFallback(
          UsageSnapshot::sample(),
          // Stands for the empty snapshot: its budget can only be known when the timeline is made.
          UsageSnapshot{},
          [](const UsageSnapshot& fallback) {
              if (std::optional<UsageSnapshot> logged = UsageLog::snapshot(budget())) return *logged;
              return fallback.budgetMinutes > 0 ? fallback : emptySnapshot();
          },
          kReloadMinutes))
{}

} // namespace velk
