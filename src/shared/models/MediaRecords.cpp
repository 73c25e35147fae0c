#include "shared/models/MediaRecords.h"

#include "platform/core/Clock.h"

namespace velk {

NowPlayingSnapshot NowPlayingSnapshot::sample()
{
    return NowPlayingSnapshot{
        QStringLiteral("Night Drive"), QStringLiteral("The Lamplighters"), 192, 245, true, Clock::now()};
}

InboxSnapshot InboxSnapshot::sample()
{
    const Date now = Clock::now();
    return InboxSnapshot{3, QStringLiteral("Maya: press kit final review"), now.addingSeconds(-120), true, now};
}

StockSnapshot StockSnapshot::sample()
{
    return StockSnapshot{
        QStringLiteral("AAPL"),
        243.18,
        -1.2,
        {
            {34, QStringLiteral("10AM")},
            {44, std::nullopt},
            {40, QStringLiteral("12PM")},
            {52, std::nullopt},
            {58, QStringLiteral("2PM")},
            {48, std::nullopt},
            {42, QStringLiteral("4PM")},
            {36, std::nullopt},
        },
        Clock::now(),
    };
}

} // namespace velk
