// The MPRIS side of the music listener: which player is followed, the status reply it gives,
// the commands, and the change notices.
#include "platform/media/FakeMprisPlayer.h"
#include "platform/media/MusicPlayer.h"
#include "platform/media/PlayerAnswers.h"
#include "support/WaitFor.h"

#include <gtest/gtest.h>

#include <limits>

using velk::MusicPlayer;
using velk::test::commandOf;
using velk::test::FakeMprisPlayer;
using velk::test::followedOf;
using velk::test::positionOf;
using velk::test::statusOf;
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

// Counts the players' change notices on the session bus, as the player object sees them.
class NoticeCounter : public QObject {
    Q_OBJECT
public:
    int count = 0;
    NoticeCounter()
    {
        QDBusConnection::sessionBus().connect(QString(), MusicPlayer::kPath,
                                              QStringLiteral("org.freedesktop.DBus.Properties"),
                                              QStringLiteral("PropertiesChanged"), this, SLOT(heard()));
    }
public slots:
    void heard() { ++count; }
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
    for (const auto& c : cases)
        EXPECT_EQ(MusicPlayer::secondsText(c.value), c.expected) << c.value.toString().toStdString();
}

TEST(MusicPlayerBus, WithoutAPlayerEveryAnswerSaysSo)
{
    MusicPlayer player;
    EXPECT_FALSE(followedOf(player));
    EXPECT_EQ(statusOf(player).error, QStringLiteral("no player"));
    EXPECT_EQ(commandOf(player, QStringLiteral("playpause")).error, QStringLiteral("no player"));
    EXPECT_EQ(positionOf(player).error, QStringLiteral("no player"));
}

TEST(MusicPlayerBus, WithoutABusNothingBlocks)
{
    MusicPlayer player(QDBusConnection(QStringLiteral("no-such-connection")));
    EXPECT_FALSE(followedOf(player));
    EXPECT_EQ(statusOf(player).error, QStringLiteral("no player"));
}

TEST(MusicPlayerBus, StatusReplyOfAPlayingAndAStoppedPlayer)
{
    FakeMprisPlayer fake(QStringLiteral("one"));
    fake.setMetadata(trackMetadata(QStringLiteral("Song"), QStringLiteral("Band"), qlonglong(245'200'000)), false);
    fake.setPosition(qlonglong(83'500'000));
    fake.setState(QStringLiteral("Playing"), false);

    MusicPlayer player(QDBusConnection::sessionBus(), nullptr, kPatientMs);
    ASSERT_EQ(followedOf(player), fake.serviceName());
    EXPECT_EQ(statusOf(player).text, reply({"playing", "83.500", "245.200", "Song", "Band"}));
    EXPECT_EQ(positionOf(player).text, QStringLiteral("83.500"));

    fake.setPosition(std::numeric_limits<double>::infinity());
    fake.setState(QStringLiteral("Paused"), false);
    EXPECT_EQ(statusOf(player).text, reply({"paused", "0", "245.200", "Song", "Band"}));

    // A stream has a title and no artist; the fields stay in their places.
    fake.setMetadata(trackMetadata(QStringLiteral("Radio"), QString(), {}), false);
    EXPECT_EQ(statusOf(player).text, reply({"paused", "0", "0", "Radio", ""}));

    fake.setState(QStringLiteral("Stopped"), false);
    EXPECT_EQ(statusOf(player).text, QStringLiteral("stopped"));
}

TEST(MusicPlayerBus, CommandsBecomeMprisCalls)
{
    FakeMprisPlayer fake(QStringLiteral("cmd"));
    fake.setState(QStringLiteral("Playing"), false);
    MusicPlayer player(QDBusConnection::sessionBus(), nullptr, kPatientMs);
    EXPECT_TRUE(commandOf(player, QStringLiteral("playpause")).ok());
    EXPECT_TRUE(commandOf(player, QStringLiteral("next track")).ok());
    EXPECT_TRUE(commandOf(player, QStringLiteral("previous track")).ok());
    EXPECT_EQ(commandOf(player, QStringLiteral("eject")).error, QStringLiteral("unknown command eject"));
    EXPECT_EQ(fake.calls(), (QStringList{"PlayPause", "Next", "Previous"}));
}

TEST(MusicPlayerBus, FollowsAPlayingPlayerFirstThenTheOneUsedLast)
{
    MusicPlayer player(QDBusConnection::sessionBus(), nullptr, kPatientMs);
    FakeMprisPlayer a(QStringLiteral("a"));
    FakeMprisPlayer b(QStringLiteral("b"));
    a.setState(QStringLiteral("Paused"), false);
    b.setState(QStringLiteral("Playing"), false);
    EXPECT_EQ(followedOf(player), b.serviceName());

    // Both paused: the one that changed last is followed.
    b.setState(QStringLiteral("Paused"));
    ASSERT_TRUE(waitFor([&] { return followedOf(player) == b.serviceName(); }));
    a.setMetadata(trackMetadata(QStringLiteral("Other"), QStringLiteral("X"), {}));
    EXPECT_TRUE(waitFor([&] { return followedOf(player) == a.serviceName(); }));

    // Play on b wins over a's later use.
    b.setState(QStringLiteral("Playing"), false);
    EXPECT_EQ(followedOf(player), b.serviceName());
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
    ASSERT_TRUE(waitFor([&] { return spy.lastState() == u"Stopped"; }));
    EXPECT_FALSE(followedOf(player));
}

TEST(MusicPlayerBus, ASilentPlayerFloodingNoticesHoldsNothingUp)
{
    MusicPlayer player(QDBusConnection::sessionBus(), nullptr, kPatientMs);
    InfoSpy spy(&player);
    FakeMprisPlayer fake(QStringLiteral("flood"));
    fake.setMetadata(trackMetadata(QStringLiteral("Song"), QStringLiteral("Band"), qlonglong(1'000'000)), false);
    fake.setState(QStringLiteral("Playing"), false);

    // The player stops answering while its notices keep coming. The test hears them on the same
    // connection, so once it has heard all fifty the player object has been handed them too.
    NoticeCounter heard;
    fake.freeze();
    for (int i = 0; i < 50; ++i)
        fake.setState(i % 2 ? QStringLiteral("Playing") : QStringLiteral("Paused"));
    ASSERT_TRUE(waitFor([&] { return heard.count == 50; }));
    EXPECT_EQ(spy.count(), 0); // still waiting for the silent player, without holding the loop

    // Once it answers, the notices that came meanwhile make one read, not fifty.
    fake.thaw();
    fake.setMetadata(trackMetadata(QStringLiteral("Last"), QStringLiteral("Band"), qlonglong(1'000'000)));
    ASSERT_TRUE(waitFor([&] { return !spy.infos.isEmpty() && spy.infos.last().value("Name").toString() == u"Last"; }));
    EXPECT_LE(spy.count(), 3);
}

#include "musicplayer_test.moc"
