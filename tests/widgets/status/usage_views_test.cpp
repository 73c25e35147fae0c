// The four screen-time views read through the inspected tree: minutes as hours and minutes,
// the budget bar and its excess, the burned share as dots, the apps against the most used and
// the week as dot columns.
#include "widgets/status/usage/ScreenTimeViews.h"

#include "platform/core/Clock.h"
#include "weather_support.h"

#include <cmath>
#include <gtest/gtest.h>
#include <map>

using namespace velk;
using namespace velk::view;
using velk::testing::colorOf;
using velk::testing::distinctContext;
using velk::testing::dotFills;
using velk::testing::frameOf;
using velk::testing::inspectAt;
using velk::testing::nodesOfKind;
using velk::testing::shown;
using velk::testing::textNode;
using velk::testing::textsOf;

namespace {

const QSizeF kSmall(160, 160), kMedium(344, 160);
const QString kGrey = velk::testing::chartGreyHex();

UsageSnapshot usage(qint64 total, qint64 budget)
{
    return UsageSnapshot{total, budget, {}, {}};
}

class ScreenTimeViews : public ::testing::Test {
protected:
    ClockPin pin{Date(780000000)};
    WCtx ctx = distinctContext();
    const WidgetPalette& pal = ctx.pal;
};

} // namespace

TEST_F(ScreenTimeViews, MinutesReadAsHoursAndMinutes)
{
    for (const auto& [minutes, text] : std::vector<std::pair<qint64, const char*>>{{0, "0M"},
                                                                                   {45, "45M"},
                                                                                   {59, "59M"},
                                                                                   {60, "1H"},
                                                                                   {61, "1H 1M"},
                                                                                   {120, "2H"},
                                                                                   {204, "3H 24M"},
                                                                                   {480, "8H"},
                                                                                   {-5, "-5M"},
                                                                                   {-60, "-1H"},
                                                                                   {-125, "-2H -5M"}}) {
        SCOPED_TRACE(minutes);
        // The total's numeral shows the minutes as they are, whatever their sign.
        EXPECT_EQ(textsOf(inspectAt(ScreenTimeTotal{usage(minutes, 480), ctx}, kSmall)).value(1), text);
    }
}

TEST_F(ScreenTimeViews, TotalAgainstTheBudget)
{
    struct Case {
        const char* name;
        UsageSnapshot data;
        QString texts;
        Color statusColor;
        int fill, over; // dots of each, the rest track
    };
    const int dots = int((120 + 0.2 * 8) / 8); // the bar across 160 less 2 x 20
    for (const Case& c :
         {Case{"the sample, over", UsageSnapshot::sample(), "SCREEN TIME | 3H 24M | 24M OVER LIMIT", pal.alert,
               int(std::lround(180.0 / 204 * dots)), int(std::lround(24.0 / 204 * dots))},
          Case{"exactly at the budget", usage(180, 180), "SCREEN TIME | 3H | 0M LEFT TODAY", pal.inkDim, dots, 0},
          Case{"nothing yet", usage(0, 480), "SCREEN TIME | 0M | 8H LEFT TODAY", pal.inkDim, 0, 0},
          Case{"under", usage(120, 480), "SCREEN TIME | 2H | 6H LEFT TODAY", pal.inkDim, int(std::lround(dots / 4.0)),
               0}}) {
        SCOPED_TRACE(c.name);
        const QJsonObject tree = inspectAt(ScreenTimeTotal{c.data, ctx}, kSmall);
        EXPECT_EQ(QString::fromStdString(shown(tree)), c.texts);
        EXPECT_EQ(colorOf(tree, textsOf(tree).value(2)), c.statusColor.hex());
        const QStringList fills = dotFills(tree);
        ASSERT_EQ(fills.size(), dots);
        EXPECT_EQ(fills.count(pal.fill.hex()), c.fill);
        EXPECT_EQ(fills.count(pal.alert.hex()), c.over);
        // Budget first, then the excess.
        EXPECT_EQ(fills.indexOf(pal.alert.hex()), c.over ? c.fill : -1);
    }
}

TEST_F(ScreenTimeViews, ElapsedBurnsSeventyDotsAtMost)
{
    struct Case {
        qint64 total, budget;
        const char* percent;
        int lit;
        const char* caption;
    };
    for (const Case& c :
         {Case{1, 200, "1%", 0, "OF 3H 20M DAILY BUDGET"}, Case{90, 180, "50%", 35, "OF 3H DAILY BUDGET"},
          Case{204, 180, "100%", 70, "OF 3H DAILY BUDGET"}, Case{0, 480, "0%", 0, "OF 8H DAILY BUDGET"},
          // A snapshot with no budget counts as all of it burned.
          Case{0, 0, "100%", 70, "OF 0M DAILY BUDGET"}}) {
        SCOPED_TRACE(c.percent);
        const QJsonObject tree = inspectAt(ScreenTimeElapsed{usage(c.total, c.budget), ctx}, kSmall);
        EXPECT_EQ(textsOf(tree), QStringList({"ELAPSED", c.percent, c.caption}));
        const QStringList fills = dotFills(tree);
        ASSERT_EQ(fills.size(), 70);
        EXPECT_EQ(fills.count(pal.fill.hex()), c.lit);
        EXPECT_EQ(fills.count(pal.track.hex()), 70 - c.lit);
    }
}

