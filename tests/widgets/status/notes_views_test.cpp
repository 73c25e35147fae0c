// The notes views read through the inspected tree: empty states, which notes show where, their
// colours, dates and line limits, and the inverted card.
#include "widgets/status/notes/NotesViews.h"

#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "platform/core/Locale.h"
#include "shared/data/clock/ClockFormat.h"
#include "shared/look/TreeQuery.h"
#include "shared/look/WidgetContext.h"
#include "support/UtcDate.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace velk;
using namespace velk::testing;
using velk::test::utc;

namespace {

const QSizeF kSmall(160, 160), kMedium(344, 160);
const Date kNow = utc("2026-12-09T16:00:00");

QString colorOf(const QJsonObject& tree, const QString& text)
{
    return textNode(tree, text)["foreground"].toString();
}

NoteItem note(const QString& text, Date edited, bool pinned = false)
{
    return NoteItem{text, edited, pinned};
}

// `count` notes, "n1" the newest, an hour apart.
std::vector<NoteItem> notes(int count, std::initializer_list<int> pinned = {})
{
    std::vector<NoteItem> out;
    for (int i = 1; i <= count; ++i)
        out.push_back(note(QStringLiteral("n%1").arg(i), kNow.addingSeconds(-3600.0 * i),
                           std::find(pinned.begin(), pinned.end(), i) != pinned.end()));
    return out;
}

class NotesViews : public ::testing::Test {
protected:
    void SetUp() override { Defaults::shared().setInteger(ClockFormat::kTimeFormatKey, 12); }
    void TearDown() override { Defaults::shared().remove(ClockFormat::kTimeFormatKey); }

