#pragma once
// A live preview of one widget at whatever size the screen gives it: the largest rectangle of
// the design's proportions, the widget laid out at that scale (never transformed, so text and
// dots stay crisp), clipped to the widget's rounded corners with the theme's hairline border.
// The picture is kept until the size, the look or the appearance changes, so a gallery of
// many cards repaints from memory when it scrolls.
#include "platform/view/Layout.h"
#include "shared/look/ThemeSettings.h"

#include <QImage>
#include <QWidget>
#include <functional>
#include <optional>

namespace velk {
struct VelkTheme;
}

namespace velk::app {

// What the theme screen's preview draws its cards over: the theme's background with its
// scanlines. Glass cards in the gallery are drawn over the same.
view::View themeBackdrop(const VelkTheme& theme);

class WidgetCard : public QWidget {
    Q_OBJECT
public:
    using Content = std::function<std::optional<view::View>()>;

    // `surfaceOverride`, when set, replaces the settings' surface for this card only.
    WidgetCard(QSizeF designSize, ThemeSettings theme, Content content,
               std::optional<ThemeSettings::SurfaceStyle> surfaceOverride = std::nullopt, QWidget* parent = nullptr);

    void setTheme(const ThemeSettings& theme);
    const ThemeSettings& theme() const { return theme_; }
    QSizeF designSize() const { return designSize_; }

    // Where the widget is drawn inside the card and at which scale.
    QRectF widgetRect() const;
    qreal scaleUnit() const;
    // False for a kind nothing can draw yet.
    bool hasPreview() const;
    // The laid-out widget as last drawn (empty before the first paint or without a preview);
    // draws it first when needed.
    QJsonObject inspectTree();
    // The picture in device pixels, drawn when needed.
    QImage picture();

    // Whether the surrounding screen is dark, from the application palette.
    static bool systemDark();

    QSize sizeHint() const override { return designSize_.toSize(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ensurePicture();

    QSizeF designSize_;
    ThemeSettings theme_;
    Content content_;
    std::optional<ThemeSettings::SurfaceStyle> surfaceOverride_;
    std::optional<std::optional<view::View>> view_; // built on first use
    std::optional<view::LaidOutTree> tree_;
    QImage picture_;
    bool stale_ = true;
    QSize pictureSize_;
    qreal pictureRatio_ = 0;
    bool pictureDark_ = false;
};

} // namespace velk::app
