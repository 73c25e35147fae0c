#include "shared/data/sky/SkyMath.h"

#include "platform/core/TimeZone.h"

#include <QDateTime>
#include <QTimeZone>
#include <gtest/gtest.h>

using namespace velk;

namespace {
constexpr double kSynodic = 29.530588853;
const Date kReference = Date::fromUnix(947182440); // 2000-01-06 18:14 UTC, a new moon

Date afterReference(double days)
{
    return kReference.addingSeconds(days * 86400.0);
}

Date utc(int y, int m, int d, int h = 12, int min = 0)
{
    return Date::fromQDateTime(QDateTime(QDate(y, m, d), QTime(h, min), Qt::UTC));
}

QDateTime asUtc(Date d)
{
    return d.toQDateTime().toUTC();
}
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

    struct Case {
        double p;
        const char* name;
    };
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

TEST(SkyMath, EventsAreThoseOfTheLocalDayAtThePlace)
{
    // East and west of Greenwich, north and south, and far north where the sunset comes after
    // midnight: at any hour of the local day the events are that day's, the sunset after the
    // sunrise, whatever the UTC day.
    struct Case {
        const char* zone;
        double latitude, longitude;
        QDate day;
        QTime rise, set;
        int setDaysLater = 0;
    };
    for (const Case& c : {Case{"Asia/Tokyo", 35.6762, 139.6503, {2025, 12, 11}, {6, 40}, {16, 28}},
                          Case{"Asia/Tokyo", 35.6762, 139.6503, {2025, 6, 1}, {4, 27}, {18, 51}},
                          Case{"America/Los_Angeles", 34.0522, -118.2437, {2025, 12, 11}, {6, 48}, {16, 44}},
                          Case{"America/Los_Angeles", 34.0522, -118.2437, {2025, 6, 1}, {5, 42}, {19, 59}},
                          Case{"Pacific/Auckland", -36.8485, 174.7633, {2025, 12, 11}, {5, 55}, {20, 32}},
                          Case{"Pacific/Auckland", -36.8485, 174.7633, {2025, 6, 1}, {7, 24}, {17, 12}},
                          Case{"Atlantic/Reykjavik", 64.1466, -21.9426, {2025, 6, 21}, {2, 54}, {0, 3}, 1},
                          Case{"Europe/Oslo", 69.6492, 18.9553, {2025, 5, 15}, {1, 44}, {23, 41}}}) {
        const QTimeZone qzone(QByteArray(c.zone));
        ASSERT_TRUE(qzone.isValid()) << c.zone;
        TimeZonePin pin(QString::fromLatin1(c.zone));
        const Date rise = Date::fromQDateTime(QDateTime(c.day, c.rise, qzone));
        const Date set = Date::fromQDateTime(QDateTime(c.day.addDays(c.setDaysLater), c.set, qzone));
        for (const QTime at : {QTime(0, 0), QTime(12, 0), QTime(23, 59)}) {
            SCOPED_TRACE(::testing::Message() << c.zone << " " << c.day.toString(Qt::ISODate).toStdString() << " "
                                              << at.toString().toStdString());
            const Date date = Date::fromQDateTime(QDateTime(c.day, at, qzone));
            EXPECT_EQ(SkyMath::solarEvent(true, date, c.latitude, c.longitude), rise);
            EXPECT_EQ(SkyMath::solarEvent(false, date, c.latitude, c.longitude), set);
        }
    }
}
