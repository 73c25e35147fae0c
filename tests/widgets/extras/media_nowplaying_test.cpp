// The now-playing timeline (playing, paused, no length) and the now-playing and remote faces.
#include "widgets/extras/media/MediaViews.h"
#include "widgets/extras/media/MediaWidgets.h"
#include "widgets/extras/media/NowPlayingProvider.h"

#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "shared/data/media/MediaBridge.h"
#include "shared/look/TreeQuery.h"
#include "shared/look/WidgetContext.h"
#include "support/UtcDate.h"

#include <QJsonArray>
#include <gtest/gtest.h>

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
using velk::testing::textsOutside;

namespace {

const QSizeF kSmall(160, 160), kMedium(344, 160);
const Date kNow = utc("2026-07-15T10:00:00");

NowPlayingSnapshot track(qint64 position, qint64 duration, bool playing, Date updated = kNow)
{
    return NowPlayingSnapshot{"Song", "Artist", position, duration, playing, updated};
}

std::vector<qint64> positions(const std::vector<NowPlayingProvider::Entry>& entries)
{
    std::vector<qint64> out;
    for (const auto& e : entries)
        out.push_back(e.data->positionSeconds);
    return out;
}

class NowPlaying : public ::testing::Test {
protected:
    ClockPin pin{kNow};
    WCtx ctx = solidContext("macdark");
    const WidgetPalette& pal = ctx.pal;
    void TearDown() override { MediaBridge::setNowPlaying(std::nullopt); }
};

TEST_F(NowPlaying, PlayingAdvancesEveryFifteenSecondsToTheEnd)
{
    const auto entries =
        NowPlayingProvider::liveEntries(track(100, 245, true, kNow.addingSeconds(-5.7)), kNow, SurfaceOption::solid);
    EXPECT_EQ(positions(entries), (std::vector<qint64>{105, 120, 135, 150, 165, 180, 195, 210, 225, 240, 245}));
    EXPECT_EQ(entries.back().date, kNow.addingSeconds(150));
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].surface, SurfaceOption::solid);
        // Each copy is dated where its position is true, so the live bar starts where the track
        // did (the stored start, to the whole second) and never counts the elapsed time twice.
        EXPECT_EQ(entries[i].data->updated, entries[i].date);
        if (i + 1 < entries.size()) {
            EXPECT_EQ(entries[i].data->updated.addingSeconds(-double(entries[i].data->positionSeconds)),
                      kNow.addingSeconds(-105));
        }
    }

    const auto long_ = NowPlayingProvider::liveEntries(track(10, 3600, true), kNow, SurfaceOption::followApp);
    ASSERT_EQ(long_.size(), 20u);
    EXPECT_EQ(long_.front().data->positionSeconds, 10);
    EXPECT_EQ(long_.front().data->updated, kNow) << "not advanced, so left as stored";
    EXPECT_EQ(long_.back().data->positionSeconds, 295);
    EXPECT_EQ(long_.back().date, kNow.addingSeconds(285));

    // Already at or past its end, or updated in the future: one entry at the end, or nothing added.
    EXPECT_EQ(positions(NowPlayingProvider::liveEntries(track(300, 245, true), kNow, {})), std::vector<qint64>{245});
    EXPECT_EQ(positions(NowPlayingProvider::liveEntries(track(10, 20, true, kNow.addingSeconds(60)), kNow, {})),
              (std::vector<qint64>{10, 20}));
    // The live bar runs from `updated - positionSeconds`, the track's start as the text gives it:
    // with an `updated` ahead of now (a clock set back) no time has passed, and the first
    // entry's bar starts 1:40 before it, not empty until the future.
    for (const double ahead : {60.0, 0.5}) {
        const auto entries =
            NowPlayingProvider::liveEntries(track(100, 245, true, kNow.addingSeconds(ahead)), kNow, {});
        ASSERT_FALSE(entries.empty());
        EXPECT_EQ(entries[0].data->positionSeconds, 100) << ahead;
        EXPECT_EQ(entries[0].data->updated, kNow) << ahead;
    }
    // A length the sums would overflow.
    const auto huge =
        NowPlayingProvider::liveEntries(track(0, std::numeric_limits<qint64>::max(), true, Date(-1e300)), kNow, {});
    EXPECT_EQ(positions(huge), std::vector<qint64>{std::numeric_limits<qint64>::max()});
}

