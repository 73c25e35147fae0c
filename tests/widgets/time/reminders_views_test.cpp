// The reminders views read through the inspected tree: which reminders each one picks, the
// texts it shows and the colours it gives them.
#include "widgets/time/RemindersProvider.h"
#include "widgets/time/RemindersViews.h"

#include "platform/core/Clock.h"
#include "shared/look/TreeQuery.h"
#include "shared/look/WidgetContext.h"

#include <QJsonArray>
#include <gtest/gtest.h>

using namespace velk;
using namespace velk::view;
using velk::testing::frameOf;
using velk::testing::hasFlag;
using velk::testing::inspectAt;
using velk::testing::nodesOfKind;
using velk::testing::shown;
using velk::testing::solidContext;
using velk::testing::textNode;
using velk::testing::textsOf;

namespace {

const QSizeF kSmall(160, 160), kMedium(344, 160), kLarge(344, 344);

ReminderItem item(const char* id, bool done, bool urgent = false, std::optional<QString> time = std::nullopt)
{
    return ReminderItem{QString::fromLatin1(id), QStringLiteral("Task ") + QString::fromLatin1(id), time, done, urgent};
}

RemindersSnapshot items(std::vector<ReminderItem> list)
{
    RemindersSnapshot s;
    s.items = std::move(list);
    return s;
}

// One reminder row as drawn: the toggle's reminder, the title and the time caption.
struct Row {
    QString id;
    QString title;
    QString titleColor;
    bool struck = false;
    QString time;
    QString timeColor;
    QString tickColor; // done rows only
};

std::vector<Row> rowsOf(const QJsonObject& tree)
{
    std::vector<Row> out;
    for (const QJsonObject& stack : nodesOfKind(tree, "HStack")) {
        const QJsonArray kids = stack["children"].toArray();
        if (kids.isEmpty() || kids[0].toObject()["kind"].toString() != "Button") continue;
        const QJsonObject button = kids[0].toObject();
        const QJsonObject action = button["action"].toObject();
        EXPECT_EQ(action["intentType"].toString(), "ToggleReminderIntent");
        Row r;
        r.id = action["parameters"].toObject()["reminderID"].toString();
        const auto ticks = nodesOfKind(button, "Image");
        if (!ticks.empty()) r.tickColor = ticks[0]["foreground"].toString();
        std::vector<QJsonObject> labels;
        for (int i = 1; i < kids.size(); ++i)
            for (const QJsonObject& t : nodesOfKind(kids[i].toObject(), "Text"))
                labels.push_back(t);
        r.title = labels.at(0)["text"].toString();
        r.titleColor = labels.at(0)["foreground"].toString();
        r.struck = hasFlag(labels.at(0), "strikethrough");
        if (labels.size() > 1) {
            r.time = labels[1]["text"].toString();
            r.timeColor = labels[1]["foreground"].toString();
        }
        out.push_back(r);
    }
    return out;
}

QStringList idsOf(const std::vector<Row>& rows)
{
    QStringList out;
    for (const Row& r : rows)
        out << r.id;
    return out;
}

class RemindersViews : public ::testing::Test {
protected:
    ClockPin pin{Date(700000000)};
    WCtx ctx = solidContext();
    const WidgetPalette& pal = ctx.pal;
};

TEST_F(RemindersViews, ChecklistOfTheSample)
{
    const QJsonObject tree = inspectAt(RemindersChecklist{RemindersProvider::sampleSnapshot(), ctx}, kMedium);
    const std::vector<Row> rows = rowsOf(tree);
    ASSERT_EQ(idsOf(rows), (QStringList{"2", "3", "4"}));
    // The last done one first, struck and faint, its tick in the fixed ink, no time.
    EXPECT_TRUE(rows[0].struck);
    EXPECT_EQ(rows[0].titleColor, pal.inkFaint.hex());
    EXPECT_EQ(rows[0].tickColor, VelkTokens::ink.hex());
    EXPECT_TRUE(rows[0].time.isEmpty());
    EXPECT_FALSE(rows[1].struck);
    EXPECT_EQ(rows[1].titleColor, pal.ink.hex());
    EXPECT_EQ(rows[1].time, "17:00");
    EXPECT_EQ(rows[1].timeColor, pal.inkDim.hex());
    EXPECT_EQ(rows[2].time, "18:30");
    EXPECT_EQ(rows[2].timeColor, pal.alert.hex());
    // The chip counts every open reminder, in the pane colour on the accent capsule.
    const QJsonObject chip = textNode(tree, "3");
    EXPECT_EQ(chip["foreground"].toString(), ctx.resolved.pane.hex());
    const auto capsules = nodesOfKind(tree, "Capsule");
    ASSERT_EQ(capsules.size(), 1u);
    EXPECT_EQ(capsules[0]["fill"].toString(), pal.accent.hex());
    EXPECT_GE(frameOf(capsules[0]).width(), 20);
    EXPECT_GE(frameOf(capsules[0]).height(), 20);
    EXPECT_EQ(textNode(tree, "REMINDERS")["tracking"].toDouble(), 0.96);
}

TEST_F(RemindersViews, ChecklistPicksTheLastDoneThenTheOpenOnes)
{
    struct Case {
        const char* what;
        std::vector<ReminderItem> list;
        QStringList shown;
        const char* chip;
    };
    const Case cases[] = {
        {"all done", {item("a", true), item("b", true), item("c", true)}, {"c"}, "0"},
        {"all open",
         {item("a", false), item("b", false), item("c", false), item("d", false), item("e", false)},
         {"a", "b", "c"},
         "5"},
        {"done after open", {item("a", false), item("b", true), item("c", false)}, {"b", "a", "c"}, "2"},
        {"empty", {}, {}, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const RemindersChecklist view{items(c.list), ctx};
        const QJsonObject tree = inspectAt(view, kMedium);
        EXPECT_EQ(idsOf(rowsOf(tree)), c.shown);
        EXPECT_TRUE(textsOf(tree).contains(c.chip));
    }
}

TEST_F(RemindersViews, TimeCaptionOnlyForOpenRemindersWithATime)
{
    const RemindersSnapshot s = items({item("urgentNoTime", false, true), item("doneWithTime", true, true, "08:00"),
                                       item("plain", false, false, "09:00"), item("urgent", false, true, "10:00")});
    for (const QJsonObject& tree :
         {inspectAt(RemindersChecklist{s, ctx}, kMedium), inspectAt(RemindersToday{s, ctx}, kLarge)}) {
        for (const Row& r : rowsOf(tree)) {
            SCOPED_TRACE(r.id.toStdString());
            if (r.id == "urgentNoTime" || r.id == "doneWithTime") {
                EXPECT_TRUE(r.time.isEmpty());
            } else {
                EXPECT_EQ(r.timeColor, r.id == "urgent" ? pal.alert.hex() : pal.inkDim.hex());
            }
        }
    }
}

TEST_F(RemindersViews, NextUpCountdown)
{
    struct Case {
        qint64 minutes;
        const char* big;
        const char* unit;
    };
    for (const Case& c : {Case{28, "28", "MIN"}, Case{59, "59", "MIN"}, Case{60, "1H", "0M"}, Case{61, "1H", "1M"},
                          Case{75, "1H", "15M"}, Case{120, "2H", "0M"}, Case{0, "0", "MIN"}, Case{-5, "-5", "MIN"}}) {
        SCOPED_TRACE(c.minutes);
        RemindersSnapshot s = RemindersProvider::sampleSnapshot();
        s.minutesToNext = c.minutes;
        s.nextUp->title = QStringLiteral("Call");
        const QJsonObject tree = inspectAt(RemindersNextUp{s, ctx}, kSmall);
        EXPECT_EQ(shown(tree), QStringLiteral("NEXT UP | %1 | %2 | Call · 17:00").arg(c.big, c.unit).toStdString());
        EXPECT_EQ(textNode(tree, c.big)["foreground"].toString(), pal.ink.hex());
        EXPECT_EQ(textNode(tree, c.unit)["foreground"].toString(), pal.inkFaint.hex());
    }
    EXPECT_TRUE(
        nodesOfKind(inspectAt(RemindersNextUp{RemindersProvider::sampleSnapshot(), ctx}, kSmall), "Button").empty());
}

TEST_F(RemindersViews, NextUpTitleAndClearState)
{
    RemindersSnapshot untimed = RemindersProvider::sampleSnapshot();
    untimed.nextUp->title = QStringLiteral("Call");
    untimed.nextUp->time.reset();
    EXPECT_EQ(shown(inspectAt(RemindersNextUp{untimed, ctx}, kSmall)), "NEXT UP | 28 | MIN | Call");

    RemindersSnapshot noMinutes = RemindersProvider::sampleSnapshot();
    noMinutes.minutesToNext.reset();
    RemindersSnapshot noNext = RemindersProvider::sampleSnapshot();
    noNext.nextUp.reset();
    for (const RemindersSnapshot& s : {noMinutes, noNext, RemindersSnapshot{}})
        EXPECT_EQ(shown(inspectAt(RemindersNextUp{s, ctx}, kSmall)), "NEXT UP | CLEAR | NO REMINDERS DUE");
}

TEST_F(RemindersViews, SingleFocus)
{
    struct Case {
        const char* what;
        std::vector<ReminderItem> list;
        const char* shown;
    };
    const Case cases[] = {
        {"a later urgent over an earlier plain",
         {item("a", false), item("b", false, true)},
         "TODAY | Task b | ANYTIME"},
        {"first open when none is urgent",
         {item("a", true), item("b", false, false, "07:00"), item("c", false)},
         "TODAY | Task b | 07:00 · SOON"},
        {"a done urgent never", {item("a", true, true), item("b", false)}, "TODAY | Task b | ANYTIME"},
        {"all done", {item("a", true, true)}, "TODAY | ALL DONE"},
        {"nothing", {}, "TODAY | ALL DONE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QJsonObject tree = inspectAt(RemindersSingle{items(c.list), ctx}, kSmall);
        EXPECT_EQ(shown(tree), c.shown);
        EXPECT_TRUE(nodesOfKind(tree, "Button").empty());
        // The empty circle stands only above a reminder.
        EXPECT_EQ(nodesOfKind(tree, "Circle").size(), textsOf(tree).size() == 3 ? 1u : 0u);
    }
    // The sample's urgent reminder, whose time gets " · soon" although it is hours away.
    const QJsonObject tree = inspectAt(RemindersSingle{RemindersProvider::sampleSnapshot(), ctx}, kSmall);
    const QStringList sample = textsOf(tree);
    ASSERT_EQ(sample.size(), 3);
    // Wrapped onto its two lines, whole.
    EXPECT_EQ(sample[1].simplified(), "Water the monstera") << sample.join(" | ").toStdString();
    EXPECT_EQ(textNode(tree, sample[1])["lineLimit"].toInt(), 2);
    EXPECT_EQ(textNode(tree, "18:30 · SOON")["foreground"].toString(), pal.accent.hex());
}

// The bar's dots: those of the bar's size only, lit ones in `fill`.
std::pair<int, int> barDots(const QJsonObject& tree, qreal dotSize, const Color& fill)
{
    int all = 0, lit = 0;
    for (const QJsonObject& c : nodesOfKind(tree, "Circle")) {
        if (std::abs(frameOf(c).height() - dotSize) > 1e-6) continue;
        ++all;
        lit += c["fill"].toString() == fill.hex();
    }
    return {all, lit};
}

TEST_F(RemindersViews, TodayListCountsEveryItemButShowsFive)
{
    RemindersSnapshot s = RemindersProvider::sampleSnapshot();
    s.items.push_back(item("6", true));
    s.items.push_back(item("7", false));
    const QJsonObject tree = inspectAt(RemindersToday{s, ctx}, kLarge);
    EXPECT_EQ(idsOf(rowsOf(tree)), (QStringList{"1", "2", "3", "4", "5"}));
    EXPECT_TRUE(textsOf(tree).contains("3 OF 7 DONE"));
    const auto [all, lit] = barDots(tree, 6.7, pal.fill);
    ASSERT_GT(all, 0);
    EXPECT_EQ(lit, int(std::round(all * 3.0 / 7.0)));
    EXPECT_EQ(textNode(tree, "+")["foreground"].toString(), pal.accent.hex());
    EXPECT_EQ(textNode(tree, "TODAY")["tracking"].toDouble(), 1.14);
    for (const Row& r : rowsOf(tree))
        if (!r.tickColor.isEmpty()) {
            EXPECT_EQ(r.tickColor, VelkTokens::ink.hex());
        }

    const QJsonObject sample = inspectAt(RemindersToday{RemindersProvider::sampleSnapshot(), ctx}, kLarge);
    EXPECT_TRUE(textsOf(sample).contains("2 OF 5 DONE"));
    const auto [sampleAll, sampleLit] = barDots(sample, 6.7, pal.fill);
    EXPECT_EQ(sampleLit, int(std::round(sampleAll * 2.0 / 5.0)));

    const QJsonObject empty = inspectAt(RemindersToday{RemindersSnapshot{}, ctx}, kLarge);
    EXPECT_TRUE(rowsOf(empty).empty());
    EXPECT_TRUE(textsOf(empty).contains("0 OF 0 DONE"));
    EXPECT_EQ(barDots(empty, 6.7, pal.fill).second, 0);
}

TEST_F(RemindersViews, DesktopThemesDropTrackingAndTheMonospacedDesign)
{
    const WCtx mac = solidContext("macosdark", 2);
    const RemindersSnapshot s = RemindersProvider::sampleSnapshot();
    for (const QJsonObject& tree :
         {inspectAt(RemindersChecklist{s, mac}, kMedium * 2), inspectAt(RemindersToday{s, mac}, kLarge * 2),
          inspectAt(RemindersNextUp{s, mac}, kSmall * 2), inspectAt(RemindersSingle{s, mac}, kSmall * 2)}) {
        for (const QJsonObject& t : nodesOfKind(tree, "Text")) {
            SCOPED_TRACE(t["text"].toString().toStdString());
            EXPECT_EQ(t["font"].toObject()["design"].toString(), "proportional");
            EXPECT_FALSE(t.contains("tracking"));
        }
    }
    // Numerals are scaled with the unit: the checklist header at 16 × 2.
    EXPECT_EQ(
        textNode(inspectAt(RemindersChecklist{s, mac}, kMedium * 2), "REMINDERS")["font"].toObject()["size"].toDouble(),
        32);
}

} // namespace
