#include "host/WidgetHost.h"

#include "host/WidgetTimeline.h"
#include "host/WidgetWindow.h"
#include "platform/core/Log.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

namespace velk::host {

namespace {
// How long quitting waits for a provider or an action that is still running.
constexpr int kQuitWaitMs = 3000;
} // namespace

WidgetHost::WidgetHost(const timeline::WidgetBundle& bundle, const intents::IntentRegistry& registry,
                       PlacementStore store, QObject* parent)
    : QObject(parent), bundle_(bundle), registry_(registry), store_(std::move(store)), pool_(new QThreadPool)
{
    // Providers may block on files or the network; a few threads keep one slow widget from
    // holding up the rest without waking many cores (a provider busy for long gives its thread
    // up, see WidgetTimeline).
    pool_->setMaxThreadCount(4);
    pool_->setExpiryTimeout(30000);
    // Editors and renames come as bursts of events; one read after them is enough.
    syncSoon_.setSingleShot(true);
    syncSoon_.setInterval(200);
    connect(&syncSoon_, &QTimer::timeout, this, &WidgetHost::syncFromDisk);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, &syncSoon_, qOverload<>(&QTimer::start));
    connect(&watcher_, &QFileSystemWatcher::fileChanged, &syncSoon_, qOverload<>(&QTimer::start));
}

WidgetHost::~WidgetHost()
{
    if (shutdown(kQuitWaitMs)) delete pool_;
}

bool WidgetHost::shutdown(int waitMs)
{
    for (auto& [id, s] : shown_) delete s.timeline;
    shown_.clear();
    if (pool_->waitForDone(waitMs)) return true;
    // A thread cannot be stopped; its pool stays so the task can finish on it.
    qCWarning(logCategory("host")) << "a widget provider or action is still busy; quitting without it";
    return false;
}

QString WidgetHost::start()
{
    PlacementStore::Loaded loaded;
    {
        const auto lock = store_.lock();
        loaded = store_.load();
    }
    placements_ = std::move(loaded.placements);
    onDisk_ = placements_;
    canSave_ = loaded.canSave;
    for (const Placement& p : placements_) show(p);
    watchFile();
    if (!loaded.warning.isEmpty()) qCWarning(logCategory("host")).noquote() << loaded.warning;
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
    return it == shown_.end() ? nullptr : it->second.timeline;
}

QStringList WidgetHost::windowIds() const
{
    QStringList ids;
    for (const auto& [id, s] : shown_) ids << id;
    return ids;
}

void WidgetHost::show(const Placement& p)
{
    const timeline::WidgetDefinition* widget = bundle_.widget(p.kind);
    if (!widget) {
        qCWarning(logCategory("host")) << "the widget plug-in no longer offers" << p.kind << "; kept in the file";
        return;
    }
    const QSizeF size = timeline::designSize(widget->family()) * p.scale;
    auto* tl = new WidgetTimeline(*widget, p.configuration, size, pool_, this);
    auto window = std::make_unique<WidgetWindow>(p, tl);
    const QString id = p.id;
    window->onMoved = [this, id](QPoint pos) { moveWidget(id, pos); };
    window->onAction = [this, id](const view::ButtonAction& a) { runAction(id, a); };
    window->onOpenURL = [this](const QUrl& url) { openURL(url); };
    window->onMenu = [this, id](QPoint pos) { emit menuRequested(id, pos); };
    window->show();
    shown_[id] = Shown{tl, std::move(window)};
    tl->reevaluate();
}

void WidgetHost::hide(const QString& id)
{
    if (auto s = shown_.find(id); s != shown_.end()) {
        // Later, as the window may be the one whose event handler got us here.
        WidgetWindow* w = s->second.window.release();
        w->hide();
        w->deleteLater();
        s->second.timeline->deleteLater();
        shown_.erase(s);
    }
}

void WidgetHost::watchFile()
{
    const QFileInfo file(store_.path());
    // The file is replaced by a rename on every write, so its folder is what can be watched.
    if (file.dir().exists() && !watcher_.directories().contains(file.absolutePath())) watcher_.addPath(file.absolutePath());
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
        qCWarning(logCategory("host")).noquote() << disk.warning;
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
    const auto lock = store_.lock();
    // Another writer may have changed the file since the host last read it: take its changes
    // in first, so writing never drops them.
    if (QFileInfo::exists(store_.path())) {
        PlacementStore::Loaded disk = store_.load();
        if (!disk.warning.isEmpty()) qCWarning(logCategory("host")).noquote() << disk.warning;
        if (!disk.canSave) {
            canSave_ = false;
            saveError_ = disk.warning;
            return;
        }
        if (disk.warning.isEmpty() && disk.placements != onDisk_)
            applyExternal(mergePlacements(onDisk_, disk.placements, placements_));
    }
    if (!store_.save(placements_, &saveError_)) {
        qCWarning(logCategory("host")).noquote() << saveError_;
        return;
    }
    onDisk_ = placements_;
    watchFile();
}

QPoint WidgetHost::freeSpot(QSizeF size) const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    constexpr int kMargin = 24;
    std::vector<QRect> taken;
    for (const Placement& p : placements_) {
        const auto* w = bundle_.widget(p.kind);
        const QSizeF s = timeline::designSize(w ? w->family() : timeline::WidgetFamily::small) * p.scale;
        taken.emplace_back(p.position, s.toSize());
    }
    for (int y = area.top() + kMargin; y + size.height() <= area.bottom(); y += kMargin) {
        for (int x = area.left() + kMargin; x + size.width() <= area.right(); x += kMargin) {
            const QRect r(QPoint(x, y), size.toSize());
            const QRect padded = r.adjusted(-kMargin / 2, -kMargin / 2, kMargin / 2, kMargin / 2);
            if (std::none_of(taken.begin(), taken.end(), [&](const QRect& t) { return t.intersects(padded); }))
                return r.topLeft();
        }
    }
    // A full desktop: stack it in the corner rather than refuse.
    return area.topLeft() + QPoint(kMargin, kMargin);
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
    const auto it = std::find_if(placements_.begin(), placements_.end(), [&](const Placement& p) { return p.id == id; });
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
    for (auto& [id, s] : shown_)
        if (s.timeline->widget().kind() == kind) s.timeline->reload();
}

void WidgetHost::reloadAllTimelines()
{
    for (auto& [id, s] : shown_) {
        s.window->rerender();
        s.timeline->reload();
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
    QPointer<WidgetHost> self(this);
    const intents::IntentRegistry* registry = &registry_;
    pool_->start([self, registry, id, action] {
        intents::IntentRunResult result;
        try {
            result = registry->run(action.intentType, action.parameters);
        } catch (const std::exception& e) {
            result = {false, QString::fromUtf8(e.what())};
        }
        QCoreApplication* app = QCoreApplication::instance();
        if (!app) return; // quitting without this task
        QMetaObject::invokeMethod(
            app,
            [self, id, action, result] {
                if (!self) return;
                if (!result.ok)
                    qCWarning(logCategory("host")).noquote() << action.intentType << "did not run:" << result.error;
                if (WidgetTimeline* tl = self->timeline(id)) tl->reload();
                emit self->actionFinished(id, result.ok);
            },
            Qt::QueuedConnection);
    });
}

void WidgetHost::openURL(const QUrl& url)
{
    if (!QDesktopServices::openUrl(url)) qCWarning(logCategory("host")) << "nothing opens" << url.toString();
}

} // namespace velk::host
