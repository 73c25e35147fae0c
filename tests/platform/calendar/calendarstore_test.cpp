#include "fixtures/calendar/CalendarFixtures.h"
#include "platform/calendar/CalendarStore.h"
#include "platform/calendar/EventOccurrences.h"
#include "platform/calendar/IcsParser.h"
#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "platform/core/TimeZone.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>
#include <atomic>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <tuple>
#include <unistd.h>

using namespace velk;
using velk::test::utc;

namespace {

class CalendarStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        root = dir.path() + QStringLiteral("/calendars");
        ASSERT_TRUE(test::copyCalendarFixtures(root));
        test::grantCalendarAccess();
    }

    QStringList ids(const std::vector<CalendarReminder>& rs)
    {
        QStringList out;
        for (const auto& r : rs)
            out << r.identifier;
        return out;
    }

    QTemporaryDir dir;
    QString root;
    ClockPin pin{test::kFixtureNow};
};

TEST_F(CalendarStoreTest, OpenRemindersResolveZonesAndKeepDateOnlyDues)
{
    CalendarStore store(root);
    const auto open = store.incompleteReminders(std::nullopt, utc("2025-03-08T00:00:00"));
    // The cut-short file at the root is skipped; cancelled, completed and tomorrow's are not open
    // today; the one without a due date is.
    EXPECT_EQ(ids(open), (QStringList{"call-1", "rent-1", "press-1", "someday-1", "water-1"}));

    auto find = [&](const QString& id) {
        return *std::find_if(open.begin(), open.end(), [&](auto& r) { return r.identifier == id; });
    };
    EXPECT_EQ(find("call-1").dueDate, utc("2025-03-06T09:00:00"));
    EXPECT_TRUE(find("call-1").dueHasTime);
    EXPECT_EQ(find("water-1").dueDate, utc("2025-03-07T10:15:00")); // Europe/Paris, UTC+1
    EXPECT_EQ(find("press-1").dueDate, utc("2025-03-07T14:30:00")); // the file's own +05:30 zone
    EXPECT_EQ(find("rent-1").dueDate, utc("2025-03-07T00:00:00"));
    EXPECT_FALSE(find("rent-1").dueHasTime);
    EXPECT_FALSE(find("someday-1").dueDate);
    EXPECT_EQ(find("water-1").collection, "Personal");
    EXPECT_EQ(find("water-1").filePath, "Personal/water-plants.ics");

    // A lower bound leaves out overdue and undated reminders.
    EXPECT_EQ(ids(store.incompleteReminders(utc("2025-03-07T00:00:00"), utc("2025-03-08T00:00:00"))),
              (QStringList{"rent-1", "press-1", "water-1"}));
}

TEST_F(CalendarStoreTest, DateOnlyDueIsMidnightInTheCurrentZone)
{
    TimeZonePin zone(QStringLiteral("Asia/Tokyo"));
    CalendarStore store(root);
    const auto open = store.incompleteReminders(std::nullopt, std::nullopt);
    const auto rent = std::find_if(open.begin(), open.end(), [](auto& r) { return r.identifier == "rent-1"; });
    ASSERT_NE(rent, open.end());
    EXPECT_EQ(rent->dueDate, utc("2025-03-06T15:00:00"));
}

TEST_F(CalendarStoreTest, CompletedRemindersInRangeByCompletionDate)
{
    CalendarStore store(root);
    EXPECT_EQ(ids(store.completedReminders(utc("2025-03-07T00:00:00"), utc("2025-03-08T00:00:00"))),
              (QStringList{"stretch-1", "run-1", "ship-1"}));
    const auto all = store.completedReminders(std::nullopt, std::nullopt);
    EXPECT_EQ(ids(all), (QStringList{"groceries-1", "stretch-1", "run-1", "ship-1"}));
    EXPECT_TRUE(all.back().completed); // COMPLETED without STATUS still counts as done
}

