// The system monitor, network and storage widgets: their rows, rates and ring through the tree,
// and their live reads against fixture machines.
#include "widgets/extras/system/SystemViews.h"
#include "widgets/extras/system/SystemWidgets.h"

#include "fixtures/sysinfo/SysinfoFixtures.h"
#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "shared/data/system/SystemStats.h"
#include "shared/look/WidgetContext.h"
#include "system_support.h"

#include <QJsonArray>
#include <gtest/gtest.h>
#include <limits>

using namespace velk;
using velk::testing::colorOf;
using velk::testing::dotRuns;
using velk::testing::inspectAt;
using velk::testing::nodesOfKind;
using velk::testing::solidContext;
using velk::testing::textsOf;

namespace {

const QSizeF kSmall(160, 160), kMedium(344, 160);
const QString kDash = QStringLiteral("\u2014");
const Date kMorning = Date::fromUnix(1741334400); // 2025-03-07 08:00 UTC

class SystemWidgets : public ::testing::Test {
protected:
    void SetUp() override
    {
        Defaults::shared().remove(SystemStats::kCpuTicksKey);
        Defaults::shared().remove(SystemStats::kNetBytesKey);
    }
    // The one entry a placed widget's timeline gives on the fixture machine `tree`, drawn.
    QJsonObject placedOn(const timeline::WidgetDefinition& w, const QString& tree)
    {
        SysinfoPathsOverride paths(test::sysinfoFixture(tree));
        const QSizeF size = timeline::designSize(w.family());
        const timeline::AnyTimeline t = w.provider().timeline(w.configuration(), {w.family(), size, false});
        EXPECT_EQ(t.entries.size(), 1u);
        return inspectAt(w.render(t.entries.at(0)), size);
    }
    ClockPin pin{kMorning};
    WCtx ctx = solidContext("green");
    const WidgetPalette& pal = ctx.pal;
};

TEST_F(SystemWidgets, RowsTurnAlertFromEighty)
{
    const QJsonObject tree = inspectAt(SystemView{SystemSnapshot{79, 80, 0}, ctx}, kMedium);
    EXPECT_EQ(textsOf(tree), (QStringList{"CPU", "79%", "MEMORY", "80%", "GPU", "0%"}));
    EXPECT_EQ(colorOf(tree, "CPU"), pal.ink.hex());
    EXPECT_EQ(colorOf(tree, "79%"), pal.ink.hex());
    EXPECT_EQ(colorOf(tree, "MEMORY"), pal.alert.hex());
    EXPECT_EQ(colorOf(tree, "80%"), pal.alert.hex());
    const auto runs = dotRuns(tree);
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].first, pal.fill.hex());
    EXPECT_EQ(runs[2].first, pal.alert.hex());
    EXPECT_EQ(runs[3].first, pal.track.hex()); // the rest of memory and the whole empty GPU row
}

TEST_F(SystemWidgets, LoadsOutOfRangeDrawWithinTheBar)
{
    for (qint64 odd : {-20LL, 250LL}) {
        const QJsonObject tree = inspectAt(SystemView{SystemSnapshot{odd, 0, std::nullopt}, ctx}, kMedium);
        const auto runs = dotRuns(tree);
        ASSERT_FALSE(runs.empty());
        EXPECT_EQ(runs[0].first, odd < 0 ? pal.track.hex() : pal.alert.hex());
    }
}

TEST_F(SystemWidgets, WithoutAGpuTheMonitorHasTwoRows)
{
    // The desktop fixture has a card whose driver reports no load; the first processor sample
    // has nothing to compare with and reads 0.
    const QJsonObject tree = placedOn(SystemWidget{}.body(), QStringLiteral("desktop"));
    const QStringList texts = textsOf(tree);
    ASSERT_EQ(texts.size(), 4);
    EXPECT_EQ(texts[0], "CPU");
    EXPECT_EQ(texts[1], "0%");
    EXPECT_EQ(texts[2], "MEMORY");
    EXPECT_TRUE(Defaults::shared().data(SystemStats::kCpuTicksKey)); // kept for the next reading
    // The laptop's card reports 37 %.
    EXPECT_TRUE(textsOf(placedOn(SystemWidget{}.body(), QStringLiteral("laptop"))).contains("37%"));
}

