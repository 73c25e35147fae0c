// The battery views read through the inspected tree: the numbers, the status and log lines,
// the colours of low devices and of the present state, and how many dots are lit.
#include "widgets/status/battery/BatteryViews.h"

#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "shared/data/clock/ClockFormat.h"
#include "shared/data/system/PowerSource.h"
#include "shared/look/TreeQuery.h"
#include "shared/look/WidgetContext.h"
#include "support/UtcDate.h"

#include <QJsonArray>
#include <gtest/gtest.h>

using namespace velk;
using namespace velk::testing;
using velk::test::utc;

namespace {

const QSizeF kSmall(160, 160), kMedium(344, 160);

QString colorOf(const QJsonObject& tree, const QString& text)
{
    return textNode(tree, text)["foreground"].toString();
}

// The bar's dots, one letter each: F lit in `fill`, A lit in `alert`, T track. Other circles
// (a caption's dot) are left out.
QString dotsOf(const QJsonObject& tree, const WidgetPalette& pal)
{
    QString s;
    for (const QJsonObject& c : nodesOfKind(tree, "Circle")) {
        const QString fill = c["fill"].toString();
        if (c.contains("stroke") || frameOf(c).width() < 6) continue;
        s += fill == pal.fill.hex() ? 'F' : fill == pal.alert.hex() ? 'A' : fill == pal.track.hex() ? 'T' : '?';
    }
    return s;
}

PowerSnapshot snapshot(qint64 percent, bool charging = false, std::optional<QString> remaining = std::nullopt)
{
    PowerSnapshot s;
    s.percent = percent;
    s.isCharging = charging;
    s.remaining = remaining;
    return s;
}

class BatteryViews : public ::testing::Test {
protected:
    void SetUp() override { Defaults::shared().setInteger(ClockFormat::kTimeFormatKey, 24); }
    void TearDown() override { Defaults::shared().remove(ClockFormat::kTimeFormatKey); }

