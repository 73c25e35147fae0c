#include "shared/data/sky/SkyMath.h"

#include "platform/core/TimeZone.h"

#include <QDateTime>
#include <gtest/gtest.h>

using namespace velk;

namespace {
constexpr double kSynodic = 29.530588853;
const Date kReference = Date::fromUnix(947182440); // 2000-01-06 18:14 UTC, a new moon

Date afterReference(double days) { return kReference.addingSeconds(days * 86400.0); }

Date utc(int y, int m, int d, int h = 12, int min = 0)
{
    return Date::fromQDateTime(QDateTime(QDate(y, m, d), QTime(h, min), Qt::UTC));
}

QDateTime asUtc(Date d) { return d.toQDateTime().toUTC(); }
} // namespace

TEST(SkyMath, MoonPhasesThroughALunation)
{
    const MoonInfo newMoon = SkyMath::moon(kReference);
    EXPECT_EQ(newMoon.phaseName, "New Moon");
    EXPECT_DOUBLE_EQ(newMoon.illuminated, 0.0);
    EXPECT_TRUE(newMoon.waxing);
    EXPECT_EQ(newMoon.daysToFull, 15);
    EXPECT_EQ(newMoon.daysToNew, 30);

    const MoonInfo justFull = SkyMath::moon(afterReference(14.77));
    EXPECT_EQ(justFull.phaseName, "Full Moon");
    EXPECT_FALSE(justFull.waxing);
    EXPECT_EQ(justFull.daysToFull, 30);
    EXPECT_EQ(justFull.daysToNew, 15);

    const MoonInfo quarter = SkyMath::moon(afterReference(kSynodic / 4));
    EXPECT_EQ(quarter.phaseName, "First Quarter");
    EXPECT_NEAR(quarter.illuminated, 0.5, 1e-9);

    struct Case { double p; const char* name; };
    for (const Case& c : {Case{0.1, "Waxing Crescent"}, Case{0.4, "Waxing Gibbous"}, Case{0.6, "Waning Gibbous"},
                          Case{0.75, "Last Quarter"}, Case{0.9, "Waning Crescent"}, Case{0.98, "New Moon"}})
        EXPECT_EQ(SkyMath::moon(afterReference(c.p * kSynodic)).phaseName, c.name) << c.p;
}

TEST(SkyMath, DatesBeforeTheReferenceNewMoonGiveTheSamePhases)
{
    // A day before the reference the moon is a waning crescent a day from new, not a negative age.
    const MoonInfo dayBefore = SkyMath::moon(afterReference(-1));
    EXPECT_EQ(dayBefore.phaseName, "Waning Crescent");
    EXPECT_FALSE(dayBefore.waxing);
    EXPECT_EQ(dayBefore.daysToNew, 1);
    EXPECT_EQ(dayBefore.daysToFull, 16);
    for (double offset : {3.0, 10.0, 20.0, 28.0}) {
        const MoonInfo earlier = SkyMath::moon(afterReference(offset - 50 * kSynodic));
        const MoonInfo later = SkyMath::moon(afterReference(offset));
        EXPECT_EQ(earlier.phaseName, later.phaseName) << offset;
        EXPECT_EQ(earlier.daysToFull, later.daysToFull) << offset;
        EXPECT_EQ(earlier.daysToNew, later.daysToNew) << offset;
        EXPECT_NEAR(earlier.illuminated, later.illuminated, 1e-6) << offset;
        EXPECT_GE(earlier.daysToFull, 0);
        EXPECT_GE(earlier.daysToNew, 0);
    }
}

TEST(SkyMath, SunriseAndSunsetAtTheEquatorOnTheEquinox)
{
    const auto rise = SkyMath::solarEvent(true, utc(2025, 3, 20), 0, 0);
    const auto set = SkyMath::solarEvent(false, utc(2025, 3, 20), 0, 0);
    ASSERT_TRUE(rise && set);
    EXPECT_EQ(asUtc(*rise).date(), QDate(2025, 3, 20));
    EXPECT_EQ(asUtc(*set).date(), QDate(2025, 3, 20));
    EXPECT_EQ(asUtc(*rise).time().second(), 0);
    EXPECT_EQ(std::fmod(rise->unix(), 60.0), 0.0);
    EXPECT_NEAR(asUtc(*rise).time().msecsSinceStartOfDay() / 60000.0, 6 * 60 + 4, 3);
    EXPECT_NEAR(asUtc(*set).time().msecsSinceStartOfDay() / 60000.0, 18 * 60 + 10, 3);
}

TEST(SkyMath, NoSunriseOrSunsetInPolarDayAndNight)
{
    for (const Date day : {utc(2025, 6, 25), utc(2025, 12, 21)}) {
        EXPECT_FALSE(SkyMath::solarEvent(true, day, 78, 15));
        EXPECT_FALSE(SkyMath::solarEvent(false, day, 78, 15));
    }
}

TEST(SkyMath, EventsStayOnTheUtcDayOfTheDate)
{
    // Far west of Greenwich the sunset falls early in the UTC day, before that day's sunrise.
    const auto rise = SkyMath::solarEvent(true, utc(2025, 6, 1), 37, -120);
    const auto set = SkyMath::solarEvent(false, utc(2025, 6, 1), 37, -120);
    ASSERT_TRUE(rise && set);
    EXPECT_EQ(asUtc(*set).date(), QDate(2025, 6, 1));
    EXPECT_LT(asUtc(*set).time().hour(), 6);
    EXPECT_LT(*set, *rise);

    // Late in the UTC day, where the device's local day is already the next one.
    TimeZonePin zone(QStringLiteral("Pacific/Kiritimati"));
    const auto late = SkyMath::solarEvent(true, utc(2025, 6, 1, 23, 30), 51.5, 0);
    ASSERT_TRUE(late);
    EXPECT_EQ(asUtc(*late).date(), QDate(2025, 6, 1));
}
