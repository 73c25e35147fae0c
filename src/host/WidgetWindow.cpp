#include "host/WidgetWindow.h"

#include "host/WidgetTimeline.h"
#include "platform/core/Clock.h"
#include "platform/view/ContentHash.h"
#include "platform/view/RunningTimers.h"

#include <QBackingStore>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QStyleHints>

#ifdef VELK_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>
#include <cstring>
#include <xcb/xcb.h>
#endif

namespace velk::host {

view::Environment desktopEnvironment()
{
    const QColor window = QGuiApplication::palette().color(QPalette::Window);
    return {window.lightness() < 128 ? view::ColorScheme::dark : view::ColorScheme::light,
            view::RenderingMode::fullColor};
}

WidgetWindow::WidgetWindow(const Placement& placement, WidgetTimeline* timeline)
    : id_(placement.id), timeline_(timeline), scale_(placement.scale)
{
    setSurfaceType(QSurface::RasterSurface);
    setFlags(Qt::FramelessWindowHint | Qt::Tool | Qt::WindowStaysOnBottomHint | Qt::WindowDoesNotAcceptFocus);
    QSurfaceFormat format;
    format.setAlphaBufferSize(8);
    setFormat(format);
    setTitle(timeline->widget().displayName());
    setPosition(placement.position);
    const QSizeF size = timeline::designSize(timeline->widget().family()) * scale_;
    resize(size.toSize());
    // Timer texts advance between entries; a coarse tick is enough for whole seconds.
    ticker_.setInterval(1000);
    ticker_.setTimerType(Qt::CoarseTimer);
    connect(&ticker_, &QTimer::timeout, this, [this] { rerender(); });
    connect(timeline, &WidgetTimeline::entryChanged, this, &WidgetWindow::rerender);
    rerender();
}

WidgetWindow::~WidgetWindow() = default;

void WidgetWindow::setWidgetScale(qreal scale)
{
    scale_ = scale;
    shown_ = {};
    resize((timeline::designSize(timeline_->widget().family()) * scale_).toSize());
    rerender();
}

view::LaidOutTree WidgetWindow::layoutNow() const
{
    const QSizeF size = timeline::designSize(timeline_->widget().family()) * scale_;
    // Laid out at the real size: the root's scale unit sizes text and strokes for it, so they
    // stay crisp instead of being stretched.
    const view::View content = timeline_->widget().render(timeline_->entry());
    return view::layout(content.frame(size.width(), size.height()), size, desktopEnvironment());
}

const view::LaidOutTree& WidgetWindow::tree() const
{
    if (!tree_) tree_ = layoutNow();
    return *tree_;
}

void WidgetWindow::rerender()
{
    view::LaidOutTree tree = layoutNow();
    // Only while a timer runs: one that has ended (or a widget without one) costs nothing.
    const bool ticking = view::hasRunningTimer(tree, Clock::now());
    if (ticking && !ticker_.isActive()) ticker_.start();
    if (!ticking) ticker_.stop();
    // A new entry (or a tick) often draws exactly what is on screen already. The hash covers
    // every text as shown, colour and frame, so an equal one needs no paint; keeping only the
    // hash spares serialising (and holding) a dump of the whole tree per widget.
    const quint64 shown = view::contentHash(tree);
    if (shown == shown_) {
        tree_.reset();
        return;
    }
    shown_ = shown;
    tree_ = std::move(tree);
    ++updates_;
    requestUpdate();
}

bool WidgetWindow::event(QEvent* event)
{
    if (event->type() == QEvent::UpdateRequest) {
        paintNow();
        return true;
    }
    return QWindow::event(event);
}

void WidgetWindow::exposeEvent(QExposeEvent*)
{
    paintNow();
}

void WidgetWindow::paintNow()
{
    if (!isExposed()) return;
    ++paints_;
    const QRect rect(QPoint(), size());
    QBackingStore store(this);
    store.resize(size());
    store.beginPaint(rect);
    {
        QPainter painter(store.paintDevice());
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(rect, Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.setRenderHint(QPainter::Antialiasing);
        // Widgets sit on the desktop as rounded tiles; the corner grows with the user's scale.
        // Clipped rather than painted whole and cut: under a clip the painter keeps none of
        // its sprites or glows, which a host that repaints a widget once a change would hold
        // in memory for nothing (measured: 1 MB more at 53 widgets, no faster first paint).
        QPainterPath tile;
        tile.addRoundedRect(QRectF(rect), kCornerRadius * scale_, kCornerRadius * scale_);
        painter.setClipPath(tile);
        view::paint(tree(), painter);
    }
    store.endPaint();
    store.flush(rect);
    tree_.reset();
    if (paints_ == 1 && onFirstPaint) onFirstPaint();
}

std::optional<view::ButtonAction> WidgetWindow::actionAt(QPointF pos) const { return view::hitTest(tree(), pos); }

void WidgetWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        if (onMenu) onMenu(event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    pressAt_ = event->globalPosition();
    startPos_ = position();
    dragging_ = false;
}

void WidgetWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (!pressAt_ || !(event->buttons() & Qt::LeftButton)) return;
    const QPointF delta = event->globalPosition() - *pressAt_;
    if (!dragging_ && delta.manhattanLength() < QGuiApplication::styleHints()->startDragDistance()) return;
    dragging_ = true;
    setPosition(startPos_ + delta.toPoint());
}

void WidgetWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !pressAt_) return;
    pressAt_.reset();
    if (dragging_) {
        dragging_ = false;
        if (onMoved) onMoved(position());
        return;
    }
    if (auto action = actionAt(event->position())) {
        if (onAction) onAction(*action);
    } else if (auto url = view::widgetURL(tree())) {
        if (onOpenURL) onOpenURL(*url);
    }
    tree_.reset();
}

