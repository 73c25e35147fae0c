// The daily quote and the inbox: the quotation's lines and author, and the inbox never
// connected, connected with mail and disconnected.
#include "widgets/extras/info/QuoteInboxViews.h"
#include "widgets/extras/info/QuoteInboxWidgets.h"

#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "shared/data/media/MediaBridge.h"
#include "shared/data/sky/QuoteProvider.h"
#include "shared/look/WidgetContext.h"
#include "support/UtcDate.h"
#include "system_support.h"

#include <gtest/gtest.h>

using namespace velk;
using velk::test::utc;
using velk::testing::colorOf;
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
// Wide enough that no line of the inbox is cut short, for tests of what the texts say.
const QSizeF kWide(480, 160);
const Date kNow = utc("2026-03-14T09:30:00");
const QString kDash = QStringLiteral("\u2014");
const QString kConnect = QStringLiteral("CONNECT MAILDIR IN VELK SETTINGS");

class InfoWidgets : public ::testing::Test {
protected:
    void TearDown() override { Defaults::shared().remove(MediaBridge::kInboxKey); }
    static void store(const InboxSnapshot& s) { Defaults::shared().setData(MediaBridge::kInboxKey, *encodeJson(s)); }
    // What a placed inbox widget shows from the stored value.
    static QJsonObject placedInbox()
    {
        const timeline::WidgetDefinition w = InboxWidget{}.body();
        const auto t = w.provider().timeline(w.configuration(), {w.family(), kSmall, false});
        EXPECT_EQ(t.entries.size(), 1u);
        return inspectAt(w.render(t.entries.at(0)), kWide);
    }
    ClockPin pin{kNow};
    WCtx ctx = solidContext("green");
    const WidgetPalette& pal = ctx.pal;
};

// The texts with wrapped lines joined again.
QStringList flat(const QJsonObject& tree)
{
    return textsOf(tree).replaceInStrings("\n", " ");
}

// The header dot: the first Circle of the view.
QString dotColour(const QJsonObject& tree)
{
    return nodesOfKind(tree, "Circle").at(0)["fill"].toString();
}

TEST_F(InfoWidgets, AgeText)
{
    struct Case {
        double secondsAgo;
        const char* text;
    };
    for (const Case& c : {Case{30, "0 min ago"}, Case{-600, "0 min ago"}, Case{120, "2 min ago"},
                          Case{3599, "59 min ago"}, Case{3600, "1h ago"}, Case{119 * 60, "1h ago"},
                          Case{25 * 3600, "25h ago"}, Case{48 * 3600, "48h ago"}, Case{1e30, "150000000000000h ago"}})
        EXPECT_EQ(InboxView::ago(kNow.addingSeconds(-c.secondsAgo), kNow), c.text) << c.secondsAgo;
    EXPECT_EQ(InboxView::ago(std::nullopt, kNow), "");
}

TEST_F(InfoWidgets, InboxNeverConnected)
{
    // Nothing stored: the timeline carries no snapshot, not the sample.
    const QJsonObject tree = placedInbox();
    EXPECT_EQ(flat(tree), (QStringList{"INBOX", kDash, kConnect}));
    const QJsonObject direct = inspectAt(InboxView{std::nullopt, ctx}, kSmall);
    EXPECT_EQ(dotColour(direct), pal.inkFaint.hex());
    const QJsonObject prompt = nodesOfKind(direct, "Text").back();
    EXPECT_EQ(prompt["foreground"].toString(), pal.inkDim.hex());
    // In the widget's own width the request keeps to one line, set smaller rather than cut
    // short, so it still says where to go.
    EXPECT_EQ(textsOf(direct).back(), kConnect);
    EXPECT_FALSE(hasFlag(prompt, "truncated"));
    EXPECT_LT(prompt["fontScale"].toDouble(1), 1);
    // A stored value that does not decode reads the same.
    Defaults::shared().setData(MediaBridge::kInboxKey, "{\"unread\": \"many\"}");
    EXPECT_EQ(flat(placedInbox()), (QStringList{"INBOX", kDash, kConnect}));
}

