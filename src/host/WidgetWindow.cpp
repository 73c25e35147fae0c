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
#include <QSysInfo>

#ifdef VELK_HAVE_XCB
#include <QAbstractNativeEventFilter>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <cstring>
#include <map>
#include <vector>
#include <xcb/xcb.h>
#endif

namespace velk::host {

#ifdef VELK_HAVE_XCB
namespace {
// Whether the server takes the image's pixels as they are at `depth`: 32 bits each, rows padded
// to 32 bits, in this machine's byte order. Others go the Qt road, which converts.
bool takesImagePixels(xcb_connection_t* c, uint8_t depth)
{
    if (depth != 24 && depth != 32) return false;
    const xcb_setup_t* setup = xcb_get_setup(c);
    const bool littleEndian = QSysInfo::ByteOrder == QSysInfo::LittleEndian;
    if ((setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST) != littleEndian) return false;
    const xcb_format_t* formats = xcb_setup_pixmap_formats(setup);
    for (int i = 0; i < xcb_setup_pixmap_formats_length(setup); ++i)
        if (formats[i].depth == depth) return formats[i].bits_per_pixel == 32 && formats[i].scanline_pad == 32;
    return false;
}

// Qt answers the map of a window with an exposure of the whole window, and the X server sends
// one of its own for the same map: both reach the window, and each would lay out and send the
// whole tile, at every start. The server's exposure made by the map (it carries the map's
// sequence number) is taken here: it only asks for a paint when the window has not been painted
// since, so Qt's exposure draws the tile once.
class MapExposures : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
        if (type != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        const uint8_t kind = event->response_type & 0x7f;
        if (kind == XCB_MAP_NOTIFY) {
            const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event);
            if (WidgetWindow* tile = tileOf(map->window)) tile->mapped(map->sequence);
            return false;
        }
        if (kind != XCB_EXPOSE) return false;
        const auto* expose = reinterpret_cast<const xcb_expose_event_t*>(event);
        WidgetWindow* tile = tileOf(expose->window);
        return tile && tile->exposedByMap(expose->sequence, expose->count == 0);
    }

private:
    static WidgetWindow* tileOf(xcb_window_t window)
    {
        for (QWindow* w : QGuiApplication::topLevelWindows())
            if (auto* tile = qobject_cast<WidgetWindow*>(w);
                tile && tile->handle() && xcb_window_t(tile->winId()) == window)
                return tile;
        return nullptr;
    }
};
} // namespace
#endif

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
    if (painted_) {
        view::LaidOutTree tree = layoutNow();
        if (!takeContent(tree)) {
            tree_.reset();
            return;
        }
        tree_ = std::move(tree);
    } else {
        // Nothing on screen yet: the first paint lays out whatever entry is current then, so
        // the placeholder and the entries that come before the window is mapped cost no layout.
        tree_.reset();
        shown_.reset();
    }
    ++updates_;
    paintDue_ = true;
    requestUpdate();
}

bool WidgetWindow::takeContent(const view::LaidOutTree& tree)
{
    // Only while a timer runs: one that has ended (or a widget without one) costs nothing.
    const bool ticking = view::hasRunningTimer(tree, Clock::now());
    if (ticking && !ticker_.isActive()) ticker_.start();
    if (!ticking) ticker_.stop();
    // A new entry (or a tick) often draws exactly what is on screen already. The hash covers
    // every text as shown, colour and frame, so an equal one needs no paint; keeping only the
    // hash spares serialising (and holding) a dump of the whole tree per widget.
    const quint64 shown = view::contentHash(tree);
    if (shown == shown_) return false;
    shown_ = shown;
    return true;
}

bool WidgetWindow::event(QEvent* event)
{
    if (event->type() == QEvent::UpdateRequest) {
        // An exposure may have painted the change already (at start the first entries arrive
        // before the windows are mapped): then there is nothing left to draw.
        if (paintDue_) paintNow();
        return true;
    }
    return QWindow::event(event);
}

void WidgetWindow::exposeEvent(QExposeEvent*)
{
    if (!isExposed()) return;
    // Uncovered with nothing new to show: a kept picture is put back as it is.
    if (store_ && painted_ && !tree_ && store_->size() == size()) {
        store_->flush(QRect(QPoint(), size()));
        return;
    }
    paintNow();
}