TEST_F(CalendarStoreTest, EventsOfADayExpandRepeatsAndOverrides)
{
    CalendarStore store(root);
    const auto events = store.events(utc("2025-03-07T00:00:00"), utc("2025-03-08T00:00:00"));
    struct Row {
        QString id, title;
        Date start, end;
        bool allDay;
    };
    const std::vector<Row> expected{
        {"holiday-1", "Company holiday", utc("2025-03-07T00:00:00"), utc("2025-03-08T00:00:00"), true},
        {"standup-1/20250307T090000Z", "Standup \u00B7 widgets team", utc("2025-03-07T09:00:00"),
         utc("2025-03-07T09:15:00"), false},
        {"lunch-1", "Lunch", utc("2025-03-07T12:00:00"), utc("2025-03-07T13:00:00"), false},
        {"review-1", "Design review \u00B7 VELK 1.2", utc("2025-03-07T14:00:00"), utc("2025-03-07T14:45:00"), false},
        {"1on1/20250307T110000Z", "One on one (moved)", utc("2025-03-07T16:00:00"), utc("2025-03-07T16:30:00"), false},
        {"lunch-walk.ics#event0", "Walk", utc("2025-03-07T18:30:00"), utc("2025-03-07T19:00:00"), false},
    };
    ASSERT_EQ(events.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].id.toStdString());
        EXPECT_EQ(events[i].identifier, expected[i].id);
        EXPECT_EQ(events[i].title, expected[i].title);
        EXPECT_EQ(events[i].startDate, expected[i].start);
        EXPECT_EQ(events[i].endDate, expected[i].end);
        EXPECT_EQ(events[i].allDay, expected[i].allDay);
    }
    EXPECT_EQ(events[3].location, "Studio B, Building 7, third floor");
}

TEST_F(CalendarStoreTest, RepeatsFollowTheirZoneAcrossDaylightSavingAndSkipExceptions)
{
    CalendarStore store(root);
    auto standups = [&](const char* from, const char* to) {
        QList<Date> starts;
        for (const auto& e : store.events(utc(from), utc(to)))
            if (e.identifier.startsWith("standup-1/")) starts << e.startDate;
        return starts;
    };
    // 04:00 in New York: 09:00 UTC before the clocks change on 9 March, 08:00 after; 6 March is
    // an exception date.
    EXPECT_EQ(standups("2025-03-05T00:00:00", "2025-03-11T00:00:00"),
              (QList<Date>{utc("2025-03-05T09:00:00"), utc("2025-03-07T09:00:00"), utc("2025-03-08T09:00:00"),
                           utc("2025-03-09T08:00:00"), utc("2025-03-10T08:00:00")}));
    // Far from its start the series is still found (years of daily instances).
    EXPECT_EQ(standups("2031-06-02T00:00:00", "2031-06-03T00:00:00"), (QList<Date>{utc("2031-06-02T08:00:00")}));
    // The weekly series shows its own instances on other Fridays.
    const auto week = store.events(utc("2025-03-14T00:00:00"), utc("2025-03-15T00:00:00"));
    ASSERT_FALSE(week.empty());
    EXPECT_TRUE(std::any_of(week.begin(), week.end(), [](auto& e) {
        return e.identifier == "1on1/20250314T110000Z" && e.endDate == utc("2025-03-14T11:30:00");
    }));
}

TEST_F(CalendarStoreTest, FloatingTimesFollowTheCurrentZone)
{
    TimeZonePin zone(QStringLiteral("Asia/Tokyo"));
    CalendarStore store(root);
    const auto events = store.events(utc("2025-03-07T00:00:00"), utc("2025-03-08T00:00:00"));
    const auto walk = std::find_if(events.begin(), events.end(), [](auto& e) { return e.title == "Walk"; });
    ASSERT_NE(walk, events.end());
    EXPECT_EQ(walk->startDate, utc("2025-03-07T09:30:00")); // 18:30 in Tokyo
}

TEST_F(CalendarStoreTest, NothingWithoutFullAccess)
{
    for (auto status : {CalendarAuthorizationStatus::notDetermined, CalendarAuthorizationStatus::restricted,
                        CalendarAuthorizationStatus::denied, CalendarAuthorizationStatus::writeOnly}) {
        SCOPED_TRACE(int(status));
        test::grantCalendarAccess(status);
        CalendarStore store(root);
        EXPECT_TRUE(store.incompleteReminders(std::nullopt, std::nullopt).empty());
        EXPECT_TRUE(store.completedReminders(std::nullopt, std::nullopt).empty());
        EXPECT_TRUE(store.events(utc("2025-03-07T00:00:00"), utc("2025-03-08T00:00:00")).empty());
        EXPECT_FALSE(store.calendarItem("water-1"));
    }
    // The stored integers are the platform's numbering; a value outside it is no consent.
    const std::pair<qint64, CalendarAuthorizationStatus> stored[] = {
        {0, CalendarAuthorizationStatus::notDetermined},  {1, CalendarAuthorizationStatus::restricted},
        {2, CalendarAuthorizationStatus::denied},         {3, CalendarAuthorizationStatus::fullAccess},
        {4, CalendarAuthorizationStatus::writeOnly},      {5, CalendarAuthorizationStatus::notDetermined},
        {-1, CalendarAuthorizationStatus::notDetermined},
    };
    for (const auto& [value, status] : stored) {
        Defaults::shared().setInteger(CalendarAccess::key(CalendarEntityType::reminder), value);
        EXPECT_EQ(CalendarAccess::status(CalendarEntityType::reminder), status) << value;
    }
    ASSERT_TRUE(CalendarAccess::setStatus(CalendarEntityType::event, CalendarAuthorizationStatus::fullAccess));
    EXPECT_EQ(Defaults::shared().integer(CalendarAccess::key(CalendarEntityType::event)), 3);
}

