#pragma once
// One placed widget's timeline, kept the way the platform keeps it: the provider is asked on a
// worker thread; the latest entry whose date has come is the one shown; one timer wakes the
// widget for its next entry or its reload date, whichever comes first.
#include "platform/timeline/WidgetDefinition.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <atomic>
#include <memory>

namespace velk::host {

class WakeSchedule;
class WorkerPool;

// The entry shown at `now`: the latest whose date has come, or the first when none has.
// -1 for an empty list.
int shownEntryIndex(const std::vector<timeline::AnyEntry>& entries, Date now);

class WidgetTimeline : public QObject {
    Q_OBJECT
public:
    WidgetTimeline(timeline::WidgetDefinition widget, const QJsonObject& configuration, QSizeF displaySize,
                   WorkerPool* pool, QObject* parent = nullptr);
    ~WidgetTimeline() override;

    const timeline::WidgetDefinition& widget() const { return widget_; }
    const QJsonObject& configuration() const { return configuration_; }
    void setConfiguration(const QJsonObject& configuration); // and asks again

    // The entry to draw: the placeholder until the first timeline arrives.
    const timeline::AnyEntry& entry() const { return shown_; }
    bool hasTimeline() const { return hasTimeline_; }
    int requestCount() const { return requests_; }
    bool isRunning() const { return running_; }

    // Asks the provider for a new timeline. A request while one runs is remembered and made
    // when it ends, so the newest state is always asked for.
    void reload();
    // The clock moved (a wake from sleep, a clock or zone change): pick the entry again and
    // reset the timer; a reload that has come due is made.
    void reevaluate();

    // When the widget next wakes by itself (its next entry, or its reload at the first whole
    // minute after the reload date); nothing when it waits for a reload by kind. The widgets
    // share one timer (WakeSchedule), so those due at the same moment wake the host once.
    std::optional<Date> nextWake() const { return nextWake_; }
    // A provider busy for longer than this gives its worker thread up to the other widgets.
    void setSlowAfterMs(int ms) { slowAfterMs_ = ms; }

signals:
    void entryChanged();
    void timelineArrived();

private:
    void finished(std::optional<timeline::AnyTimeline> timeline, const QString& error);
    void show(const timeline::AnyEntry& entry);
    // Picks the entry shown at `now` and sets the next wake.
    void reevaluateAt(Date now);

    timeline::WidgetDefinition widget_;
    QJsonObject configuration_;
    timeline::TimelineContext context_;
    WorkerPool* pool_;
    timeline::AnyTimeline timeline_;
    timeline::AnyEntry shown_;
    bool hasTimeline_ = false;
    bool running_ = false;
    bool pending_ = false;
    int requests_ = 0;
    Date lastRequest_;
    QPointer<WakeSchedule> schedule_;
    std::optional<Date> nextWake_;
    QTimer slow_;
    int slowAfterMs_ = 3000;
    // Shared with the running task: running, done, or its thread given up (see reload()).
    std::shared_ptr<std::atomic<int>> task_;
};

} // namespace velk::host
