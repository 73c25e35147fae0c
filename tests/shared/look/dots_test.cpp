// The dot pieces: how many dots, which are lit, and where they stand, read from the inspected
// tree; and a kept drawing, compared pixel for pixel with what it keeps.
#include "shared/look/DotPieces.h"

#include "TreeQuery.h"
#include "platform/core/Clock.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

using namespace velk;
using namespace velk::view;
using velk::testing::frameOf;
using velk::testing::inspectAt;
using velk::testing::nodesOfKind;

namespace {

const Color kTrack = Color::rgb255(40, 40, 40);
const Color kFill = Color::rgb255(0, 200, 0);
const Color kOver = Color::rgb255(200, 0, 0);
const Color kMark = Color::rgb255(0, 0, 255);

// One letter per dot, left to right: F fill, O over, T track, H highlight.
QString dotLetters(const QJsonObject& tree)
{
    QString s;
    for (const QJsonObject& c : nodesOfKind(tree, "Circle")) {
        const QString fill = c["fill"].toString();
        s += fill == kFill.hex()    ? 'F'
             : fill == kOver.hex()  ? 'O'
             : fill == kTrack.hex() ? 'T'
             : fill == kMark.hex()  ? 'H'
                                    : '?';
    }
    return s;
}

QString run(const char* letter, int n)
{
    return QString(n, QLatin1Char(letter[0]));
}

class Dots : public ::testing::Test {
    ClockPin clock{Date(700000000)};
};

DotBar bar(double fraction, double over, qreal u = 1)
{
    return DotBar{fraction, over, 6, 4, kTrack, kFill, kOver, u};
}

struct BarCase {
    const char* name;
    double fraction, over;
    qreal width;
    QString dots;
};

void PrintTo(const BarCase& c, std::ostream* os)
{
    *os << c.name;
}

class DotBarTable : public ::testing::TestWithParam<BarCase> {
    ClockPin clock{Date(700000000)};
};

TEST_P(DotBarTable, LightsTheRightDots)
{
    const BarCase& c = GetParam();
    EXPECT_EQ(dotLetters(inspectAt(bar(c.fraction, c.over), {c.width, 40})), c.dots);
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Cases, DotBarTable,
    ::testing::Values(BarCase{"half and a quarter over", 0.5, 0.25, 100, run("F", 8) + run("O", 4) + run("T", 4)},
                      BarCase{"0.48 of a dot rounds down", 0.03, 0, 100, run("T", 16)},
                      BarCase{"0.512 of a dot rounds up", 0.032, 0, 100, "F" + run("T", 15)},
                      BarCase{"over starts at the first dot", 0, 0.25, 100, run("O", 4) + run("T", 12)},
                      BarCase{"above one lights the row", 1.5, 0.25, 100, run("F", 16)},
                      BarCase{"over is kept to the row", 0.5, 2, 100, run("F", 8) + run("O", 8)},
                      BarCase{"a negative fraction lights nothing but keeps the over segment", -0.25, 0.5, 100,
                              run("O", 8) + run("T", 8)},
                      BarCase{"not a number lights nothing", kNaN, 0.25, 100, run("O", 4) + run("T", 12)},
                      BarCase{"infinity lights nothing", kInf, kNaN, 100, run("T", 16)},
                      BarCase{"narrower than a pitch keeps one dot", 1, 0, 3, "F"},
                      BarCase{"no width keeps one dot", 0, 0, 0, "T"}));

TEST_F(Dots, DotBarSpacingAndScale)
{
    // 100 wide at pitch 6: (100 + 1.2) / 6 -> 16 dots of 4 with gaps of 2, vertically centred
    // in a row dotSize high.
    const QJsonObject tree = inspectAt(bar(0.5, 0).body().frame(100, 40), {100, 40});
    const auto dots = nodesOfKind(tree, "Circle");
    ASSERT_EQ(dots.size(), 16u);
    EXPECT_EQ(frameOf(dots[0]), QRectF(0, 18, 4, 4));
    EXPECT_EQ(frameOf(dots[1]), QRectF(6, 18, 4, 4));
    EXPECT_EQ(frameOf(dots[15]), QRectF(90, 18, 4, 4));

    // Everything scales with u: on twice the width at u 2 the row is the same 16 dots.
    const auto scaled = nodesOfKind(inspectAt(bar(0.5, 0, 2), {200, 40}), "Circle");
    ASSERT_EQ(scaled.size(), 16u);
    EXPECT_EQ(frameOf(scaled[1]), QRectF(12, 0, 8, 8));

    // The last dot may overhang by a fifth of a pitch: 94.9 + 1.2 holds 16.
    EXPECT_EQ(bar(0, 0).counts(94.9).dots, 16);
    EXPECT_EQ(bar(0, 0).counts(94.7).dots, 15);
    // A pitch of nothing cannot make the row endless.
    DotBar flat = bar(0, 0);
    flat.pitch = 0;
    EXPECT_EQ(flat.counts(100).dots, 1);
}

TEST_F(Dots, DotGridSpreadsToTheEdges)
{
    DotGrid grid{3, 2, 4, 4, kTrack, kFill, std::nullopt, kMark, 1};
    const auto dots = nodesOfKind(inspectAt(grid, {40, 20}), "Circle");
    ASSERT_EQ(dots.size(), 6u);
    EXPECT_EQ(dotLetters(inspectAt(grid, {40, 20})), "FFFFTT");
    // gx = (40 - 12) / 2 = 14, gy = (20 - 8) / 1 = 12.
    EXPECT_EQ(frameOf(dots[1]), QRectF(18, 0, 4, 4));
    EXPECT_EQ(frameOf(dots[5]), QRectF(36, 16, 4, 4));

    // One column or one row: no gap that way, and nothing divided by zero.
    struct Case {
        int columns, rows;
        QSizeF size;
        std::vector<QRectF> frames;
    };
    for (const Case& c :
         {Case{1, 3, {10, 50}, {{0, 0, 4, 4}, {0, 23, 4, 4}, {0, 46, 4, 4}}},
          Case{3, 1, {50, 10}, {{0, 0, 4, 4}, {23, 0, 4, 4}, {46, 0, 4, 4}}}, Case{1, 1, {30, 30}, {{0, 0, 4, 4}}}}) {
        grid.columns = c.columns;
        grid.rows = c.rows;
        const auto placed = nodesOfKind(inspectAt(grid, c.size), "Circle");
        ASSERT_EQ(placed.size(), c.frames.size()) << c.columns << "x" << c.rows;
        for (size_t i = 0; i < placed.size(); ++i)
            EXPECT_EQ(frameOf(placed[i]), c.frames[i]) << c.columns << "x" << c.rows << " dot " << i;
    }

    grid.columns = 0;
    EXPECT_TRUE(nodesOfKind(inspectAt(grid, {40, 20}), "Circle").empty());
    grid.columns = -2;
    grid.rows = 3;
    EXPECT_TRUE(nodesOfKind(inspectAt(grid, {40, 20}), "Circle").empty());
}

TEST_F(Dots, DotGridHighlight)
{
    DotGrid grid{3, 2, 9, 4, kTrack, kFill, 5, kMark, 1};
    // More lit than there are dots lights every one; the highlight wins over lit.
    const QJsonObject tree = inspectAt(grid, {40, 20});
    EXPECT_EQ(dotLetters(tree), "FFFFFH");
    const auto scaled = nodesOfKind(tree, "scaleEffect");
    ASSERT_EQ(scaled.size(), 1u);
    EXPECT_EQ(scaled[0]["scale"].toObject()["x"].toDouble(), 1.7);
    // Scaled about its own centre without moving its neighbours.
    EXPECT_EQ(frameOf(scaled[0]), QRectF(36, 16, 4, 4));

    grid.filledDots = 2;
    grid.highlightIndex = 1;
    EXPECT_EQ(dotLetters(inspectAt(grid, {40, 20})), "FHTTTT");
    for (int outside : {-1, 6, 100}) {
        grid.highlightIndex = outside;
        EXPECT_EQ(dotLetters(inspectAt(grid, {40, 20})), "FFTTTT") << outside;
    }
}

DotBarChart chart(std::vector<DotBarChart::Bar> bars, qreal barWidth = 8)
{
    return DotBarChart{std::move(bars), barWidth, 40, 4, 3, kFill, Font::system(9), kTrack, 1};
}

TEST_F(Dots, DotBarChartColumns)
{
    const DotBarChart c = chart({{0, std::nullopt, "M"}, {1, kOver, "T", kMark}, {0.5, std::nullopt, "W"}});
    const QJsonObject tree = inspectAt(c, {120, 80});

    // Value 0 still shows a row; value 1 fills the 40 high chart at pitch 4 (10 rows); 8 wide
    // bars hold 2 dots a row.
    EXPECT_EQ(c.column(c.bars[0]).rows, 1);
    EXPECT_EQ(c.column(c.bars[1]).rows, 10);
    EXPECT_EQ(c.column(c.bars[2]).rows, 5);
    EXPECT_EQ(dotLetters(tree), run("F", 2) + run("O", 20) + run("F", 10));

    // Each bar gets an equal share of the width, and all grow up from one baseline at the
    // bottom of the 40 high bar row; the labels sit 8 below it.
    const auto dots = nodesOfKind(tree, "Circle");
    EXPECT_EQ(dots[0].value("frame")["y"].toDouble() + 3, 40);
    // Ten rows at pitch 4 are 39 high: the top row starts 1 below the chart top.
    EXPECT_EQ(dots[2].value("frame")["y"].toDouble(), 1);
    EXPECT_EQ(dots[21].value("frame")["y"].toDouble() + 3, 40);
    EXPECT_EQ(dots[31].value("frame")["y"].toDouble() + 3, 40);
    const auto labels = nodesOfKind(tree, "Text");
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_NEAR(frameOf(labels[1]).center().x(), 60, 1e-3);
    EXPECT_NEAR(frameOf(labels[2]).center().x(), 100, 1e-3);
    EXPECT_EQ(frameOf(labels[0]).top(), 48);
    EXPECT_EQ(labels[0]["foreground"].toString(), kTrack.hex());
    EXPECT_EQ(labels[1]["foreground"].toString(), kMark.hex());

    // A bar narrower than half a pitch still has one dot a row.
    const DotBarChart thin = chart({{1, std::nullopt, "x"}}, 1.5);
    EXPECT_EQ(thin.column(thin.bars[0]).dotsPerRow, 1);
    EXPECT_EQ(nodesOfKind(inspectAt(thin, {60, 80}), "Circle").size(), 10u);

    // A value that is not a number draws the one-row minimum rather than an undefined count.
    const DotBarChart broken = chart({{std::numeric_limits<double>::quiet_NaN(), std::nullopt, "?"}});
    EXPECT_EQ(broken.column(broken.bars[0]).rows, 1);
}

TEST_F(Dots, DotBarChartWithoutBars)
{
    const QJsonObject tree = inspectAt(chart({}), {120, 80});
    EXPECT_TRUE(nodesOfKind(tree, "Circle").empty());
    EXPECT_TRUE(nodesOfKind(tree, "Text").empty());
    // The bar row keeps the full chart height.
    ASSERT_EQ(nodesOfKind(tree, "HStack").size(), 2u);
    EXPECT_EQ(frameOf(nodesOfKind(tree, "frame").at(0)).height(), 40);
}

TEST(DotBarChartBar, EveryBarGetsItsOwnID)
{
    std::set<QUuid> ids;
    for (int i = 0; i < 5; ++i)
        ids.insert(DotBarChart::Bar(0.5, std::nullopt, "same").id);
    EXPECT_EQ(ids.size(), 5u);
}

} // namespace
