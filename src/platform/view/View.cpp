#include "platform/view/Node.h"

namespace velk::view {

namespace {

const std::shared_ptr<const Node>& emptyNode()
{
    static const std::shared_ptr<const Node> node = std::make_shared<const Node>();
    return node;
}

// A node made in the block its view will share: a Node is large, and building one aside and
// moving it in would construct and destroy every field twice for each view and modifier.
class Fresh {
public:
    explicit Fresh(Kind k = Kind::empty) : node_(std::make_shared<Node>()) { node_->kind = k; }
    explicit Fresh(const Node& copy) : node_(std::make_shared<Node>(copy)) {}
    Node& operator*() { return *node_; }
    View view() { return View(std::move(node_)); }

private:
    std::shared_ptr<Node> node_;
};

View wrap(const View& content, Kind k, Fresh&& fresh = Fresh())
{
    Node& n = *fresh;
    n.kind = k;
    n.children.push_back(content);
    return fresh.view();
}

bool isText(Kind k)
{
    return k == Kind::text || k == Kind::timerText;
}

// A style change on a text lands in the text itself; elsewhere it becomes (or extends) a style
// node that the layout hands down. The innermost setting wins, so an existing value stays.
template <typename Apply>
View styled(const View& v, Apply apply)
{
    const Node& n = v.node();
    if (isText(n.kind)) {
        Fresh fresh(n);
        Node& copy = *fresh;
        TextStyle extra;
        apply(extra);
        // A text's own setting made later replaces its earlier one.
        TextStyle replaced = extra;
        replaced.inheritFrom(n.style);
        copy.style = replaced;
        return fresh.view();
    }
    if (n.kind == Kind::style) {
        Fresh fresh(n);
        Node& copy = *fresh;
        TextStyle extra;
        apply(extra);
        copy.style.inheritFrom(extra);
        return fresh.view();
    }
    Fresh fresh;
    apply((*fresh).style);
    return wrap(v, Kind::style, std::move(fresh));
}

template <typename Apply>
View shaped(const View& v, Apply apply)
{
    if (v.node().kind != Kind::shape) return v;
    Fresh fresh(v.node());
    Node& copy = *fresh;
    apply(copy.shape);
    return fresh.view();
}

View stack(Kind k, Alignment a, std::optional<qreal> spacing, Views children)
{
    Fresh fresh;
    Node& n = *fresh;
    n.kind = k;
    n.alignment = a;
    n.spacing = spacing;
    n.children.reserve(children.size());
    for (auto& c : children)
        if (!c.isEmpty()) n.children.push_back(std::move(c));
    return fresh.view();
}

View shape(ShapeKind kind)
{
    Fresh fresh(Kind::shape);
    Node& n = *fresh;
    n.shape.kind = kind;
    return fresh.view();
}

} // namespace

void TextStyle::inheritFrom(const TextStyle& o)
{
    if (!font) font = o.font;
    if (!weight) weight = o.weight;
    if (!foreground) foreground = o.foreground;
    if (!lineLimit) lineLimit = o.lineLimit;
    if (!lineSpacing) lineSpacing = o.lineSpacing;
    if (!minimumScaleFactor) minimumScaleFactor = o.minimumScaleFactor;
    if (!tracking) tracking = o.tracking;
    if (!alignment) alignment = o.alignment;
    if (!strikethrough) strikethrough = o.strikethrough;
    if (!strikethroughColor) strikethroughColor = o.strikethroughColor;
    if (!monospacedDigit) monospacedDigit = o.monospacedDigit;
}

LinearGradient LinearGradient::evenly(std::vector<Color> colors, UnitPoint start, UnitPoint end)
{
    LinearGradient g;
    g.startPoint = start;
    g.endPoint = end;
    const size_t n = colors.size();
    for (size_t i = 0; i < n; ++i)
        g.stops.push_back({colors[i], n > 1 ? qreal(i) / qreal(n - 1) : 0.0});
    return g;
}

Color Fill::representative() const
{
    if (auto c = color()) return *c;
    const auto* g = gradient();
    return g->stops.empty() ? Color::clear() : g->stops.front().color;
}

// ---- View -----------------------------------------------------------------------------------

View::View() : node_(emptyNode()) {}

bool View::isEmpty() const
{
    return node_->kind == Kind::empty;
}

View View::font(const Font& f) const
{
    return styled(*this, [&](TextStyle& s) { s.font = f; });
}
View View::fontWeight(Weight w) const
{
    return styled(*this, [&](TextStyle& s) { s.weight = w; });
}
View View::foregroundColor(Color c) const
{
    return foregroundStyle(Fill(c));
}
View View::foregroundStyle(Fill f) const
{
    return styled(*this, [&](TextStyle& s) { s.foreground = f; });
}
View View::lineLimit(std::optional<int> lines) const
{
    return styled(*this, [&](TextStyle& s) { s.lineLimit = lines; });
}
View View::lineSpacing(qreal spacing) const
{
    return styled(*this, [&](TextStyle& s) { s.lineSpacing = spacing; });
}
View View::minimumScaleFactor(qreal factor) const
{
    return styled(*this, [&](TextStyle& s) { s.minimumScaleFactor = std::clamp(factor, 0.01, 1.0); });
}
View View::multilineTextAlignment(TextAlignment a) const
{
    return styled(*this, [&](TextStyle& s) { s.alignment = a; });
}
View View::tracking(qreal points) const
{
    return styled(*this, [&](TextStyle& s) { s.tracking = points; });
}
View View::strikethrough(bool active, std::optional<Color> color) const
{
    return styled(*this, [&](TextStyle& s) {
        s.strikethrough = active;
        if (color) s.strikethroughColor = color;
    });
}
View View::monospacedDigit() const
{
    return styled(*this, [&](TextStyle& s) { s.monospacedDigit = true; });
}

View View::padding(qreal length) const
{
    return padding(Edge::all, length);
}
View View::padding(Edge edges, qreal length) const
{
    EdgeInsets in;
    if (contains(edges, Edge::top)) in.top = length;
    if (contains(edges, Edge::leading)) in.leading = length;
    if (contains(edges, Edge::bottom)) in.bottom = length;
    if (contains(edges, Edge::trailing)) in.trailing = length;
    return padding(in);
}
View View::padding(EdgeInsets insets) const
{
    Fresh fresh;
    Node& n = *fresh;
    n.insets = insets;
    return wrap(*this, Kind::padding, std::move(fresh));
}

View View::frame(std::optional<qreal> width, std::optional<qreal> height, Alignment alignment) const
{
    Fresh fresh;
    Node& n = *fresh;
    n.width = width ? std::optional<qreal>(std::max<qreal>(0, *width)) : std::nullopt;
    n.height = height ? std::optional<qreal>(std::max<qreal>(0, *height)) : std::nullopt;
    n.alignment = alignment;
    return wrap(*this, Kind::fixedFrame, std::move(fresh));
}
View View::frame(const Frame& f) const
{
    Fresh fresh;
    Node& n = *fresh;
    n.frame = f;
    n.alignment = f.alignment;
    return wrap(*this, Kind::flexFrame, std::move(fresh));
}
View View::fixedSize(bool horizontal, bool vertical) const
{
    Fresh fresh;
    Node& n = *fresh;
    n.fixHorizontal = horizontal;
    n.fixVertical = vertical;
    return wrap(*this, Kind::fixedSize, std::move(fresh));
}
View View::layoutPriority(double priority) const
{
    Fresh fresh;
    Node& n = *fresh;
    n.value = priority;
    return wrap(*this, Kind::priority, std::move(fresh));
}
View View::overlay(View content, Alignment alignment) const
{
    Fresh fresh;
    Node& n = *fresh;
    n.alignment = alignment;
    n.children.push_back(*this);
    n.children.push_back(std::move(content));
    n.kind = Kind::overlay;
    return fresh.view();
}
View View::background(View content, Alignment alignment) const
{
    Fresh fresh;
    Node& n = *fresh;
    n.alignment = alignment;
    n.children.push_back(*this);
    n.children.push_back(std::move(content));
    n.kind = Kind::background;
    return fresh.view();
}
View View::background(Fill f) const
{
    return background(Rectangle().fill(std::move(f)));
}
View View::position(qreal x, qreal y) const
{
    Fresh fresh;
    Node& n = *fresh;
    n.x = x;
    n.y = y;
    return wrap(*this, Kind::position, std::move(fresh));
}
View View::offset(qreal x, qreal y) const
{
    Fresh fresh;
    Node& n = *fresh;
    n.x = x;
    n.y = y;
    return wrap(*this, Kind::offset, std::move(fresh));
}
View View::rotationEffect(qreal degrees, UnitPoint anchor) const
{
    Fresh fresh;
    Node& n = *fresh;
    n.value = degrees;
    n.anchor = anchor;
    return wrap(*this, Kind::rotation, std::move(fresh));
}
View View::scaleEffect(qreal s, UnitPoint anchor) const
{
    return scaleEffect(s, s, anchor);
}
View View::scaleEffect(qreal sx, qreal sy, UnitPoint anchor) const
{
    Fresh fresh;
    Node& n = *fresh;
    n.x = sx;
    n.y = sy;
    n.anchor = anchor;
    return wrap(*this, Kind::scale, std::move(fresh));
}
View View::mask(View m, Alignment alignment) const
{
    Fresh fresh;
    Node& n = *fresh;
    n.kind = Kind::mask;
    n.alignment = alignment;
    n.children = {*this, std::move(m)};
    return fresh.view();
}
View View::clipShape(View s) const
{
    Fresh fresh;
    Node& n = *fresh;
    n.kind = Kind::clip;
    n.children = {*this, std::move(s)};
    return fresh.view();
}
View View::clipped() const
{
    return clipShape(Rectangle());
}
View View::opacity(qreal value) const
{
    Fresh fresh;
    Node& n = *fresh;
    n.value = std::clamp<qreal>(value, 0, 1);
    return wrap(*this, Kind::opacity, std::move(fresh));
}
View View::shadow(Color color, qreal radius, qreal x, qreal y) const
{
    Fresh fresh;
    Node& n = *fresh;
    n.color = color;
    n.value = std::max<qreal>(0, radius);
    n.x = x;
    n.y = y;
    return wrap(*this, Kind::shadow, std::move(fresh));
}
View View::allowsHitTesting(bool enabled) const
{
    Fresh fresh;
    Node& n = *fresh;
    n.flag = enabled;
    return wrap(*this, Kind::hitTesting, std::move(fresh));
}
View View::widgetURL(const QUrl& url) const
{
    Fresh fresh;
    Node& n = *fresh;
    n.url = url;
    return wrap(*this, Kind::widgetURL, std::move(fresh));
}
View View::environment(const Environment& env) const
{
    Fresh fresh;
    Node& n = *fresh;
    n.environment = env;
    return wrap(*this, Kind::environment, std::move(fresh));
}

View View::fill(Fill f) const
{
    return shaped(*this, [&](ShapeData& s) { s.fill = std::move(f); });
}
View View::stroke(Fill f, qreal lineWidth) const
{
    StrokeStyle st;
    st.lineWidth = lineWidth;
    return stroke(std::move(f), st);
}
View View::stroke(Fill f, const StrokeStyle& style) const
{
    return shaped(*this, [&](ShapeData& s) {
        s.strokeFill = std::move(f);
        s.stroke = style;
        s.strokeInside = false;
    });
}
View View::strokeBorder(Fill f, qreal lineWidth) const
{
    return shaped(*this, [&](ShapeData& s) {
        s.strokeFill = std::move(f);
        s.stroke = StrokeStyle{};
        s.stroke.lineWidth = lineWidth;
        s.strokeInside = true;
    });
}
View View::trim(qreal from, qreal to) const
{
    return shaped(*this, [&](ShapeData& s) {
        s.trimFrom = std::clamp<qreal>(from, 0, 1);
        s.trimTo = std::clamp<qreal>(to, 0, 1);
    });
}

// ---- builders -------------------------------------------------------------------------------

View VStack(Views c)
{
    return VStack(HAlign::center, std::nullopt, std::move(c));
}
View VStack(HAlign a, Views c)
{
    return VStack(a, std::nullopt, std::move(c));
}
View VStack(HAlign a, std::optional<qreal> spacing, Views c)
{
    return stack(Kind::vstack, Alignment{a, VAlign::center}, spacing, std::move(c));
}
View HStack(Views c)
{
    return HStack(VAlign::center, std::nullopt, std::move(c));
}
View HStack(VAlign a, Views c)
{
    return HStack(a, std::nullopt, std::move(c));
}
View HStack(VAlign a, std::optional<qreal> spacing, Views c)
{
    return stack(Kind::hstack, Alignment{HAlign::center, a}, spacing, std::move(c));
}
View ZStack(Views c)
{
    return ZStack(Alignment::center, std::move(c));
}
View ZStack(Alignment a, Views c)
{
    return stack(Kind::zstack, a, std::nullopt, std::move(c));
}

View Spacer(std::optional<qreal> minLength)
{
    Fresh fresh(Kind::spacer);
    Node& n = *fresh;
    n.spacing = minLength ? std::optional<qreal>(std::max<qreal>(0, *minLength)) : std::nullopt;
    return fresh.view();
}

View EmptyView()
{
    return View();
}

View Text(const QString& text)
{
    Fresh fresh(Kind::text);
    Node& n = *fresh;
    n.text = text;
    return fresh.view();
}

View TimerText(Date from, Date to, bool countsDown, bool showsHours)
{
    Fresh fresh(Kind::timerText);
    Node& n = *fresh;
    n.from = from;
    n.to = to;
    n.countsDown = countsDown;
    n.showsHours = showsHours;
    return fresh.view();
}

View TimerProgress(Date from, Date to, bool countsDown)
{
    Fresh fresh(Kind::timerProgress);
    Node& n = *fresh;
    n.from = from;
    n.to = to;
    n.countsDown = countsDown;
    return fresh.view();
}

View Image(const QString& systemName)
{
    Fresh fresh(Kind::image);
    Node& n = *fresh;
    n.text = systemName;
    return fresh.view();
}

View Rectangle()
{
    return shape(ShapeKind::rectangle);
}
View RoundedRectangle(qreal cornerRadius, CornerStyle style)
{
    Fresh fresh(Kind::shape);
    Node& n = *fresh;
    n.shape.kind = ShapeKind::roundedRectangle;
    n.shape.cornerRadius = std::max<qreal>(0, cornerRadius);
    n.shape.corner = style;
    return fresh.view();
}
View Circle()
{
    return shape(ShapeKind::circle);
}
View Ellipse()
{
    return shape(ShapeKind::ellipse);
}
View Capsule(CornerStyle style)
{
    Fresh fresh(Kind::shape);
    Node& n = *fresh;
    n.shape.kind = ShapeKind::capsule;
    n.shape.corner = style;
    return fresh.view();
}
View Path(QPainterPath path)
{
    Fresh fresh(Kind::shape);
    Node& n = *fresh;
    n.shape.kind = ShapeKind::path;
    n.shape.path = std::move(path);
    return fresh.view();
}
View Path(std::function<QPainterPath(const QRectF&)> build)
{
    Fresh fresh(Kind::shape);
    Node& n = *fresh;
    n.shape.kind = ShapeKind::path;
    n.shape.build = std::move(build);
    return fresh.view();
}

View ColorView(Fill fill)
{
    Fresh fresh(Kind::color);
    Node& n = *fresh;
    n.shape.fill = std::move(fill);
    return fresh.view();
}

View Canvas(CanvasDraw draw)
{
    Fresh fresh(Kind::canvas);
    Node& n = *fresh;
    n.draw = std::move(draw);
    return fresh.view();
}

View GeometryReader(std::function<View(QSizeF)> content)
{
    Fresh fresh(Kind::geometryReader);
    Node& n = *fresh;
    n.geometry = std::move(content);
    return fresh.view();
}

View EnvironmentReader(std::function<View(const Environment&)> content)
{
    Fresh fresh(Kind::environmentReader);
    Node& n = *fresh;
    n.environmentContent = std::move(content);
    return fresh.view();
}

View Button(ButtonAction action, const View& label)
{
    Fresh fresh;
    Node& n = *fresh;
    n.action = std::move(action);
    return wrap(label, Kind::button, std::move(fresh));
}

} // namespace velk::view