TEST_F(SystemWidgets, NetworkRates)
{
    struct Case {
        std::optional<double> rate;
        const char* text;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const Case& c :
         {Case{0, "0.0"}, Case{3.44, "3.4"}, Case{9.96, "10.0"}, Case{10.0, "10"}, Case{10.5, "11"}, Case{482.0, "482"},
          Case{1e20, "100000000000000000000"}, Case{std::nullopt, "\u2014"}, Case{nan, "\u2014"}, Case{-1, "\u2014"}})
        EXPECT_EQ(NetworkView::rateText(c.rate), QString::fromUtf8(c.text));

    const QJsonObject tree = inspectAt(NetworkView{NetworkSnapshot{482.0, 3.44}, ctx}, kSmall);
    EXPECT_EQ(textsOf(tree), (QStringList{"\u2193 DOWN", "482", " MB/S", "\u2191 UP", "3.4", " MB/S"}));
}

TEST_F(SystemWidgets, NetworkWithNoRateYetShowsDashes)
{
    // A first reading has nothing to measure against: the entry is empty, not the sample.
    const QJsonObject tree = placedOn(NetworkWidget{}.body(), QStringLiteral("desktop"));
    EXPECT_EQ(textsOf(tree), (QStringList{"\u2193 DOWN", kDash, " MB/S", "\u2191 UP", kDash, " MB/S"}));
    // The gallery still shows the sample rates.
    const timeline::WidgetDefinition w = NetworkWidget{}.body();
    const QJsonObject preview =
        inspectAt(w.render(w.provider().snapshot(w.configuration(), {w.family(), kSmall, true})), kSmall);
    EXPECT_TRUE(textsOf(preview).contains("482"));
}

TEST_F(SystemWidgets, StorageRing)
{
    struct Case {
        StorageSnapshot data;
        QStringList texts;
        std::optional<double> trimTo; // nothing: the whole ring
    };
    const Case cases[] = {
        {{721, 1000}, {"STORAGE", "721", "OF 1TB"}, 0.721},
        {{1000, 1000}, {"STORAGE", "1000", "OF 1TB"}, std::nullopt},
        {{1200, 1000}, {"STORAGE", "1200", "OF 1TB"}, std::nullopt},
        {{200, 500}, {"STORAGE", "200", "OF 500GB"}, 0.4},
        {{0, 0}, {"STORAGE", "0", "OF 0GB"}, 0.0},
        {{5, -3}, {"STORAGE", "5", "OF -3GB"}, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.texts.join(' ').toStdString());
        const QJsonObject tree = inspectAt(StorageView{c.data, ctx}, kSmall);
        EXPECT_EQ(textsOf(tree), c.texts);
        const auto circles = nodesOfKind(tree, "Circle");
        ASSERT_EQ(circles.size(), 2u);
        EXPECT_EQ(circles[0]["stroke"].toString(), pal.track.hex());
        EXPECT_EQ(circles[1]["stroke"].toString(), pal.fill.hex());
        const QJsonArray trim = circles[1]["trim"].toArray();
        if (c.trimTo)
            EXPECT_DOUBLE_EQ(trim.at(1).toDouble(), *c.trimTo);
        else
            EXPECT_TRUE(trim.isEmpty());
    }
}

TEST_F(SystemWidgets, StorageUnreadableShowsTheStandByFigure)
{
    SysinfoPaths nowhere;
    nowhere.home = QStringLiteral("/nonexistent/velk-home");
    SysinfoPathsOverride paths(nowhere);
    EXPECT_EQ(StorageWidget::live(), (StorageSnapshot{721, 1000}));
    const timeline::WidgetDefinition w = StorageWidget{}.body();
    const timeline::AnyTimeline t = w.provider().timeline(w.configuration(), {w.family(), kSmall, false});
    EXPECT_EQ(textsOf(inspectAt(w.render(t.entries.at(0)), kSmall)), (QStringList{"STORAGE", "721", "OF 1TB"}));
    EXPECT_EQ(t.policy, timeline::ReloadPolicy::after(kMorning.addingSeconds(6 * 3600)));
}

} // namespace
