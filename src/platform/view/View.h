#pragma once
// Declarative widget views: a view is an immutable value tree, rebuilt at every render and
// cheap to copy (a shared handle to a node). Builders are free functions named after the
// toolkit the widget designs are written in; modifiers chain and each returns a new view.
// Layout, painting, hit testing and inspection live in Layout.h.
#include "platform/core/Color.h"
#include "platform/core/Date.h"
#include <QJsonObject>
#include <QPainterPath>
#include <QSizeF>
#include <QString>
#include <QUrl>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

class QPainter;

namespace velk::view {

inline constexpr qreal infinity = std::numeric_limits<qreal>::infinity();

// ---- alignment, edges, points ---------------------------------------------------------------

enum class HAlign { leading, center, trailing };
enum class VAlign { top, center, bottom, firstTextBaseline, lastTextBaseline };

struct Alignment {
    HAlign horizontal = HAlign::center;
    VAlign vertical = VAlign::center;

    static const Alignment center, leading, trailing, top, bottom, topLeading, topTrailing, bottomLeading,
        bottomTrailing;
    friend constexpr bool operator==(const Alignment&, const Alignment&) = default;
};
inline constexpr Alignment Alignment::center{HAlign::center, VAlign::center};
inline constexpr Alignment Alignment::leading{HAlign::leading, VAlign::center};
inline constexpr Alignment Alignment::trailing{HAlign::trailing, VAlign::center};
inline constexpr Alignment Alignment::top{HAlign::center, VAlign::top};
inline constexpr Alignment Alignment::bottom{HAlign::center, VAlign::bottom};
inline constexpr Alignment Alignment::topLeading{HAlign::leading, VAlign::top};
inline constexpr Alignment Alignment::topTrailing{HAlign::trailing, VAlign::top};
inline constexpr Alignment Alignment::bottomLeading{HAlign::leading, VAlign::bottom};
inline constexpr Alignment Alignment::bottomTrailing{HAlign::trailing, VAlign::bottom};

// A point in a view's own frame, as fractions of its size (anchors, gradient ends).
struct UnitPoint {
    qreal x = 0.5, y = 0.5;
    static const UnitPoint center, top, bottom, leading, trailing, topLeading, topTrailing, bottomLeading,
        bottomTrailing;
    friend constexpr bool operator==(const UnitPoint&, const UnitPoint&) = default;
};
inline constexpr UnitPoint UnitPoint::center{0.5, 0.5};
inline constexpr UnitPoint UnitPoint::top{0.5, 0};
inline constexpr UnitPoint UnitPoint::bottom{0.5, 1};
inline constexpr UnitPoint UnitPoint::leading{0, 0.5};
inline constexpr UnitPoint UnitPoint::trailing{1, 0.5};
inline constexpr UnitPoint UnitPoint::topLeading{0, 0};
inline constexpr UnitPoint UnitPoint::topTrailing{1, 0};
inline constexpr UnitPoint UnitPoint::bottomLeading{0, 1};
inline constexpr UnitPoint UnitPoint::bottomTrailing{1, 1};

enum class Edge : unsigned {
    top = 1,
    leading = 2,
    bottom = 4,
    trailing = 8,
    vertical = 5,
    horizontal = 10,
    all = 15,
};
constexpr Edge operator|(Edge a, Edge b)
{
    return Edge(unsigned(a) | unsigned(b));
}
constexpr bool contains(Edge set, Edge e)
{
    return (unsigned(set) & unsigned(e)) == unsigned(e);
}

struct EdgeInsets {
    qreal top = 0, leading = 0, bottom = 0, trailing = 0;
    friend constexpr bool operator==(const EdgeInsets&, const EdgeInsets&) = default;
};

// A flexible frame. Unset bounds leave the child's answer alone in that direction.
struct Frame {
    std::optional<qreal> minWidth, idealWidth, maxWidth;
    std::optional<qreal> minHeight, idealHeight, maxHeight;
    Alignment alignment = Alignment::center;

