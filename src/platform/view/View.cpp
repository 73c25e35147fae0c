#include "platform/view/Node.h"

namespace velk::view {

namespace {

const std::shared_ptr<const Node>& emptyNode()
{
    static const std::shared_ptr<const Node> node = std::make_shared<const Node>();
    return node;
}

View make(Node&& n) { return View(std::make_shared<const Node>(std::move(n))); }

Node leaf(Kind k)
{
    Node n;
    n.kind = k;
    return n;
}

View wrap(const View& content, Kind k, Node n = Node{})
{
    n.kind = k;
    n.children.push_back(content);
    return make(std::move(n));
}

bool isText(Kind k) { return k == Kind::text || k == Kind::timerText; }

// A style change on a text lands in the text itself; elsewhere it becomes (or extends) a style
// node that the layout hands down. The innermost setting wins, so an existing value stays.
template <typename Apply>
View styled(const View& v, Apply apply)
{
    const Node& n = v.node();
    if (isText(n.kind)) {
        Node copy = n;
        TextStyle extra;
        apply(extra);
        // A text's own setting made later replaces its earlier one.
        TextStyle replaced = extra;
        replaced.inheritFrom(n.style);
        copy.style = replaced;
        return make(std::move(copy));
    }
    if (n.kind == Kind::style) {
        Node copy = n;
        TextStyle extra;
        apply(extra);
        copy.style.inheritFrom(extra);
        return make(std::move(copy));
    }
    Node s;
    apply(s.style);
    return wrap(v, Kind::style, std::move(s));
}

template <typename Apply>
View shaped(const View& v, Apply apply)
{
    if (v.node().kind != Kind::shape)
        return v;
    Node copy = v.node();
    apply(copy.shape);
    return make(std::move(copy));
}

View stack(Kind k, Alignment a, std::optional<qreal> spacing, Views children)
{
    Node n;
    n.kind = k;
    n.alignment = a;
    n.spacing = spacing;
    n.children.reserve(children.size());
    for (auto& c : children)
        if (!c.isEmpty())
            n.children.push_back(std::move(c));
    return make(std::move(n));
}

View shape(ShapeKind kind)
{
    Node n = leaf(Kind::shape);
    n.shape.kind = kind;
    return make(std::move(n));
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
    if (auto c = color())
        return *c;
    const auto* g = gradient();
    return g->stops.empty() ? Color::clear() : g->stops.front().color;
}

// ---- View -----------------------------------------------------------------------------------

View::View() : m_node(emptyNode()) {}

bool View::isEmpty() const { return m_node->kind == Kind::empty; }

View View::font(const Font& f) const
{
    return styled(*this, [&](TextStyle& s) { s.font = f; });
}
View View::fontWeight(Weight w) const
{
    return styled(*this, [&](TextStyle& s) { s.weight = w; });
}
View View::foregroundColor(Color c) const { return foregroundStyle(Fill(c)); }
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
        if (color)
            s.strikethroughColor = color;
    });
}
View View::monospacedDigit() const
{
    return styled(*this, [&](TextStyle& s) { s.monospacedDigit = true; });
}

View View::padding(qreal length) const { return padding(Edge::all, length); }
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
    Node n;
    n.insets = insets;
    return wrap(*this, Kind::padding, std::move(n));
}

