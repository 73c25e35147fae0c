#pragma once
// Laying out a view for an offered size, painting the result, and looking into it: the JSON
// inspection dump tests assert on, hit testing for taps and the widget URL.
#include "platform/view/View.h"
#include <QImage>
#include <QJsonObject>
#include <QRectF>
#include <QStringList>

namespace velk::view {

struct LayoutArena;
struct RNode;

// One placed node. Frames are in points in the root's coordinates, as laid out (render-only
// transforms such as offset and rotation do not move them; they are reported separately).
struct LaidOutNode {
    QString kind;
    QRectF frame;
    std::vector<LaidOutNode> children;
    const RNode* source = nullptr;
    // Texts: the lines as laid out (after wrapping, shrinking and truncation) and the font
    // scale applied by shrink-to-fit.
    QStringList lines;
    qreal fontScale = 1;
};

class LaidOutTree {
public:
    LaidOutTree();
    const LaidOutNode& root() const { return root_; }
    QSizeF size() const { return root_.frame.size(); }
    const Environment& environment() const { return environment_; }

private:
    friend LaidOutTree layout(const View&, QSizeF, const Environment&);
    std::shared_ptr<LayoutArena> arena_; // keeps the resolved nodes that `source` points to
    LaidOutNode root_;
    Environment environment_;
};

// Lays `view` out for the offered size; the root takes the size it answers with, placed at
// the top-left corner. Widgets frame their content to the full size themselves.
LaidOutTree layout(const View& view, QSizeF proposal, const Environment& env = {});

// Paints in points; the painter's transform (and its device's pixel ratio) scales to pixels.
void paint(const LaidOutTree& tree, QPainter& painter);

// Clears what lies outside the rounded rectangle `rect` (corner radius `radius`), within `rect`
// and one point around it: a widget painted whole and then cut to its tile this way takes
// the painter's fast paths, which a clipped painter does not.
void clearOutsideRoundedRect(QPainter& painter, const QRectF& rect, qreal radius);

// Lays `view` out at exactly `size` (the root is centred in it) and paints it into a
// transparent image of size × devicePixelRatio pixels.
QImage renderImage(const View& view, QSizeF size, qreal devicePixelRatio, const Environment& env = {});

// The laid-out tree as JSON: kind, frame {x,y,w,h}, text as shown, font, colours as hex,
// flags and children. Timer texts show their text at the current clock.
QJsonObject inspect(const LaidOutTree& tree);

// The action of the innermost button under `point` (points, root coordinates), if any.
std::optional<ButtonAction> hitTest(const LaidOutTree& tree, QPointF point);
// The widget URL the tree carries (the outermost one when several are set).
std::optional<QUrl> widgetURL(const LaidOutTree& tree);
// True when something in the tree changes with the clock (timer text or progress), so a host
// repaints it every second.
bool updatesEverySecond(const LaidOutTree& tree);

} // namespace velk::view
