// Once with a real player: mpv with its MPRIS plug-in plays a generated tone; the listener
// stores the track, and the remote's pause (run as the widget host runs it) pauses mpv.
#include "app/services/MusicListener.h"
#include "platform/core/DistributedNotifications.h"
#include "platform/media/PlayerAnswers.h"
#include "shared/data/media/MediaBridge.h"
#include "support/WaitFor.h"

#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

using namespace velk;

namespace {

// Ten minutes of a 440 Hz tone, 8 kHz mono 16-bit PCM.
bool writeTone(const QString& path)
{
    const int rate = 8000, seconds = 600;
    const quint32 samples = quint32(rate * seconds);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    QDataStream out(&f);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + samples * 2);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(rate) << quint32(rate * 2) << quint16(2) << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(samples * 2);
    QByteArray pcm(int(samples * 2), Qt::Uninitialized);
    for (quint32 i = 0; i < samples; ++i) {
        const qint16 v = qint16(8000 * std::sin(2 * M_PI * 440 * i / rate));
        pcm[int(2 * i)] = char(v & 0xff);
        pcm[int(2 * i + 1)] = char((v >> 8) & 0xff);
    }
    out.writeRawData(pcm.constData(), pcm.size());
    return out.status() == QDataStream::Ok;
}

QString mprisPlugin()
{
    for (const char* p : {"/usr/lib/mpv-mpris/mpris.so", "/etc/mpv/scripts/mpris.so"})
        if (QFileInfo::exists(QLatin1String(p))) return QLatin1String(p);
    return {};
}

} // namespace

TEST(MpvSmoke, TheListenerFollowsAndPausesARealPlayer)
{
    const QString mpv = QStandardPaths::findExecutable("mpv");
    if (mpv.isEmpty()) GTEST_SKIP() << "mpv is not installed";
    const QString plugin = mprisPlugin();
    if (plugin.isEmpty()) GTEST_SKIP() << "mpv's MPRIS plug-in (mpv-mpris) is not installed";

    QTemporaryDir dir;
    const QString tone = dir.path() + "/tone.wav";
    ASSERT_TRUE(writeTone(tone));
    QProcess player;
    player.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    player.start(mpv, {"--no-config", "--script=" + plugin, "--ao=null", "--no-video", "--no-terminal",
                       "--force-media-title=VELK Test Tone", tone});
    ASSERT_TRUE(player.waitForStarted());

    MediaBridge::setNowPlaying(std::nullopt);
    MusicListener listener(new MusicPlayer());
    listener.start();
    // mpv announces itself on the bus once its plug-in is loaded, and knows the length a little
    // later; the notices or the polls (as the live-refresh timer makes them) store the track.
    const auto playingWithLength = [] {
        const auto now = MediaBridge::nowPlaying();
        return now && now->isPlaying && now->durationSeconds > 0;
    };
    const bool stored = test::waitFor([&] {
        if (!playingWithLength()) listener.syncFromMusic();
        return playingWithLength();
    });
    if (!stored) {
        player.kill();
        player.waitForFinished();
        FAIL() << "mpv never showed up as a playing MPRIS player";
    }
    EXPECT_EQ(MediaBridge::nowPlaying()->title, QStringLiteral("VELK Test Tone"));
    EXPECT_EQ(MediaBridge::nowPlaying()->durationSeconds, 600);

    // The remote's pause, run by the widget host's command line when it is built, else posted
    // as the host would post it.
    const QString host = qEnvironmentVariable("VELK_BINARY_DIR") + "/src/host/velk-widgets";
    if (QFileInfo(host).isExecutable())
        EXPECT_EQ(QProcess::execute(host, {"run-intent", "MediaCommandIntent", "--param", "command=playpause"}), 0);
    else
        DistributedNotifications().post(MusicListener::kCommandPrefix + "playpause");
    EXPECT_TRUE(test::waitFor([&] {
        MusicPlayer player;
        const ScriptReply status = test::statusOf(player);
        return status.ok() && status.text->startsWith(QStringLiteral("paused"));
    }));
    EXPECT_TRUE(test::waitFor([] { return MediaBridge::nowPlaying() && !MediaBridge::nowPlaying()->isPlaying; }));

    player.terminate();
    if (!player.waitForFinished(5000)) {
        player.kill();
        player.waitForFinished();
    }
}
