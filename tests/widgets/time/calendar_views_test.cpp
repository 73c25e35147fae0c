// The calendar views read through the inspected tree: the date texts in the pinned locale and
// zone, the month's dots, which events show and in which colours, and the day's progress.
#include "widgets/time/CalendarProvider.h"
#include "widgets/time/CalendarViews.h"

#include "fixtures/calendar/CalendarFixtures.h"
#include "platform/core/Clock.h"
#include "platform/core/Locale.h"
#include "platform/core/TimeZone.h"
#include "shared/look/TreeQuery.h"
#include "shared/look/WidgetContext.h"

#include <QJsonArray>
#include <cmath>
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

const QSizeF kSmall(160, 160), kMedium(344, 160), kLarge(344, 344);
// Room enough that no header text is cut short, whatever the locale's words, for tests of what
// the texts say.
const QSizeF kRoomy(720, 344);
// Wednesday 9 December 2026, midday.
const Date kWednesday = utc("2026-12-09T12:00:00");

QString colorOf(const QJsonObject& tree, const QString& text)
{
    return textNode(tree, text)["foreground"].toString();
}

EventItem event(const char* id, bool past = false, bool next = false, std::optional<QString> end = std::nullopt,
                std::optional<QString> detail = std::nullopt)
{
    return EventItem{QString::fromLatin1(id),
                     QStringLiteral("%1:00").arg(id),
                     end,
                     QStringLiteral("Ev %1").arg(id),
                     detail,
                     past,
                     next};
}

CalendarSnapshot events(std::vector<EventItem> list, double progress = 0.5)
{
    return {std::move(list), progress};
}

class CalendarViews : public ::testing::Test {
protected:
    ClockPin pin{kWednesday};
    WCtx ctx = solidContext("teal");
    const WidgetPalette& pal = ctx.pal;
};

TEST_F(CalendarViews, BigDate)
{
    const QJsonObject tree = inspectAt(CalendarBigDate{kWednesday, ctx}, kSmall);
    EXPECT_EQ(shown(tree), "WEDNESDAY | 9 | DECEMBER 2026");
    EXPECT_EQ(colorOf(tree, "WEDNESDAY"), pal.accent.hex());
    EXPECT_EQ(colorOf(tree, "9"), pal.ink.hex());
    EXPECT_EQ(colorOf(tree, "DECEMBER 2026"), pal.inkDim.hex());
    // Black numerals are drawn bold.
    EXPECT_EQ(textNode(tree, "9")["font"].toObject()["weight"].toString(), "bold");
    EXPECT_EQ(shown(inspectAt(CalendarBigDate{utc("2026-12-01T08:00:00"), ctx}, kSmall)),
              "TUESDAY | 1 | DECEMBER 2026");
}

TEST_F(CalendarViews, BigDateAndMonthGridFitTheirPadding)
{
    // Both stacks fill the tile's 120 points: nothing is pushed up past the top padding, so the
    // weekday starts where the month's name does, and the month grid's footer sits below its
    // last row of dots.
    const QJsonObject big = inspectAt(CalendarBigDate{kWednesday, ctx}, kSmall);
    const QJsonObject grid = inspectAt(CalendarMonthGrid{kWednesday, ctx}, kSmall);
    EXPECT_DOUBLE_EQ(frameOf(textNode(big, "WEDNESDAY")).y(), 20);
    EXPECT_DOUBLE_EQ(frameOf(textNode(grid, "DECEMBER")).y(), 20);
    EXPECT_LE(frameOf(textNode(big, "DECEMBER 2026")).bottom(), 140 + 1e-9);
    const QRectF footer = frameOf(textNode(grid, "22 DAYS LEFT"));
    EXPECT_LE(footer.bottom(), 140 + 1e-9);
    qreal dotsBottom = 0;
    for (const QJsonObject& dot : nodesOfKind(grid, "Circle"))
        dotsBottom = std::max(dotsBottom, frameOf(dot).bottom());
    EXPECT_GT(dotsBottom, 100);
    EXPECT_GE(footer.top(), dotsBottom);
}

TEST_F(CalendarViews, DateTextsFollowTheUserLocaleAndZone)
{
    LocalePin locale(QStringLiteral("de_DE"));
    // 23:30 in London is already the next morning in Tokyo.
    TimeZonePin zone(QStringLiteral("Asia/Tokyo"));
    const Date lateEvening = utc("2026-12-09T23:30:00");
    EXPECT_EQ(shown(inspectAt(CalendarBigDate{lateEvening, ctx}, kSmall)), "DONNERSTAG | 10 | DEZEMBER 2026");
    const QStringList agenda = textsOf(inspectAt(CalendarAgenda{lateEvening, CalendarSnapshot{}, ctx}, kRoomy));
    EXPECT_EQ(agenda.value(0), "10. DEZ.");
    EXPECT_EQ(agenda.value(1), "DONNERSTAG");
    EXPECT_TRUE(
        textsOf(inspectAt(CalendarDayEvents{lateEvening, CalendarSnapshot{}, ctx}, kMedium)).value(1).startsWith("DO"));
}

