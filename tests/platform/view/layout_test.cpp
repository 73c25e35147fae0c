// Layout of stacks, spacers, frames, padding and modifiers, checked against frames worked out
// by hand.
#include "platform/view/Layout.h"
#include <QJsonArray>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace velk;
using namespace velk::view;

namespace {

View box(qreal w, qreal h)
{
    return Rectangle().frame(w, h);
}

// The node reached by following child indices from the root.
const LaidOutNode& at(const LaidOutTree& t, std::initializer_list<int> path)
{
    const LaidOutNode* n = &t.root();
    for (int i : path)
        n = &n->children.at(size_t(i));
    return *n;
}

struct LayoutCase {
    const char* name;
    std::function<View()> view;
    QSizeF proposal;
    // path from the root -> frame; a NaN side is not checked (a text's size hangs on its font)
    std::vector<std::pair<std::vector<int>, QRectF>> frames;
};

constexpr qreal kAny = std::numeric_limits<qreal>::quiet_NaN();

void PrintTo(const LayoutCase& c, std::ostream* os)
{
    *os << c.name;
}

class LayoutTable : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutTable, FramesMatchHandWorkedLayout)
{
    const LayoutCase& c = GetParam();
    const LaidOutTree t = layout(c.view(), c.proposal);
    for (const auto& [path, expected] : c.frames) {
        const LaidOutNode* n = &t.root();
        for (int i : path) {
            ASSERT_LT(size_t(i), n->children.size()) << c.name;
            n = &n->children[size_t(i)];
        }
        const std::pair<qreal, qreal> sides[] = {{n->frame.x(), expected.x()},
                                                 {n->frame.y(), expected.y()},
                                                 {n->frame.width(), expected.width()},
                                                 {n->frame.height(), expected.height()}};
        for (const auto& [got, want] : sides) {
            if (!std::isnan(want)) {
                EXPECT_NEAR(got, want, 1e-6) << c.name;
            }
        }
    }
}

const Frame kFill = Frame::maxInfinity();

