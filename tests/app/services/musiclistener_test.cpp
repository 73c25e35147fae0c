// The music listener against a fake MPRIS player on the test's bus: the status poll and its
// change rule, player notices, commands and their log lines.
#include "ServiceTestSupport.h"
#include "app/services/MusicListener.h"
#include "platform/core/Clock.h"
#include "platform/core/DistributedNotifications.h"
#include "platform/media/FakeMprisPlayer.h"
#include "platform/timeline/WidgetCenter.h"
#include "shared/data/media/MediaBridge.h"
#include "support/WaitFor.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <limits>

using namespace velk;
using velk::test::FakeMprisPlayer;
using velk::test::trackMetadata;
using velk::test::waitFor;

namespace {

const QStringList kKinds{"velk.nowplaying", "velk.remote"};
Date at(double seconds)
{
    return Date::fromUnix(1796904000 + seconds);
}

class MusicListenerTest : public ::testing::Test {
protected:
    void SetUp() override { MediaBridge::setNowPlaying(std::nullopt); }
    // The fake players answer from their own thread: on a loaded machine that may take longer
    // than the product's short wait, so the tests wait as long as it takes.
    MusicListener listener{new MusicPlayer(QDBusConnection::sessionBus(), nullptr, 60000)};
    timeline::WidgetCenterRecorder reloads;

    // A poll, waited for until the player's answer is applied.
    void sync()
    {
        listener.syncFromMusic();
        ASSERT_TRUE(waitFor([&] { return !listener.isSyncing(); }));
    }
    void notice(const QVariantMap& userInfo)
    {
        listener.handlePlayerInfo(userInfo);
        ASSERT_TRUE(waitFor([&] { return !listener.isHandlingNotice(); }));
    }
};

} // namespace

