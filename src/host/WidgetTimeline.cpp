#include "host/WidgetTimeline.h"

#include "host/WakeSchedule.h"
#include "host/Worker.h"
#include "platform/core/Clock.h"
#include "platform/core/Log.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <limits>

namespace velk::host {

namespace {

// A provider that answers with a reload date in the past would otherwise be asked again at
// once, forever; and a failing one is retried without hammering it.
constexpr double kMinReloadSeconds = 5;
constexpr double kRetryAfterFailureSeconds = 15 * 60;
// An empty timeline under atEnd has no end to wait for; it is asked again as after a failure.
constexpr double kRetryEmptySeconds = kRetryAfterFailureSeconds;
enum TaskState : int { kRunning, kDone, kGaveThreadUp };

} // namespace

int shownEntryIndex(const std::vector<timeline::AnyEntry>& entries, Date now)
{
    if (entries.empty()) return -1;
    int best = -1;
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].date() <= now && (best < 0 || entries[i].date() >= entries[size_t(best)].date())) best = int(i);
    if (best >= 0) return best;
    // Nothing has come yet: the platform shows the earliest.
    return int(std::min_element(entries.begin(), entries.end(),
                                [](const auto& a, const auto& b) { return a.date() < b.date(); }) -
               entries.begin());
}

WidgetTimeline::WidgetTimeline(timeline::WidgetDefinition widget, const QJsonObject& configuration, QSizeF displaySize,
                               WorkerPool* pool, QObject* parent)
    : QObject(parent), widget_(std::move(widget)), configuration_(widget_.configuration(configuration)), pool_(pool)
{
    context_.family = widget_.family();
    context_.displaySize = displaySize;
    slow_.setSingleShot(true);
    connect(&slow_, &QTimer::timeout, this, [this] {
        // The pool has a few threads; a provider stuck on the network must not keep every
        // other widget waiting for one, so its thread stops counting against the pool.
        if (!task_ || task_->load() != kRunning || !pool_->standIn()) return;
        int expected = kRunning;
        if (task_->compare_exchange_strong(expected, kGaveThreadUp))
            qCWarning(lcHost) << widget_.kind() << "provider is busy for long; the other widgets go on";
        else
            pool_->standDown(); // it ended meanwhile
    });
    // Quick by contract and touching no store: what a window mapped before the first timeline
    // arrives draws.
    try {
        shown_ = widget_.provider().placeholder(context_);
    } catch (const std::exception& e) {
        qCWarning(lcHost) << widget_.kind() << "placeholder failed:" << e.what();
    }
}

void WidgetTimeline::setConfiguration(const QJsonObject& configuration)
{
    configuration_ = widget_.configuration(configuration);
    reload();
}

void WidgetTimeline::reload()
{
    if (running_) {
        pending_ = true;
        return;
    }
    running_ = true;
    pending_ = false;
    ++requests_;
    lastRequest_ = Clock::now();
    task_ = std::make_shared<std::atomic<int>>(kRunning);
    slow_.start(slowAfterMs_);
    // The definition is copied into the task: it holds the provider, so the task stays valid
    // even if this widget is removed while it runs (its result is then dropped).
    runOnWorker(
        pool_, this,
        [widget = widget_, configuration = configuration_, context = context_, task = task_, pool = pool_] {
            // However the provider ends, a thread it gave up is taken back.
            const std::shared_ptr<void> takeBack(nullptr, [task, pool](void*) {
                if (task->exchange(kDone) == kGaveThreadUp) pool->standDown();
            });
            return widget.provider().timeline(configuration, context);
        },
        [this](WorkResult<timeline::AnyTimeline> result) { finished(std::move(result.value), result.error); });
}

void WidgetTimeline::finished(std::optional<timeline::AnyTimeline> result, const QString& error)
{
    running_ = false;
    slow_.stop();
    if (pending_) {
        reload();
        return;
    }
    if (!result) {
        // Keep showing what was there; ask again later.
        qCWarning(lcHost) << widget_.kind() << "timeline failed:" << error;
        timeline_ = timeline::AnyTimeline{
            timeline_.entries, timeline::ReloadPolicy::after(Clock::now().addingSeconds(kRetryAfterFailureSeconds))};
    } else {
        timeline_ = std::move(*result);
        if (timeline_.entries.empty() && timeline_.policy.kind() == timeline::ReloadPolicy::Kind::atEnd)
            timeline_.policy = timeline::ReloadPolicy::after(Clock::now().addingSeconds(kRetryEmptySeconds));
        hasTimeline_ = true;
        emit timelineArrived();
    }
    reevaluate();
}

void WidgetTimeline::show(const timeline::AnyEntry& entry)
{
    if (entry.isNull()) return;
    shown_ = entry;
    emit entryChanged();
}

WidgetTimeline::~WidgetTimeline()
{
    if (schedule_) schedule_->clear(this);
}

void WidgetTimeline::reevaluate()
{
    reevaluateAt(Clock::now());
}

void WidgetTimeline::reevaluateAt(Date now)
{
    const int index = shownEntryIndex(timeline_.entries, now);
    if (index >= 0) {
        const timeline::AnyEntry& e = timeline_.entries[size_t(index)];
        if (shown_.isNull() || e.date() != shown_.date() || e.toJson() != shown_.toJson()) show(e);
    }
    if (running_) return;

    nextWake_.reset();
    if (schedule_) schedule_->clear(this);
    std::optional<Date> due = requests_ == 0 ? std::optional<Date>(now) : timeline_.reloadDate();
    if (due && *due <= now) {
        // A provider whose reload dates keep lying in the past is slowed down, not looped on.
        // A last request "in the future" means the clock was set back since: no reason to wait.
        const Date earliest = lastRequest_.addingSeconds(kMinReloadSeconds);
        if (requests_ == 0 || earliest <= now || lastRequest_ > now) return reload();
        due = earliest;
    } else if (due) {
        // A reload date is the earliest the provider wants to be asked again, not a moment to
        // keep: made with the minute's other wakes, the host wakes once for all of them.
        due = WakeSchedule::nextWholeMinute(*due);
    }
    std::optional<Date> wake = due;
    for (const auto& e : timeline_.entries)
        if (e.date() > now && (!wake || e.date() < *wake)) wake = e.date();
    if (!wake) return;
    nextWake_ = wake;
    if (!schedule_) schedule_ = WakeSchedule::shared();
    schedule_->set(this, *wake, [this](Date at) { reevaluateAt(at); });
}

} // namespace velk::host
