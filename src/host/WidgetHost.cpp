#include "host/WidgetHost.h"

#include "host/FreePlace.h"
#include "host/WidgetTimeline.h"
#include "host/WidgetWindow.h"
#include "host/Worker.h"
#include "platform/core/Log.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <malloc.h>
#include <utility>

namespace velk::host {

namespace {
// How long quitting waits for a provider or an action that is still running.
constexpr int kQuitWaitMs = 3000;
// The host does not make the desktop wait for another writer of the placement file: it tries
// briefly, and again a little later.
constexpr int kSaveLockWaitMs = 200;
constexpr int kSaveRetryMs = 2000;
// Soon after a wave, within the second the wave woke the host in, so trimming costs no wake of
// its own.
constexpr int kTrimAfterMs = 250;
constexpr size_t kTrimAboveBytes = size_t(256) * 1024;
// The longest what can follow the first paint waits for it (a window the desktop never shows
// must not keep the host's menus and clock watch away).
constexpr int kStartUpWaitMs = 2000;
} // namespace

WidgetHost::WidgetHost(const timeline::WidgetBundle& bundle, const intents::IntentRegistry& registry,
                       PlacementStore store, QObject* parent)
    : QObject(parent), bundle_(bundle), registry_(registry), store_(std::move(store)),
      pool_(std::make_unique<WorkerPool>())
{
    // Editors and renames come as bursts of events; one read after them is enough.
    syncSoon_.setSingleShot(true);
    syncSoon_.setInterval(200);
    connect(&syncSoon_, &QTimer::timeout, this, &WidgetHost::syncFromDisk);
    saveRetry_.setSingleShot(true);
    saveRetry_.setInterval(kSaveRetryMs);
    connect(&saveRetry_, &QTimer::timeout, this, &WidgetHost::save);
    // A reload wave lays out and paints many widgets and reads their data; what it freed is
    // handed back to the system once the wave is over, not kept in the heap for the next.
    trimSoon_.setSingleShot(true);
    trimSoon_.setInterval(kTrimAfterMs);
    trimSoon_.setTimerType(Qt::CoarseTimer);
    // Only when there is something to give: a trim costs 0.1 to 0.3 ms and page faults later.
    // Measured with 18 widgets: the start wave leaves 0.4 to 0.8 MB free in the heap, and about
    // 20 s after the start 1.9 MB come free at once; trimmed only past 2 MB free, the host kept
    // them (7.3 MB instead of 5.8 in three starts of five).
    connect(&trimSoon_, &QTimer::timeout, this, [] {
        if (mallinfo2().fordblks > kTrimAboveBytes) malloc_trim(0);
    });
    // Reloads asked for while one for the same widgets waits are the same reload: a burst of
    // them (an app that saves often) is answered once, in the next pass of the event loop,
    // instead of laying out every widget per request while the requests pile up.
    reloadSoon_.setSingleShot(true);
    reloadSoon_.setInterval(0);
    connect(&reloadSoon_, &QTimer::timeout, this, &WidgetHost::runPendingReloads);
    startUpWait_.setSingleShot(true);
    startUpWait_.setInterval(kStartUpWaitMs);
    connect(&startUpWait_, &QTimer::timeout, this, &WidgetHost::finishStartUp);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, &syncSoon_, qOverload<>(&QTimer::start));
    connect(&watcher_, &QFileSystemWatcher::fileChanged, &syncSoon_, qOverload<>(&QTimer::start));
}

WidgetHost::~WidgetHost()
{
    // A task still blocked runs on a pool that cannot be waited for: it is left to the process.
    if (!shutdown(kQuitWaitMs)) (void)pool_.release();
}

bool WidgetHost::shutdown(int waitMs)
{
    shown_.clear();
    if (pool_->waitForDone(waitMs)) return true;
    // A thread cannot be stopped; its pool stays so the task can finish on it.
    qCWarning(lcHost) << "a widget provider or action is still busy; quitting without it";
    return false;
}

QString WidgetHost::start()
{
    // Writers replace the file whole, so it can be read without the lock.
    PlacementStore::Loaded loaded = store_.load();
    placements_ = std::move(loaded.placements);
    onDisk_ = placements_;
    canSave_ = loaded.canSave;
    screenArea_ = loaded.screenArea;
    unpainted_ = 0;
    for (const Placement& p : placements_) {
        show(p);
        if (WidgetWindow* w = window(p.id)) {
            ++unpainted_;
            w->onFirstPaint = [this] {
                if (unpainted_ > 0 && --unpainted_ == 0) {
                    unpainted_ = -1;
                    emit firstPaintDone();
                    finishStartUp();
                }
            };
        }
    }
    if (unpainted_ > 0)
        startUpWait_.start();
    else
        finishStartUp();
    watchFile();
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        auto follow = [this](QScreen* screen) {
            if (screen) connect(screen, &QScreen::availableGeometryChanged, this, &WidgetHost::rememberScreen);
            rememberScreen();
        };
        connect(app, &QGuiApplication::primaryScreenChanged, this, follow);
        follow(QGuiApplication::primaryScreen());
    }
    if (!loaded.warning.isEmpty()) qCWarning(lcHost).noquote() << loaded.warning;
    return loaded.warning;
}

