#include "shared/data/media/MediaBridge.h"

#include "platform/core/Defaults.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace velk;

namespace {

class MediaBridgeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Defaults::shared().remove(MediaBridge::kNowPlayingKey);
        Defaults::shared().remove(MediaBridge::kInboxKey);
    }
};

const NowPlayingSnapshot kSong{"Song", "Band", 192, 245, true, Date(762'000'000.125)};

} // namespace

TEST_F(MediaBridgeTest, NowPlayingIsStoredWholeAndRemovedByNothing)
{
    EXPECT_FALSE(MediaBridge::nowPlaying());
    MediaBridge::setNowPlaying(kSong);
    EXPECT_EQ(MediaBridge::nowPlaying(), kSong); // the fraction of a second survives

    MediaBridge::setNowPlaying(std::nullopt);
    EXPECT_FALSE(Defaults::shared().contains(MediaBridge::kNowPlayingKey));
    EXPECT_FALSE(MediaBridge::nowPlaying());
    MediaBridge::setNowPlaying(std::nullopt);
    EXPECT_FALSE(Defaults::shared().contains(MediaBridge::kNowPlayingKey));

    // A snapshot that cannot be stored ends the old one too.
    MediaBridge::setNowPlaying(kSong);
    NowPlayingSnapshot broken = kSong;
    broken.updated = Date(std::nan(""));
    MediaBridge::setNowPlaying(broken);
    EXPECT_FALSE(Defaults::shared().contains(MediaBridge::kNowPlayingKey));
}

TEST_F(MediaBridgeTest, DocumentsThatDoNotDecodeReadAsNothingAndStay)
{
    struct Case {
        const QString& key;
        QByteArray data;
        bool decodes;
    };
    for (
        const Case& c : {
            Case{MediaBridge::kNowPlayingKey, "not json", false},
            Case{
                MediaBridge::kNowPlayingKey,
                R"({"title":"a","artist":"b","positionSeconds":12.5,"durationSeconds":1,"isPlaying":true,"updated":1})",
                false},
            Case{MediaBridge::kInboxKey, R"({"unread":3,"connected":true})", false},
            Case{MediaBridge::kInboxKey, R"({"unread":3,"connected":true,"updated":10})", true},
        }) {
        Defaults::shared().setData(c.key, c.data);
        const bool decoded =
            c.key == MediaBridge::kInboxKey ? MediaBridge::inbox().has_value() : MediaBridge::nowPlaying().has_value();
        EXPECT_EQ(decoded, c.decodes) << c.data.constData();
        EXPECT_EQ(Defaults::shared().data(c.key), c.data);
    }
    EXPECT_EQ(MediaBridge::inbox(), (InboxSnapshot{3, std::nullopt, std::nullopt, true, Date(10)}));
}
