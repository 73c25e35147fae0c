// The activity faces read through the inspected tree: water and steps against their goals,
// the habit rows, the focus dial and the stopwatch, and the countdown's day count.
#include "widgets/extras/activity/ActivityWidgets.h"
#include "widgets/extras/activity/Countdown.h"
#include "widgets/extras/activity/CounterViews.h"
#include "widgets/extras/activity/HabitsView.h"
#include "widgets/extras/activity/TimerViews.h"

#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "platform/core/Locale.h"
#include "platform/core/TimeZone.h"
#include "platform/view/Layout.h"
#include "shared/data/activity/ButtonIntents.h"
#include "shared/data/activity/ExtrasStore.h"
#include "shared/look/TreeQuery.h"
#include "shared/look/WidgetContext.h"
#include "support/UtcDate.h"

#include <QJsonArray>
#include <algorithm>
#include <gtest/gtest.h>
#include <limits>

using namespace velk;
using namespace velk::view;
using velk::test::utc;
using velk::testing::frameOf;
using velk::testing::hasFlag;
using velk::testing::inspectAt;
using velk::testing::nodesOfKind;
using velk::testing::shown;
using velk::testing::solidContext;
using velk::testing::textNode;
using velk::testing::textsOf;
using velk::testing::textsOutside;

namespace {

const QSizeF kSmall(160, 160), kMedium(344, 160);
const Date kNow = utc("2026-07-15T10:00:00");

QString fillOf(const QJsonObject& n)
{
    return n["fill"].toString();
}
QString strokeOf(const QJsonObject& n)
{
    return n["stroke"].toString();
}
QString actionOf(const QJsonObject& button)
{
    return button["action"].toObject()["intentType"].toString();
}

// A theme's roles may share a colour (accent and fill are one in the phosphor themes); here
// each role the faces choose between has its own, so a test sees which role was chosen.
WCtx distinctRoles()
{
    WCtx ctx = solidContext("teal");
    ctx.pal.fill = Color::rgb255(10, 200, 10);
    ctx.pal.accent = Color::rgb255(250, 120, 0);
    ctx.pal.alert = Color::rgb255(230, 20, 20);
    ctx.pal.track = Color::rgb255(60, 60, 60);
    ctx.pal.inkFaint = Color::rgb255(120, 120, 120);
    return ctx;
}

class ActivityViews : public ::testing::Test {
protected:
    ClockPin pin{kNow};
    WCtx ctx = distinctRoles();
    const WidgetPalette& pal = ctx.pal;

