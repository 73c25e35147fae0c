#include "app/screens/WidgetCard.h"

#include "shared/look/Theme.h"
#include "shared/look/ThemeStore.h"
#include "shared/look/WidgetRoot.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <algorithm>

namespace velk::app {

namespace {

constexpr qreal kCornerRadius = 14; // design points

QColor toQColor(const Color& c)
{
    return QColor::fromRgbF(float(c.r), float(c.g), float(c.b), float(c.a));
}

// The theme's hairline around the card, one point wide at every scale.
void drawHairline(QPainter& p, const QRectF& rect, qreal radius, const VelkTheme& theme)
{
    p.setPen(QPen(toQColor(theme.t.opacity(theme.lineAlpha)), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}

} // namespace

view::View themeBackdrop(const VelkTheme& theme)
{
    return view::ZStack(view::Alignment::center, {view::Rectangle().fill(theme.bg), ScanlineOverlay{theme.scanA}});
}

WidgetCard::WidgetCard(QSizeF designSize, ThemeSettings theme, Content content,
                       std::optional<ThemeSettings::SurfaceStyle> surfaceOverride, QWidget* parent)
    : QWidget(parent), designSize_(designSize), theme_(std::move(theme)), content_(std::move(content)),
      surfaceOverride_(surfaceOverride)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

bool WidgetCard::systemDark()
{
    return QGuiApplication::palette().color(QPalette::Window).lightness() < 128;
}

void WidgetCard::setTheme(const ThemeSettings& theme)
{
    if (theme == theme_) return;
    theme_ = theme;
    stale_ = true;
    update();
}

QRectF WidgetCard::widgetRect() const
{
    const qreal u = scaleUnit();
    const QSizeF s(designSize_.width() * u, designSize_.height() * u);
    return QRectF(QPointF((width() - s.width()) / 2, (height() - s.height()) / 2), s);
}

qreal WidgetCard::scaleUnit() const
{
    if (!(designSize_.width() > 0) || !(designSize_.height() > 0)) return 0;
    return std::max<qreal>(0, std::min(width() / designSize_.width(), height() / designSize_.height()));
}

bool WidgetCard::hasPreview() const
{
    auto* self = const_cast<WidgetCard*>(this);
    if (!self->view_) self->view_ = content_ ? content_() : std::nullopt;
    return view_->has_value();
}

void WidgetCard::ensurePicture()
{
    const QRectF rect = widgetRect();
    const qreal ratio = devicePixelRatioF();
    const bool dark = systemDark();
    const QSize pixels = (rect.size() * ratio).toSize();
    if (!stale_ && pixels == pictureSize_ && ratio == pictureRatio_ && dark == pictureDark_) return;
    stale_ = false;
    pictureSize_ = pixels;
    pictureRatio_ = ratio;
    pictureDark_ = dark;
    picture_ = QImage();
    tree_.reset();
    if (!hasPreview() || pixels.isEmpty()) return;

    ThemeSettings look = theme_;
    if (surfaceOverride_) look.surface = *surfaceOverride_;
    // The widget's root reads the look while it is laid out; the scope hands it this card's.
    ThemeStore::PreviewScope scope(look);
    view::Environment env;
    env.colorScheme = dark ? view::ColorScheme::dark : view::ColorScheme::light;
    // Glass lets what is behind the widget show through. On the desktop that is the wallpaper;
    // here it would be the window's plain grey, so the card puts the theme's own backdrop (the
    // one the theme screen's preview shows) behind it.
    const view::View shown =
        look.surface == ThemeSettings::SurfaceStyle::glass
            ? view::ZStack(view::Alignment::center, {themeBackdrop(VelkThemes::resolve(theme_.themeID, dark)), **view_})
            : **view_;
    tree_ = view::layout(shown, rect.size(), env);
    picture_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    picture_.setDevicePixelRatio(ratio);
    picture_.fill(Qt::transparent);
    QPainter p(&picture_);
    p.setRenderHint(QPainter::Antialiasing);
    view::paint(*tree_, p);
    // The card's rounded corners and hairline go into the picture too, so a repaint is one
    // plain copy rather than a clipped draw and a stroke each time.
    const QRectF local(QPointF(0, 0), rect.size());
    const qreal radius = kCornerRadius * scaleUnit();
    view::clearOutsideRoundedRect(p, local, radius);
    drawHairline(p, local, radius, VelkThemes::resolve(theme_.themeID, dark));
}

QImage WidgetCard::picture()
{
    ensurePicture();
    return picture_;
}

QJsonObject WidgetCard::inspectTree()
{
    ensurePicture();
    return tree_ ? view::inspect(*tree_) : QJsonObject();
}

void WidgetCard::paintEvent(QPaintEvent*)
{
    ensurePicture();
    const QRectF rect = widgetRect();
    if (rect.isEmpty()) return;
    const qreal radius = kCornerRadius * scaleUnit();
    const VelkTheme& resolved = VelkThemes::resolve(theme_.themeID, pictureDark_);

    QPainter p(this);
    if (!picture_.isNull()) {
        p.drawImage(rect.topLeft(), picture_);
        return;
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(toQColor(resolved.bg));
    p.drawRoundedRect(rect, radius, radius);
    drawHairline(p, rect, radius, resolved);
}

void WidgetCard::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange) {
        stale_ = true;
        update();
    }
    QWidget::changeEvent(event);
}

} // namespace velk::app