TEST_F(ScreenTimeViews, AppsAreScaledAgainstTheMostUsedOfAll)
{
    UsageSnapshot s = usage(300, 480);
    s.apps = {
        {"Editor", 50, false}, {"Browser", 40, false}, {"Chat", 20, true}, {"Mail", 100, false}, {"Music", 5, false}};
    const QJsonObject tree = inspectAt(ScreenTimeApps{s, ctx}, kMedium);
    EXPECT_EQ(shown(tree), "EDITOR | 50M | BROWSER | 40M | CHAT | 20M");
    EXPECT_EQ(colorOf(tree, "CHAT"), pal.alert.hex());
    EXPECT_EQ(colorOf(tree, "20M"), pal.alert.hex());
    EXPECT_EQ(colorOf(tree, "EDITOR"), pal.ink.hex());
    EXPECT_EQ(colorOf(tree, "50M"), pal.inkDim.hex());

    // Each row's bar: its share of Mail's 100 minutes, times 0.74.
    const QStringList fills = dotFills(tree);
    ASSERT_EQ(fills.size() % 3, 0);
    const int perRow = int(fills.size() / 3);
    const auto lit = [&](int row, const QString& color) { return fills.mid(row * perRow, perRow).count(color); };
    EXPECT_EQ(lit(0, pal.fill.hex()), std::lround(0.5 * 0.74 * perRow));
    EXPECT_EQ(lit(1, pal.fill.hex()), std::lround(0.4 * 0.74 * perRow));
    EXPECT_EQ(lit(2, pal.alert.hex()), std::lround(0.2 * 0.74 * perRow));

    // Apps still under a minute each: bars drawn, all empty.
    s.apps = {{"Editor", 0, false}, {"Chat", 0, true}};
    const QStringList idle = dotFills(inspectAt(ScreenTimeApps{s, ctx}, kMedium));
    EXPECT_FALSE(idle.isEmpty());
    EXPECT_EQ(idle.count(pal.track.hex()), idle.size());

    s.apps.clear();
    EXPECT_TRUE(textsOf(inspectAt(ScreenTimeApps{s, ctx}, kMedium)).isEmpty());
}

TEST_F(ScreenTimeViews, WeeklyShowsTheAverageAndOneColumnPerDay)
{
    const QJsonObject tree = inspectAt(ScreenTimeWeekly{UsageSnapshot::sample(), ctx}, kMedium);
    EXPECT_EQ(shown(tree), "DAILY AVERAGE | 4H 3M | Thu | Fri | Sat | Sun | Mon | Tue | Wed");
    EXPECT_EQ(colorOf(tree, "Wed"), pal.accent.hex());
    EXPECT_EQ(colorOf(tree, "Tue"), pal.inkFaint.hex());
    EXPECT_EQ(colorOf(tree, "Thu"), pal.inkFaint.hex());

    // Columns are 4 dots wide and up to 7 rows tall: Tue's 350 is the full height in fill,
    // Wed's 204 four rows in the accent, the rest grey.
    std::map<QString, int> dots;
    for (const QString& f : dotFills(tree))
        ++dots[f];
    const auto rows = [](double minutes) { return int(std::lround(minutes / 350 * 7)); };
    EXPECT_EQ(dots[pal.fill.hex()], 4 * 7);
    EXPECT_EQ(dots[pal.accent.hex()], 4 * rows(204));
    EXPECT_EQ(dots[kGrey], 4 * (rows(250) + rows(200) + rows(300) + rows(150) + rows(250)));

    // A day that is both today and the peak is drawn as today.
    UsageSnapshot s = UsageSnapshot::sample();
    s.week.back().isPeak = true;
    s.week[5].isPeak = false;
    EXPECT_EQ(dotFills(inspectAt(ScreenTimeWeekly{s, ctx}, kMedium)).count(pal.fill.hex()), 0);

    // A week of idle days keeps the one-row floor.
    for (UsageSnapshot::Day& d : s.week)
        d.minutes = 0;
    EXPECT_EQ(dotFills(inspectAt(ScreenTimeWeekly{s, ctx}, kMedium)).size(), 7 * 4);
}
