#pragma once
// Where the app hands the widgets what only it can gather: what the music player is doing and
// the state of the mail inbox. Nothing is kept here; every access reads or writes one key of
// the shared suite. A key that is absent or holds data that does not decode reads as nothing,
// and the data is left for the next write to replace.
#include "shared/models/MediaRecords.h"

#include <QString>
#include <optional>

namespace velk {

namespace MediaBridge {
inline const QString kNowPlayingKey = QStringLiteral("velk.nowplaying.v1");
inline const QString kInboxKey = QStringLiteral("velk.inbox.v1");

std::optional<NowPlayingSnapshot> nowPlaying();
// Replaces the stored snapshot; nothing (or a snapshot that cannot be encoded) removes it.
void setNowPlaying(const std::optional<NowPlayingSnapshot>& snapshot);

// Written by the app's mail poller under kInboxKey.
std::optional<InboxSnapshot> inbox();

} // namespace MediaBridge

} // namespace velk
