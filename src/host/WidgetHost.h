#pragma once
// The desktop host: the placed widgets, each with its timeline and its window, kept in the
// placement file; reloads by kind; taps that run a button's intent and then reload that widget.
// The D-Bus service and the menus sit on top (HostService, HostMenus).
#include "host/PlacementStore.h"
#include "platform/intents/IntentRegistry.h"
#include "platform/timeline/WidgetBundle.h"

#include "host/Worker.h"
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <map>
#include <memory>
#include <set>

namespace velk::host {

class WidgetTimeline;
class WidgetWindow;

class WidgetHost : public QObject {
    Q_OBJECT
public:
    WidgetHost(const timeline::WidgetBundle& bundle, const intents::IntentRegistry& registry, PlacementStore store,
               QObject* parent = nullptr);
    ~WidgetHost() override;

    // Reads the placement file and shows every widget the bundle still offers (the others are
    // kept in the file untouched). Answers the warning to show, if any.
    QString start();

    const timeline::WidgetBundle& bundle() const { return bundle_; }
    const std::vector<Placement>& placements() const { return placements_; }
    const Placement* placement(const QString& id) const;
    WidgetWindow* window(const QString& id) const;
    WidgetTimeline* timeline(const QString& id) const;
    QStringList windowIds() const;

    // Places a new widget at `position`, or at the first free spot; answers its id, or an
    // empty string for a kind the bundle does not offer.
    QString addWidget(const QString& kind, std::optional<QPoint> position = std::nullopt);
    bool removeWidget(const QString& id);
    void moveWidget(const QString& id, QPoint position);
    void setScale(const QString& id, qreal scale);
    void setConfiguration(const QString& id, const QJsonObject& configuration);

    // Asks the providers of `kind` again, in the next pass of the event loop; asking again
    // before then adds nothing.
    void reloadTimelines(const QString& kind);
    // Asks every provider again and redraws every widget (the look may have changed), in the
    // next pass of the event loop, once however often it is asked until then.
    void reloadAllTimelines();
    // After a wake from sleep or a clock or zone change.
    void reevaluateAll();

    // Runs a button's intent on a worker, then reloads the widget that was tapped.
    void runAction(const QString& id, const view::ButtonAction& action);
    void openURL(const QUrl& url);

    WorkerPool* pool() { return pool_.get(); }
    // How long startedUp waits for the placed widgets' first paint at most.
    void setStartUpWaitMs(int ms) { startUpWait_.setInterval(ms); }
    // Closes every window and waits up to `waitMs` for running providers and actions; false
    // when one is still blocked (the program then quits without it rather than hang).
    bool shutdown(int waitMs);
    // Takes in what another writer (`velk-widgets add` with no bus, an editor) changed in the
    // placement file; called by the file watcher.
    void syncFromDisk();
    // The last error of saving the placements (empty when saved).
    const QString& saveError() const { return saveError_; }

signals:
    void placementsChanged();
    void menuRequested(const QString& id, QPoint globalPos);
    void actionFinished(const QString& id, bool ok);
    // Once, when every widget shown at start() has been painted for the first time.
    void firstPaintDone();
    // Once after start(), when the placed widgets are on screen (or have been waited for long
    // enough): what the first paint does not need can come now.
    void startedUp();

private:
    void show(const Placement& p);
    void finishStartUp();
    void runPendingReloads();
    void hide(const QString& id);
    void save();
    // Shows, hides or re-creates the windows of placements another writer changed.
    void applyExternal(const QStringList& ids);
    void watchFile();
    QPoint freeSpot(QSizeF size) const;
    // Keeps the primary screen's available area in the placement file, for `velk-widgets add`
    // with no host running.
    void rememberScreen();

    const timeline::WidgetBundle& bundle_;
    const intents::IntentRegistry& registry_;
    PlacementStore store_;
    bool canSave_ = true;
    QString saveError_;
    std::optional<QRect> screenArea_; // as the file holds it
    std::vector<Placement> placements_;
    // The placements as the file held them when last read or written: the base of merges.
    std::vector<Placement> onDisk_;
    QFileSystemWatcher watcher_;
    QTimer syncSoon_;
    QTimer saveRetry_;
    QTimer trimSoon_;
    QTimer reloadSoon_;
    std::set<QString> reloadKinds_;
    bool reloadAll_ = false;
    // Given up on purpose when a blocked task outlives the host (see shutdown).
    std::unique_ptr<WorkerPool> pool_;
    // The window draws its timeline's entry, so it goes first.
    struct Shown {
        std::unique_ptr<WidgetTimeline> timeline;
        std::unique_ptr<WidgetWindow> window;
    };
    std::map<QString, Shown> shown_;
    int unpainted_ = 0; // widgets of start() not painted yet; -1 once all have been
    bool startedUp_ = false;
    QTimer startUpWait_; // ends the start-up anyway when a window is never painted
};

} // namespace velk::host