INSTANTIATE_TEST_SUITE_P(
    Cases, LayoutTable,
    ::testing::Values(
        // A fixed child is sized first; the flexible one takes the rest, centred across.
        LayoutCase{"fixed then flexible", [] { return HStack(VAlign::center, 0, {box(50, 20), Rectangle()}); },
                   {200, 100}, {{{}, {0, 0, 200, 100}}, {{0}, {0, 40, 50, 20}}, {{1}, {50, 0, 150, 100}}}},
        // Default spacing is 8 between two views.
        LayoutCase{"default spacing", [] { return HStack({box(10, 10), box(10, 10)}); },
                   {100, 100}, {{{}, {0, 0, 28, 10}}, {{1}, {18, 0, 10, 10}}}},
        // Flexible children share what is left equally.
        LayoutCase{"equal shares", [] { return HStack({Rectangle(), Rectangle()}); },
                   {100, 10}, {{{0}, {0, 0, 46, 10}}, {{1}, {54, 0, 46, 10}}}},
        // Three flexible children: 90 / 3 each, then placed one after another.
        LayoutCase{"three shares", [] { return VStack(HAlign::center, 0, {Rectangle(), Rectangle(), Rectangle()}); },
                   {10, 90}, {{{2}, {0, 60, 10, 30}}}},
        // A spacer takes the leftover space, with no stack spacing beside it.
        LayoutCase{"spacer fills", [] { return HStack({box(20, 10), Spacer(), box(20, 10)}); },
                   {100, 10}, {{{1}, {20, 5, 60, 0}}, {{2}, {80, 0, 20, 10}}}},
        // A spacer keeps its default minimum of 8 even when the stack overflows.
        LayoutCase{"spacer minimum", [] { return HStack({box(60, 10), Spacer(), box(60, 10)}); },
                   {100, 10}, {{{}, {0, 0, 128, 10}}, {{1}, {60, 5, 8, 0}}, {{2}, {68, 0, 60, 10}}}},
        // A spacer takes only what the other children leave: a flexible neighbour gets all
        // but the spacer's minimum, not an equal share.
        LayoutCase{"spacer yields to flexible", [] { return HStack({Rectangle(), Spacer()}); },
                   {100, 10}, {{{0}, {0, 0, 92, 10}}, {{1}, {92, 5, 8, 0}}}},
        LayoutCase{"spacer minimum zero", [] { return HStack({box(60, 10), Spacer(0), box(60, 10)}); },
                   {100, 10}, {{{}, {0, 0, 120, 10}}, {{2}, {60, 0, 60, 10}}}},
        // Explicit spacing applies next to spacers too.
        LayoutCase{"explicit spacing with spacer", [] { return VStack(HAlign::center, 5, {box(10, 10), Spacer(), box(10, 10)}); },
                   {10, 100}, {{{1}, {5, 15, 0, 70}}, {{2}, {0, 90, 10, 10}}}},
        LayoutCase{"vstack leading", [] { return VStack(HAlign::leading, 4, {box(30, 10), box(50, 10)}); },
                   {100, 100}, {{{}, {0, 0, 50, 24}}, {{0}, {0, 0, 30, 10}}, {{1}, {0, 14, 50, 10}}}},
        LayoutCase{"vstack trailing", [] { return VStack(HAlign::trailing, 0, {box(30, 10), box(50, 10)}); },
                   {100, 100}, {{{0}, {20, 0, 30, 10}}}},
        LayoutCase{"vstack centre", [] { return VStack(HAlign::center, 0, {box(20, 10), box(40, 10)}); },
                   {100, 100}, {{{0}, {10, 0, 20, 10}}}},
        LayoutCase{"hstack bottom", [] { return HStack(VAlign::bottom, 0, {box(10, 30), box(10, 10)}); },
                   {100, 100}, {{{1}, {10, 20, 10, 10}}}},
        // An infinite frame takes the whole offer and aligns its content inside.
        LayoutCase{"nested frames", [] { return box(40, 40).frame(Frame::maxInfinity(Alignment::bottomTrailing)); },
                   {100, 80}, {{{}, {0, 0, 100, 80}}, {{0}, {60, 40, 40, 40}}}},
        // A minimum frame grows a small child to its minimum, centred.
        LayoutCase{"min frame", [] { Frame f; f.minWidth = 20; f.minHeight = 20; return box(5, 5).frame(f); },
                   {100, 100}, {{{}, {0, 0, 20, 20}}, {{0}, {7.5, 7.5, 5, 5}}}},
        // A maximum frame caps a flexible child.
        LayoutCase{"max frame", [] { Frame f; f.maxWidth = 30; return Rectangle().frame(f); },
                   {100, 50}, {{{}, {0, 0, 30, 50}}}},
        // A frame with only a height keeps the child's width.
        LayoutCase{"fixed height only", [] { return Rectangle().frame(std::nullopt, 20); },
                   {70, 100}, {{{}, {0, 0, 70, 20}}}},
        LayoutCase{"flexible beside fixed in vstack", [] { return VStack(HAlign::center, 0, {Rectangle(), box(50, 20)}); },
                   {50, 100}, {{{0}, {0, 0, 50, 80}}, {{1}, {0, 80, 50, 20}}}},
        // Padding then background: the background covers the padding.
        LayoutCase{"padding then background", [] { return box(10, 10).padding(5).background(ColorView(Color::white(0))); },
                   {100, 100}, {{{}, {0, 0, 20, 20}}, {{1}, {0, 0, 20, 20}}, {{0, 0}, {5, 5, 10, 10}}}},
        // Background then padding: it covers only the content.
        LayoutCase{"background then padding", [] { return box(10, 10).background(ColorView(Color::white(0))).padding(5); },
                   {100, 100}, {{{}, {0, 0, 20, 20}}, {{0}, {5, 5, 10, 10}}, {{0, 1}, {5, 5, 10, 10}}}},
        LayoutCase{"edge padding", [] { return box(10, 10).padding(Edge::leading, 7).padding(Edge::top, 3); },
                   {100, 100}, {{{}, {0, 0, 17, 13}}, {{0, 0}, {7, 3, 10, 10}}}},
        LayoutCase{"overlay alignment", [] { return box(100, 50).overlay(box(10, 10), Alignment::topTrailing); },
                   {200, 200}, {{{1}, {90, 0, 10, 10}}}},
        LayoutCase{"zstack alignment", [] { return ZStack(Alignment::bottomLeading, {box(40, 20), box(10, 30)}); },
                   {100, 100}, {{{}, {0, 0, 40, 30}}, {{0}, {0, 10, 40, 20}}, {{1}, {0, 0, 10, 30}}}},
        LayoutCase{"position", [] { return box(10, 10).position(50, 20); },
                   {100, 100}, {{{}, {0, 0, 100, 100}}, {{0}, {45, 15, 10, 10}}}},
        // Render transforms leave the layout alone.
        LayoutCase{"offset is render only", [] { return HStack(VAlign::center, 0, {box(10, 10).offset(100, 0).rotationEffect(45), box(10, 10)}); },
                   {100, 100}, {{{1}, {10, 0, 10, 10}}, {{0, 0, 0}, {0, 0, 10, 10}}}},
        LayoutCase{"geometry reader", [] { return GeometryReader([](QSizeF s) { return box(s.width() / 2, s.height() / 4); }); },
                   {100, 80}, {{{}, {0, 0, 100, 80}}, {{0}, {0, 0, 50, 20}}}},
        // Higher layout priority is offered all but the others' minimum first.
        LayoutCase{"layout priority", [] { return HStack(VAlign::center, 0, {Rectangle(), Rectangle().layoutPriority(1)}); },
                   {100, 10}, {{{0}, {0, 0, 0, 10}}, {{1}, {0, 0, 100, 10}}}},
        // Empty views are dropped from stacks and take no spacing.
        LayoutCase{"empty dropped", [] { return HStack({box(10, 10), EmptyView(), box(10, 10)}); },
                   {100, 100}, {{{}, {0, 0, 28, 10}}}},
        // Stacks with nothing in them take no room, so they shift nothing around them.
        LayoutCase{"empty stacks", [] { return VStack(HAlign::leading, 0, {HStack({}), box(10, 10), VStack({}), ZStack({}), box(10, 10)}); },
                   {100, 100}, {{{}, {0, 0, 10, 20}}, {{0}, {0, 0, 0, 0}}, {{1}, {0, 0, 10, 10}}, {{2}, {0, 10, 0, 0}}, {{3}, {0, 10, 0, 0}}, {{4}, {0, 10, 10, 10}}}},
        LayoutCase{"only empty children", [] { return ZStack({HStack({EmptyView()}), EmptyView()}); },
                   {100, 100}, {{{}, {0, 0, 0, 0}}}},
        LayoutCase{"fill frame in stack", [] { return HStack(VAlign::center, 0, {box(30, 10), Rectangle().frame(Frame::maxInfinity())}); },
                   {100, 40}, {{{1}, {30, 0, 70, 40}}}},
        // Baselines. Without text a view's baseline is its bottom edge, also when it is a
        // stack or padded: the 40 high stack and the 30 high padding sit on the box's bottom.
        LayoutCase{"baseline of a stack without text", [] { return HStack(VAlign::firstTextBaseline, 0, {box(10, 10), VStack(HAlign::center, 0, {box(10, 10), box(10, 30)})}); },
                   {100, 100}, {{{0}, {0, 30, 10, 10}}, {{1}, {10, 0, 10, 40}}}},
        LayoutCase{"baseline of padding without text", [] { return HStack(VAlign::lastTextBaseline, 0, {box(10, 10), box(10, 10).padding(Edge::bottom, 20)}); },
                   {100, 100}, {{{0}, {0, 20, 10, 10}}, {{1}, {10, 0, 10, 30}}}},
        // A text's baselines pass up through what wraps it, shifted by where it was put; each
        // row lines a plain text of the same font up with a wrapped one, so the plain text
        // sits exactly as far down as the wrapped text's top.
        LayoutCase{"baseline through padding", [] { return HStack(VAlign::firstTextBaseline, 0, {Text("A"), Text("A").padding(Edge::top, 7)}); },
                   {200, 200}, {{{0}, {0, 7, kAny, kAny}}, {{1}, {kAny, 0, kAny, kAny}}}},
        // The stack's first baseline is its first text's, past the box above it.
        LayoutCase{"baseline through frame and stack", [] { return HStack(VAlign::firstTextBaseline, 0, {Text("A"), VStack(HAlign::leading, 0, {box(10, 20), Text("A")}).frame(std::nullopt, 100, Alignment::top)}); },
                   {200, 200}, {{{0}, {0, 20, kAny, kAny}}, {{1}, {kAny, 0, kAny, 100}}}},
        LayoutCase{"baseline through background", [] { return HStack(VAlign::firstTextBaseline, 0, {Text("A"), VStack(HAlign::leading, 0, {box(10, 12), Text("A")}).background(ColorView(Color::white(0)))}); },
                   {200, 200}, {{{0}, {0, 12, kAny, kAny}}, {{1}, {kAny, 0, kAny, kAny}}}},
        // A row's last baseline is that of its last text, not of its first child.
        LayoutCase{"last baseline of a nested row", [] { return HStack(VAlign::lastTextBaseline, 0, {Text("A"), HStack(VAlign::top, 0, {box(10, 40), Text("A").padding(Edge::top, 5), box(10, 40)})}); },
                   {200, 200}, {{{0}, {0, 5, kAny, kAny}}, {{1}, {kAny, 0, kAny, 40}}}},
        LayoutCase{"first and last baselines of a zstack", [] { return VStack(HAlign::leading, 0, {
                       HStack(VAlign::firstTextBaseline, 0, {Text("A"), ZStack(Alignment::topLeading, {box(10, 50), Text("A").padding(Edge::top, 3), Text("A").padding(Edge::top, 9)})}),
                       HStack(VAlign::lastTextBaseline, 0, {Text("A"), ZStack(Alignment::topLeading, {box(10, 50), Text("A").padding(Edge::top, 3), Text("A").padding(Edge::top, 9)})})}); },
                   {200, 200}, {{{0, 0}, {0, 3, kAny, kAny}}, {{1, 0}, {0, 59, kAny, kAny}}}},
        // An overlay aligned by baseline puts its baseline on its content's.
        LayoutCase{"overlay on the baseline", [] { return Text("A").padding(Edge::top, 6).overlay(Text("A"), Alignment{HAlign::center, VAlign::firstTextBaseline}); },
                   {200, 200}, {{{1}, {kAny, 6, kAny, kAny}}}}),
    [](const auto& info) {
        std::string s = info.param.name;
        for (char& ch : s)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return s;
    });