View View::frame(std::optional<qreal> width, std::optional<qreal> height, Alignment alignment) const
{
    Node n;
    n.width = width ? std::optional<qreal>(std::max<qreal>(0, *width)) : std::nullopt;
    n.height = height ? std::optional<qreal>(std::max<qreal>(0, *height)) : std::nullopt;
    n.alignment = alignment;
    return wrap(*this, Kind::fixedFrame, std::move(n));
}
View View::frame(const Frame& f) const
{
    Node n;
    n.frame = f;
    n.alignment = f.alignment;
    return wrap(*this, Kind::flexFrame, std::move(n));
}
View View::fixedSize(bool horizontal, bool vertical) const
{
    Node n;
    n.fixHorizontal = horizontal;
    n.fixVertical = vertical;
    return wrap(*this, Kind::fixedSize, std::move(n));
}
View View::layoutPriority(double priority) const
{
    Node n;
    n.value = priority;
    return wrap(*this, Kind::priority, std::move(n));
}
View View::overlay(View content, Alignment alignment) const
{
    Node n;
    n.alignment = alignment;
    n.children.push_back(*this);
    n.children.push_back(std::move(content));
    n.kind = Kind::overlay;
    return make(std::move(n));
}
View View::background(View content, Alignment alignment) const
{
    Node n;
    n.alignment = alignment;
    n.children.push_back(*this);
    n.children.push_back(std::move(content));
    n.kind = Kind::background;
    return make(std::move(n));
}
View View::background(Fill f) const { return background(Rectangle().fill(std::move(f))); }
View View::position(qreal x, qreal y) const
{
    Node n;
    n.x = x;
    n.y = y;
    return wrap(*this, Kind::position, std::move(n));
}
View View::offset(qreal x, qreal y) const
{
    Node n;
    n.x = x;
    n.y = y;
    return wrap(*this, Kind::offset, std::move(n));
}
View View::rotationEffect(qreal degrees, UnitPoint anchor) const
{
    Node n;
    n.value = degrees;
    n.anchor = anchor;
    return wrap(*this, Kind::rotation, std::move(n));
}
View View::scaleEffect(qreal s, UnitPoint anchor) const { return scaleEffect(s, s, anchor); }
View View::scaleEffect(qreal sx, qreal sy, UnitPoint anchor) const
{
    Node n;
    n.x = sx;
    n.y = sy;
    n.anchor = anchor;
    return wrap(*this, Kind::scale, std::move(n));
}
View View::mask(View m, Alignment alignment) const
{
    Node n;
    n.kind = Kind::mask;
    n.alignment = alignment;
    n.children = {*this, std::move(m)};
    return make(std::move(n));
}
View View::clipShape(View s) const
{
    Node n;
    n.kind = Kind::clip;
    n.children = {*this, std::move(s)};
    return make(std::move(n));
}
View View::clipped() const { return clipShape(Rectangle()); }
View View::opacity(qreal value) const
{
    Node n;
    n.value = std::clamp<qreal>(value, 0, 1);
    return wrap(*this, Kind::opacity, std::move(n));
}
View View::shadow(Color color, qreal radius, qreal x, qreal y) const
{
    Node n;
    n.color = color;
    n.value = std::max<qreal>(0, radius);
    n.x = x;
    n.y = y;
    return wrap(*this, Kind::shadow, std::move(n));
}
View View::allowsHitTesting(bool enabled) const
{
    Node n;
    n.flag = enabled;
    return wrap(*this, Kind::hitTesting, std::move(n));
}
View View::widgetURL(const QUrl& url) const
{
    Node n;
    n.url = url;
    return wrap(*this, Kind::widgetURL, std::move(n));
}
View View::environment(const Environment& env) const
{
    Node n;
    n.environment = env;
    return wrap(*this, Kind::environment, std::move(n));
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

View VStack(Views c) { return VStack(HAlign::center, std::nullopt, std::move(c)); }
View VStack(HAlign a, Views c) { return VStack(a, std::nullopt, std::move(c)); }
View VStack(HAlign a, std::optional<qreal> spacing, Views c)
{
    return stack(Kind::vstack, Alignment{a, VAlign::center}, spacing, std::move(c));
}
View HStack(Views c) { return HStack(VAlign::center, std::nullopt, std::move(c)); }
View HStack(VAlign a, Views c) { return HStack(a, std::nullopt, std::move(c)); }
View HStack(VAlign a, std::optional<qreal> spacing, Views c)
{
    return stack(Kind::hstack, Alignment{HAlign::center, a}, spacing, std::move(c));
}
View ZStack(Views c) { return ZStack(Alignment::center, std::move(c)); }
View ZStack(Alignment a, Views c) { return stack(Kind::zstack, a, std::nullopt, std::move(c)); }

View Spacer(std::optional<qreal> minLength)
{
    Node n = leaf(Kind::spacer);
    n.spacing = minLength ? std::optional<qreal>(std::max<qreal>(0, *minLength)) : std::nullopt;
    return make(std::move(n));
}

View EmptyView() { return View(); }

View Text(const QString& text)
{
    Node n = leaf(Kind::text);
    n.text = text;
    return make(std::move(n));
}

View TimerText(Date from, Date to, bool countsDown, bool showsHours)
{
    Node n = leaf(Kind::timerText);
    n.from = from;
    n.to = to;
    n.countsDown = countsDown;
    n.showsHours = showsHours;
    return make(std::move(n));
}

View TimerProgress(Date from, Date to, bool countsDown)
{
    Node n = leaf(Kind::timerProgress);
    n.from = from;
    n.to = to;
    n.countsDown = countsDown;
    return make(std::move(n));
}

View Image(const QString& systemName)
{
    Node n = leaf(Kind::image);
    n.text = systemName;
    return make(std::move(n));
}

View Rectangle() { return shape(ShapeKind::rectangle); }
View RoundedRectangle(qreal cornerRadius, CornerStyle style)
{
    Node n = leaf(Kind::shape);
    n.shape.kind = ShapeKind::roundedRectangle;
    n.shape.cornerRadius = std::max<qreal>(0, cornerRadius);
    n.shape.corner = style;
    return make(std::move(n));
}
View Circle() { return shape(ShapeKind::circle); }
View Ellipse() { return shape(ShapeKind::ellipse); }
View Capsule(CornerStyle style)
{
    Node n = leaf(Kind::shape);
    n.shape.kind = ShapeKind::capsule;
    n.shape.corner = style;
    return make(std::move(n));
}
View Path(QPainterPath path)
{
    Node n = leaf(Kind::shape);
    n.shape.kind = ShapeKind::path;
    n.shape.path = std::move(path);
    return make(std::move(n));
}
View Path(std::function<QPainterPath(const QRectF&)> build)
{
    Node n = leaf(Kind::shape);
    n.shape.kind = ShapeKind::path;
    n.shape.build = std::move(build);
    return make(std::move(n));
}

View ColorView(Fill fill)
{
    Node n = leaf(Kind::color);
    n.shape.fill = std::move(fill);
    return make(std::move(n));
}

View Canvas(CanvasDraw draw)
{
    Node n = leaf(Kind::canvas);
    n.draw = std::move(draw);
    return make(std::move(n));
}

View GeometryReader(std::function<View(QSizeF)> content)
{
    Node n = leaf(Kind::geometryReader);
    n.geometry = std::move(content);
    return make(std::move(n));
}

View EnvironmentReader(std::function<View(const Environment&)> content)
{
    Node n = leaf(Kind::environmentReader);
    n.environmentContent = std::move(content);
    return make(std::move(n));
}

View Button(ButtonAction action, View label)
{
    Node n;
    n.action = std::move(action);
    return wrap(label, Kind::button, std::move(n));
}

} // namespace velk::view