TEST_F(NowPlaying, TimelineWhilePlayingPausedAndWithNoLength)
{
    const NowPlayingProvider provider;
    struct Case {
        const char* name;
        std::optional<NowPlayingSnapshot> stored;
        size_t entries;
    };
    for (const Case& c :
         {Case{"nothing stored", std::nullopt, 1}, Case{"paused", track(100, 245, false, kNow.addingSeconds(-60)), 1},
          Case{"no length", track(100, 0, true, kNow.addingSeconds(-60)), 1},
          Case{"playing", track(100, 245, true, kNow.addingSeconds(-5.7)), 11}}) {
        SCOPED_TRACE(c.name);
        MediaBridge::setNowPlaying(c.stored);
        const auto t = provider.timeline({}, {});
        ASSERT_EQ(t.entries.size(), c.entries);
        if (c.entries == 1) {
            EXPECT_EQ(t.entries[0].data, c.stored) << "shown as stored";
        }
        EXPECT_EQ(t.policy.date(), kNow.addingSeconds(120));
    }
    // Previews show the sample; a placed widget's snapshot what is stored, not advanced.
    EXPECT_EQ(provider.snapshot({}, {.isPreview = true}).data, NowPlayingSnapshot::sample());
    EXPECT_EQ(provider.snapshot({}, {}).data, track(100, 245, true, kNow.addingSeconds(-5.7)));
    Defaults::shared().setData(MediaBridge::kNowPlayingKey, "{broken");
    EXPECT_EQ(provider.timeline({}, {}).entries.at(0).data, std::nullopt);
}

TEST_F(NowPlaying, SubtitleAndTimes)
{
    EXPECT_EQ(NowPlayingView::subtitle(track(192, 245, true)), "Artist \u00B7 3:12 / 4:05");
    EXPECT_EQ(NowPlayingView::subtitle(track(0, 245, true)), "Artist \u00B7 4:05");
    EXPECT_EQ(NowPlayingView::subtitle(track(3725, 4000, true)), "Artist \u00B7 62:05 / 66:40");
    EXPECT_EQ(NowPlayingView::subtitle(track(30, 0, true)), "Artist \u00B7 0:30 / 0:00");
    // A negative length or position never prints as "0:-5".
    EXPECT_EQ(NowPlayingView::subtitle(track(0, -5, false)), "Artist \u00B7 0:00");
    EXPECT_EQ(NowPlayingView::minutesAndSeconds(-65), "0:00");
    EXPECT_EQ(NowPlayingView::subtitle(std::nullopt), "Play something in your player");
}

TEST_F(NowPlaying, ViewPlayingPausedAndEmpty)
{
    // Playing: the bar runs by itself, the middle button shows pause, the level bars are lit.
    const QJsonObject playing = inspectAt(NowPlayingView{track(192, 245, true), ctx}, kMedium);
    EXPECT_EQ(shown(playing), "NOW PLAYING | Song | ARTIST \u00B7 3:12 / 4:05");
    ASSERT_EQ(nodesOfKind(playing, "TimerProgress").size(), 1u);
    EXPECT_EQ(nodesOfKind(playing, "TimerProgress")[0]["foreground"].toString(), pal.accent.hex());
    EXPECT_TRUE(nodesOfKind(playing, "opacity").empty());
    std::vector<QString> symbols;
    for (const QJsonObject& i : nodesOfKind(playing, "Image"))
        symbols.push_back(i["symbol"].toString());
    EXPECT_EQ(symbols, (std::vector<QString>{"backward.fill", "pause.fill", "forward.fill"}));
    const auto buttons = nodesOfKind(playing, "Button");
    ASSERT_EQ(buttons.size(), 3u);
    EXPECT_EQ(buttons[1]["action"].toObject()["parameters"].toObject()["command"].toString(), "playpause");
    EXPECT_EQ(frameOf(buttons[1]).size(), QSizeF(32, 32));

    // Paused: a static bar at its position, dimmed level bars, the play symbol.
    const QJsonObject paused = inspectAt(NowPlayingView{track(100, 400, false), ctx}, kMedium);
    EXPECT_TRUE(nodesOfKind(paused, "TimerProgress").empty());
    const auto bars = nodesOfKind(paused, "Capsule");
    ASSERT_EQ(bars.size(), 2u);
    EXPECT_DOUBLE_EQ(frameOf(bars[1]).width(), frameOf(bars[0]).width() * 0.25);
    EXPECT_EQ(nodesOfKind(paused, "opacity").at(0)["opacity"].toDouble(), 0.35);
    EXPECT_EQ(nodesOfKind(paused, "Image")[1]["symbol"].toString(), "play.fill");

    // No length while playing, a position past the end, and nothing at all: a static bar,
    // never wider than its track, at least a 4u stub.
    struct Case {
        std::optional<NowPlayingSnapshot> data;
        double share;
    };
    for (const Case& c : {Case{track(30, 0, true), 0}, Case{track(500, 245, false), 1}, Case{std::nullopt, 0}}) {
        const auto capsules = nodesOfKind(inspectAt(NowPlayingView{c.data, ctx}, kMedium), "Capsule");
        ASSERT_EQ(capsules.size(), 2u);
        EXPECT_DOUBLE_EQ(frameOf(capsules[1]).width(), std::max(4.0, frameOf(capsules[0]).width() * c.share));
    }
    const QJsonObject empty = inspectAt(NowPlayingView{std::nullopt, ctx}, kMedium);
    EXPECT_EQ(shown(empty), "NOW PLAYING | Nothing playing | PLAY SOMETHING IN YOUR PLAYER");
    EXPECT_EQ(textNode(empty, "Nothing playing")["foreground"].toString(), pal.inkDim.hex());
    EXPECT_TRUE(nodesOfKind(empty, "opacity").empty());
}