TEST_F(CalendarViews, MonthGridDots)
{
    struct Case {
        const char* date;
        int days;
        const char* header;
        const char* footer;
    };
    const Case cases[] = {
        {"2026-02-01T10:00:00", 28, "FEBRUARY | 1", "27 DAYS LEFT"},
        {"2026-02-28T10:00:00", 28, "FEBRUARY | 28", "0 DAYS LEFT"},
        {"2024-02-29T10:00:00", 29, "FEBRUARY | 29", "0 DAYS LEFT"},
        {"2026-12-09T10:00:00", 31, "DECEMBER | 9", "22 DAYS LEFT"},
        {"2026-12-31T23:59:00", 31, "DECEMBER | 31", "0 DAYS LEFT"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.date);
        const Date date = utc(c.date);
        EXPECT_EQ(CalendarMonthGrid::daysInMonth(date), c.days);
        const QJsonObject tree = inspectAt(CalendarMonthGrid{date, ctx}, kRoomy);
        EXPECT_EQ(shown(tree), std::string(c.header) + " | " + c.footer);
        const int day =
            textNode(tree, QString::fromLatin1(c.header).section(" | ", 1)).value("text").toString().toInt();
        const int rows = (c.days + 6) / 7;
        const auto dots = nodesOfKind(tree, "Circle");
        ASSERT_EQ(int(dots.size()), rows * 7);
        // Day d is dot d - 1 whatever its weekday: earlier days lit, today accented, the
        // rest (and the cells after the month's end) track.
        for (int i = 0; i < rows * 7; ++i) {
            const QString expected = i < day - 1 ? pal.fill.hex() : i == day - 1 ? pal.accent.hex() : pal.track.hex();
            EXPECT_EQ(dots[size_t(i)]["fill"].toString(), expected) << "dot " << i;
        }
        EXPECT_EQ(colorOf(tree, QString::fromLatin1(c.footer)), pal.inkDim.hex());
    }
}

TEST_F(CalendarViews, DayEventsShowsTheNextTwoNotOver)
{
    const std::vector<EventItem> three{event("9", true), event("14", false, true, "14:45"),
                                       event("17", false, false, "17:30")};
    const QJsonObject tree = inspectAt(CalendarDayEvents{kWednesday, events(three), ctx}, kMedium);
    EXPECT_EQ(shown(tree), "9 | WED | 14:00 – 14:45 | Ev 14 | 17:00 – 17:30 | Ev 17");
    EXPECT_EQ(colorOf(tree, "9"), pal.accent.hex());
    EXPECT_EQ(colorOf(tree, "14:00 – 14:45"), pal.accent.hex());
    EXPECT_EQ(colorOf(tree, "17:00 – 17:30"), pal.inkDim.hex());
    EXPECT_EQ(colorOf(tree, "Ev 14"), pal.ink.hex());
    const auto rule = nodesOfKind(tree, "Rectangle");
    ASSERT_EQ(rule.size(), 1u);
    EXPECT_EQ(frameOf(rule[0]).width(), 1);
    EXPECT_EQ(rule[0]["fill"].toString(), pal.hairline.hex());

    // Without an end the start stands alone; no next event leaves every time dim.
    const QJsonObject untimed =
        inspectAt(CalendarDayEvents{kWednesday, events({event("8"), event("9")}), ctx}, kMedium);
    EXPECT_EQ(shown(untimed), "9 | WED | 8:00 | Ev 8 | 9:00 | Ev 9");
    EXPECT_EQ(colorOf(untimed, "8:00"), pal.inkDim.hex());

    for (const CalendarSnapshot& s : {events({event("9", true), event("10", true)}), CalendarSnapshot{}})
        EXPECT_EQ(shown(inspectAt(CalendarDayEvents{kWednesday, s, ctx}, kMedium)), "9 | WED | NO MORE EVENTS TODAY");
}

// The dividers of the agenda list: hairline rectangles one point high.
int dividers(const QJsonObject& tree, const WidgetPalette& pal)
{
    int n = 0;
    for (const QJsonObject& r : nodesOfKind(tree, "Rectangle"))
        n += frameOf(r).height() == 1 && r["fill"].toString() == pal.hairline.hex();
    return n;
}

TEST_F(CalendarViews, AgendaRowsAndDividers)
{
    struct Case {
        int events;
        const char* count;
        int rows, dividers;
    };
    for (const Case& c : {Case{5, "5 EVENTS", 3, 2}, Case{3, "3 EVENTS", 3, 2}, Case{2, "2 EVENTS", 2, 1},
                          Case{1, "1 EVENTS", 1, 0}, Case{0, "0 EVENTS", 0, 0}}) {
        SCOPED_TRACE(c.events);
        std::vector<EventItem> list;
        for (int i = 0; i < c.events; ++i)
            list.push_back(event(QByteArray::number(10 + i).constData()));
        const QJsonObject tree = inspectAt(CalendarAgenda{kWednesday, events(list), ctx}, kLarge);
        const QStringList all = textsOf(tree);
        EXPECT_EQ(all.value(0), "DEC 9");
        EXPECT_EQ(all.value(1), "WEDNESDAY");
        EXPECT_EQ(all.value(2), c.count);
        // Time and title per row, then the progress caption.
        EXPECT_EQ(all.size(), 3 + 2 * c.rows + 1);
        EXPECT_EQ(dividers(tree, pal), c.dividers);
        EXPECT_EQ(all.last(), "DAY 50%");
    }
}

