#include "app/services/UsageTracker.h"

#include "app/services/ServiceSupport.h"
#include "app/services/UsageLogWriter.h"
#include "platform/core/Clock.h"
#include "shared/data/activity/ExtrasStore.h"
#include "shared/widget/WidgetKinds.h"

#include <QCoreApplication>

#include <algorithm>

namespace velk {

UsageTracker& UsageTracker::shared()
{
    static UsageTracker* tracker = new UsageTracker(DesktopActivity::system(), QCoreApplication::instance());
    return *tracker;
}

UsageTracker::UsageTracker(std::unique_ptr<DesktopActivity> activity, QObject* parent)
    : QObject(parent), activity_(std::move(activity))
{}

void UsageTracker::start()
{
    if (timer_) return;
    timer_ = services::repeatQueued(this, kSampleIntervalMs, [this] { sample(); });
    sample();
}

void UsageTracker::sample()
{
    const Date now = Clock::now();
    if (activity_->idleSeconds() >= kIdleThreshold) {
        lastSample_ = now;
        return;
    }
    const std::optional<QString> app = activity_->frontmostApplicationName();
    if (!app) return;
    const QString name = app->isEmpty() ? QStringLiteral("Unknown") : *app;
    const double credit = lastSample_ ? std::clamp(now.secondsSince(*lastSample_), 0.0, kLargestCredit) : kFirstCredit;
    lastSample_ = now;
    if (credit <= 0) return;
    UsageLogWriter::add(credit, name, now);

    // A reload time ahead of now means the clock went back; it no longer tells anything.
    const double sinceReload = lastWidgetReload_ ? now.secondsSince(*lastWidgetReload_) : kReloadGap + 1;
    if (sinceReload > kReloadGap || sinceReload < 0) {
        lastWidgetReload_ = now;
        reloadKinds({kinds::usageTotal, kinds::usageElapsed, kinds::usageApps, kinds::usageWeekly}, ReloadNotice::none);
    }
}

} // namespace velk