TEST_F(NowPlaying, TheSampleSubtitleAndTheRemoteKeepToTheirPadding)
{
    for (const char* theme : {"amber", "macdark"}) {
        SCOPED_TRACE(theme);
        const WCtx themed = solidContext(theme);
        // The sample's subtitle is shown whole beside the buttons, at most a little smaller.
        const QJsonObject playing = inspectAt(NowPlayingView{NowPlayingSnapshot::sample(), themed}, kMedium);
        const QJsonObject subtitle = textNode(playing, "THE LAMPLIGHTERS \u00B7 3:12 / 4:05");
        EXPECT_FALSE(hasFlag(subtitle, "truncated"));
        EXPECT_GE(subtitle["fontScale"].toDouble(1), 0.85);
        EXPECT_LE(frameOf(subtitle).right(), frameOf(nodesOfKind(playing, "Button").at(0)).left() - 10);
        // The remote's caption stays on its padding although its buttons are wider than the
        // room between the paddings; the buttons stay centred.
        const QJsonObject remote = inspectAt(RemoteView{false, themed}, kSmall);
        EXPECT_DOUBLE_EQ(frameOf(textNode(remote, "REMOTE")).x(), 22);
        const auto buttons = nodesOfKind(remote, "Button");
        ASSERT_EQ(buttons.size(), 3u);
        EXPECT_NEAR(frameOf(buttons[1]).center().x(), 80, 1e-9);
    }
}

TEST_F(NowPlaying, RemoteFollowsTheStoredPlayer)
{
    const timeline::WidgetDefinition remote = RemoteWidget{}.body();
    const auto middleSymbol = [&] {
        const timeline::AnyTimeline t = remote.provider().timeline({}, {});
        return nodesOfKind(inspectAt(remote.render(t.entries.at(0)), kSmall), "Image").at(1)["symbol"].toString();
    };
    EXPECT_EQ(middleSymbol(), "play.fill");
    MediaBridge::setNowPlaying(track(10, 200, true));
    EXPECT_EQ(middleSymbol(), "pause.fill");
    MediaBridge::setNowPlaying(track(10, 200, false));
    EXPECT_EQ(middleSymbol(), "play.fill");

    const auto buttons = nodesOfKind(inspectAt(RemoteView{true, ctx}, kSmall), "Button");
    ASSERT_EQ(buttons.size(), 3u);
    EXPECT_EQ(frameOf(buttons[0]).size(), QSizeF(30, 30));
    EXPECT_EQ(frameOf(buttons[1]).size(), QSizeF(38, 38));
    // Any other command word draws as play/pause.
    EXPECT_EQ(MediaButton::symbolName("shuffle", true), "pause.fill");
}

} // namespace
