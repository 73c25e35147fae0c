// Calendar files written to hurt: rules that never give an instance or give billions, zones
// that change every second, endless lines, special files. The store must read the folder in
// bounded time and memory, skip what offends and still show the rest. A hang shows as this
// test's timeout (set low in the CMakeLists).
#include "fixtures/calendar/CalendarFixtures.h"
#include "platform/calendar/CalendarStore.h"
#include "platform/calendar/IcsParser.h"
#include "platform/core/Clock.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velk;
using velk::test::utc;

namespace {

QByteArray calendar(const QByteArray& body)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n" + body + "END:VCALENDAR\r\n";
}

QByteArray event(const QByteArray& uid, const QByteArray& start, const QByteArray& extra = {})
{
    return "BEGIN:VEVENT\r\nUID:" + uid + "\r\nSUMMARY:" + uid + "\r\nDTSTART" + start + "\r\nDURATION:PT30M\r\n" +
           extra + "END:VEVENT\r\n";
}

QByteArray zone(const QByteArray& tzid, const QByteArray& rule)
{
    return "BEGIN:VTIMEZONE\r\nTZID:" + tzid +
           "\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
           "TZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\n" +
           rule + "END:STANDARD\r\nEND:VTIMEZONE\r\n";
}

QByteArray repeated(int n, const std::function<QByteArray(int)>& piece)
{
    QByteArray out;
    for (int i = 0; i < n; ++i)
        out += piece(i);
    return out;
}

bool write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

class HostileFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        root = dir.path() + "/calendars";
        ASSERT_TRUE(QDir().mkpath(root + "/Bad"));
        test::grantCalendarAccess();
    }

    QStringList titles(Date from, Date to)
    {
        CalendarStore store(root);
        QStringList out;
        for (const CalendarEvent& e : store.events(from, to))
            out << e.identifier;
        return out;
    }

    QTemporaryDir dir;
    QString root;
    ClockPin pin{test::kFixtureNow};
};