TEST_F(CalendarViews, AgendaPastAndNextColours)
{
    const std::vector<EventItem> list{event("9", true, false, {}, "Done"), event("10", true, true, {}, "Room"),
                                      event("11", false, false, {}, "Hall"), event("12", false, true)};
    const QJsonObject tree = inspectAt(CalendarAgenda{kWednesday, events(list), ctx}, kLarge);
    EXPECT_EQ(colorOf(tree, "9:00"), pal.inkFaint.hex());
    EXPECT_EQ(colorOf(tree, "10:00"), pal.accent.hex());
    EXPECT_EQ(colorOf(tree, "11:00"), pal.inkDim.hex());
    for (const char* past : {"Ev 9", "Ev 10"}) {
        EXPECT_EQ(colorOf(tree, past), pal.inkFaint.hex());
        EXPECT_TRUE(hasFlag(textNode(tree, past), "strikethrough"));
    }
    EXPECT_EQ(colorOf(tree, "Ev 11"), pal.ink.hex());
    EXPECT_FALSE(hasFlag(textNode(tree, "Ev 11"), "strikethrough"));
    EXPECT_EQ(colorOf(tree, "DONE"), pal.inkFaint.opacity(0.7).hex());
    EXPECT_EQ(colorOf(tree, "ROOM"), pal.inkFaint.opacity(0.7).hex());
    EXPECT_EQ(colorOf(tree, "HALL"), pal.inkDim.hex());
    // Only three rows: the fourth event is not drawn.
    EXPECT_FALSE(textsOf(tree).contains("12:00"));
}

TEST_F(CalendarViews, AgendaDayProgress)
{
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    struct Case {
        double progress;
        const char* caption;
        double lit; // share of the bar's dots lit
    };
    // Values outside 0...1 (or not numbers at all) come from a corrupt or foreign stored copy:
    // they are drawn kept to the range instead of overflowing the percentage.
    for (const Case& c :
         {Case{0.68, "DAY 68%", 0.68}, Case{0.999, "DAY 99%", 0.999}, Case{0, "DAY 0%", 0}, Case{1, "DAY 100%", 1},
          Case{nan, "DAY 0%", 0}, Case{inf, "DAY 0%", 0}, Case{-inf, "DAY 0%", 0}, Case{-0.4, "DAY 0%", 0},
          Case{7.5, "DAY 100%", 1}, Case{1e300, "DAY 100%", 1}}) {
        SCOPED_TRACE(c.progress);
        const QJsonObject tree = inspectAt(CalendarAgenda{kWednesday, events({}, c.progress), ctx}, kLarge);
        EXPECT_EQ(textsOf(tree).last(), c.caption);
        int all = 0, lit = 0;
        for (const QJsonObject& dot : nodesOfKind(tree, "Circle")) {
            ++all;
            lit += dot["fill"].toString() == pal.fill.hex();
        }
        ASSERT_GT(all, 10);
        EXPECT_EQ(lit, int(std::round(all * c.lit)));
        // The caption keeps its ideal width; the bar takes the rest.
        const QJsonObject caption = textNode(tree, c.caption);
        EXPECT_EQ(caption["lineLimit"].toInt(), 1);
        EXPECT_FALSE(hasFlag(caption, "truncated"));
    }
}

TEST_F(CalendarViews, DesktopThemesSetTitlesProportionalAndHeaderUntracked)
{
    const CalendarSnapshot s = CalendarProvider::sampleSnapshot();
    struct Case {
        const char* theme;
        const char* design;
        double tracking;
    };
    for (const Case& c : {Case{"teal", "monospaced", 1.14 * 2}, Case{"macoslight", "proportional", 0}}) {
        SCOPED_TRACE(c.theme);
        const WCtx themed = solidContext(c.theme, 2);
        const QJsonObject agenda = inspectAt(CalendarAgenda{kWednesday, s, themed}, kLarge * 2);
        EXPECT_DOUBLE_EQ(textNode(agenda, "DEC 9")["tracking"].toDouble(0), c.tracking);
        const QJsonObject days = inspectAt(CalendarDayEvents{kWednesday, s, themed}, kMedium * 2);
        for (const QJsonObject& tree : {agenda, days}) {
            const QJsonObject font = textNode(tree, textsOf(tree).filter("Design review").value(0))["font"].toObject();
            EXPECT_EQ(font["design"].toString(), c.design);
            EXPECT_EQ(font["size"].toDouble(), 25);
            EXPECT_EQ(font["weight"].toString(), "medium");
        }
    }
}

} // namespace