TEST(Layout, SpacerCrossSizeAndAxisThroughModifiers)
{
    // A spacer wrapped in a frame still stretches along its stack.
    const LaidOutTree t =
        layout(HStack(VAlign::center, 0, {box(10, 10), Spacer().frame(std::nullopt, 4), box(10, 10)}), {100, 10});
    EXPECT_DOUBLE_EQ(at(t, {2}).frame.x(), 90);
}

TEST(Layout, InspectReportsTransformsAndShapes)
{
    const LaidOutTree t = layout(
        Circle().trim(0, 0.5).stroke(Color::rgb255(255, 0, 0), 3).frame(20, 20).rotationEffect(-90).offset(0, -27),
        {100, 100});
    const QJsonObject o = inspect(t);
    EXPECT_EQ(o["kind"].toString(), "offset");
    EXPECT_EQ(o["offset"].toObject()["y"].toDouble(), -27);
    const QJsonObject rot = o["children"].toArray()[0].toObject();
    EXPECT_EQ(rot["degrees"].toDouble(), -90);
    const QJsonObject circle = rot["children"].toArray()[0].toObject()["children"].toArray()[0].toObject();
    EXPECT_EQ(circle["kind"].toString(), "Circle");
    EXPECT_EQ(circle["stroke"].toString(), "#FF0000");
    EXPECT_EQ(circle["lineWidth"].toDouble(), 3);
    EXPECT_EQ(circle["trim"].toArray()[1].toDouble(), 0.5);
    EXPECT_FALSE(circle.contains("fill")); // a stroked shape is not also filled
    EXPECT_EQ(circle["frame"].toObject()["w"].toDouble(), 20);
}

TEST(Layout, ShapesTakeForegroundWhenUnstyled)
{
    const LaidOutTree t = layout(VStack({Capsule()}).foregroundColor(Color::rgb255(0, 0, 255)).frame(30, 10), {30, 10});
    const QJsonObject capsule = inspect(t)["children"].toArray()[0].toObject()["children"].toArray()[0].toObject();
    EXPECT_EQ(capsule["fill"].toString(), "#0000FF");
}

} // namespace