    ClockPin pin{utc("2026-12-09T17:00:00")};
    WCtx ctx = solidContext("teal");
    const WidgetPalette& pal = ctx.pal;
};

TEST_F(BatteryViews, TheSampleAsEachViewDrawsIt)
{
    const PowerSnapshot& sample = PowerSnapshot::sample();

    const QJsonObject ring = inspectAt(BatteryRing{sample, ctx}, kSmall);
    EXPECT_EQ(shown(ring), "MACBOOK | 68 | %");
    const auto arcs = nodesOfKind(ring, "Circle");
    ASSERT_EQ(arcs.size(), 2u);
    EXPECT_EQ(arcs[0]["stroke"].toString(), pal.track.hex());
    EXPECT_EQ(arcs[1]["stroke"].toString(), pal.fill.hex());
    EXPECT_DOUBLE_EQ(arcs[1]["trim"].toArray()[1].toDouble(), 0.68);
    EXPECT_DOUBLE_EQ(arcs[1]["lineWidth"].toDouble(), 14);
    // A 96-point ring whose centre sits 5 below the middle.
    EXPECT_DOUBLE_EQ(frameOf(arcs[0]).width(), 96);
    EXPECT_DOUBLE_EQ(frameOf(arcs[0]).center().y(), 85);

    const QJsonObject percent = inspectAt(BatteryPercent{sample, ctx}, kSmall);
    EXPECT_EQ(shown(percent), "BATTERY | 68 | % | 2H 40M REMAINING");
    EXPECT_EQ(colorOf(percent, "%"), pal.inkFaint.hex());

    const QJsonObject devices = inspectAt(BatteryDevices{sample, ctx}, kMedium);
    EXPECT_EQ(shown(devices), "MACBOOK | 68 | KEYBOARD | 84 | MOUSE | 12");
    EXPECT_EQ(colorOf(devices, "MOUSE"), pal.alert.hex());
    EXPECT_EQ(colorOf(devices, "12"), pal.alert.hex());
    EXPECT_EQ(colorOf(devices, "KEYBOARD"), pal.ink.hex());

    const QJsonObject log = inspectAt(BatteryLog{sample, ctx}, kMedium);
    EXPECT_EQ(shown(log), "POWER LOG | ON BATTERY | 07:40 | FULLY CHARGED AT 100% | 08:15 | "
                          "DISCONNECTED \u00B7 DRAIN 9%/H | 16:32 | 68% \u00B7 2H 40M REMAINING");
    EXPECT_EQ(colorOf(log, "16:32"), pal.accent.hex());
    EXPECT_EQ(colorOf(log, "68% \u00B7 2H 40M REMAINING"), pal.accent.hex());
    EXPECT_EQ(colorOf(log, "07:40"), pal.inkFaint.hex());
    EXPECT_EQ(colorOf(log, "FULLY CHARGED AT 100%"), pal.ink.hex());
}

TEST_F(BatteryViews, LiveDataNamesThisMachineOnTheRing)
{
    PowerSnapshot live = snapshot(80);
    live.devices = {{PowerSource::machineName(), 80}, {"Keyboard", 84}};
    EXPECT_EQ(BatteryRing({live, ctx}).label(), PowerSource::machineName());
    // A desktop lists no battery of its own, and the ring still names the machine.
    live.devices = {{"Keyboard", 84}};
    EXPECT_EQ(BatteryRing({live, ctx}).label(), PowerSource::machineName());
    EXPECT_NE(PowerSource::machineName(), "");
}

TEST_F(BatteryViews, StatusLineOfThePercentView)
{
    struct Case {
        PowerSnapshot data;
        const char* status;
    };
    for (const Case& c :
         {Case{snapshot(40, false, QStringLiteral("1h 5m")), "1H 5M REMAINING"}, Case{snapshot(40), "\u2014 REMAINING"},
          Case{snapshot(40, true, QStringLiteral("45m")), "CHARGING"}, Case{snapshot(100, true), "CHARGING"}})
        EXPECT_EQ(textsOf(inspectAt(BatteryPercent{c.data, ctx}, kSmall)).last(), c.status);
}

TEST_F(BatteryViews, ChargeFillsTheRingAndTheBarWithoutChangingColour)
{
    struct Case {
        qint64 percent;
        double arc;
        const char* bar; // the percent view's dots: the bar fills 116 points, 14 dots
    };
    for (const Case& c : {Case{0, 0, "TTTTTTTTTTTTTT"}, Case{50, 0.5, "FFFFFFFTTTTTTT"},
                          Case{10, 0.1, "FTTTTTTTTTTTTT"}, Case{130, 1, "FFFFFFFFFFFFFF"}}) {
        SCOPED_TRACE(c.percent);
        const QJsonObject ring = inspectAt(BatteryRing{snapshot(c.percent), ctx}, kSmall);
        const auto arcs = nodesOfKind(ring, "Circle");
        ASSERT_EQ(arcs.size(), 2u);
        const QJsonArray trim = arcs[1]["trim"].toArray();
        EXPECT_DOUBLE_EQ(trim.isEmpty() ? 1.0 : trim[1].toDouble(), c.arc);
        EXPECT_EQ(arcs[1]["stroke"].toString(), pal.fill.hex());
        EXPECT_EQ(dotsOf(inspectAt(BatteryPercent{snapshot(c.percent), ctx}, kSmall), pal), c.bar);
    }
}

TEST_F(BatteryViews, DevicesAtTwentyOrLessAreDrawnInAlert)
{
    PowerSnapshot s = snapshot(100, true);
    s.devices = {{"Pen", 20}, {"Mouse", 21}};
    const QJsonObject tree = inspectAt(BatteryDevices{s, ctx}, kMedium);
    EXPECT_EQ(colorOf(tree, "PEN"), pal.alert.hex());
    EXPECT_EQ(colorOf(tree, "20"), pal.alert.hex());
    EXPECT_EQ(colorOf(tree, "MOUSE"), pal.ink.hex());
    EXPECT_EQ(colorOf(tree, "21"), pal.ink.hex());
    const QString dots = dotsOf(tree, pal);
    ASSERT_EQ(dots.size() % 2, 0);
    const QString pen = dots.left(dots.size() / 2), mouse = dots.mid(dots.size() / 2);
    EXPECT_TRUE(pen.contains('A') && !pen.contains('F')) << pen.toStdString();
    EXPECT_TRUE(mouse.contains('F') && !mouse.contains('A')) << mouse.toStdString();
    // The name column is 76 wide and the number column 38, whatever the name.
    EXPECT_LE(frameOf(textNode(tree, "PEN")).width(), 76);
    EXPECT_NEAR(frameOf(textNode(tree, "20")).right(), 344 - 26, 0.5);
}

TEST_F(BatteryViews, EmptyListsDrawNothingInTheirPlace)
{
    const QJsonObject devices = inspectAt(BatteryDevices{snapshot(100, true), ctx}, kMedium);
    EXPECT_TRUE(textsOf(devices).isEmpty());
    EXPECT_TRUE(nodesOfKind(devices, "Circle").empty());

    const QJsonObject log = inspectAt(BatteryLog{snapshot(100, true), ctx}, kMedium);
    EXPECT_EQ(shown(log), "POWER LOG | CHARGING");
    EXPECT_EQ(dotsOf(log, pal).count('F'), dotsOf(log, pal).size());
}

TEST_F(BatteryViews, TheLogShowsItsLastThreeLinesNewestAtTheBottom)
{
    PowerSnapshot s = snapshot(61);
    for (int i = 0; i < 6; ++i)
        s.log.push_back(
            {utc("2026-12-09T08:00:00").addingSeconds(3600.0 * i), QStringLiteral("line %1").arg(i + 1), i == 5});
    Defaults::shared().setInteger(ClockFormat::kTimeFormatKey, 12);
    const QJsonObject tree = inspectAt(BatteryLog{s, ctx}, kMedium);
    EXPECT_EQ(shown(tree), "POWER LOG | ON BATTERY | 11:00 | LINE 4 | 12:00 | LINE 5 | 1:00 | LINE 6");
    EXPECT_LT(frameOf(textNode(tree, "LINE 4")).top(), frameOf(textNode(tree, "LINE 6")).top());
    EXPECT_EQ(colorOf(tree, "LINE 6"), pal.accent.hex());
    EXPECT_EQ(colorOf(tree, "LINE 5"), pal.ink.hex());
    // The bar sits on the bottom edge of the padded area.
    const auto dots = nodesOfKind(tree, "Circle");
    EXPECT_NEAR(frameOf(dots.back()).bottom(), 160 - 20, 0.5);
}

} // namespace
