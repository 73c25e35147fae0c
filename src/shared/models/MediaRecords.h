#pragma once
// What the player and the inbox were doing when last read, and one quoted stock with its chart.
#include "platform/core/Coding.h"
#include "platform/core/Date.h"
#include "shared/models/RecordEquality.h"

#include <QString>

#include <optional>
#include <vector>

namespace velk {

struct NowPlayingSnapshot {
    QString title;
    QString artist;
    qint64 positionSeconds = 0;
    qint64 durationSeconds = 0;
    bool isPlaying = false;
    Date updated;

    VELK_FIELDS(NowPlayingSnapshot, title, artist, positionSeconds, durationSeconds, isPlaying, updated)
    VELK_RECORD_EQUALITY(NowPlayingSnapshot)

    // "Now" is the clock at each call: a sample shows as at the moment it is shown.
    static NowPlayingSnapshot sample();
};

struct InboxSnapshot {
    qint64 unread = 0;
    std::optional<QString> latestPreview;
    std::optional<Date> latestDate;
    bool connected = false;
    Date updated;

    VELK_FIELDS(InboxSnapshot, unread, latestPreview, latestDate, connected, updated)
    VELK_RECORD_EQUALITY(InboxSnapshot)

    static InboxSnapshot sample();
};

struct StockSnapshot {
    struct Point {
        double value = 0;
        std::optional<QString> label; // axis caption under this point

        VELK_FIELDS(Point, value, label)
        VELK_RECORD_EQUALITY(Point)
    };

    QString symbol;
    double price = 0;
    double changePercent = 0;  // -1.2 is a fall of 1.2 %
    std::vector<Point> points; // left to right
    Date updated;

    VELK_FIELDS(StockSnapshot, symbol, price, changePercent, points, updated)
    VELK_RECORD_EQUALITY(StockSnapshot)

    static StockSnapshot sample();
};

} // namespace velk