const Placement* WidgetHost::placement(const QString& id) const
{
    for (const Placement& p : placements_)
        if (p.id == id) return &p;
    return nullptr;
}

WidgetWindow* WidgetHost::window(const QString& id) const
{
    const auto it = shown_.find(id);
    return it == shown_.end() ? nullptr : it->second.window.get();
}

WidgetTimeline* WidgetHost::timeline(const QString& id) const
{
    const auto it = shown_.find(id);
    return it == shown_.end() ? nullptr : it->second.timeline.get();
}

QStringList WidgetHost::windowIds() const
{
    QStringList ids;
    for (const auto& [id, s] : shown_)
        ids << id;
    return ids;
}

void WidgetHost::show(const Placement& p)
{
    const timeline::WidgetDefinition* widget = bundle_.widget(p.kind);
    if (!widget) {
        qCWarning(lcHost) << "the widget plug-in no longer offers" << p.kind << "; kept in the file";
        return;
    }
    const QSizeF size = timeline::designSize(widget->family()) * p.scale;
    auto tl = std::make_unique<WidgetTimeline>(*widget, p.configuration, size, pool_.get());
    auto window = std::make_unique<WidgetWindow>(p, tl.get());
    const QString id = p.id;
    window->onMoved = [this, id](QPoint pos) { moveWidget(id, pos); };
    window->onAction = [this, id](const view::ButtonAction& a) { runAction(id, a); };
    window->onOpenURL = [this](const QUrl& url) { openURL(url); };
    window->onMenu = [this, id](QPoint pos) { emit menuRequested(id, pos); };
    window->show();
    WidgetTimeline* started = tl.get();
    connect(started, &WidgetTimeline::entryChanged, &trimSoon_, qOverload<>(&QTimer::start));
    shown_[id] = Shown{std::move(tl), std::move(window)};
    started->reevaluate();
}

void WidgetHost::finishStartUp()
{
    if (startedUp_) return;
    startedUp_ = true;
    startUpWait_.stop();
    emit startedUp();
}

void WidgetHost::hide(const QString& id)
{
    if (auto s = shown_.find(id); s != shown_.end()) {
        // Later, as the window may be the one whose event handler got us here.
        WidgetWindow* w = s->second.window.release();
        // It may still get events until then, and the host may be gone by then.
        w->onMoved = nullptr;
        w->onAction = nullptr;
        w->onOpenURL = nullptr;
        w->onMenu = nullptr;
        w->onFirstPaint = nullptr;
        w->hide();
        w->deleteLater();
        s->second.timeline.release()->deleteLater();
        shown_.erase(s);
    }
}

void WidgetHost::watchFile()
{
    const QFileInfo file(store_.path());
    // Writers replace the file by a rename, which only its folder sees; an editor that writes
    // it in place is seen on the file itself. A replaced file drops out of the watch and is
    // added again here, after every change of the folder.
    if (file.dir().exists() && !watcher_.directories().contains(file.absolutePath()))
        watcher_.addPath(file.absolutePath());
    if (file.isFile() && !watcher_.files().contains(file.absoluteFilePath())) watcher_.addPath(file.absoluteFilePath());
}

void WidgetHost::applyExternal(const QStringList& ids)
{
    for (const QString& id : ids) {
        hide(id);
        if (const Placement* p = placement(id)) show(*p);
    }
    if (!ids.isEmpty()) emit placementsChanged();
}

void WidgetHost::syncFromDisk()
{
    watchFile();
    if (!canSave_ || !QFileInfo::exists(store_.path())) return;
    // Writers replace the file whole, so it can be read without the lock.
    PlacementStore::Loaded disk = store_.load();
    if (!disk.warning.isEmpty()) {
        // Damaged by someone else: it was moved aside; write what the host shows in its place.
        qCWarning(lcHost).noquote() << disk.warning;
        if (disk.canSave) save();
        return;
    }
    if (disk.placements == onDisk_) return;
    const QStringList changed = mergePlacements(onDisk_, disk.placements, placements_);
    onDisk_ = std::move(disk.placements);
    applyExternal(changed);
}

