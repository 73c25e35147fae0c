#include "platform/core/Clock.h"
#include "platform/core/Color.h"
#include <gtest/gtest.h>

using namespace velk;

TEST(Clock, PinHoldsUntilUnpinned)
{
    const Date pinned = Date::fromUnix(1'700'000'000);
    {
        ClockPin pin(pinned);
        EXPECT_EQ(Clock::now(), pinned);
    }
    EXPECT_FALSE(Clock::isPinned());
    EXPECT_GT(Clock::now(), pinned);
}

TEST(Date, ReferenceIsStartOf2001Utc)
{
    EXPECT_EQ(Date(0).toQDateTime(), QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC));
    EXPECT_EQ(Date::fromQDateTime(QDateTime(QDate(1970, 1, 1), QTime(0, 0), Qt::UTC)).sinceReference, -978307200.0);
}

TEST(Color, HexShowsAlphaOnlyBelowOne)
{
    EXPECT_EQ(Color::rgb255(64, 224, 207).hex(), "#40E0CF");
    EXPECT_EQ(Color::rgb255(255, 0, 0).opacity(0.5).hex(), "#FF000080");
}