    // Takes all the width and height offered.
    static Frame maxInfinity(Alignment a = Alignment::center)
    {
        Frame f;
        f.maxWidth = infinity;
        f.maxHeight = infinity;
        f.alignment = a;
        return f;
    }
    static Frame maxWidthInfinity(Alignment a = Alignment::center)
    {
        Frame f;
        f.maxWidth = infinity;
        f.alignment = a;
        return f;
    }
    static Frame maxHeightInfinity(Alignment a = Alignment::center)
    {
        Frame f;
        f.maxHeight = infinity;
        f.alignment = a;
        return f;
    }
};

// ---- fonts and text -------------------------------------------------------------------------

enum class Weight { ultraLight, thin, light, regular, medium, semibold, bold, heavy, black };
// proportional is the system's default design ("Inter"), monospaced is "JetBrains Mono".
enum class Design { proportional, monospaced };

struct Font {
    qreal size = 17;
    Weight weight = Weight::regular;
    Design design = Design::proportional;
    bool monospacedDigit = false;

    static Font system(qreal size, Weight weight = Weight::regular, Design design = Design::proportional)
    {
        return Font{size, weight, design, false};
    }
    Font withWeight(Weight w) const
    {
        Font f = *this;
        f.weight = w;
        return f;
    }
    Font monospacedDigits() const
    {
        Font f = *this;
        f.monospacedDigit = true;
        return f;
    }
    friend bool operator==(const Font&, const Font&) = default;
};

enum class TextAlignment { leading, center, trailing };

// ---- paint styles ---------------------------------------------------------------------------

struct GradientStop {
    Color color;
    qreal location = 0;
    friend bool operator==(const GradientStop&, const GradientStop&) = default;
};

struct LinearGradient {
    std::vector<GradientStop> stops;
    UnitPoint startPoint = UnitPoint::top;
    UnitPoint endPoint = UnitPoint::bottom;

    // Colours spread evenly from start to end.
    static LinearGradient evenly(std::vector<Color> colors, UnitPoint start = UnitPoint::top,
                                 UnitPoint end = UnitPoint::bottom);
    friend bool operator==(const LinearGradient&, const LinearGradient&) = default;
};

// What a shape or text is painted with: a colour or a gradient over the view's frame.
class Fill {
public:
    Fill() : style_(Color::clear()) {}
    Fill(Color c) : style_(c) {}
    Fill(LinearGradient g) : style_(std::move(g)) {}

    bool isGradient() const { return std::holds_alternative<LinearGradient>(style_); }
    const Color* color() const { return std::get_if<Color>(&style_); }
    const LinearGradient* gradient() const { return std::get_if<LinearGradient>(&style_); }
    // The colour to report in inspection: the colour itself, or the gradient's first stop.
    Color representative() const;
    friend bool operator==(const Fill&, const Fill&) = default;

private:
    std::variant<Color, LinearGradient> style_;
};

enum class LineCap { butt, round, square };
enum class LineJoin { miter, round, bevel };

struct StrokeStyle {
    qreal lineWidth = 1;
    LineCap lineCap = LineCap::butt;
    LineJoin lineJoin = LineJoin::miter;
    std::vector<qreal> dash;
    qreal dashPhase = 0;
};

enum class CornerStyle { circular, continuous };

// ---- environment and interaction ------------------------------------------------------------

enum class ColorScheme { light, dark };
enum class RenderingMode { fullColor, accented, vibrant };

struct Environment {
    ColorScheme colorScheme = ColorScheme::light;
    RenderingMode renderingMode = RenderingMode::fullColor;
    friend bool operator==(const Environment&, const Environment&) = default;
};

// A button's action as data: the intent type to run and its parameters. The host maps it to a
// real intent; this layer never runs anything.
struct ButtonAction {
    QString intentType;
    QJsonObject parameters;
    friend bool operator==(const ButtonAction&, const ButtonAction&) = default;
};

// ---- the view value -------------------------------------------------------------------------

struct Node;

class View {
public:
    View(); // an empty view: takes no space and is dropped from stacks
    explicit View(std::shared_ptr<const Node> node) : node_(std::move(node)) {}

    bool isEmpty() const;
    const Node& node() const { return *node_; }
    const std::shared_ptr<const Node>& shared() const { return node_; }

    // Text styling. On a text it applies to that text; on any other view it is inherited by
    // every text, symbol and unstyled shape inside, the innermost setting winning.
    View font(const Font& f) const;
    View fontWeight(Weight w) const;
    View foregroundColor(Color c) const;
    View foregroundStyle(Fill f) const;
    View lineLimit(std::optional<int> lines) const;
    View lineSpacing(qreal spacing) const;
    View minimumScaleFactor(qreal factor) const;
    View multilineTextAlignment(TextAlignment a) const;
    View tracking(qreal points) const;
    View strikethrough(bool active = true, std::optional<Color> color = std::nullopt) const;
    View monospacedDigit() const;

