// The MPRIS side of the music listener: which player is followed, the status reply it gives,
// the commands, and the change notices.
#include "platform/media/FakeMprisPlayer.h"
#include "support/WaitFor.h"
#include "platform/media/MusicPlayer.h"

#include <gtest/gtest.h>

#include <limits>

using velk::MusicPlayer;
using velk::test::FakeMprisPlayer;
using velk::test::trackMetadata;
using velk::test::waitFor;

namespace {

// The fake players answer from their own thread, which a loaded machine may keep waiting longer
// than the product's short wait: these tests wait for the answers as long as it takes.
constexpr int kPatientMs = 60000;

// Records every playerInfo() of a player.
struct InfoSpy {
    QList<QVariantMap> infos;
    explicit InfoSpy(MusicPlayer* player)
    {
        QObject::connect(player, &MusicPlayer::playerInfo, player, [this](const QVariantMap& m) { infos << m; });
    }
    qsizetype count() const { return infos.size(); }
    QString lastState() const { return infos.isEmpty() ? QString() : infos.last().value("Player State").toString(); }
};

QString reply(std::initializer_list<QString> fields)
{
    return QStringList(fields).join(MusicPlayer::kSeparator);
}

} // namespace

TEST(MusicPlayerTime, MicrosecondsBecomeSecondsAndUnusableValuesZero)
{
    const struct {
        QVariant value;
        QString expected;
    } cases[] = {
        {QVariant(qlonglong(83'500'000)), QStringLiteral("83.500")},
        {QVariant(qulonglong(245'000'000)), QStringLiteral("245.000")},
        {QVariant(qlonglong(-2'000'000)), QStringLiteral("-2.000")},
        {QVariant(1.5e6), QStringLiteral("1.500")},
        {QVariant(std::numeric_limits<double>::infinity()), QStringLiteral("0")},
        {QVariant(-std::numeric_limits<double>::infinity()), QStringLiteral("0")},
        {QVariant(std::numeric_limits<double>::quiet_NaN()), QStringLiteral("0")},
        {QVariant(1e30), QStringLiteral("0")},
        {QVariant(QStringLiteral("12")), QStringLiteral("0")},
        {QVariant(), QStringLiteral("0")},
    };
    for (const auto& c : cases) EXPECT_EQ(MusicPlayer::secondsText(c.value), c.expected) << c.value.toString().toStdString();
}

TEST(MusicPlayerBus, WithoutAPlayerEveryAnswerSaysSo)
{
    MusicPlayer player;
    EXPECT_FALSE(player.isRunning());
    EXPECT_EQ(player.status().error, QStringLiteral("no player"));
    EXPECT_FALSE(player.command(QStringLiteral("playpause")).ok());
    EXPECT_FALSE(player.position().ok());
}

TEST(MusicPlayerBus, WithoutABusNothingBlocks)
{
    MusicPlayer player(QDBusConnection(QStringLiteral("no-such-connection")));
    EXPECT_FALSE(player.isRunning());
    EXPECT_FALSE(player.status().ok());
}

TEST(MusicPlayerBus, StatusReplyOfAPlayingAndAStoppedPlayer)
{
    FakeMprisPlayer fake(QStringLiteral("one"));
    fake.setMetadata(trackMetadata(QStringLiteral("Song"), QStringLiteral("Band"), qlonglong(245'200'000)), false);
    fake.setPosition(qlonglong(83'500'000));
    fake.setState(QStringLiteral("Playing"), false);

    MusicPlayer player(QDBusConnection::sessionBus(), nullptr, kPatientMs);
    ASSERT_TRUE(player.isRunning());
    EXPECT_EQ(player.status().text, reply({"playing", "83.500", "245.200", "Song", "Band"}));
    EXPECT_EQ(player.position().text, QStringLiteral("83.500"));

    fake.setPosition(std::numeric_limits<double>::infinity());
    fake.setState(QStringLiteral("Paused"), false);
    EXPECT_EQ(player.status().text, reply({"paused", "0", "245.200", "Song", "Band"}));

    fake.setState(QStringLiteral("Stopped"), false);
    EXPECT_EQ(player.status().text, QStringLiteral("stopped"));
}

