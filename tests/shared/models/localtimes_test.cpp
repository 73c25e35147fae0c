// Wall-clock times of "today" in the user's zone, across clock changes.
#include "shared/models/LocalTimes.h"
#include "shared/models/SkyRecords.h"

#include "platform/core/Clock.h"
#include "platform/core/TimeZone.h"

#include <QDateTime>

#include <gtest/gtest.h>

using namespace velk;

namespace {
Date utc(int y, int mo, int d, int h, int mi)
{
    return Date::fromQDateTime(QDateTime(QDate(y, mo, d), QTime(h, mi), Qt::UTC));
}
} // namespace

TEST(TodayAt, FollowsTheUsersZoneAndItsClockChanges)
{
    TimeZonePin zone(QStringLiteral("America/New_York"));
    struct Case {
        Date now;
        int hour, minute;
        Date expected;
        const char* what;
    };
    const std::vector<Case> cases{
        {utc(2024, 5, 16, 14, 0), 7, 40, utc(2024, 5, 16, 11, 40), "an ordinary summer day"},
        // 03:30 UTC on the 17th is still the 16th in New York.
        {utc(2024, 5, 17, 3, 30), 16, 32, utc(2024, 5, 16, 20, 32), "the local day, not the UTC one"},
        // 10 March 2024: 02:00 jumps to 03:00, so 02:30 takes the next time that exists.
        {utc(2024, 3, 10, 15, 0), 2, 30, utc(2024, 3, 10, 7, 0), "a skipped time"},
        // 3 November 2024: 01:00-02:00 happens twice; the first (still daylight time) is taken.
        {utc(2024, 11, 3, 15, 0), 1, 30, utc(2024, 11, 3, 5, 30), "a repeated time"},
    };
    for (const Case& c : cases) {
        ClockPin pin(c.now);
        EXPECT_EQ(todayAt(c.hour, c.minute), c.expected) << c.what;
    }
}

TEST(Year, CountsTheDayInTheUsersZone)
{
    TimeZonePin zone(QStringLiteral("Pacific/Auckland"));
    // Noon UTC on 31 December is already New Year's Day in Auckland.
    EXPECT_EQ(YearInfo::current(utc(2023, 12, 31, 12, 0)), (YearInfo{2024, 1, 366}));
    EXPECT_EQ(YearInfo::current(utc(2024, 12, 30, 12, 0)), (YearInfo{2024, 366, 366}));
}