TEST_F(CalendarStoreTest, ItemsByIdentifier)
{
    CalendarStore store(root);
    auto item = store.calendarItem("water-1");
    ASSERT_TRUE(item && std::holds_alternative<CalendarReminder>(*item));
    EXPECT_EQ(std::get<CalendarReminder>(*item).title, "Water the monstera");

    for (const QString id : {"standup-1", "standup-1/20250307T090000Z", "lunch-walk.ics#event0"}) {
        item = store.calendarItem(id);
        ASSERT_TRUE(item && std::holds_alternative<CalendarEvent>(*item)) << id.toStdString();
    }
    EXPECT_FALSE(store.calendarItem(""));
    EXPECT_FALSE(store.calendarItem("no-such-item"));
    EXPECT_FALSE(store.calendarItem("review-1/20250307T140000Z")); // not a repeating event
}

TEST_F(CalendarStoreTest, SavingACompletionRewritesOnlyThatItem)
{
    const QString path = root + "/Personal/water-plants.ics";
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();

    CalendarStore store(root);
    auto reminder = std::get<CalendarReminder>(*store.calendarItem("water-1"));
    reminder.setCompleted(true, utc("2025-03-07T09:31:05"));
    QString error;
    ASSERT_TRUE(store.saveReminder(reminder, &error)) << error.toStdString();

    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray after = f.readAll();
    f.close();
    QByteArray expected = before;
    expected.replace("END:VTODO\r\n", "");
    expected.replace("BEGIN:VALARM\r\n", "STATUS:COMPLETED\r\nCOMPLETED:20250307T093105Z\r\nPERCENT-COMPLETE:100\r\n"
                                         "BEGIN:VALARM\r\n");
    expected.replace("END:VALARM\r\n", "END:VALARM\r\nEND:VTODO\r\n");
    EXPECT_EQ(after, expected);
    // Owner, group and others keep what the user had.
    EXPECT_EQ(QFile(path).permissions() & 0x7077, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);

    // The same store sees its own change; a new one reads it from the file.
    EXPECT_EQ(store.completedReminders(std::nullopt, std::nullopt).back().identifier, "water-1");
    CalendarStore again(root);
    auto saved = std::get<CalendarReminder>(*again.calendarItem("water-1"));
    EXPECT_TRUE(saved.completed);
    EXPECT_EQ(saved.completionDate, utc("2025-03-07T09:31:05"));

    saved.setCompleted(false);
    ASSERT_TRUE(again.saveReminder(saved));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray reopened = before;
    reopened.replace("BEGIN:VALARM\r\n", "STATUS:NEEDS-ACTION\r\nBEGIN:VALARM\r\n");
    EXPECT_EQ(f.readAll(), reopened);
}

TEST_F(CalendarStoreTest, SaveFailsWithoutAccessOrFile)
{
    CalendarStore store(root);
    auto reminder = std::get<CalendarReminder>(*store.calendarItem("call-1"));
    QFile::remove(root + "/Personal/call-bank.ics");
    reminder.setCompleted(true);
    QString error;
    EXPECT_FALSE(store.saveReminder(reminder, &error));
    EXPECT_FALSE(error.isEmpty());

    auto rent = std::get<CalendarReminder>(*store.calendarItem("rent-1"));
    test::grantCalendarAccess(CalendarAuthorizationStatus::denied);
    rent.setCompleted(true);
    EXPECT_FALSE(store.saveReminder(rent));
    QFile f(root + "/Personal/pay-rent.ics");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_FALSE(f.readAll().contains("COMPLETED"));
}