    // One letter per circle: F fill, A alert, T track ring or dot, K accent, I inkFaint.
    std::string circles(const QJsonObject& tree) const
    {
        std::string out;
        for (const QJsonObject& c : nodesOfKind(tree, "Circle")) {
            const QString colour = c.contains("stroke") ? strokeOf(c) : fillOf(c);
            out += colour == pal.fill.hex()       ? 'F'
                   : colour == pal.alert.hex()    ? 'A'
                   : colour == pal.track.hex()    ? 'T'
                   : colour == pal.accent.hex()   ? 'K'
                   : colour == pal.inkFaint.hex() ? 'I'
                                                  : '?';
        }
        return out;
    }
};

// ---- water and steps --------------------------------------------------------------------------

TEST_F(ActivityViews, WaterAgainstItsGoal)
{
    struct Case {
        qint64 value, goal;
        std::string dots;
        const char* litres;
        const char* caption;
    };
    for (const Case& c :
         {Case{0, 10, "TTTTTTTTTT", "0L", "0 OF 10 GLASSES"}, Case{5, 8, "FFFFFTTT", "1.25L", "5 OF 8 GLASSES"},
          Case{4, 8, "FFFFTTTT", "1L", "4 OF 8 GLASSES"}, Case{2, 8, "FFTTTTTT", "0.50L", "2 OF 8 GLASSES"},
          Case{8, 8, "FFFFFFFF", "2L", "8 OF 8 GLASSES"}, Case{12, 8, "FFFFFFFF", "3L", "8 OF 8 GLASSES"},
          // Hand-made records: nothing negative is shown, and no goal draws no glasses.
          Case{-3, 4, "TTTT", "0L", "0 OF 4 GLASSES"}, Case{3, 0, "", "0.75L", "0 OF 0 GLASSES"},
          Case{3, -5, "", "0.75L", "0 OF 0 GLASSES"}}) {
        SCOPED_TRACE(::testing::Message() << c.value << " of " << c.goal);
        const QJsonObject tree = inspectAt(WaterView{{c.value, c.goal}, ctx}, kSmall);
        EXPECT_EQ(circles(tree), c.dots);
        EXPECT_EQ(shown(tree), std::string("WATER | ") + c.litres + " | " + c.caption);
    }
    // Rows of four: a goal of 10 gives 4, 4 and 2 with 8u between rows.
    const auto dots = nodesOfKind(inspectAt(WaterView{{0, 10}, ctx}, kSmall), "Circle");
    ASSERT_EQ(dots.size(), 10u);
    EXPECT_EQ(frameOf(dots[0]).size(), QSizeF(20, 20));
    EXPECT_NEAR(frameOf(dots[4]).y() - frameOf(dots[0]).y(), 28, 1e-6);
    EXPECT_EQ(frameOf(dots[9]).x(), frameOf(dots[1]).x());
    // An absurd goal draws no more rows than the face could ever show.
    EXPECT_EQ(WaterView::rows(std::numeric_limits<qint64>::max()), WaterView::kMaxRows);
}

TEST_F(ActivityViews, StepsAgainstItsGoal)
{
    struct Case {
        qint64 value, goal;
        double share;
        const char* texts;
    };
    for (const Case& c :
         {Case{0, 10000, 0, "STEPS | 0 | GOAL 10,000"}, Case{8214, 10000, 0.8214, "STEPS | 8,214 | GOAL 10,000"},
          Case{10000, 10000, 1, "STEPS | 10,000 | GOAL 10,000"}, Case{12000, 10000, 1, "STEPS | 12,000 | GOAL 10,000"},
          Case{500, 0, 0, "STEPS | 500 | GOAL 0"}}) {
        SCOPED_TRACE(c.texts);
        const QJsonObject tree = inspectAt(StepsView{{c.value, c.goal}, ctx}, kSmall);
        EXPECT_EQ(shown(tree), c.texts);
        const std::string dots = circles(tree);
        const auto lit = std::count(dots.begin(), dots.end(), 'F');
        EXPECT_EQ(lit, std::lround(c.share * double(dots.size())));
    }
    LocalePin german(QStringLiteral("de_DE"));
    EXPECT_EQ(shown(inspectAt(StepsView{{8214, 10000}, ctx}, kSmall)), "STEPS | 8.214 | GOAL 10.000");
}

TEST_F(ActivityViews, CounterFacesAreOneButtonEach)
{
    const auto water = nodesOfKind(inspectAt(WaterView{{1, 8}, ctx}, kSmall), "Button");
    ASSERT_EQ(water.size(), 1u);
    EXPECT_EQ(actionOf(water[0]), "AddWaterIntent");
    EXPECT_EQ(frameOf(water[0]), QRectF(0, 0, 160, 160));
    const auto steps = nodesOfKind(inspectAt(StepsView{{1, 8}, ctx}, kSmall), "Button");
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(actionOf(steps[0]), "AddStepsIntent");
    EXPECT_EQ(steps[0]["action"].toObject()["parameters"].toObject()["steps"].toInteger(), 1000);
}

// ---- habits -----------------------------------------------------------------------------------

HabitWeekRow habit(const char* name, qint64 done, qint64 total = 7)
{
    return HabitWeekRow{QUuid::createUuid(), QString::fromLatin1(name), done, total};
}

TEST_F(ActivityViews, HabitsNoneShowsTheHint)
{
    const QJsonObject tree = inspectAt(HabitsView{{}, ctx}, kMedium);
    EXPECT_EQ(shown(tree), "ADD HABITS IN VELK");
    EXPECT_EQ(textNode(tree, "ADD HABITS IN VELK")["foreground"].toString(), pal.inkDim.hex());
    EXPECT_TRUE(nodesOfKind(tree, "Button").empty());
    // Centred in the widget.
    const QRectF hint = frameOf(textNode(tree, "ADD HABITS IN VELK"));
    EXPECT_NEAR(hint.center().x(), 172, 1);
    EXPECT_NEAR(hint.center().y(), 80, 1);
}

TEST_F(ActivityViews, HabitsThreeRowsColouredByTheirWeek)
{
    const std::vector<HabitWeekRow> rows{habit("Run", 3), habit("Read", 2), habit("No sugar", 0)};
    const QJsonObject tree = inspectAt(HabitsView{rows, ctx}, kMedium);
    EXPECT_EQ(shown(tree), "RUN | 3 / 7 | READ | 2 / 7 | NO SUGAR | 0 / 7");
    EXPECT_EQ(circles(tree), "FFFTTTT"
                             "AATTTTT"
                             "TTTTTTT");
    EXPECT_EQ(textNode(tree, "RUN")["foreground"].toString(), pal.ink.hex());
    EXPECT_EQ(textNode(tree, "3 / 7")["foreground"].toString(), pal.inkDim.hex());
    for (const char* behind : {"READ", "2 / 7", "NO SUGAR", "0 / 7"})
        EXPECT_EQ(textNode(tree, behind)["foreground"].toString(), pal.alert.hex()) << behind;

    // Each row toggles its own habit by its upper-case id.
    const auto buttons = nodesOfKind(tree, "Button");
    ASSERT_EQ(buttons.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(actionOf(buttons[i]), "HabitToggleIntent");
        EXPECT_EQ(buttons[i]["action"].toObject()["parameters"].toObject()["habitID"].toString(),
                  rows[i].id.toString(QUuid::WithoutBraces).toUpper());
    }
    // The name column is 70u wide whatever the name, so the dots line up.
    const auto names = nodesOfKind(tree, "Circle");
    EXPECT_EQ(frameOf(names[0]).x(), frameOf(names[7]).x());
}

TEST_F(ActivityViews, HabitsMoreThanThreeShowTheFirstThree)
{
    const std::vector<HabitWeekRow> rows{habit("A", 7), habit("B", 5), habit("C", 9), habit("D", 1), habit("E", -2)};
    const QJsonObject tree = inspectAt(HabitsView{rows, ctx}, kMedium);
    EXPECT_EQ(shown(tree), "A | 7 / 7 | B | 5 / 7 | C | 9 / 7");
    // More done than days: every dot lit, no more dots than days.
    EXPECT_EQ(circles(tree).substr(14), "FFFFFFF");
    EXPECT_EQ(nodesOfKind(tree, "Button").size(), 3u);
    // A negative count reads as none.
    EXPECT_EQ(shown(inspectAt(HabitsView{{habit("E", -2, -1)}, ctx}, kMedium)), "E | 0 / 0");
}

// ---- focus ------------------------------------------------------------------------------------

TEST_F(ActivityViews, FocusIdleRunningAndJustEnded)
{
    struct Case {
        const char* name;
        FocusSession session;
        const char* texts;
        std::string dots; // track ring, arc, status dot
        std::optional<double> trimTo;
    };
    for (const Case& c :
         {Case{"idle", {std::nullopt, 25}, "FOCUS | 25:00 | START", "TFI", std::nullopt},
          Case{"ten of 25 left", {kNow.addingSeconds(600), 25}, "FOCUS | LIVE", "TFK", 0.4},
          Case{"just ended", {kNow.addingSeconds(-1), 45}, "FOCUS | 45:00 | START", "TFI", std::nullopt},
          Case{"90 minutes idle", {std::nullopt, 90}, "FOCUS | 90:00 | START", "TFI", std::nullopt},
          Case{"no length", {kNow.addingSeconds(600), 0}, "FOCUS | LIVE", "TFK", std::nullopt},
          Case{"further ahead than its length", {kNow.addingSeconds(4000), 25}, "FOCUS | LIVE", "TFK", std::nullopt},
          Case{"negative length", {std::nullopt, -5}, "FOCUS | 0:00 | START", "TFI", std::nullopt}}) {
        SCOPED_TRACE(c.name);
        const QJsonObject tree = inspectAt(FocusView{c.session, ctx}, kSmall);
        EXPECT_EQ(shown(tree), c.texts);
        EXPECT_EQ(circles(tree), c.dots);
        const QJsonObject arc = nodesOfKind(tree, "Circle").at(1);
        if (c.trimTo)
            EXPECT_NEAR(arc["trim"].toArray().at(1).toDouble(), *c.trimTo, 1e-9);
        else
            EXPECT_FALSE(arc.contains("trim")) << "a full ring";
        const auto buttons = nodesOfKind(tree, "Button");
        ASSERT_EQ(buttons.size(), 1u);
        EXPECT_EQ(actionOf(buttons[0]), "FocusToggleIntent");
    }
    // The countdown runs from what is left, with no hours field.
    const QJsonObject running = inspectAt(FocusView{{kNow.addingSeconds(600), 25}, ctx}, kSmall);
    EXPECT_EQ(nodesOfKind(running, "TimerText").at(0)["text"].toString(), "10:00");
    EXPECT_EQ(nodesOfKind(inspectAt(FocusView{{kNow.addingSeconds(90 * 60), 90}, ctx}, kSmall), "TimerText")
                  .at(0)["text"]
                  .toString(),
              "90:00");
    {
        ClockPin later(kNow.addingSeconds(300));
        EXPECT_EQ(nodesOfKind(inspectAt(FocusView{{kNow.addingSeconds(600), 25}, ctx}, kSmall), "TimerText")
                      .at(0)["text"]
                      .toString(),
                  "5:00");
    }
    EXPECT_DOUBLE_EQ(
        FocusView::progressFraction({kNow.addingSeconds(std::numeric_limits<double>::infinity()), 25}, kNow), 0);
}

TEST_F(ActivityViews, FocusProviderReloadsAtTheEndOrHourly)
{
    const FocusWidget::Provider provider;
    Defaults::shared().remove(FocusToggleIntent::kKey);
    auto idle = provider.timeline({}, {});
    ASSERT_EQ(idle.entries.size(), 1u);
    EXPECT_EQ(idle.entries[0].data, (FocusSession{std::nullopt, 25}));
    EXPECT_EQ(idle.policy.date(), kNow.addingSeconds(3600));

    const FocusSession running{kNow.addingSeconds(600), 25};
    ExtrasStore::write(running, FocusToggleIntent::kKey);
    auto live = provider.timeline({}, {});
    EXPECT_EQ(live.entries[0].data, running);
    EXPECT_EQ(live.policy.date(), kNow.addingSeconds(600));
    // Previews and placeholders show the sample, never what is stored.
    EXPECT_EQ(provider.snapshot({}, {.isPreview = true}).data, FocusSession::sample());
    EXPECT_EQ(provider.snapshot({}, {}).data, running);
    EXPECT_EQ(provider.placeholder({}).data, FocusSession::sample());
    Defaults::shared().setData(FocusToggleIntent::kKey, "not json");
    EXPECT_EQ(provider.timeline({}, {}).entries[0].data, (FocusSession{std::nullopt, 25}));
}

// ---- stopwatch --------------------------------------------------------------------------------

TEST_F(ActivityViews, StopwatchStoppedRunningAndWithLaps)
{
    struct Case {
        const char* name;
        StopwatchState state;
        const char* texts;
        char dot;
    };
    const Date started = kNow.addingSeconds(-287.3);
    for (const Case& c :
         {Case{"stopped", {}, "STOPWATCH | 00:00 | TAP TO START", 'I'},
          Case{"running", {started, {}}, "STOPWATCH | TAP TO LAP", 'K'},
          Case{"three laps", {started, {61.1, 133.4, 214.5}}, "STOPWATCH | LAP 3 \u00B7 RESET | 01:21.1", 'K'},
          Case{"laps but stopped", {std::nullopt, {75.36}}, "STOPWATCH | 00:00 | LAP 1 \u00B7 RESET | 01:15.4", 'I'}}) {
        SCOPED_TRACE(c.name);
        const QJsonObject tree = inspectAt(StopwatchView{c.state, ctx}, kSmall);
        EXPECT_EQ(QString::fromStdString(shown(tree)), QString::fromUtf8(c.texts));
        EXPECT_EQ(circles(tree), std::string(1, c.dot));
        const auto timers = nodesOfKind(tree, "TimerText");
        if (c.state.isRunning()) {
            ASSERT_EQ(timers.size(), 1u);
            EXPECT_EQ(timers[0]["text"].toString(), "4:47");
        } else {
            EXPECT_TRUE(timers.empty());
        }
    }
}

TEST_F(ActivityViews, StopwatchLapLabel)
{
    struct Case {
        std::vector<double> laps;
        const char* label;
    };
    for (const Case& c : {Case{{}, ""}, Case{{75.36}, "01:15.4"}, Case{{3725}, "62:05.0"},
                          // Rounded to tenths before the minutes are taken.
                          Case{{119.96}, "02:00.0"}, Case{{59.96}, "01:00.0"}, Case{{10, 129.96}, "02:00.0"},
                          Case{{61.1, 133.4, 214.5}, "01:21.1"}, Case{{0.04}, "00:00.0"},
                          // Out of order or not numbers: nothing negative, nothing absurd.
                          Case{{50, 20}, "00:00.0"}, Case{{std::numeric_limits<double>::quiet_NaN()}, "00:00.0"},
                          Case{{std::numeric_limits<double>::infinity()}, "00:00.0"}}) {
        EXPECT_EQ(StopwatchView::lapLabel(c.laps), QString::fromLatin1(c.label)) << c.label;
    }
}

TEST_F(ActivityViews, StopwatchResetIsTheInnermostButton)
{
    const LaidOutTree laid = layout(StopwatchView{{kNow.addingSeconds(-100), {40, 70}}, ctx}, kSmall);
    const QJsonObject tree = inspect(laid);
    const auto buttons = nodesOfKind(tree, "Button");
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(actionOf(buttons[0]), "StopwatchToggleIntent");
    EXPECT_EQ(actionOf(buttons[1]), "StopwatchResetIntent");
    EXPECT_EQ(hitTest(laid, frameOf(buttons[1]).center())->intentType, "StopwatchResetIntent");
    EXPECT_EQ(hitTest(laid, QPointF(80, 60))->intentType, "StopwatchToggleIntent");
    EXPECT_EQ(hitTest(laid, frameOf(textNode(tree, "00:30.0")).center())->intentType, "StopwatchToggleIntent");
}

TEST_F(ActivityViews, StopwatchTimelineFallsBackToStopped)
{
    const timeline::WidgetDefinition widget = StopwatchWidget{}.body();
    Defaults::shared().remove(StopwatchToggleIntent::kKey);
    timeline::AnyTimeline t = widget.provider().timeline({}, {});
    ASSERT_EQ(t.entries.size(), 1u);
    EXPECT_EQ(t.entries[0].data(), QJsonValue(QJsonObject{{"laps", QJsonArray{}}}));
    EXPECT_EQ(t.policy.date(), kNow.addingSeconds(3600));
}

// ---- countdown --------------------------------------------------------------------------------

TEST_F(ActivityViews, CountdownDays)
{
    struct Case {
        const char* now;
        const char* target;
        const char* texts;
    };
    for (const Case& c :
         {Case{"2026-07-15T10:00:00", "2026-07-16T23:00:00", "LAUNCH | 1 | DAY LEFT | JUL 16 \u00B7 11PM"},
          Case{"2026-07-15T10:00:00", "2026-07-15T22:00:00", "LAUNCH | 0 | DAYS LEFT | JUL 15 \u00B7 10PM"},
          Case{"2026-07-15T23:59:00", "2026-07-18T00:30:00", "LAUNCH | 3 | DAYS LEFT | JUL 18 \u00B7 12AM"},
          Case{"2026-07-15T10:00:00", "2026-07-01T16:00:00", "LAUNCH | 0 | DAYS LEFT | JUL 1 \u00B7 4PM"},
          Case{"2026-07-15T10:00:00", "2029-11-30T16:00:00", "LAUNCH | 1234 | DAYS LEFT | NOV 30 \u00B7 4PM"}}) {
        SCOPED_TRACE(c.target);
        ClockPin at(utc(c.now));
        EXPECT_EQ(QString::fromStdString(shown(inspectAt(CountdownView{"Launch", utc(c.target), ctx}, kSmall))),
                  QString::fromUtf8(c.texts));
    }
    EXPECT_EQ(QString::fromStdString(shown(inspectAt(CountdownView{"Trip", std::nullopt, ctx}, kSmall))),
              QString::fromUtf8("TRIP | \u2014 | DAYS LEFT | SET A DATE"));
}

TEST_F(ActivityViews, CountdownFitsItsPadding)
{
    // A caption, the 64-point count and two captions fill the 120 points inside the padding:
    // the title starts at the top padding and the date line ends above the bottom one.
    const QRectF padded(22, 20, 116, 120);
    for (const std::optional<Date>& target : {std::optional<Date>(utc("2026-07-27T16:00:00")), std::optional<Date>()}) {
        const QJsonObject tree = inspectAt(CountdownView{"Launch", target, ctx}, kSmall);
        EXPECT_EQ(textsOutside(tree, padded), std::vector<std::string>{}) << shown(tree);
        EXPECT_DOUBLE_EQ(frameOf(textNode(tree, "LAUNCH")).y(), 20) << shown(tree);
    }
}

// Days are counted by the calendar: a night with an hour missing (New York, 8 March 2026)
// still ends a day, and the countdown turns over at local midnight either side of it.
TEST_F(ActivityViews, CountdownAcrossADaylightSavingChange)
{
    TimeZonePin zone(QStringLiteral("America/New_York"));
    const Date saturdayNoon = utc("2026-03-07T17:00:00"); // 12:00 EST
    const Date tuesdayEarly = utc("2026-03-10T04:30:00"); // 00:30 EDT
    EXPECT_EQ(CountdownView::daysLeft(tuesdayEarly, saturdayNoon), 3);
    const Date novemberSaturday = utc("2026-10-31T16:00:00"); // 12:00 EDT
    const Date novemberTuesday = utc("2026-11-03T23:30:00");  // 18:30 EST
    EXPECT_EQ(CountdownView::daysLeft(novemberTuesday, novemberSaturday), 3);

    ClockPin at(utc("2026-03-08T04:59:59")); // 23:59:59 EST on the Saturday
    const CountdownTimelineProvider provider;
    const auto late = provider.timeline({}, {});
    EXPECT_EQ(late.policy.date(), utc("2026-03-08T05:00:00"));
    {
        ClockPin sunday(utc("2026-03-08T05:00:01"));
        // The day of the change is 23 hours long.
        EXPECT_EQ(provider.timeline({}, {}).policy.date(), utc("2026-03-09T04:00:00"));
        EXPECT_EQ(shown(inspectAt(CountdownView{"X", tuesdayEarly, ctx}, kSmall)),
                  "X | 2 | DAYS LEFT | MAR 10 \u00B7 12AM");
    }
}

TEST_F(ActivityViews, CountdownProviderTakesTheConfiguration)
{
    const CountdownTimelineProvider provider;
    const auto placeholder = provider.placeholder({});
    EXPECT_EQ(placeholder.data.name, "Launch");
    EXPECT_EQ(placeholder.data.target, kNow.addingSeconds(12 * 86400));
    EXPECT_EQ(shown(inspectAt(CountdownView{placeholder.data.name, placeholder.data.target, ctx}, kSmall)),
              "LAUNCH | 12 | DAYS LEFT | JUL 27 \u00B7 10AM");

    CountdownConfigIntent configuration;
    configuration.name = "Trip";
    configuration.target = utc("2026-08-01T09:00:00");
    configuration.surface = SurfaceOption::glass;
    const auto t = provider.timeline(configuration, {});
    ASSERT_EQ(t.entries.size(), 1u);
    EXPECT_EQ(t.entries[0].data, (CountdownTarget{"Trip", configuration.target}));
    EXPECT_EQ(t.entries[0].surface, SurfaceOption::glass);
    EXPECT_EQ(t.policy.date(), utc("2026-07-16T00:00:00"));
    // A preview shows the configuration, not a sample.
    EXPECT_EQ(provider.snapshot(CountdownConfigIntent{}, {.isPreview = true}).data,
              (CountdownTarget{"Launch", std::nullopt}));
}

} // namespace