    ClockPin pin{kNow};
    WCtx ctx = solidContext("amber");
    const WidgetPalette& pal = ctx.pal;
};

TEST_F(NotesViews, QuickNoteWithAndWithoutANote)
{
    const QJsonObject empty = inspectAt(NotesQuickNote{std::nullopt, ctx}, kMedium);
    EXPECT_EQ(shown(empty), "QUICK NOTE | + | Tap + to jot something down.");
    EXPECT_EQ(colorOf(empty, "Tap + to jot something down."), pal.inkDim.hex());
    EXPECT_EQ(colorOf(empty, "+"), pal.accent.hex());

    const NoteItem edited = note(QStringLiteral("Call the plumber"), utc("2026-12-09T14:05:00"));
    EXPECT_EQ(shown(inspectAt(NotesQuickNote{edited, ctx}, kMedium)),
              "QUICK NOTE | + | Call the plumber | EDITED 2:05");
    Defaults::shared().setInteger(ClockFormat::kTimeFormatKey, 24);
    const QJsonObject tree = inspectAt(NotesQuickNote{edited, ctx}, kMedium);
    EXPECT_EQ(textsOf(tree).last(), "EDITED 14:05");
    EXPECT_EQ(colorOf(tree, "Call the plumber"), pal.ink.opacity(0.92).hex());
    // The card takes the height between the header and the caption.
    const auto cards = nodesOfKind(tree, "RoundedRectangle");
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(cards[0]["fill"].toString(), pal.chip.hex());
    EXPECT_LT(frameOf(cards[0]).bottom(), frameOf(textNode(tree, "EDITED 14:05")).top());
    EXPECT_GT(frameOf(cards[0]).height(), 50);
}

TEST_F(NotesViews, SingleNoteAndItsDate)
{
    const QJsonObject empty = inspectAt(NotesSingle{std::nullopt, ctx}, kSmall);
    EXPECT_EQ(shown(empty), "NOTE | No notes yet.");
    EXPECT_EQ(colorOf(empty, "No notes yet."), pal.inkDim.hex());

    EXPECT_EQ(shown(inspectAt(NotesSingle{note("Buy milk", utc("2026-12-09T09:30:00")), ctx}, kSmall)),
              "NOTE | Buy milk | TODAY 9:30");
    EXPECT_EQ(shown(inspectAt(NotesSingle{note("Buy milk", utc("2026-03-04T09:30:00")), ctx}, kSmall)),
              "NOTE | Buy milk | MAR 4");
    {
        LocalePin german{QStringLiteral("de_DE")};
        EXPECT_EQ(NotesSingle::relative(utc("2026-03-04T09:30:00")), "März 4");
    }
    // A long note keeps to four lines.
    const QJsonObject tall = inspectAt(
        NotesSingle{note("one two three four five six seven eight nine ten eleven twelve thirteen fourteen", kNow),
                    ctx},
        kSmall);
    const QJsonObject text = nodesOfKind(tall, "Text").at(1);
    EXPECT_EQ(text["lineLimit"].toInt(), 4);
    EXPECT_TRUE(hasFlag(text, "truncated")) << shown(tall);
}

TEST_F(NotesViews, ASixLineNoteShowsFourLinesInEveryDesign)
{
    // Four lines of the note, the caption above and the date below fill the tile's padded
    // height in the monospaced design as in the proportional one.
    for (const char* theme : {"amber", "macdark"}) {
        SCOPED_TRACE(theme);
        const WCtx themed = solidContext(theme);
        auto noteText = [&](const QString& text) {
            const QJsonObject tree = inspectAt(NotesSingle{note(text, kNow), themed}, kSmall);
            EXPECT_EQ(textsOutside(tree, QRectF(22, 20, 116, 120)), std::vector<std::string>{}) << shown(tree);
            return nodesOfKind(tree, "Text").at(1);
        };
        const QJsonObject four = noteText("one\ntwo\nthree\nfour");
        const QJsonObject six = noteText("one\ntwo\nthree\nfour\nfive\nsix");
        EXPECT_FALSE(hasFlag(four, "truncated"));
        EXPECT_TRUE(hasFlag(six, "truncated"));
        EXPECT_EQ(textOf(six).count(u'\n'), 3) << textOf(six).toStdString();
        EXPECT_DOUBLE_EQ(frameOf(six).height(), frameOf(four).height());
    }
}

TEST_F(NotesViews, ListCountsAllAndShowsTheFirstThree)
{
    const QJsonObject five = inspectAt(NotesList{notes(5), ctx}, kSmall);
    EXPECT_EQ(shown(five), "NOTES | 5 | n1 | n2 | n3 | ALL NOTES \u2192");
    EXPECT_EQ(colorOf(five, "n1"), pal.ink.hex());
    EXPECT_EQ(colorOf(five, "n2"), pal.inkDim.hex());
    EXPECT_EQ(colorOf(five, "n3"), pal.inkDim.hex());
    const auto dots = nodesOfKind(five, "Circle");
    ASSERT_EQ(dots.size(), 3u);
    EXPECT_EQ(dots[0]["fill"].toString(), pal.accent.hex());
    EXPECT_EQ(dots[1]["fill"].toString(), pal.inkFaint.hex());

    const QJsonObject none = inspectAt(NotesList{{}, ctx}, kSmall);
    EXPECT_EQ(shown(none), "NOTES | 0 | ALL NOTES \u2192");
    EXPECT_TRUE(nodesOfKind(none, "Circle").empty());
}

TEST_F(NotesViews, PinnedCardsChooseThePinnedNotes)
{
    struct Case {
        const char* what;
        std::vector<NoteItem> list;
        QString texts;
    };
    const Case cases[] = {
        {"three pinned: the two latest", notes(5, {2, 3, 5}), "PINNED | n2 | DEC 9 | n3 | DEC 9"},
        {"one pinned, alone", notes(3, {3}), "PINNED | n3 | DEC 9"},
        {"none pinned: the two latest", notes(3), "NOTES | n1 | DEC 9 | n2 | DEC 9"},
        {"no notes", {}, "NOTES | ADD A NOTE IN VELK"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QString::fromStdString(shown(inspectAt(NotesPinned{c.list, ctx}, kMedium))), c.texts) << c.what;

    // One card takes the whole row; two share it, the second inverted.
    const auto one = nodesOfKind(inspectAt(NotesPinned{notes(3, {3}), ctx}, kMedium), "RoundedRectangle");
    ASSERT_EQ(one.size(), 1u);
    EXPECT_NEAR(frameOf(one[0]).width(), 344 - 48, 0.5);
    EXPECT_EQ(one[0]["fill"].toString(), pal.chip.hex());
    const auto two = nodesOfKind(inspectAt(NotesPinned{notes(3), ctx}, kMedium), "RoundedRectangle");
    ASSERT_EQ(two.size(), 2u);
    EXPECT_NEAR(frameOf(two[0]).width(), frameOf(two[1]).width(), 0.5);
}

TEST_F(NotesViews, TheInvertedCardIsDarkInEveryTheme)
{
    for (const char* theme : {"paper", "macoslight", "teal"}) {
        SCOPED_TRACE(theme);
        const WCtx c = solidContext(theme, 1, false);
        const QJsonObject tree = inspectAt(NotesPinned{notes(2), c}, kMedium);
        const auto cards = nodesOfKind(tree, "RoundedRectangle");
        ASSERT_EQ(cards.size(), 2u);
        EXPECT_EQ(cards[0]["fill"].toString(), c.pal.chip.hex());
        EXPECT_EQ(cards[1]["fill"].toString(), Color::rgb255(17, 17, 17).hex());
        EXPECT_EQ(colorOf(tree, "n1"), c.pal.ink.hex());
        EXPECT_EQ(colorOf(tree, "n2"), Color::rgb255(245, 245, 245).hex());
        const auto dates = nodesOfKind(tree, "Text");
        EXPECT_EQ(dates.back()["foreground"].toString(), Color::rgb255(95, 95, 95).hex());
    }
}

} // namespace