TEST_F(CalendarStoreTest, AFailedWriteKeepsTheFileByteForByte)
{
    const QString path = root + "/Personal/water-plants.ics";
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    CalendarStore store(root);
    auto reminder = std::get<CalendarReminder>(*store.calendarItem("water-1"));
    reminder.setCompleted(true, utc("2025-03-07T09:31:05"));

    // A full disk, as a file size limit below the file's size: the write fails part way.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{rlim_t(before.size() / 2), rlim_t(before.size() / 2)};
        setrlimit(RLIMIT_FSIZE, &limit);
        QString error;
        const bool saved = store.saveReminder(reminder, &error);
        _exit(saved ? 1 : error.isEmpty() ? 2 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: reported saved, 2: failed without a reason";
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    f.close();
    EXPECT_EQ(QDir(root + "/Personal").entryList(QDir::Files | QDir::Hidden).size(), 11) << "no temporary file left";

    // Anything but a regular file is neither read nor replaced (a FIFO would block the read).
    auto call = std::get<CalendarReminder>(*store.calendarItem("call-1"));
    const QString fifo = root + "/Personal/call-bank.ics";
    ASSERT_TRUE(QFile::remove(fifo));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    call.setCompleted(true);
    QString error;
    EXPECT_FALSE(store.saveReminder(call, &error));
    EXPECT_FALSE(error.isEmpty());
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(fifo).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// Counts the calendar layer's log lines: each parse of the fixtures logs the broken files.
class LogCount {
public:
    LogCount()
    {
        previous_ = qInstallMessageHandler(&LogCount::handle);
        lines() = 0;
    }
    ~LogCount() { qInstallMessageHandler(previous_); }
    int count() const { return lines(); }

private:
    static std::atomic<int>& lines()
    {
        static std::atomic<int> n{0};
        return n;
    }
    static void handle(QtMsgType, const QMessageLogContext& context, const QString&)
    {
        if (QByteArray(context.category).endsWith("calendar")) ++lines();
    }
    QtMessageHandler previous_ = nullptr;
};

TEST_F(CalendarStoreTest, StoresShareOneParseUntilAFileChanges)
{
    auto dentist = [&] {
        CalendarStore store(root);
        auto item = store.calendarItem("tomorrow-1");
        return item ? std::get<CalendarReminder>(*item).title : QString();
    };
    auto replace = [&](const QByteArray& from, const QByteArray& to) {
        const QString path = root + "/Personal/tomorrow.ics";
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly)) return false;
        QByteArray text = in.readAll().replace(from, to);
        QSaveFile out(path);
        return out.open(QIODevice::WriteOnly) && out.write(text) == text.size() && out.commit();
    };

    LogCount log;
    EXPECT_EQ(dentist(), "Dentist");
    const int onceParsed = log.count();
    ASSERT_GT(onceParsed, 0);
    EXPECT_EQ(dentist(), "Dentist");
    EXPECT_EQ(log.count(), onceParsed) << "a second store parsed the files again";

    // A change of the same size, by replacing the file as sync tools do, is seen at once.
    ASSERT_TRUE(replace("Dentist", "Doctor!"));
    EXPECT_EQ(dentist(), "Doctor!");
    EXPECT_EQ(log.count(), 2 * onceParsed);
    // So are an edit in place to another size, a new file and a removed one.
    {
        QFile f(root + "/Personal/tomorrow.ics");
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        QByteArray text = f.readAll().replace("Doctor!", "Surgery");
        text.replace("END:VCALENDAR", "X-NOTE:longer\r\nEND:VCALENDAR");
        ASSERT_TRUE(f.seek(0) && f.write(text) == text.size());
    }
    EXPECT_EQ(dentist(), "Surgery");
    ASSERT_TRUE(QFile::copy(root + "/Personal/tomorrow.ics", root + "/Work/copy.ics"));
    {
        CalendarStore store(root);
        EXPECT_EQ(ids(store.incompleteReminders(utc("2025-03-08T00:00:00"), std::nullopt)),
                  (QStringList{"tomorrow-1", "tomorrow-1"}));
    }
    ASSERT_TRUE(QFile::remove(root + "/Personal/tomorrow.ics"));

    // A store keeps what it first read while others see the change.
    CalendarStore early(root);
    EXPECT_EQ(early.incompleteReminders(utc("2025-03-08T00:00:00"), std::nullopt).size(), 1u);
    ASSERT_TRUE(QFile::remove(root + "/Work/copy.ics"));
    EXPECT_EQ(early.incompleteReminders(utc("2025-03-08T00:00:00"), std::nullopt).size(), 1u);
    EXPECT_EQ(CalendarStore(root).incompleteReminders(utc("2025-03-08T00:00:00"), std::nullopt).size(), 0u);
}

