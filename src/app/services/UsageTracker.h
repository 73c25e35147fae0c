#pragma once
// Screen time: every 30 seconds, unless the user has been idle for 180 seconds or more, the
// time since the last sample (at most 60 seconds, 30 for the first) is credited to the
// application in front, and the screen-time widgets are reloaded at most every 300 seconds.
//
// After the clock has been set back the time since the last sample is negative; such a sample
// credits nothing (it only moves the last sample), so totals never shrink.
#include "platform/core/Date.h"
#include "platform/desktop/DesktopActivity.h"

#include <QObject>
#include <QTimer>
#include <memory>
#include <optional>

namespace velk {

class UsageTracker : public QObject {
    Q_OBJECT
public:
    static constexpr int kSampleIntervalMs = 30'000;
    static constexpr double kIdleThreshold = 180;
    static constexpr double kLargestCredit = 60;
    static constexpr double kFirstCredit = 30;
    static constexpr double kReloadGap = 300;

    static UsageTracker& shared();
    explicit UsageTracker(std::unique_ptr<DesktopActivity> activity, QObject* parent = nullptr);

    // Starts sampling (a sample now, then one every 30 s); later calls do nothing.
    void start();
    bool isStarted() const { return timer_ != nullptr; }

    // One sample.
    void sample();

private:
    std::unique_ptr<DesktopActivity> activity_;
    QTimer* timer_ = nullptr;
    std::optional<Date> lastSample_;
    std::optional<Date> lastWidgetReload_; // none: the distant past
};

} // namespace velk