void WidgetWindow::showEvent(QShowEvent* event)
{
    applyDesktopHints();
    QWindow::showEvent(event);
}

void WidgetWindow::applyDesktopHints()
{
#ifdef VELK_HAVE_XCB
    // Qt has flags for "below" but none for "every workspace" or "not in the task bar": set the
    // window-manager hints before the window is mapped, where the manager reads them (Qt keeps
    // states it did not set itself when it adds its own).
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) return;
    xcb_connection_t* c = x11->connection();
    // Asked of the server once for all windows, all in one round trip.
    enum { kBelow, kSticky, kSkipTaskbar, kSkipPager, kState, kDesktop, kBlur, kAtoms };
    static xcb_connection_t* atomsOf = nullptr;
    static xcb_atom_t atoms[kAtoms] = {};
    if (atomsOf != c) {
        static const char* const names[kAtoms] = {"_NET_WM_STATE_BELOW", "_NET_WM_STATE_STICKY",
                                                  "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER",
                                                  "_NET_WM_STATE", "_NET_WM_DESKTOP",
                                                  "_KDE_NET_WM_BLUR_BEHIND_REGION"};
        xcb_intern_atom_cookie_t cookies[kAtoms];
        for (int i = 0; i < kAtoms; ++i) cookies[i] = xcb_intern_atom(c, 0, uint16_t(strlen(names[i])), names[i]);
        for (int i = 0; i < kAtoms; ++i) {
            xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, cookies[i], nullptr);
            atoms[i] = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
            free(r);
        }
        atomsOf = c;
    }
    const auto window = xcb_window_t(winId());
    const xcb_atom_t states[] = {atoms[kBelow], atoms[kSticky], atoms[kSkipTaskbar], atoms[kSkipPager]};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atoms[kState], XCB_ATOM_ATOM, 32, 4, states);
    const uint32_t allDesktops = 0xFFFFFFFF;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atoms[kDesktop], XCB_ATOM_CARDINAL, 32, 1, &allDesktops);
    // Ask a compositor that can blur what lies behind a window to do so for the whole tile, so
    // glass reads as glass there; elsewhere the property is ignored and glass stays a
    // translucent fill. Behind an opaque tile the blur cannot be seen.
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atoms[kBlur], XCB_ATOM_CARDINAL, 32, 0, nullptr);
    xcb_flush(c);
#endif
}

} // namespace velk::host
