#include "shared/data/media/MediaBridge.h"

#include "platform/core/Defaults.h"
#include "shared/data/activity/ExtrasStore.h"

namespace velk {

std::optional<NowPlayingSnapshot> MediaBridge::nowPlaying()
{
    return ExtrasStore::read<NowPlayingSnapshot>(kNowPlayingKey);
}

void MediaBridge::setNowPlaying(const std::optional<NowPlayingSnapshot>& snapshot)
{
    // A snapshot that cannot be stored says the old one no longer holds either, so the old one
    // goes rather than staying as if still current.
    const std::optional<QByteArray> bytes = snapshot ? encodeJson(*snapshot) : std::nullopt;
    Defaults suite = Defaults::shared();
    if (bytes)
        suite.setData(kNowPlayingKey, *bytes);
    else
        suite.remove(kNowPlayingKey);
}

std::optional<InboxSnapshot> MediaBridge::inbox()
{
    return ExtrasStore::read<InboxSnapshot>(kInboxKey);
}

} // namespace velk
