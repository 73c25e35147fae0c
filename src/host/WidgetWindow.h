#pragma once
// One placed widget on the desktop: a frameless, translucent window below normal windows, off
// the task bar and on every workspace, painting the widget's laid-out view at the screen's
// pixel ratio. It lays nothing out before its first paint, then draws only when what it shows
// changes, or once a second while it shows a self-updating timer that is running. Drags move
// it; a tap runs a button or opens the widget URL; what to do with those is the host's business.
//
// The window keeps no picture of its own between paints: the window system holds what was put
// on screen (a compositor keeps every window's picture anyway). On X11 every tile is drawn into
// one picture the host keeps for all of them and put on its window as it is, with no shared
// memory mapped per paint; on other window systems a tile keeps a backing store. A window
// uncovered on a desktop without a compositor is painted again.
#include "host/PlacementStore.h"
#include "platform/view/Layout.h"

#include <QBackingStore>
#include <QTimer>
#include <QWindow>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace velk::host {

class WidgetTimeline;

class WidgetWindow : public QWindow {
    Q_OBJECT
public:
    // Corner radius of a widget tile at scale 1, in points.
    static constexpr qreal kCornerRadius = 20;

    WidgetWindow(const Placement& placement, WidgetTimeline* timeline);
    ~WidgetWindow() override;

    const QString& placementId() const { return id_; }
    WidgetTimeline* timeline() const { return timeline_; }
    qreal widgetScale() const { return scale_; }
    void setWidgetScale(qreal scale);

    // Lays the current entry out again and repaints (an entry or the look changed).
    void rerender();
    // The view as laid out now, for inspection and hit testing (laid out on demand: the window
    // keeps no tree between paints).
    const view::LaidOutTree& tree() const;
    bool updatesEverySecond() const { return ticker_.isActive(); }
    int paintCount() const { return paints_; }
    // How often the window asked to be drawn because what it shows changed (the window system
    // may ask for more paints of its own, on exposure).
    int updateCount() const { return updates_; }

    // Sent by the window: a drag ended at a new place; a tap on a button; a tap on the widget
    // elsewhere when it has a URL; a right click.
    std::function<void(QPoint)> onMoved;
    std::function<void(const view::ButtonAction&)> onAction;
    std::function<void(const QUrl&)> onOpenURL;
    std::function<void(QPoint globalPos)> onMenu;
    // Called once, when the window has been painted for the first time.
    std::function<void()> onFirstPaint;

    // The tap a release at `pos` (window coordinates) makes: a button's action, else the URL.
    std::optional<view::ButtonAction> actionAt(QPointF pos) const;

    // X11: the window was mapped by the request with that sequence number (low 16 bits); an
    // exposure made by the same request is taken as a request for a paint, and true returned,
    // since Qt exposes the whole window for the map anyway (see MapExposures).
    void mapped(uint16_t sequence);
    bool exposedByMap(uint16_t sequence, bool last);

protected:
    bool event(QEvent* event) override;
    void exposeEvent(QExposeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void applyDesktopHints();
    void paintNow();
    void paintTile(QPaintDevice* device);
    // Paints into the one picture all tiles share and puts it on the X11 window; false where
    // that road is not open (another window system), and the kept backing store serves.
    bool putOnX11();
    view::LaidOutTree layoutNow() const;
    // Starts or stops the tick for what `tree` shows and keeps its content hash; false when it
    // shows exactly what was painted last.
    bool takeContent(const view::LaidOutTree& tree);

    QString id_;
    WidgetTimeline* timeline_;
    qreal scale_ = 1;
    // The laid-out view, only from a change until it is painted (or while a tap is looked up):
    // a tree holds every node with its measures and texts, many times what its picture needs,
    // and the window system keeps the picture anyway. A paint without one lays out again.
    mutable std::optional<view::LaidOutTree> tree_;
    std::optional<quint64> shown_;         // content hash of the tree last painted; none forces a paint
    std::unique_ptr<QBackingStore> store_; // only off X11
    bool painted_ = false;
    std::optional<uint16_t> mapSequence_; // of the X11 map whose exposures are still to come
    bool paintDue_ = false;               // a change, or an exposure of the map, not painted yet
    uint8_t depth_ = 0;                   // of the X11 window, once known
    bool geometryAsked_ = false;
    unsigned int geometryCookie_ = 0;
    QTimer ticker_;
    int paints_ = 0;
    int updates_ = 0;
    std::optional<QPointF> pressAt_; // global position of the left press
    QPoint startPos_;
    bool dragging_ = false;
};

// The colour scheme of the desktop, from the application palette.
view::Environment desktopEnvironment();

} // namespace velk::host