TEST(MusicListenerParsing, PositionsAndLengths)
{
    const struct {
        const char* field;
        std::optional<qint64> expected;
    } cases[] = {
        {"83,5", 83},
        {"245.2", 245},
        {"-0.9", 0},
        {"1e3", 1000},
        {".5", 0},
        {"7", 7},
        {"abc", std::nullopt},
        {"12abc", std::nullopt},
        {" 12", std::nullopt},
        {"", std::nullopt},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
        {"1e19", std::nullopt},
        {"-1e19", std::nullopt},
        {"9223372036854775807", std::nullopt}, // rounds to 2^63 as a double
        {"9.2e18", 9200000000000000000LL},
        {"0x10", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MusicListener::parseSeconds(c.field), c.expected) << c.field;
    EXPECT_EQ(MusicListener::parseSeconds("1,5", false), std::nullopt);
}

TEST(MusicListenerParsing, RepliesSplitIntoFiveFields)
{
    const QChar s = MusicPlayer::kSeparator;
    const struct {
        QStringList sent;
        QStringList fields;
    } cases[] = {
        {{"playing", "1", "2", "T", "A"}, {"playing", "1", "2", "T", "A"}},
        // The fifth field keeps further separators.
        {{"playing", "1", "2", "T", "A", "B"}, {"playing", "1", "2", "T", QString("A") + s + "B"}},
        // A stream with a title and no artist, a clip with an artist and no title.
        {{"playing", "1", "2", "T", ""}, {"playing", "1", "2", "T", ""}},
        {{"playing", "1", "2", "", "A"}, {"playing", "1", "2", "", "A"}},
        {{"", "", "playing", "1", "2", "T", "A"}, {"", "", "playing", "1", QString("2") + s + "T" + s + "A"}},
        {{"stopped"}, {"stopped"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MusicListener::splitReply(c.sent.join(s)), c.fields) << c.sent.join('|').toStdString();
}

TEST_F(MusicListenerTest, APollStoresThePlayerAndReloadsOnlyOnChange)
{
    FakeMprisPlayer fake(QStringLiteral("poll"));
    fake.setMetadata(trackMetadata("Song", "Band", qlonglong(245'200'000)), false);
    fake.setPosition(qlonglong(60'000'000));
    fake.setState("Playing", false);

    ClockPin pin(at(0));
    sync();
    std::optional<NowPlayingSnapshot> stored = MediaBridge::nowPlaying();
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->title, QStringLiteral("Song"));
    EXPECT_EQ(stored->positionSeconds, 60);
    EXPECT_EQ(stored->durationSeconds, 245);
    EXPECT_TRUE(stored->isPlaying);
    EXPECT_EQ(reloads.kinds(), kKinds);

    // Ten seconds on, 73 is within 3 s of the expected 70: stored, no reload; 74 reloads.
    reloads.clear();
    Clock::pin(at(10));
    fake.setPosition(qlonglong(73'000'000));
    sync();
    EXPECT_EQ(MediaBridge::nowPlaying()->positionSeconds, 73);
    EXPECT_TRUE(reloads.kinds().isEmpty());
    Clock::pin(at(20)); // expected 83
    fake.setPosition(qlonglong(87'000'000));
    sync();
    EXPECT_EQ(reloads.kinds(), kKinds);

    // A paused snapshot expects no progress; a changed state always reloads.
    reloads.clear();
    fake.setState("Paused", false);
    sync();
    EXPECT_EQ(reloads.kinds(), kKinds);
    reloads.clear();
    Clock::pin(at(100));
    sync();
    EXPECT_TRUE(reloads.kinds().isEmpty());

    // Stopped: removed and reloaded once; again: nothing.
    fake.setState("Stopped", false);
    sync();
    sync();
    EXPECT_FALSE(MediaBridge::nowPlaying());
    EXPECT_EQ(reloads.kinds(), kKinds);
}

TEST_F(MusicListenerTest, UnusableTimesAndEmptyFields)
{
    FakeMprisPlayer fake(QStringLiteral("odd"));
    fake.setMetadata(trackMetadata("Song", "Band", std::numeric_limits<double>::quiet_NaN()), false);
    fake.setPosition(std::numeric_limits<double>::infinity());
    fake.setState("Playing", false);
    sync();
    ASSERT_TRUE(MediaBridge::nowPlaying());
    EXPECT_EQ(MediaBridge::nowPlaying()->positionSeconds, 0);
    EXPECT_EQ(MediaBridge::nowPlaying()->durationSeconds, 0);
}

TEST_F(MusicListenerTest, ATrackWithoutArtistOrTitleIsShown)
{
    FakeMprisPlayer fake(QStringLiteral("stream"));
    fake.setState("Playing", false);
    const struct {
        const char* title;
        const char* artist;
    } cases[] = {{"Morning Radio", ""}, {"", "Street Band"}};
    for (const auto& c : cases) {
        fake.setMetadata(trackMetadata(c.title, c.artist, qlonglong(1'000'000)), false);
        sync();
        ASSERT_TRUE(MediaBridge::nowPlaying()) << c.title << c.artist;
        EXPECT_EQ(MediaBridge::nowPlaying()->title, QString(c.title));
        EXPECT_EQ(MediaBridge::nowPlaying()->artist, QString(c.artist));
        EXPECT_TRUE(MediaBridge::nowPlaying()->isPlaying);
    }
}

TEST_F(MusicListenerTest, PollsAskedForDuringOneRunOnceAfterIt)
{
    FakeMprisPlayer fake(QStringLiteral("slow"));
    fake.setMetadata(trackMetadata("Song", "Band", qlonglong(1'000'000)), false);
    fake.setState("Playing", false);
    int finished = 0;
    QObject::connect(&listener, &MusicListener::synced, &listener, [&] { ++finished; });

    fake.freeze();
    for (int i = 0; i < 100; ++i)
        listener.syncFromMusic(); // the live-refresh ticks of a long wait
    bool turned = false;
    QTimer::singleShot(0, [&] { turned = true; });
    ASSERT_TRUE(waitFor([&] { return turned; }));
    EXPECT_EQ(finished, 0);
    EXPECT_TRUE(listener.isSyncing());

    fake.thaw();
    ASSERT_TRUE(waitFor([&] { return !listener.isSyncing(); }));
    EXPECT_EQ(finished, 2);
    ASSERT_TRUE(MediaBridge::nowPlaying());
    EXPECT_EQ(MediaBridge::nowPlaying()->title, QStringLiteral("Song"));
}

TEST_F(MusicListenerTest, NoPlayerRemovesTheSnapshotOnce)
{
    MediaBridge::setNowPlaying(NowPlayingSnapshot{"Old", "Band", 1, 2, true, at(0)});
    sync();
    sync();
    EXPECT_FALSE(MediaBridge::nowPlaying());
    EXPECT_EQ(reloads.kinds(), kKinds);
}

TEST_F(MusicListenerTest, PlayerNotices)
{
    FakeMprisPlayer fake(QStringLiteral("notice"));
    fake.setPosition(qlonglong(12'000'000));
    notice({{"Player State", "Paused"}, {"Total Time", 999}, {"Name", "T"}});
    ASSERT_TRUE(MediaBridge::nowPlaying());
    EXPECT_FALSE(MediaBridge::nowPlaying()->isPlaying);
    EXPECT_EQ(MediaBridge::nowPlaying()->durationSeconds, 0);
    EXPECT_EQ(MediaBridge::nowPlaying()->positionSeconds, 12);
    EXPECT_EQ(MediaBridge::nowPlaying()->artist, QString());

    notice({{"Player State", "Playing"}, {"Total Time", qlonglong(245'900)}, {"Name", 5}});
    EXPECT_TRUE(MediaBridge::nowPlaying()->isPlaying);
    EXPECT_EQ(MediaBridge::nowPlaying()->durationSeconds, 245);
    EXPECT_EQ(MediaBridge::nowPlaying()->title, QStringLiteral("Unknown"));

    notice({});
    EXPECT_FALSE(MediaBridge::nowPlaying());
    EXPECT_EQ(reloads.kinds(), kKinds + kKinds + kKinds);
}

TEST_F(MusicListenerTest, ThePlayersOwnChangesReachTheStore)
{
    listener.start();
    FakeMprisPlayer fake(QStringLiteral("live"));
    fake.setMetadata(trackMetadata("Live Song", "Live Band", qlonglong(100'000'000)), false);
    fake.setState("Playing");
    ASSERT_TRUE(waitFor([] { return MediaBridge::nowPlaying() && MediaBridge::nowPlaying()->title == u"Live Song"; }));
    EXPECT_EQ(MediaBridge::nowPlaying()->durationSeconds, 100);
}

TEST_F(MusicListenerTest, CommandsFromTheWidgetsReachThePlayerOnce)
{
    velk::test::MediaLogCapture log;
    FakeMprisPlayer fake(QStringLiteral("remote"));
    fake.setMetadata(trackMetadata("Song", "Band", qlonglong(1'000'000)), false);
    fake.setState("Playing", false);
    listener.start();
    listener.start(); // registers nothing more
    DistributedNotifications().post(MusicListener::kCommandPrefix + "next");
    DistributedNotifications().post(MusicListener::kCommandPrefix + "playpause");
    ASSERT_TRUE(waitFor([&] {
        return log.lines().contains("applescript ok: next track") && log.lines().contains("applescript ok: playpause");
    }));
    // The follow-up poll stores what the player does now.
    ASSERT_TRUE(waitFor([] { return MediaBridge::nowPlaying().has_value(); }));
    EXPECT_EQ(fake.calls(), (QStringList{"Next", "PlayPause"}));
    EXPECT_EQ(log.lines().count("MusicListener started, observers registered"), 1);
    EXPECT_TRUE(log.lines().contains("media command received: next"));
    EXPECT_TRUE(log.lines().contains("applescript ok: next track"));
    EXPECT_TRUE(log.lines().contains("applescript ok: playpause"));
}

TEST_F(MusicListenerTest, ACommandWithNoPlayerIsLoggedAsAFailure)
{
    velk::test::MediaLogCapture log;
    listener.run("previous");
    ASSERT_TRUE(waitFor([&] { return log.lines().contains("applescript failed: no player"); }));
    EXPECT_FALSE(log.lines().contains("applescript ok: previous track"));
}