TEST_F(CalendarStoreTest, NewFoldersAndPermissionsAreSeenAndAnswersFollowTheZone)
{
    auto open = [&] { return ids(CalendarStore(root).incompleteReminders(utc("2025-03-08T00:00:00"), std::nullopt)); };
    ASSERT_EQ(open(), QStringList{"tomorrow-1"});

    // A collection made after the first read, and a file written into it afterwards.
    ASSERT_TRUE(QDir(root).mkdir("Later"));
    EXPECT_EQ(open(), QStringList{"tomorrow-1"});
    ASSERT_TRUE(QFile::copy(root + "/Personal/tomorrow.ics", root + "/Later/tomorrow.ics"));
    EXPECT_EQ(open(), (QStringList{"tomorrow-1", "tomorrow-1"}));

    // A file the user may not read is passed over, and read again once allowed.
    if (::geteuid() != 0) {
        const QByteArray later = QFile::encodeName(root + "/Later/tomorrow.ics");
        ASSERT_EQ(::chmod(later.constData(), 0), 0);
        EXPECT_EQ(open(), QStringList{"tomorrow-1"});
        ASSERT_EQ(::chmod(later.constData(), 0644), 0);
        EXPECT_EQ(open(), (QStringList{"tomorrow-1", "tomorrow-1"}));
    }

    // The same span asked in another zone is worked out again for that zone.
    auto walkStart = [&](const char* zone) {
        TimeZonePin pin{QString::fromLatin1(zone)};
        const auto events = CalendarStore(root).events(utc("2025-03-07T00:00:00"), utc("2025-03-08T00:00:00"));
        const auto walk = std::find_if(events.begin(), events.end(), [](auto& e) { return e.title == "Walk"; });
        return walk == events.end() ? Date() : walk->startDate;
    };
    EXPECT_EQ(walkStart("UTC"), utc("2025-03-07T18:30:00"));
    EXPECT_EQ(walkStart("Asia/Tokyo"), utc("2025-03-07T09:30:00"));
    EXPECT_EQ(walkStart("UTC"), utc("2025-03-07T18:30:00"));
}

TEST_F(CalendarStoreTest, ReadersOnManyThreadsAgree)
{
    const QStringList expected = ids(CalendarStore(root).incompleteReminders(std::nullopt, std::nullopt));
    ASSERT_FALSE(expected.isEmpty());
    // A change first, so that the threads race to parse the files again.
    ASSERT_TRUE(QFile::copy(root + "/Personal/tomorrow.ics", root + "/again.ics"));
    const QStringList after = ids(CalendarStore(root).incompleteReminders(std::nullopt, std::nullopt));
    ASSERT_TRUE(QFile::remove(root + "/again.ics"));
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 5; ++i) {
                CalendarStore store(root);
                if (ids(store.incompleteReminders(std::nullopt, std::nullopt)) != expected) ++wrong;
                store.events(utc("2025-03-01T00:00:00"), utc("2025-04-01T00:00:00"));
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_NE(after, expected);
}

