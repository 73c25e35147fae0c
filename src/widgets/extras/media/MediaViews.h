#pragma once
// The now-playing face (track, transport and progress) and the remote (transport only). Their
// buttons send media commands; the player's new state arrives with the next stored snapshot.
#include "shared/look/WidgetRoot.h"
#include "shared/models/MediaRecords.h"

#include <QString>
#include <optional>

namespace velk {

// A round transport button of `size` design points running MediaCommandIntent(command).
struct MediaButton {
    QString command; // "previous", "playpause" or "next"
    bool isPlaying = false;
    qreal size = 32;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    // Any word but previous and next draws as play/pause.
    static QString symbolName(const QString& command, bool isPlaying);
};

// Medium: what plays, by whom and how far in, with the transport and a progress bar that runs
// by itself while the track plays.
struct NowPlayingView {
    std::optional<NowPlayingSnapshot> data;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    // "Artist · 3:12 / 4:05", or "Artist · 4:05" before the track has started.
    static QString subtitle(const std::optional<NowPlayingSnapshot>& data);
    // Minutes (not folded into hours) and seconds: 3725 reads 62:05; nothing below 0:00.
    static QString minutesAndSeconds(qint64 seconds);
    // The share of the static bar: position over length, none without a length.
    static double playedFraction(const std::optional<NowPlayingSnapshot>& data);
};

// Small: previous, play/pause and next.
struct RemoteView {
    bool isPlaying = false;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }
};

} // namespace velk
