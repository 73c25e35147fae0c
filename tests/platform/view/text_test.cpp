// Text measuring: wrapping, line limits with tail truncation, shrink-to-fit, tracking,
// baselines and timer texts against a pinned clock.
#include "platform/core/Clock.h"
#include "platform/view/Fonts.h"
#include "platform/view/Layout.h"
#include "platform/view/TextLayout.h"
#include <QJsonArray>
#include <gtest/gtest.h>

using namespace velk;
using namespace velk::view;

namespace {

const Font kFont = Font::system(20, Weight::medium);

qreal advance(const QString& s, const Font& f = kFont, qreal tracking = 0)
{
    return fontEntry(f, tracking).advance(s);
}
qreal lineHeight(const Font& f = kFont)
{
    return fontEntry(f).lineHeight();
}

QJsonObject textJson(const LaidOutTree& t)
{
    QJsonObject o = inspect(t);
    while (o["kind"].toString() != "Text" && o["kind"].toString() != "TimerText")
        o = o["children"].toArray()[0].toObject();
    return o;
}

TEST(Text, IdealSizeIsOneLineOfItsAdvance)
{
    const LaidOutTree t = layout(Text("Reminders").font(kFont), {500, 500});
    EXPECT_NEAR(t.root().frame.width(), advance("Reminders"), 1e-6);
    EXPECT_NEAR(t.root().frame.height(), lineHeight(), 1e-6);
    const QJsonObject o = textJson(t);
    EXPECT_EQ(o["text"].toString(), "Reminders");
    EXPECT_EQ(o["font"].toObject()["family"].toString(), "Inter");
    EXPECT_EQ(o["font"].toObject()["weight"].toString(), "medium");
    EXPECT_EQ(o["font"].toObject()["size"].toDouble(), 20);
    EXPECT_EQ(o["foreground"].toString(), "#000000");
}

TEST(Text, WrapsAtWordsWhenNarrow)
{
    const QString s = "alpha beta gamma";
    const qreal w = advance("alpha beta") + 1;
    const LaidOutTree t = layout(Text(s).font(kFont), {w, 500});
    EXPECT_EQ(t.root().lines, QStringList({"alpha beta", "gamma"}));
    EXPECT_NEAR(t.root().frame.height(), 2 * lineHeight(), 1e-6);
    EXPECT_LE(t.root().frame.width(), w);
}

TEST(Text, LineLimitTruncatesTheTail)
{
    const QString s = "alpha beta gamma delta";
    const qreal w = advance("alpha beta") + 1;
    const LaidOutTree one = layout(Text(s).font(kFont).lineLimit(1), {w, 500});
    ASSERT_EQ(one.root().lines.size(), 1);
    EXPECT_TRUE(one.root().lines[0].endsWith(QChar(0x2026)));
    EXPECT_LE(advance(one.root().lines[0]), w);
    EXPECT_TRUE(textJson(one)["flags"].toArray().contains("truncated"));

    // Two lines with line spacing: the second line carries the cut rest.
    const LaidOutTree two = layout(Text(s).font(kFont).lineLimit(2).lineSpacing(5), {w, 500});
    ASSERT_EQ(two.root().lines.size(), 2);
    EXPECT_EQ(two.root().lines[0], "alpha beta");
    EXPECT_TRUE(two.root().lines[1].startsWith("gamma"));
    EXPECT_TRUE(two.root().lines[1].endsWith(QChar(0x2026)));
    EXPECT_NEAR(two.root().frame.height(), 2 * lineHeight() + 5, 1e-6);
}

TEST(Text, ShrinksToFitBeforeTruncating)
{
    const QString s = "25:00";
    const qreal ideal = advance(s);
    // 80% of the width fits at a smaller size (glyph advances do not scale exactly), uncut.
    const LaidOutTree fits = layout(Text(s).font(kFont).lineLimit(1).minimumScaleFactor(0.5), {ideal * 0.8, 100});
    EXPECT_EQ(fits.root().lines, QStringList{s});
    EXPECT_LT(fits.root().fontScale, 0.9);
    EXPECT_GE(fits.root().fontScale, 0.7);
    EXPECT_LE(fits.root().frame.width(), ideal * 0.8 + 0.01);
    EXPECT_NEAR(textJson(fits)["font"].toObject()["size"].toDouble(), 20 * fits.root().fontScale, 0.001);

    // Too narrow even at the minimum scale: smallest size, then cut.
    const LaidOutTree cut = layout(Text(s).font(kFont).lineLimit(1).minimumScaleFactor(0.5), {ideal * 0.3, 100});
    EXPECT_DOUBLE_EQ(cut.root().fontScale, 0.5);
    EXPECT_TRUE(cut.root().lines[0].endsWith(QChar(0x2026)));

    // Without a scale factor the text is cut at full size.
    const LaidOutTree plain = layout(Text(s).font(kFont).lineLimit(1), {ideal * 0.8, 100});
    EXPECT_DOUBLE_EQ(plain.root().fontScale, 1);
    EXPECT_TRUE(plain.root().lines[0].endsWith(QChar(0x2026)));
}

TEST(Text, FixedSizeKeepsIdealWidth)
{
    const LaidOutTree t = layout(Text("long caption text").font(kFont).fixedSize(), {20, 100});
    EXPECT_NEAR(t.root().frame.width(), advance("long caption text"), 1e-6);
    EXPECT_EQ(t.root().children[0].lines.size(), 1);
}

TEST(Text, TrackingWidensEveryCharacter)
{
    const LaidOutTree t = layout(Text("ABC").font(kFont).tracking(2), {500, 100});
    EXPECT_NEAR(t.root().frame.width(), advance("ABC") + 3 * 2, 0.01);
    EXPECT_EQ(textJson(t)["tracking"].toDouble(), 2);
}

TEST(Text, MonospacedDigitsShareOneWidth)
{
    const Font f = Font::system(20).monospacedDigits();
    EXPECT_NEAR(advance("111", f), advance("000", f), 1e-6);
    const Font mono = Font::system(20, Weight::black, Design::monospaced);
    EXPECT_NEAR(advance("11:11", mono), advance("00:00", mono), 1e-6);
    EXPECT_EQ(familyFor(Design::monospaced), "JetBrains Mono");
}

TEST(Text, StyleIsInheritedAndInnermostWins)
{
    const View v = VStack({Text("a"), Text("b").foregroundColor(Color::rgb255(255, 0, 0))})
                       .font(Font::system(11, Weight::semibold, Design::monospaced))
                       .foregroundColor(Color::rgb255(0, 255, 0))
                       .strikethrough(true, Color::rgb255(0, 0, 255));
    const QJsonObject root = inspect(layout(v, {100, 100}));
    // style modifiers fold into the layout; the stack is the root
    const QJsonArray kids = root["children"].toArray();
    EXPECT_EQ(kids[0].toObject()["foreground"].toString(), "#00FF00");
    EXPECT_EQ(kids[1].toObject()["foreground"].toString(), "#FF0000");
    EXPECT_EQ(kids[0].toObject()["font"].toObject()["design"].toString(), "monospaced");
    EXPECT_EQ(kids[0].toObject()["font"].toObject()["size"].toDouble(), 11);
    EXPECT_TRUE(kids[1].toObject()["flags"].toArray().contains("strikethrough"));
    EXPECT_EQ(kids[1].toObject()["strikethroughColor"].toString(), "#0000FF");
}

TEST(Text, FirstAndLastBaselineAlignment)
{
    const Font big = Font::system(30), small = Font::system(10);
    const LaidOutTree first =
        layout(HStack(VAlign::firstTextBaseline, 0, {Text("A").font(big), Text("a").font(small)}), {500, 500});
    EXPECT_NEAR(first.root().children[1].frame.y(), fontEntry(big).ascent() - fontEntry(small).ascent(), 1e-6);
    EXPECT_DOUBLE_EQ(first.root().children[0].frame.y(), 0);

    // Last baseline: a two-line text beside a one-line one.
    const LaidOutTree last =
        layout(HStack(VAlign::lastTextBaseline, 0, {Text("A\nB").font(small), Text("a").font(small)}), {500, 500});
    EXPECT_NEAR(last.root().children[1].frame.y(), fontEntry(small).lineHeight(), 1e-6);
}

TEST(Text, TimerTextReadsTheClock)
{
    const Date now(700000000);
    ClockPin pin(now);
    struct Case {
        Date from, to;
        bool down, hours;
        const char* shown;
    };
    const Case cases[] = {
        {now, now.addingSeconds(932.4), true, false, "15:33"},
        {now.addingSeconds(-3725), Date(1e10), false, true, "1:02:05"},
        {now.addingSeconds(-5400), Date(1e10), false, false, "90:00"},
        {now.addingSeconds(-60), now.addingSeconds(-1), true, false, "0:00"},  // past its end
        {now.addingSeconds(10), now.addingSeconds(100), false, false, "0:00"}, // not started
    };
    for (const Case& c : cases) {
        const LaidOutTree t = layout(TimerText(c.from, c.to, c.down, c.hours).font(kFont), {500, 100});
        EXPECT_EQ(textJson(t)["text"].toString(), c.shown);
        EXPECT_TRUE(textJson(t)["flags"].toArray().contains("updatesEverySecond"));
        EXPECT_TRUE(updatesEverySecond(t));
    }
    EXPECT_FALSE(updatesEverySecond(layout(Text("x"), {10, 10})));
}

// Lines are remembered per text, font and offer: asked back to back, offers and parameters that
// differ in one thing each still get their own answer.
TEST(Text, EachDifferenceInTheAskGetsItsOwnLines)
{
    const QString text = QStringLiteral("Water the plants by the window before the trip");
    const qreal narrow = advance("Water the plants") + 1;
    TextParams wraps;
    wraps.font = kFont;
    TextParams oneLine = wraps;
    oneLine.lineLimit = 1;
    TextParams shrinks = oneLine;
    shrinks.minimumScaleFactor = 0.5;
    TextParams bold = wraps;
    bold.font = kFont.withWeight(Weight::bold);
    TextParams tracked = wraps;
    tracked.tracking = 2;
    struct Ask {
        const TextParams* params;
        std::optional<qreal> width, height;
    };
    const Ask asks[] = {{&wraps, narrow, {}},   {&wraps, {}, {}},          {&wraps, narrow, 2 * lineHeight() + 1},
                        {&oneLine, narrow, {}}, {&shrinks, narrow, {}},    {&bold, narrow, {}},
                        {&tracked, narrow, {}}, {&wraps, narrow * 1.5, {}}};
    std::vector<TextLines> answers;
    for (const Ask& a : asks)
        answers.push_back(layoutText(text, *a.params, a.width, a.height));
    for (size_t i = 0; i < answers.size(); ++i)
        for (size_t j = i + 1; j < answers.size(); ++j)
            EXPECT_FALSE(answers[i].lines == answers[j].lines && answers[i].size == answers[j].size &&
                         answers[i].scale == answers[j].scale)
                << "asks " << i << " and " << j;
    // And the same ask again gets the same lines.
    const TextLines again = layoutText(text, shrinks, narrow, {});
    EXPECT_EQ(again.lines, answers[4].lines);
    EXPECT_EQ(again.scale, answers[4].scale);
}

} // namespace