TEST_F(InfoWidgets, InboxConnectedWithMail)
{
    store(InboxSnapshot{3, QStringLiteral("Maya: press kit final review"), kNow.addingSeconds(-120), true, kNow});
    const QJsonObject tree = placedInbox();
    EXPECT_EQ(flat(tree), (QStringList{"INBOX", "3", "Maya: press kit final review", "2 MIN AGO"}));
    EXPECT_EQ(textNode(tree, "Maya: press kit final review")["lineLimit"].toInt(), 1);

    const QJsonObject lit = inspectAt(InboxView{InboxSnapshot{3, std::nullopt, std::nullopt, true, kNow}, ctx}, kSmall);
    EXPECT_EQ(dotColour(lit), pal.accent.hex());
    // No preview reads "No unread mail"; no date leaves the age caption empty but in place.
    EXPECT_EQ(flat(lit), (QStringList{"INBOX", "3", "No unread mail", ""}));

    const QJsonObject none = inspectAt(InboxView{InboxSnapshot{0, std::nullopt, kNow, true, kNow}, ctx}, kSmall);
    EXPECT_EQ(dotColour(none), pal.inkFaint.hex());
    EXPECT_EQ(flat(none), (QStringList{"INBOX", "0", "No unread mail", "0 MIN AGO"}));

    // A damaged count never reads below none.
    const QJsonObject negative = inspectAt(InboxView{InboxSnapshot{-4, std::nullopt, kNow, true, kNow}, ctx}, kSmall);
    EXPECT_EQ(flat(negative).value(1), "0");
    EXPECT_EQ(dotColour(negative), pal.inkFaint.hex());
}

TEST_F(InfoWidgets, InboxDisconnectedKeepsItsCount)
{
    store(InboxSnapshot{5, QStringLiteral("Old news"), kNow.addingSeconds(-7200), false, kNow});
    EXPECT_EQ(flat(placedInbox()), (QStringList{"INBOX", "5", kConnect}));
    const QJsonObject tree =
        inspectAt(InboxView{InboxSnapshot{5, std::nullopt, std::nullopt, false, kNow}, ctx}, kSmall);
    EXPECT_EQ(dotColour(tree), pal.accent.hex());
}

TEST_F(InfoWidgets, InboxFitsItsPaddingInEveryState)
{
    // The count's 64-point numeral leaves little room: in each state the caption starts at the
    // top padding and the bottom lines end above the bottom one.
    const QRectF padded(22, 20, 116, 120);
    const std::optional<InboxSnapshot> states[] = {
        std::nullopt,
        InboxSnapshot{5, std::nullopt, std::nullopt, false, kNow},
        InboxSnapshot{3, QStringLiteral("Maya: press kit final review"), kNow.addingSeconds(-120), true, kNow},
    };
    for (const std::optional<InboxSnapshot>& state : states) {
        const QJsonObject tree = inspectAt(InboxView{state, ctx}, kSmall);
        EXPECT_EQ(textsOutside(tree, padded), std::vector<std::string>{}) << shown(tree);
        EXPECT_DOUBLE_EQ(frameOf(textNode(tree, "INBOX")).y(), 20) << shown(tree);
    }
}

TEST_F(InfoWidgets, QuoteOfTheDay)
{
    const timeline::WidgetDefinition w = QuoteWidget{}.body();
    const auto t = w.provider().timeline(w.configuration(), {w.family(), kMedium, false});
    const QuoteItem today = QuoteProvider::today(kNow);
    const QJsonObject tree = inspectAt(w.render(t.entries.at(0)), kMedium);
    EXPECT_EQ(flat(tree), (QStringList{"\u201C", today.text, today.author.toUpper() + " \u00B7 DAILY"}));

    const QString longText = QStringLiteral("A line that goes on and on about nothing in particular ").repeated(6);
    const QJsonObject quote = inspectAt(QuoteView{QuoteItem{longText, QString()}, ctx}, kMedium);
    const QJsonObject body = nodesOfKind(quote, "Text").at(1);
    EXPECT_EQ(body["lineLimit"].toInt(), 3);
    EXPECT_EQ(textsOf(quote).value(1).count('\n'), 2);
    EXPECT_TRUE(textsOf(quote).value(1).endsWith(QStringLiteral("\u2026")));
    EXPECT_EQ(flat(quote).value(2), " \u00B7 DAILY");
    EXPECT_EQ(colorOf(quote, "\u201C"), pal.accent.hex());
}

} // namespace
