#pragma once
// The node behind a View handle. Internal to the view layer: widget code builds views through
// the free functions and modifiers of View.h and never touches nodes.
#include "platform/view/View.h"

namespace velk::view {

enum class Kind : quint8 {
    empty,
    vstack,
    hstack,
    zstack,
    spacer,
    text,
    timerText,
    timerProgress,
    image,
    shape,
    color,
    canvas,
    geometryReader,
    environmentReader,
    button,
    // modifiers, content in children[0]
    style,
    environment,
    priority,
    padding,
    fixedFrame,
    flexFrame,
    fixedSize,
    overlay,    // children[1] drawn over
    background, // children[1] drawn beneath
    position,
    offset,
    rotation,
    scale,
    mask, // children[1] is the mask
    clip, // children[1] is the clip shape
    opacity,
    shadow,
    hitTesting,
    widgetURL,
};

// Text attributes that are inherited down the tree; an unset field takes the outer value.
struct TextStyle {
    std::optional<Font> font;
    std::optional<Weight> weight;
    std::optional<Fill> foreground;
    std::optional<std::optional<int>> lineLimit;
    std::optional<qreal> lineSpacing;
    std::optional<qreal> minimumScaleFactor;
    std::optional<qreal> tracking;
    std::optional<TextAlignment> alignment;
    std::optional<bool> strikethrough;
    std::optional<Color> strikethroughColor;
    std::optional<bool> monospacedDigit;

    // Fields still unset here take the value of `outer`.
    void inheritFrom(const TextStyle& outer);
};

// How a text lines up and whether it is struck through: its own settings, else the outer ones.
// Read by painting and hashing on every render, without copying the whole style.
struct TextDecoration {
    TextAlignment alignment = TextAlignment::leading;
    bool strikethrough = false;
    std::optional<Color> strikethroughColor;

    TextDecoration(const TextStyle& own, const TextStyle& outer)
        : alignment((own.alignment ? own.alignment : outer.alignment).value_or(TextAlignment::leading)),
          strikethrough((own.strikethrough ? own.strikethrough : outer.strikethrough).value_or(false)),
          strikethroughColor(own.strikethroughColor ? own.strikethroughColor : outer.strikethroughColor)
    {}
};

enum class ShapeKind : quint8 { rectangle, roundedRectangle, circle, ellipse, capsule, path };

struct ShapeData {
    ShapeKind kind = ShapeKind::rectangle;
    qreal cornerRadius = 0;
    CornerStyle corner = CornerStyle::circular;
    QPainterPath path;
    std::function<QPainterPath(const QRectF&)> build;
    std::optional<Fill> fill;
    std::optional<Fill> strokeFill;
    StrokeStyle stroke;
    bool strokeInside = false;
    qreal trimFrom = 0, trimTo = 1;
};

struct Node {
    Kind kind = Kind::empty;
    // The flags sit together with the kind: spread among the larger fields their padding would
    // take a Node past the size the allocator serves from its per-thread cache, and every view
    // and modifier is one Node.
    bool countsDown = true;     // timers
    bool showsHours = true;     // timers
    bool fixHorizontal = false; // fixedSize
    bool fixVertical = false;   // fixedSize
    bool flag = true;           // allowsHitTesting
    Views children;

    // stacks, frames, overlays
    Alignment alignment;
    std::optional<qreal> spacing; // stacks; also the spacer's minimum length

    // text and timers
    QString text;
    TextStyle style;
    Date from, to;

    ShapeData shape;

    // geometry modifiers
    EdgeInsets insets;
    Frame frame;
    std::optional<qreal> width, height; // fixed frame
    qreal x = 0, y = 0;                 // offset, position, shadow offset, scale factors
    qreal value = 0;                    // rotation degrees, opacity, shadow radius, priority
    UnitPoint anchor;
    Color color; // shadow colour

    CanvasDraw draw;
    std::function<View(QSizeF)> geometry;
    std::function<View(const Environment&)> environmentContent;

    ButtonAction action;
    QUrl url;
    Environment environment;
};

} // namespace velk::view