TEST_F(HostileFiles, AFolderOfThemIsReadAndTheGoodItemsShown)
{
    const QString bad = root + "/Bad/";
    // A zone that changes every second: its rule is not honoured, its fixed offset (+02:00) is.
    ASSERT_TRUE(write(bad + "secondly-zone.ics",
                      calendar(zone("Hostile Time", "RRULE:FREQ=SECONDLY\r\n") +
                               event("zoned", ";TZID=Hostile Time:20250307T120000") +
                               event("far", ";TZID=Hostile Time:90000101T000000", "RRULE:FREQ=DAILY\r\n"))));
    // A thousand events on the 30th of February, a thousand repeating every second two billion
    // times, a thousand zones changing daily.
    ASSERT_TRUE(write(bad + "february.ics", calendar(repeated(1000, [](int i) {
                          return event("feb30-" + QByteArray::number(i), ":20250101T090000Z",
                                       "RRULE:FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=30\r\n");
                      }))));
    ASSERT_TRUE(write(bad + "seconds.ics", calendar(repeated(1000, [](int i) {
                          return event("sec-" + QByteArray::number(i), ":20200101T000000Z",
                                       "RRULE:FREQ=SECONDLY;COUNT=2000000000\r\n");
                      }))));
    ASSERT_TRUE(write(bad + "zones.ics", calendar(repeated(1000, [](int i) {
                          const QByteArray tzid = "Daily " + QByteArray::number(i);
                          return zone(tzid, "RRULE:FREQ=DAILY\r\n") +
                                 event("dz-" + QByteArray::number(i), ";TZID=" + tzid + ":20250307T120000");
                      }))));
    // Special files never block or grow: a FIFO, a link to an endless device, a dangling link.
    ASSERT_EQ(::mkfifo(QFile::encodeName(bad + "fifo.ics").constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", bad + "zero.ics"));
    ASSERT_TRUE(QFile::link(bad + "gone", bad + "dangling.ics"));
    // Beside them, good files: one repeating with an RSCALE rule.
    ASSERT_TRUE(write(root + "/good.ics", calendar(event("good-once", ":20250307T110000Z") +
                                                   event("good-daily", ":20250301T080000Z",
                                                         "RRULE:RSCALE=GREGORIAN;FREQ=DAILY;COUNT=30\r\n"))));

    const QStringList ids = titles(utc("2025-03-07T00:00:00"), utc("2025-03-08T00:00:00"));
    EXPECT_TRUE(ids.contains("good-once"));
    EXPECT_TRUE(ids.contains("good-daily/20250307T080000Z"));
    EXPECT_TRUE(ids.contains("zoned"));
    EXPECT_FALSE(ids.filter("feb30-").size());
    EXPECT_FALSE(ids.filter("sec-").size());
    // The daily zones are read with their fixed offsets.
    EXPECT_EQ(ids.filter("dz-").size(), 1000);

    CalendarStore store(root);
    auto zoned = std::get<CalendarEvent>(*store.calendarItem("zoned"));
    EXPECT_EQ(zoned.startDate, utc("2025-03-07T10:00:00"));
    auto daily = std::get<CalendarEvent>(*store.calendarItem("dz-999"));
    EXPECT_EQ(daily.startDate, utc("2025-03-07T10:00:00"));
}

TEST_F(HostileFiles, RulesThatNeverComeRoundGiveNothingAndHarmlessOnesStillRepeat)
{
    const struct {
        const char* rule;
        const char* start;
        int instances; // in March 2025
    } cases[] = {
        {"FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=30", "20250101T090000Z", 0},
        {"FREQ=MONTHLY;BYDAY=MO;BYSETPOS=6", "20250101T090000Z", 0},
        {"FREQ=YEARLY;BYDAY=MO;BYSETPOS=60", "20250101T090000Z", 0},
        {"FREQ=MONTHLY;BYMONTHDAY=31;BYMONTH=4", "20250101T090000Z", 0},
        {"FREQ=YEARLY;BYMONTH=2,4", "20250131T090000Z", 0}, // the 31st of neither
        {"FREQ=HOURLY;BYMONTH=2;BYMONTHDAY=30", "20250101T090000Z", 0},
        {"FREQ=SECONDLY;BYSECOND=60", "20250101T090000Z", 0},
        {"FREQ=DAILY;INTERVAL=7;BYDAY=TU", "20250303T090000Z", 0}, // a Monday, every 7 days
        {"FREQ=MONTHLY;BYDAY=-1FR", "20250101T090000Z", 1},
        {"FREQ=MONTHLY;BYDAY=MO;BYSETPOS=-1", "20250101T090000Z", 1},
        {"FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=29", "20200229T090000Z", 0}, // next in 2028
        {"FREQ=WEEKLY;BYDAY=MO,FR", "20250101T090000Z", 9},
        {"FREQ=HOURLY;INTERVAL=6", "20250301T000000Z", 124},
        {"FREQ=YEARLY;BYWEEKNO=10;BYDAY=MO", "20200101T090000Z", 1},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(write(root + "/one.ics",
                          calendar(event("r", QByteArray(":") + c.start, QByteArray("RRULE:") + c.rule + "\r\n"))));
        EXPECT_EQ(titles(utc("2025-03-01T00:00:00"), utc("2025-04-01T00:00:00")).size(), c.instances) << c.rule;
    }
}

TEST_F(HostileFiles, LongLinesAndLargeFiles)
{
    // A 10 MB property line, folded or not, is left out; its event stays.
    const QByteArray huge(10 * 1024 * 1024, 'x');
    QByteArray folded;
    for (qsizetype i = 0; i < huge.size(); i += 70)
        folded += "\r\n " + huge.mid(i, 70);
    ASSERT_TRUE(
        write(root + "/long.ics", calendar(event("long", ":20250307T110000Z", "DESCRIPTION:" + huge + "\r\n"))));
    ASSERT_TRUE(
        write(root + "/folded.ics", calendar(event("folded", ":20250307T120000Z", "X-ALT-DESC:" + folded + "\r\n"))));
    // Past the size cap the file is skipped as a whole.
    ASSERT_TRUE(write(root + "/huge.ics", calendar(event("huge", ":20250307T130000Z") + huge + huge)));
    EXPECT_EQ(titles(utc("2025-03-07T00:00:00"), utc("2025-03-08T00:00:00")), (QStringList{"long", "folded"}));

    const ParsedCalendarFile parsed =
        parseCalendarText(calendar(event("e", ":20250307T110000Z", "DESCRIPTION:" + huge + "\r\n")));
    ASSERT_TRUE(parsed.ok);
    ASSERT_EQ(parsed.events.size(), 1u);
    EXPECT_EQ(parsed.problems.size(), 1);
}

} // namespace