TEST(MusicPlayerBus, CommandsBecomeMprisCalls)
{
    FakeMprisPlayer fake(QStringLiteral("cmd"));
    fake.setState(QStringLiteral("Playing"), false);
    MusicPlayer player(QDBusConnection::sessionBus(), nullptr, kPatientMs);
    EXPECT_TRUE(player.command(QStringLiteral("playpause")).ok());
    EXPECT_TRUE(player.command(QStringLiteral("next track")).ok());
    EXPECT_TRUE(player.command(QStringLiteral("previous track")).ok());
    EXPECT_FALSE(player.command(QStringLiteral("eject")).ok());
    EXPECT_EQ(fake.calls(), (QStringList{"PlayPause", "Next", "Previous"}));
}

TEST(MusicPlayerBus, FollowsAPlayingPlayerFirstThenTheOneUsedLast)
{
    MusicPlayer player(QDBusConnection::sessionBus(), nullptr, kPatientMs);
    FakeMprisPlayer a(QStringLiteral("a"));
    FakeMprisPlayer b(QStringLiteral("b"));
    a.setState(QStringLiteral("Paused"), false);
    b.setState(QStringLiteral("Playing"), false);
    EXPECT_EQ(player.followedPlayer(), b.serviceName());

    // Both paused: the one that changed last is followed.
    b.setState(QStringLiteral("Paused"));
    ASSERT_TRUE(waitFor([&] { return player.followedPlayer() == b.serviceName(); }));
    a.setMetadata(trackMetadata(QStringLiteral("Other"), QStringLiteral("X"), {}));
    EXPECT_TRUE(waitFor([&] { return player.followedPlayer() == a.serviceName(); }));

    // Play on b wins over a's later use.
    b.setState(QStringLiteral("Playing"), false);
    EXPECT_EQ(player.followedPlayer(), b.serviceName());
}

TEST(MusicPlayerBus, ChangesOfStateOrTrackBecomePlayerInfo)
{
    MusicPlayer player(QDBusConnection::sessionBus(), nullptr, kPatientMs);
    InfoSpy spy(&player);
    FakeMprisPlayer fake(QStringLiteral("info"));
    fake.setMetadata(trackMetadata(QStringLiteral("Song"), QStringLiteral("Band"), qlonglong(200'500'000)), false);
    fake.setState(QStringLiteral("Playing"));
    ASSERT_TRUE(waitFor([&] { return spy.count() >= 1; }));
    const QVariantMap info = spy.infos.first();
    EXPECT_EQ(info.value("Player State").toString(), QStringLiteral("Playing"));
    EXPECT_EQ(info.value("Name").toString(), QStringLiteral("Song"));
    EXPECT_EQ(info.value("Artist").toString(), QStringLiteral("Band"));
    EXPECT_EQ(info.value("Total Time").toLongLong(), 200500);

    // A volume change is not news for the widgets.
    spy.infos.clear();
    fake.announceVolume();
    fake.setState(QStringLiteral("Paused"));
    ASSERT_TRUE(waitFor([&] { return spy.count() >= 1; }));
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.lastState(), QStringLiteral("Paused"));
}

TEST(MusicPlayerBus, TheFollowedPlayerQuittingIsAStop)
{
    MusicPlayer player(QDBusConnection::sessionBus(), nullptr, kPatientMs);
    InfoSpy spy(&player);
    {
        FakeMprisPlayer fake(QStringLiteral("quits"));
        fake.setState(QStringLiteral("Playing"));
        ASSERT_TRUE(waitFor([&] { return spy.count() >= 1; }));
    }
    ASSERT_TRUE(waitFor([&] {
        return spy.lastState() == u"Stopped";
    }));
    EXPECT_FALSE(player.isRunning());
}