void WidgetHost::save()
{
    emit placementsChanged();
    if (!canSave_) {
        saveError_ = QStringLiteral("the placement file %1 was unreadable; changes are kept until the host quits")
                         .arg(store_.path());
        return;
    }
    saveError_.clear();
    bool busy = false;
    const auto lock = store_.lock(kSaveLockWaitMs, &saveError_, &busy);
    if (!lock) {
        // Never written without the lock; kept in memory, and tried again while another
        // writer has it.
        qCWarning(lcHost).noquote() << saveError_;
        if (busy) saveRetry_.start();
        return;
    }
    // Another writer may have changed the file since the host last read it: take its changes
    // in first, so writing never drops them.
    if (QFileInfo::exists(store_.path())) {
        PlacementStore::Loaded disk = store_.load();
        if (!disk.warning.isEmpty()) qCWarning(lcHost).noquote() << disk.warning;
        if (!disk.canSave) {
            canSave_ = false;
            saveError_ = disk.warning;
            return;
        }
        if (disk.warning.isEmpty() && disk.placements != onDisk_)
            applyExternal(mergePlacements(onDisk_, disk.placements, placements_));
    }
    if (!store_.save(placements_, &saveError_, screenArea_)) {
        qCWarning(lcHost).noquote() << saveError_;
        return;
    }
    onDisk_ = placements_;
    watchFile();
}

QPoint WidgetHost::freeSpot(QSizeF size) const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : screenArea_.value_or(kFallbackScreenArea);
    return freePlace(size.toSize(), area, placedRects(placements_, bundle_));
}

void WidgetHost::rememberScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || !canSave_ || screenArea_ == screen->availableGeometry()) return;
    screenArea_ = screen->availableGeometry();
    save();
}

QString WidgetHost::addWidget(const QString& kind, std::optional<QPoint> position)
{
    const timeline::WidgetDefinition* widget = bundle_.widget(kind);
    if (!widget) return {};
    Placement p;
    p.id = newPlacementId();
    p.kind = kind;
    p.position = position.value_or(freeSpot(timeline::designSize(widget->family())));
    p.configuration = widget->configuration();
    placements_.push_back(p);
    save();
    show(p);
    return p.id;
}

bool WidgetHost::removeWidget(const QString& id)
{
    const auto it =
        std::find_if(placements_.begin(), placements_.end(), [&](const Placement& p) { return p.id == id; });
    if (it == placements_.end()) return false;
    placements_.erase(it);
    hide(id);
    save();
    return true;
}

void WidgetHost::moveWidget(const QString& id, QPoint position)
{
    for (Placement& p : placements_)
        if (p.id == id && p.position != position) {
            p.position = position;
            if (WidgetWindow* w = window(id); w && w->position() != position) w->setPosition(position);
            save();
            return; // save() may have taken in other writers' changes to the list
        }
}

void WidgetHost::setScale(const QString& id, qreal scale)
{
    if (!isWidgetScale(scale)) return;
    for (Placement& p : placements_)
        if (p.id == id && p.scale != scale) {
            p.scale = scale;
            if (WidgetWindow* w = window(id)) w->setWidgetScale(scale);
            save();
            return; // save() may have taken in other writers' changes to the list
        }
}

void WidgetHost::setConfiguration(const QString& id, const QJsonObject& configuration)
{
    for (Placement& p : placements_)
        if (p.id == id) {
            WidgetTimeline* tl = timeline(id);
            p.configuration = tl ? tl->widget().configuration(configuration) : configuration;
            if (tl) tl->setConfiguration(p.configuration);
            save();
            return; // save() may have taken in other writers' changes to the list
        }
}

void WidgetHost::reloadTimelines(const QString& kind)
{
    if (!reloadAll_) reloadKinds_.insert(kind);
    if (!reloadSoon_.isActive()) reloadSoon_.start();
}

void WidgetHost::reloadAllTimelines()
{
    reloadAll_ = true;
    reloadKinds_.clear();
    if (!reloadSoon_.isActive()) reloadSoon_.start();
}

void WidgetHost::runPendingReloads()
{
    const bool all = std::exchange(reloadAll_, false);
    const std::set<QString> kinds = std::exchange(reloadKinds_, {});
    for (auto& [id, s] : shown_) {
        if (all) {
            s.window->rerender();
            s.timeline->reload();
        } else if (kinds.count(s.timeline->widget().kind())) {
            s.timeline->reload();
        }
    }
}

void WidgetHost::reevaluateAll()
{
    for (auto& [id, s] : shown_) {
        s.timeline->reevaluate();
        // Timer texts and dates drawn from the clock follow the new time at once.
        s.window->rerender();
    }
}

void WidgetHost::runAction(const QString& id, const view::ButtonAction& action)
{
    runOnWorker(
        pool_.get(), this,
        [registry = &registry_, action] { return registry->run(action.intentType, action.parameters); },
        [this, id, action](const WorkResult<intents::IntentRunResult>& done) {
            const intents::IntentRunResult result = done.value.value_or(intents::IntentRunResult{false, done.error});
            if (!result.ok) qCWarning(lcHost).noquote() << action.intentType << "did not run:" << result.error;
            if (WidgetTimeline* tl = timeline(id)) tl->reload();
            emit actionFinished(id, result.ok);
        });
}

void WidgetHost::openURL(const QUrl& url)
{
    if (!QDesktopServices::openUrl(url)) qCWarning(lcHost) << "nothing opens" << url.toString();
}

} // namespace velk::host