// Each case reads one small file of its own, in the zone where its fault would show, and
// compares every instance of one event that meets the span.
TEST(CalendarStoreCases, InstancesAndTheirLengths)
{
    const struct {
        const char* what;
        const char* file;
        const char* zone;
        const char* uid;
        const char* from;
        const char* to;
        QStringList instances; // "start/end" in UTC
    } cases[] = {
        {"a cancelled instance is gone, with or without its times",
         "cancelled-instance.ics",
         "UTC",
         "standup",
         "2027-10-25T00:00:00",
         "2027-10-30T00:00:00",
         {"2027-10-25T09:30:00Z/2027-10-25T10:00:00Z", "2027-10-26T09:30:00Z/2027-10-26T10:00:00Z",
          "2027-10-29T09:30:00Z/2027-10-29T10:00:00Z"}},
        {"every 8 hours keeps its hours weeks on",
         "every-few-hours.ics",
         "UTC",
         "shift",
         "2027-01-20T00:00:00",
         "2027-01-21T00:00:00",
         {"2027-01-20T07:00:00Z/2027-01-20T07:15:00Z", "2027-01-20T15:00:00Z/2027-01-20T15:15:00Z",
          "2027-01-20T23:00:00Z/2027-01-20T23:15:00Z"}},
        // 5-hour steps from 07:00 Berlin wall time: 16 days on, the step before midnight is 22:00
        // on the 19th, so the 20th begins at 03:00 (02:00 UTC in winter).
        {"every 5 hours on a zone's wall clock",
         "every-few-hours.ics",
         "Asia/Tokyo",
         "watering",
         "2027-01-20T00:00:00",
         "2027-01-20T12:00:00",
         {"2027-01-20T02:00:00Z/2027-01-20T02:15:00Z", "2027-01-20T07:00:00Z/2027-01-20T07:15:00Z"}},
        {"every 25 minutes keeps its minutes weeks on",
         "every-few-hours.ics",
         "UTC",
         "stretch",
         "2027-01-20T00:00:00",
         "2027-01-20T01:00:00",
         {"2027-01-20T00:05:00Z/2027-01-20T00:06:00Z", "2027-01-20T00:30:00Z/2027-01-20T00:31:00Z",
          "2027-01-20T00:55:00Z/2027-01-20T00:56:00Z"}},
        {"a period gives its instance its own length",
         "rdate-period.ics",
         "UTC",
         "clinic",
         "2027-11-08T00:00:00",
         "2027-11-11T00:00:00",
         {"2027-11-08T15:00:00Z/2027-11-08T17:00:00Z", "2027-11-09T15:00:00Z/2027-11-09T15:45:00Z",
          "2027-11-10T15:00:00Z/2027-11-10T15:30:00Z"}},
        {"a day of duration ends at the same wall time across the change",
         "duration-days.ics",
         "UTC",
         "fair",
         "2027-10-30T00:00:00",
         "2027-11-01T00:00:00",
         {"2027-10-30T10:00:00Z/2027-10-31T11:00:00Z"}},
        {"24 hours of duration are 24 hours",
         "duration-days.ics",
         "UTC",
         "vigil",
         "2027-10-30T00:00:00",
         "2027-11-01T00:00:00",
         {"2027-10-30T10:00:00Z/2027-10-31T10:00:00Z"}},
        {"a floating start's day follows the current zone's change",
         "duration-days.ics",
         "America/New_York",
         "retreat",
         "2027-11-06T00:00:00",
         "2027-11-09T00:00:00",
         {"2027-11-06T16:00:00Z/2027-11-07T19:00:00Z"}},
    };
    test::grantCalendarAccess();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString file = QString::fromLatin1(c.file);
        ASSERT_TRUE(QFile::copy(test::calendarCaseFile(file), dir.filePath(file)));
        TimeZonePin zone{QString::fromLatin1(c.zone)};
        CalendarStore store(dir.path());
        QStringList instances;
        for (const CalendarEvent& e : store.events(utc(c.from), utc(c.to))) {
            if (e.identifier.section(QLatin1Char('/'), 0, 0) != QLatin1String(c.uid)) continue;
            instances << e.startDate.toQDateTime().toString(Qt::ISODate) + QLatin1Char('/') +
                             e.endDate.toQDateTime().toString(Qt::ISODate);
        }
        EXPECT_EQ(instances.join(QLatin1Char(' ')).toStdString(), c.instances.join(QLatin1Char(' ')).toStdString());
    }
}

TEST(IcsParser, BadInputIsSkippedPieceByPiece)
{
    EXPECT_FALSE(parseCalendarText("").ok);
    EXPECT_FALSE(parseCalendarText("just some words").ok);
    EXPECT_FALSE(parseCalendarText("BEGIN:VCALENDAR\nBEGIN:VTODO\nUID:x\n").ok);
    EXPECT_FALSE(parseCalendarText("BEGIN:VCARD\nFN:Someone\nEND:VCARD\n").ok);

    const auto parsed = parseCalendarText("BEGIN:VCALENDAR\nBEGIN:VTODO\nUID:a\nDUE:whenever\nEND:VTODO\n"
                                          "BEGIN:VTODO\nUID:b\nFOO;BAR=1:unknown but harmless\nEND:VTODO\n"
                                          "BEGIN:VEVENT\nUID:c\nSUMMARY:no start\nEND:VEVENT\nEND:VCALENDAR\n");
    ASSERT_TRUE(parsed.ok);
    ASSERT_EQ(parsed.reminders.size(), 1u);
    EXPECT_EQ(parsed.reminders[0].uid, "b");
    EXPECT_EQ(parsed.reminders[0].todoIndex, 1);
    EXPECT_TRUE(parsed.events.empty());
    EXPECT_EQ(parsed.problems.size(), 2);
}