void WidgetWindow::paintTile(QPaintDevice* device)
{
    const QRect rect(QPoint(), size());
    QPainter painter(device);
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

void WidgetWindow::paintNow()
{
    if (!isExposed()) return;
    ++paints_;
    if (!shown_) takeContent(tree());
    // On X11 through the one picture all tiles share; elsewhere through a kept backing store.
    if (!putOnX11()) {
        if (!store_) store_ = std::make_unique<QBackingStore>(this);
        if (store_->size() != size()) store_->resize(size());
        const QRect rect(QPoint(), size());
        store_->beginPaint(rect);
        paintTile(store_->paintDevice());
        store_->endPaint();
        store_->flush(rect);
    }
    painted_ = true;
    paintDue_ = false;
    tree_.reset();
    if (paints_ == 1 && onFirstPaint) onFirstPaint();
}

bool WidgetWindow::putOnX11()
{
#ifdef VELK_HAVE_XCB
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) return false;
    xcb_connection_t* c = x11->connection();
    if (!depth_) {
        // Asked when the window was shown; answered long since.
        if (!geometryAsked_) return false;
        xcb_get_geometry_reply_t* r = xcb_get_geometry_reply(c, xcb_get_geometry_cookie_t{geometryCookie_}, nullptr);
        geometryAsked_ = false;
        depth_ = r ? r->depth : 0;
        free(r);
        if (!depth_) return false;
    }
    if (!takesImagePixels(c, depth_)) return false;
    const qreal dpr = devicePixelRatio();
    const QSize px = (QSizeF(size()) * dpr).toSize();
    if (px.isEmpty()) return true;
    // One picture for every tile, drawn and sent whole each time: the window system keeps what
    // is on screen, so the host keeps nothing per tile, and nothing is mapped, shared or made
    // per paint. Measured against a backing store kept per tile and one made per paint (with
    // shared memory, as Qt does): the least CPU to start up and the least memory of the three.
    static std::vector<uchar> scratch;
    const size_t bytes = size_t(px.width()) * size_t(px.height()) * 4;
    if (scratch.size() < bytes) scratch.resize(bytes);
    {
        QImage image(scratch.data(), px.width(), px.height(), qsizetype(px.width()) * 4,
                     QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(dpr);
        paintTile(&image);
    }
    static std::map<uint8_t, xcb_gcontext_t> contexts; // one per depth
    static xcb_connection_t* contextsOf = nullptr;
    if (contextsOf != c) {
        contexts.clear();
        contextsOf = c;
    }
    const auto window = xcb_window_t(winId());
    xcb_gcontext_t& gc = contexts[depth_];
    if (!gc) {
        gc = xcb_generate_id(c);
        xcb_create_gc(c, gc, window, 0, nullptr);
    }
    // In bands as large as one request may be.
    const size_t row = size_t(px.width()) * 4;
    const size_t maxRequest = size_t(xcb_get_maximum_request_length(c)) * 4 - 32;
    const int rows = int(std::max<size_t>(1, maxRequest / row));
    for (int y = 0; y < px.height(); y += rows) {
        const int n = std::min(rows, px.height() - y);
        xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, gc, uint16_t(px.width()), uint16_t(n), 0, int16_t(y), 0,
                      depth_, uint32_t(row * size_t(n)), scratch.data() + row * size_t(y));
    }
    xcb_flush(c);
    return true;
#else
    return false;
#endif
}

void WidgetWindow::mapped(uint16_t sequence)
{
    mapSequence_ = sequence;
}

bool WidgetWindow::exposedByMap(uint16_t sequence, bool last)
{
    if (!mapSequence_ || *mapSequence_ != sequence) return false;
    if (last) mapSequence_.reset();
    // Painted by the time the update request comes (Qt's exposure drew it): nothing to do then.
    paintDue_ = true;
    requestUpdate();
    return true;
}

std::optional<view::ButtonAction> WidgetWindow::actionAt(QPointF pos) const
{
    return view::hitTest(tree(), pos);
}

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
    static MapExposures* mapExposures = nullptr;
    if (!mapExposures) qGuiApp->installNativeEventFilter(mapExposures = new MapExposures);
    // Asked of the server once for all windows, all in one round trip.
    enum { kBelow, kSticky, kSkipTaskbar, kSkipPager, kState, kDesktop, kBlur, kAtoms };
    static xcb_connection_t* atomsOf = nullptr;
    static xcb_atom_t atoms[kAtoms] = {};
    if (atomsOf != c) {
        static const char* const names[kAtoms] = {
            "_NET_WM_STATE_BELOW", "_NET_WM_STATE_STICKY", "_NET_WM_STATE_SKIP_TASKBAR",    "_NET_WM_STATE_SKIP_PAGER",
            "_NET_WM_STATE",       "_NET_WM_DESKTOP",      "_KDE_NET_WM_BLUR_BEHIND_REGION"};
        xcb_intern_atom_cookie_t cookies[kAtoms];
        for (int i = 0; i < kAtoms; ++i)
            cookies[i] = xcb_intern_atom(c, 0, uint16_t(strlen(names[i])), names[i]);
        for (int i = 0; i < kAtoms; ++i) {
            xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, cookies[i], nullptr);
            atoms[i] = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
            free(r);
        }
        atomsOf = c;
    }
    const auto window = xcb_window_t(winId());
    // The window's depth, for putting its picture; the answer is taken at the first paint.
    if (!depth_ && !geometryAsked_) {
        geometryCookie_ = xcb_get_geometry(c, window).sequence;
        geometryAsked_ = true;
    }
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
