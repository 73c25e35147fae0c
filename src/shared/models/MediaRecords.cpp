#include "shared/models/MediaRecords.h"

#include "platform/core/Clock.h"

namespace velk {

const NowPlayingSnapshot& NowPlayingSnapshot::sample()
{
    static const NowPlayingSnapshot s{QStringLiteral("Night Drive"), QStringLiteral("The Lamplighters"), 192, 245,
                                      true, Clock::now()};
    return s;
}

const InboxSnapshot& InboxSnapshot::sample()
{
    static const InboxSnapshot s = [] {
        const Date now = Clock::now();
        return InboxSnapshot{3, QStringLiteral("Maya: press kit final review"), now.addingSeconds(-120), true, now};
    }();
    return s;
}

const StockSnapshot& StockSnapshot::sample()
{
    static const StockSnapshot s{
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
    return s;
}

} // namespace velk
