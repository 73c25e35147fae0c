#include "platform/core/TimeZone.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velk;

namespace {
Date utc(int y, int mo, int d, int h = 12)
{
    return Date::fromQDateTime(QDateTime(QDate(y, mo, d), QTime(h, 0), Qt::UTC));
}
} // namespace

TEST(TimeZone, NamedKnowsZonesAndKeepsTheGivenIdentifier)
{
    EXPECT_EQ(TimeZone::named("Europe/Paris")->identifier(), "Europe/Paris");
    EXPECT_EQ(TimeZone::named("Asia/Calcutta")->identifier(), "Asia/Calcutta") << "an alias stays as given";
    EXPECT_EQ(TimeZone::named("Asia/Calcutta")->secondsFromGMT(utc(2025, 1, 1)), 19800);
    for (const char* unknown : {"Mars/Base", "", "Europe/Nowhere", "Etc/Unknownish"}) {
        SCOPED_TRACE(unknown);
        EXPECT_FALSE(TimeZone::named(QString::fromLatin1(unknown)).has_value());
    }
    EXPECT_EQ(TimeZone::utc().secondsFromGMT(utc(2025, 7, 1)), 0);
    EXPECT_EQ(TimeZone::gmt().identifier(), "GMT");
}

TEST(TimeZone, OffsetsAndDaylightSavingAtADate)
{
    struct Row {
        const char* zone;
        Date at;
        int seconds;
        bool dst;
        const char* abbreviation;
    } rows[] = {
        {"Asia/Kolkata", utc(2025, 7, 1), 19800, false, "GMT+5:30"},
        {"Pacific/Marquesas", utc(2025, 7, 1), -34200, false, "GMT-9:30"},
        {"Europe/London", utc(2025, 1, 15), 0, false, "GMT"},
        {"Europe/London", utc(2025, 7, 15), 3600, true, "GMT+1"},
        {"America/New_York", utc(2025, 1, 15), -18000, false, "EST"},
        {"America/New_York", utc(2025, 7, 15), -14400, true, "EDT"},
        {"Europe/Berlin", utc(2025, 3, 30, 0), 3600, false, "GMT+1"},
        {"Europe/Berlin", utc(2025, 3, 30, 1), 7200, true, "GMT+2"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.zone);
        const TimeZone zone = *TimeZone::named(QString::fromLatin1(r.zone));
        EXPECT_EQ(zone.secondsFromGMT(r.at), r.seconds);
        EXPECT_EQ(zone.isDaylightSavingTime(r.at), r.dst);
        EXPECT_EQ(zone.abbreviation(r.at), QString::fromLatin1(r.abbreviation));
    }
}

TEST(TimeZone, CurrentCanBePinned)
{
    EXPECT_EQ(TimeZone::current().secondsFromGMT(utc(2025, 7, 1)), 0) << "the test run's zone is UTC";
    {
        TimeZonePin pin("Asia/Tokyo");
        EXPECT_EQ(TimeZone::current().identifier(), "Asia/Tokyo");
    }
    EXPECT_NE(TimeZone::current().identifier(), "Asia/Tokyo");
}

TEST(TimeZone, KnownIdentifiersComeFromTheZoneTable)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("zone.tab");
    QFile table(path);
    ASSERT_TRUE(table.open(QIODevice::WriteOnly));
    table.write("# comment line\n"
                "US\t+404251-0740023\tAmerica/New_York\tEastern (most areas)\n"
                "IN\t+2232+08822\tAsia/Kolkata\n"
                "XX\t+0000+00000\tMars/Base\n"
                "\n"
                "AR\t-3436-05827\tAmerica/Argentina/Buenos_Aires\tBuenos Aires (BA, CF)\n");
    table.close();
    EXPECT_EQ(TimeZone::knownTimeZoneIdentifiers(path),
              QStringList({"America/Argentina/Buenos_Aires", "America/New_York", "Asia/Kolkata"}))
        << "sorted, zones ICU does not know left out";

    const QStringList fallback = TimeZone::knownTimeZoneIdentifiers(dir.filePath("missing.tab"));
    EXPECT_GT(fallback.size(), 300);
    EXPECT_TRUE(fallback.contains("Europe/Paris"));

    const QStringList system = TimeZone::knownTimeZoneIdentifiers();
    EXPECT_TRUE(system.contains("Asia/Kolkata"));
    EXPECT_TRUE(system.contains("Europe/Amsterdam"));
    EXPECT_FALSE(system.contains("Asia/Calcutta"));
}
