#include "platform/view/LayoutNodes.h"
#include "platform/view/RunningTimers.h"
#include "platform/view/ShapePaths.h"
#include "platform/view/Symbols.h"
#include <QJsonArray>
#include <QTransform>

namespace velk::view {

namespace {

QJsonValue number(qreal v)
{
    // Keep dumps stable: no float noise below a thousandth of a point.
    return QJsonValue(std::round(v * 1000.0) / 1000.0);
}

QJsonObject rectJson(const QRectF& r)
{
    return QJsonObject{{QStringLiteral("x"), number(r.x())},
                       {QStringLiteral("y"), number(r.y())},
                       {QStringLiteral("w"), number(r.width())},
                       {QStringLiteral("h"), number(r.height())}};
}

QJsonValue fillJson(const Fill& f)
{
    if (const Color* c = f.color()) return c->hex();
    QJsonArray stops;
    for (const GradientStop& s : f.gradient()->stops)
        stops.append(
            QJsonObject{{QStringLiteral("color"), s.color.hex()}, {QStringLiteral("location"), number(s.location)}});
    return QJsonObject{{QStringLiteral("gradient"), stops}};
}

QString designName(Design d)
{
    return d == Design::monospaced ? QStringLiteral("monospaced") : QStringLiteral("proportional");
}

QJsonObject fontJson(const Font& f, qreal scale)
{
    QJsonObject o{{QStringLiteral("family"), familyFor(f.design)},
                  {QStringLiteral("size"), number(f.size * scale)},
                  {QStringLiteral("weight"), weightName(f.weight)},
                  {QStringLiteral("design"), designName(f.design)}};
    if (f.monospacedDigit) o.insert(QStringLiteral("monospacedDigit"), true);
    return o;
}

QString alignmentName(const Alignment& a)
{
    static const char* h[] = {"leading", "center", "trailing"};
    static const char* v[] = {"top", "center", "bottom", "firstTextBaseline", "lastTextBaseline"};
    return QStringLiteral("%1/%2").arg(QLatin1String(h[int(a.horizontal)]), QLatin1String(v[int(a.vertical)]));
}

QJsonObject nodeJson(const LaidOutNode& n)
{
    const RNode& r = *n.source;
    const Node& node = *r.node;
    QJsonObject o{{QStringLiteral("kind"), n.kind}, {QStringLiteral("frame"), rectJson(n.frame)}};
    QJsonArray flags;
    switch (r.kind) {
    case Kind::text:
    case Kind::timerText: {
        TextStyle s = node.style;
        s.inheritFrom(r.inherited->style);
        o.insert(QStringLiteral("text"), currentText(r, n));
        o.insert(QStringLiteral("font"), fontJson(r.text.font, n.fontScale));
        o.insert(QStringLiteral("foreground"), fillJson(r.foreground));
        if (r.text.tracking != 0) o.insert(QStringLiteral("tracking"), number(r.text.tracking * n.fontScale));
        if (r.text.lineLimit) o.insert(QStringLiteral("lineLimit"), *r.text.lineLimit);
        if (r.text.lineSpacing != 0) o.insert(QStringLiteral("lineSpacing"), number(r.text.lineSpacing));
        if (r.text.minimumScaleFactor < 1)
            o.insert(QStringLiteral("minimumScaleFactor"), number(r.text.minimumScaleFactor));
        if (n.fontScale < 1) o.insert(QStringLiteral("fontScale"), number(n.fontScale));
        if (s.strikethrough.value_or(false)) {
            flags.append(QStringLiteral("strikethrough"));
            o.insert(QStringLiteral("strikethroughColor"),
                     s.strikethroughColor ? s.strikethroughColor->hex() : r.foreground.representative().hex());
        }
        if (s.alignment && *s.alignment != TextAlignment::leading)
            o.insert(QStringLiteral("multilineTextAlignment"),
                     *s.alignment == TextAlignment::center ? QStringLiteral("center") : QStringLiteral("trailing"));
        if (n.lines.size() > 0 && n.lines.back().endsWith(QChar(0x2026)) && !r.shownText.endsWith(QChar(0x2026)))
            flags.append(QStringLiteral("truncated"));
        break;
    }
    case Kind::image:
        o.insert(QStringLiteral("symbol"), node.text);
        o.insert(QStringLiteral("font"), fontJson(r.text.font, 1));
        o.insert(QStringLiteral("foreground"), fillJson(r.foreground));
        if (!symbolShape(node.text)) flags.append(QStringLiteral("unknownSymbol"));
        break;
    case Kind::shape: {
        const ShapeData& s = node.shape;
        if (s.fill || !s.strokeFill) o.insert(QStringLiteral("fill"), fillJson(s.fill.value_or(r.foreground)));
        if (s.strokeFill) {
            o.insert(QStringLiteral("stroke"), fillJson(*s.strokeFill));
            o.insert(QStringLiteral("lineWidth"), number(s.stroke.lineWidth));
            if (s.strokeInside) flags.append(QStringLiteral("strokeBorder"));
        }
        if (s.kind == ShapeKind::roundedRectangle) o.insert(QStringLiteral("cornerRadius"), number(s.cornerRadius));
        if (s.trimFrom > 0 || s.trimTo < 1)
            o.insert(QStringLiteral("trim"), QJsonArray{number(s.trimFrom), number(s.trimTo)});
        break;
    }
    case Kind::color:
        o.insert(QStringLiteral("fill"), fillJson(*node.shape.fill));
        break;
    case Kind::timerProgress:
        o.insert(QStringLiteral("foreground"), fillJson(r.foreground));
        break;
    case Kind::vstack:
    case Kind::hstack:
    case Kind::zstack:
        o.insert(QStringLiteral("alignment"), alignmentName(node.alignment));
        if (node.spacing) o.insert(QStringLiteral("spacing"), number(*node.spacing));
        break;
    case Kind::spacer:
        if (node.spacing) o.insert(QStringLiteral("minLength"), number(*node.spacing));
        break;
    case Kind::offset:
        o.insert(QStringLiteral("offset"),
                 QJsonObject{{QStringLiteral("x"), number(node.x)}, {QStringLiteral("y"), number(node.y)}});
        break;
    case Kind::rotation:
        o.insert(QStringLiteral("degrees"), number(node.value));
        break;
    case Kind::scale:
        o.insert(QStringLiteral("scale"),
                 QJsonObject{{QStringLiteral("x"), number(node.x)}, {QStringLiteral("y"), number(node.y)}});
        break;
    case Kind::opacity:
        o.insert(QStringLiteral("opacity"), number(node.value));
        break;
    case Kind::shadow:
        o.insert(QStringLiteral("shadow"), QJsonObject{{QStringLiteral("color"), node.color.hex()},
                                                       {QStringLiteral("radius"), number(node.value)},
                                                       {QStringLiteral("x"), number(node.x)},
                                                       {QStringLiteral("y"), number(node.y)}});
        break;
    case Kind::position:
        o.insert(QStringLiteral("position"),
                 QJsonObject{{QStringLiteral("x"), number(node.x)}, {QStringLiteral("y"), number(node.y)}});
        break;
    case Kind::button:
        o.insert(QStringLiteral("action"), QJsonObject{{QStringLiteral("intentType"), node.action.intentType},
                                                       {QStringLiteral("parameters"), node.action.parameters}});
        break;
    case Kind::widgetURL:
        o.insert(QStringLiteral("url"), node.url.toString());
        break;
    case Kind::hitTesting:
        if (!node.flag) flags.append(QStringLiteral("hitTestingDisabled"));
        break;
    default:
        break;
    }
    if (isTimer(r)) flags.append(QStringLiteral("updatesEverySecond"));
    if (!flags.isEmpty()) o.insert(QStringLiteral("flags"), flags);
    if (!n.children.empty()) {
        QJsonArray kids;
        for (const LaidOutNode& c : n.children)
            kids.append(nodeJson(c));
        o.insert(QStringLiteral("children"), kids);
    }
    return o;
}

// The transform a render-only modifier applies to its content, in root coordinates.
std::optional<QTransform> renderTransform(const LaidOutNode& n)
{
    const Node& node = *n.source->node;
    auto anchored = [&](const QTransform& t) {
        const QPointF a(n.frame.left() + node.anchor.x * n.frame.width(),
                        n.frame.top() + node.anchor.y * n.frame.height());
        return QTransform::fromTranslate(-a.x(), -a.y()) * t * QTransform::fromTranslate(a.x(), a.y());
    };
    switch (n.source->kind) {
    case Kind::offset:
        return QTransform::fromTranslate(node.x, node.y);
    case Kind::rotation:
        return anchored(QTransform().rotate(node.value));
    case Kind::scale:
        return anchored(QTransform::fromScale(node.x, node.y));
    default:
        return std::nullopt;
    }
}

std::optional<ButtonAction> hit(const LaidOutNode& n, QPointF pt)
{
    const RNode& r = *n.source;
    if (r.kind == Kind::hitTesting && !r.node->flag) return std::nullopt;
    if (auto t = renderTransform(n)) {
        bool invertible = false;
        const QTransform inv = t->inverted(&invertible);
        if (!invertible) return std::nullopt;
        pt = inv.map(pt);
    }
    if (r.kind == Kind::clip && !n.frame.contains(pt)) return std::nullopt;
    // Later children are drawn on top; a background lies under its content, so it is asked last.
    if (r.kind == Kind::background) {
        if (auto a = hit(n.children[0], pt)) return a;
        if (auto a = hit(n.children[1], pt)) return a;
    } else if (r.kind == Kind::mask) {
        if (auto a = hit(n.children[0], pt)) return a;
    } else {
        for (auto it = n.children.rbegin(); it != n.children.rend(); ++it)
            if (auto a = hit(*it, pt)) return a;
    }
    if (r.kind == Kind::button && n.frame.contains(pt)) return r.node->action;
    return std::nullopt;
}

std::optional<QUrl> findURL(const LaidOutNode& n)
{
    if (n.source->kind == Kind::widgetURL) return n.source->node->url;
    for (const LaidOutNode& c : n.children)
        if (auto u = findURL(c)) return u;
    return std::nullopt;
}

bool anyTimer(const LaidOutNode& n)
{
    if (isTimer(*n.source)) return true;
    for (const LaidOutNode& c : n.children)
        if (anyTimer(c)) return true;
    return false;
}

bool anyRunningTimer(const LaidOutNode& n, Date now)
{
    if (isTimer(*n.source) && now < n.source->node->to) return true;
    for (const LaidOutNode& c : n.children)
        if (anyRunningTimer(c, now)) return true;
    return false;
}

} // namespace

QJsonObject inspect(const LaidOutTree& tree)
{
    return nodeJson(tree.root());
}

std::optional<ButtonAction> hitTest(const LaidOutTree& tree, QPointF point)
{
    return hit(tree.root(), point);
}

std::optional<QUrl> widgetURL(const LaidOutTree& tree)
{
    return findURL(tree.root());
}

bool updatesEverySecond(const LaidOutTree& tree)
{
    return anyTimer(tree.root());
}

bool hasRunningTimer(const LaidOutTree& tree, Date now)
{
    return anyRunningTimer(tree.root(), now);
}

} // namespace velk::view