TEST(IcsTime, TzidForms)
{
    const struct {
        const char* tzid;
        const char* zone; // nullptr: unknown
    } cases[] = {
        {"Europe/Paris", "Europe/Paris"},
        {"/freeassociation.sourceforge.net/Europe/Paris", "Europe/Paris"},
        {"/mozilla.org/20050126_1/America/New_York", "America/New_York"},
        {"Tokyo Standard Time", "Asia/Tokyo"},
        {"Office Time", nullptr},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        const auto z = zoneForTzid(QString::fromLatin1(c.tzid));
        EXPECT_EQ(z ? z->identifier() : QString(), c.zone ? QString::fromLatin1(c.zone) : QString()) << c.tzid;
    }
}

TEST(IcsTime, WallFieldsAndMomentsAcrossClockChangesAndOldYears)
{
    const auto at = [](const char* zone, int y, int mo, int d, int h, int mi) {
        IcsTime t;
        t.year = y, t.month = mo, t.day = d, t.hour = h, t.minute = mi;
        t.anchor = IcsTime::Anchor::zone;
        t.zone = TimeZone::named(QString::fromLatin1(zone));
        return t;
    };
    const struct {
        IcsTime wall;
        const char* utc; // nullptr: no such moment
    } cases[] = {
        {at("Europe/Berlin", 2026, 7, 1, 12, 0), "2026-07-01T10:00:00Z"},
        {at("America/New_York", 2026, 3, 8, 2, 30), "2026-03-08T07:30:00Z"},  // skipped: read forward
        {at("America/New_York", 2026, 11, 1, 1, 30), "2026-11-01T05:30:00Z"}, // twice: the first
        {at("Asia/Kolkata", 2026, 2, 28, 23, 59), "2026-02-28T18:29:00Z"},
        {at("UTC", 1582, 10, 10, 0, 0), "1582-10-10T00:00:00Z"}, // Gregorian before 1582 too
        {at("UTC", 2026, 2, 29, 0, 0), nullptr},
        {at("UTC", 0, 1, 1, 0, 0), nullptr},
    };
    const TimeZone current = *TimeZone::named(QStringLiteral("Asia/Tokyo"));
    for (const auto& c : cases) {
        const auto moment = c.wall.resolve(current);
        const QString shown = moment ? moment->toQDateTime().toString(Qt::ISODate) : QString();
        EXPECT_EQ(shown, c.utc ? QString::fromLatin1(c.utc) : QString()) << c.wall.zone->identifier().toStdString();
        if (!moment || c.wall.hour == 2) continue; // a skipped time has no wall of its own
        const IcsTime back = c.wall.wallAt(*moment, current);
        EXPECT_EQ(std::tie(back.year, back.month, back.day, back.hour, back.minute),
                  std::tie(c.wall.year, c.wall.month, c.wall.day, c.wall.hour, c.wall.minute))
            << c.utc;
    }
}

TEST(IcsTime, ADailyRuleFromAFarYearExpandsDayByDay)
{
    // Each instance of an event lasting millennia overlaps today; the instances of year 225 are
    // whole Gregorian days apart.
    const auto parsed =
        parseCalendarText("BEGIN:VCALENDAR\nBEGIN:VEVENT\nUID:old\nDTSTART:02250101T000000Z\n"
                          "DTEND:99991231T000000Z\nRRULE:FREQ=DAILY;COUNT=3\nEND:VEVENT\nEND:VCALENDAR\n");
    ASSERT_EQ(parsed.events.size(), 1u);
    const Date from = utc("2026-12-10T00:00:00");
    const auto occurrences = eventOccurrences(parsed.events[0], from, from.addingSeconds(86400), TimeZone::utc());
    ASSERT_EQ(occurrences.size(), 3u);
    EXPECT_EQ(occurrences[1].start.secondsSince(occurrences[0].start), 86400.0);
    EXPECT_EQ(occurrences[0].start.toQDateTime().toString(Qt::ISODate), QStringLiteral("0225-01-01T00:00:00Z"));
}

} // namespace