    // Layout.
    View padding(qreal length = 16) const;
    View padding(Edge edges, qreal length = 16) const;
    View padding(EdgeInsets insets) const;
    View frame(std::optional<qreal> width, std::optional<qreal> height, Alignment alignment = Alignment::center) const;
    View frame(const Frame& f) const;
    View fixedSize(bool horizontal = true, bool vertical = true) const;
    View layoutPriority(double priority) const;
    View overlay(View content, Alignment alignment = Alignment::center) const;
    View background(View content, Alignment alignment = Alignment::center) const;
    View background(Fill fill) const; // a rectangle of that fill behind the view
    View position(qreal x, qreal y) const;

    // Render-only transforms: the layout keeps the untransformed frame.
    View offset(qreal x, qreal y) const;
    View rotationEffect(qreal degrees, UnitPoint anchor = UnitPoint::center) const;
    View scaleEffect(qreal scale, UnitPoint anchor = UnitPoint::center) const;
    View scaleEffect(qreal sx, qreal sy, UnitPoint anchor = UnitPoint::center) const;

    // Compositing.
    View mask(View mask, Alignment alignment = Alignment::center) const;
    View clipShape(View shape) const;
    View clipped() const;
    View opacity(qreal value) const;
    // A blurred copy of the view's silhouette in `color` drawn beneath it (used as a glow).
    View shadow(Color color, qreal radius, qreal x = 0, qreal y = 0) const;

    // Interaction.
    View allowsHitTesting(bool enabled) const;
    View widgetURL(const QUrl& url) const;
    View environment(const Environment& env) const;

    // Shape styling: on shapes only (Rectangle, Circle, Path ...); other views ignore it.
    View fill(Fill f) const;
    View stroke(Fill f, qreal lineWidth = 1) const;
    View stroke(Fill f, const StrokeStyle& style) const;
    View strokeBorder(Fill f, qreal lineWidth = 1) const;
    View trim(qreal from, qreal to) const;

private:
    std::shared_ptr<const Node> node_;
};

using Views = std::vector<View>;

// ---- builders -------------------------------------------------------------------------------
// Named as the views they make, so widget code reads like the layout it describes.
// NOLINTBEGIN(readability-identifier-naming)

// Stacks. A spacing of nullopt is the default spacing (8 between views, none next to a spacer).
View VStack(Views children);
View VStack(HAlign alignment, Views children);
View VStack(HAlign alignment, std::optional<qreal> spacing, Views children);
View HStack(Views children);
View HStack(VAlign alignment, Views children);
View HStack(VAlign alignment, std::optional<qreal> spacing, Views children);
View ZStack(Views children);
View ZStack(Alignment alignment, Views children);

// Flexible space along its stack's axis; nullopt is the default minimum of 8.
View Spacer(std::optional<qreal> minLength = std::nullopt);
View EmptyView();

View Text(const QString& text);
// The running time of an interval, re-read from the clock whenever it is drawn: counting down
// to `to` or up from `from`, "m:ss" or, with showsHours and an hour or more, "h:mm:ss".
View TimerText(Date from, Date to, bool countsDown = true, bool showsHours = true);
// A linear progress bar over the same interval, re-read from the clock whenever it is drawn.
View TimerProgress(Date from, Date to, bool countsDown = true);

// A vector symbol by name ("checkmark", "sun.max", "play.fill" ...), sized by the font.
View Image(const QString& systemName);
bool hasSymbol(const QString& systemName);

// Shapes: they take all the space offered and are filled with the foreground by default.
View Rectangle();
View RoundedRectangle(qreal cornerRadius, CornerStyle style = CornerStyle::circular);
View Circle();
View Ellipse();
View Capsule(CornerStyle style = CornerStyle::circular);
View Path(QPainterPath path); // in the view's own coordinates
View Path(std::function<QPainterPath(const QRectF&)> build);

// A colour or gradient as a view that takes all the space offered.
View ColorView(Fill fill);

using CanvasDraw = std::function<void(QPainter&, QSizeF, const Environment&)>;
View Canvas(CanvasDraw draw);
View GeometryReader(std::function<View(QSizeF)> content);
View EnvironmentReader(std::function<View(const Environment&)> content);

View Button(ButtonAction action, const View& label);
// NOLINTEND(readability-identifier-naming)

} // namespace velk::view
