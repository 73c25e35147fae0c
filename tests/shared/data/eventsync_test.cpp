#include "fixtures/calendar/CalendarFixtures.h"
#include "platform/calendar/CalendarStore.h"
#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "platform/core/Locale.h"
#include "platform/core/TimeZone.h"
#include "shared/data/calendar/EventSync.h"
#include "shared/data/clock/ClockFormat.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace velk;
using velk::test::utc;

namespace {

const Date kNow = test::kFixtureNow; // Friday 2025-03-07 09:30 UTC
const Date kToday = utc("2025-03-07T00:00:00");

class EventSyncTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Defaults::shared().setInteger(ClockFormat::kTimeFormatKey, 24);
        test::grantCalendarAccess();
    }
    void TearDown() override
    {
        Defaults::shared().remove(ClockFormat::kTimeFormatKey);
        Defaults::shared().remove(EventSync::kRemindersKey);
        Defaults::shared().remove(EventSync::kCalendarKey);
        QDir(CalendarStore::defaultRoot()).removeRecursively();
    }
    ClockPin pin{kNow};
};

CalendarReminder reminder(const QString& id, std::optional<Date> due, bool hasTime = true)
{
    CalendarReminder r;
    r.identifier = id;
    r.title = id;
    r.dueDate = due;
    r.dueHasTime = due && hasTime;
    return r;
}

CalendarEvent event(const QString& id, const char* start, const char* end, QString location = {}, bool allDay = false)
{
    CalendarEvent e;
    e.identifier = id;
    e.title = id;
    e.startDate = utc(start);
    e.endDate = utc(end);
    e.location = std::move(location);
    e.allDay = allDay;
    return e;
}

QStringList itemIds(const RemindersSnapshot& s)
{
    QStringList out;
    for (const auto& i : s.items)
        out << i.id;
    return out;
}

TEST_F(EventSyncTest, ReadsTodaysRemindersFromTheStore)
{
    ASSERT_TRUE(test::copyCalendarFixtures(CalendarStore::defaultRoot()));
    const auto snapshot = EventSync::readReminders();
    ASSERT_TRUE(snapshot);
    // The last two completed today, then open ones by due date (overdue first, undated last).
    EXPECT_EQ(itemIds(*snapshot),
              (QStringList{"run-1", "ship-1", "call-1", "rent-1", "water-1", "press-1", "someday-1"}));
    const std::vector<ReminderItem> expected{
        {"run-1", "Morning run 5K", std::nullopt, true, false},
        {"ship-1", "Ship widget beta build", std::nullopt, true, false},
        {"call-1", "Call the bank", "09:00", false, true},
        {"rent-1", "Pay rent", std::nullopt, false, true},
        {"water-1", "Water the monstera", "10:15", false, true},
        {"press-1", "Call about the press kit", "14:30", false, false},
        {"someday-1", "Untitled", std::nullopt, false, false},
    };
    EXPECT_EQ(snapshot->items, expected);
    EXPECT_EQ(snapshot->nextUp, expected[4]);
    EXPECT_EQ(snapshot->minutesToNext, 45);
}

TEST_F(EventSyncTest, ReadsTodaysTimedEventsFromTheStore)
{
    ASSERT_TRUE(test::copyCalendarFixtures(CalendarStore::defaultRoot()));
    const auto snapshot = EventSync::readCalendar();
    ASSERT_TRUE(snapshot);
    const std::vector<EventItem> expected{
        {"standup-1/20250307T090000Z", "09:00", "09:15", "Standup \u00B7 widgets team", "Done", true, false},
        {"lunch-1", "12:00", "13:00", "Lunch", "60 min", false, true},
        {"review-1", "14:00", "14:45", "Design review \u00B7 VELK 1.2", "Studio B, Building 7, th \u00B7 45 min", false,
         false},
        {"1on1/20250307T110000Z", "16:00", "16:30", "One on one (moved)", "30 min", false, false},
        {"lunch-walk.ics#event0", "18:30", "19:00", "Walk", "30 min", false, false},
    };
    EXPECT_EQ(snapshot->events, expected);
    EXPECT_DOUBLE_EQ(snapshot->dayProgress, 9000.0 / 57600.0);
}

TEST_F(EventSyncTest, ABusyDayKeepsWhatIsStillAhead)
{
    // Seven half-hour meetings on the hour from 09:00 to 15:00: of more than six, the earliest
    // already over give way, and only then the latest still to come.
    QDir().mkpath(CalendarStore::defaultRoot());
    ASSERT_TRUE(QFile::copy(test::calendarCaseFile(QStringLiteral("busy-day.ics")),
                            CalendarStore::defaultRoot() + QStringLiteral("/busy-day.ics")));
    TimeZonePin zone{QStringLiteral("UTC")};
    const struct {
        const char* now;
        QStringList starts;
        const char* next; // nullptr: none
    } cases[] = {
        {"2027-11-03T08:00:00", {"09:00", "10:00", "11:00", "12:00", "13:00", "14:00"}, "09:00"},
        {"2027-11-03T10:15:00", {"10:00", "11:00", "12:00", "13:00", "14:00", "15:00"}, "11:00"},
        {"2027-11-03T14:45:00", {"10:00", "11:00", "12:00", "13:00", "14:00", "15:00"}, "15:00"},
        {"2027-11-03T16:00:00", {"10:00", "11:00", "12:00", "13:00", "14:00", "15:00"}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.now);
        ClockPin at{utc(c.now)};
        const auto snapshot = EventSync::readCalendar();
        ASSERT_TRUE(snapshot);
        QStringList starts;
        QString next;
        for (const EventItem& e : snapshot->events) {
            starts << e.start;
            if (e.isNext) next = e.start;
        }
        EXPECT_EQ(starts.join(QLatin1Char(' ')).toStdString(), c.starts.join(QLatin1Char(' ')).toStdString());
        EXPECT_EQ(next, c.next ? QString::fromLatin1(c.next) : QString());
    }
}

TEST_F(EventSyncTest, WithoutAccessReadsAreEmpty)
{
    ASSERT_TRUE(test::copyCalendarFixtures(CalendarStore::defaultRoot()));
    test::grantCalendarAccess(CalendarAuthorizationStatus::denied);
    EXPECT_EQ(EventSync::readReminders(), RemindersSnapshot{});
    const auto calendar = EventSync::readCalendar();
    ASSERT_TRUE(calendar);
    EXPECT_TRUE(calendar->events.empty());
}

TEST_F(EventSyncTest, ReminderOrderUrgencyAndNextUp)
{
    // Open as the store returns them: 10:00, none, 09:00 today, yesterday 09:00, today date-only,
    // 119 and exactly 120 minutes from now.
    const std::vector<CalendarReminder> open{
        reminder("ten", utc("2025-03-07T10:00:00")),
        reminder("none", std::nullopt),
        reminder("nine", utc("2025-03-07T09:00:00")),
        reminder("yesterday", utc("2025-03-06T09:00:00")),
        reminder("dateOnly", kToday, false),
        reminder("in119", kNow.addingSeconds(119 * 60)),
        reminder("in120", kNow.addingSeconds(120 * 60)),
    };
    const auto s = EventSync::remindersSnapshot(open, {}, kNow);
    EXPECT_EQ(itemIds(s), (QStringList{"yesterday", "dateOnly", "nine", "ten", "in119", "in120", "none"}));
    QStringList urgent;
    for (const auto& i : s.items)
        if (i.isUrgent) urgent << i.id;
    EXPECT_EQ(urgent, (QStringList{"yesterday", "dateOnly", "nine", "ten", "in119"}));
    EXPECT_FALSE(s.items[1].time); // date-only: no time label
    ASSERT_TRUE(s.nextUp);
    EXPECT_EQ(s.nextUp->id, "ten");
    EXPECT_EQ(s.minutesToNext, 30);

    // Due in 30 seconds: next up, 0 whole minutes away.
    const auto soon = EventSync::remindersSnapshot({reminder("soon", kNow.addingSeconds(30))}, {}, kNow);
    EXPECT_EQ(soon.minutesToNext, 0);

    // Nothing due later than now: no next up, whatever is overdue.
    const auto none = EventSync::remindersSnapshot(
        {reminder("yesterday", utc("2025-03-06T09:00:00")), reminder("dateOnly", kToday, false)}, {}, kNow);
    EXPECT_FALSE(none.nextUp);
    EXPECT_FALSE(none.minutesToNext);
    EXPECT_EQ(EventSync::remindersSnapshot({}, {}, kNow), RemindersSnapshot{});
}

TEST_F(EventSyncTest, OnlyTheLastTwoCompletedComeFirst)
{
    CalendarReminder a = reminder("a", std::nullopt), b = reminder("b", std::nullopt), c = reminder("c", std::nullopt);
    const auto s = EventSync::remindersSnapshot({reminder("open", std::nullopt)}, {a, b, c}, kNow);
    EXPECT_EQ(itemIds(s), (QStringList{"b", "c", "open"}));
    EXPECT_TRUE(s.items[0].done);
    EXPECT_FALSE(s.items[0].isUrgent);
}

TEST_F(EventSyncTest, EventsKeepSixTimedOnesAndMarkThePastAndTheNext)
{
    std::vector<CalendarEvent> events{event("allday", "2025-03-07T00:00:00", "2025-03-08T00:00:00", {}, true)};
    for (int h = 15; h >= 8; --h) // eight events, out of order
        events.push_back(event(QString::number(h),
                               qPrintable(QStringLiteral("2025-03-07T%1:00:00").arg(h, 2, 10, QLatin1Char('0'))),
                               qPrintable(QStringLiteral("2025-03-07T%1:50:00").arg(h, 2, 10, QLatin1Char('0')))));
    // At 11:30 three are over: the two earliest of them give way to the five still to come.
    const auto s = EventSync::calendarSnapshot(events, kToday, utc("2025-03-07T11:30:00"));
    QStringList ids, flags;
    for (const auto& e : s.events) {
        ids << e.id;
        flags << (e.isPast ? "past" : e.isNext ? "next" : "-");
    }
    EXPECT_EQ(ids, (QStringList{"10", "11", "12", "13", "14", "15"}));
    // 11:00-11:50 is under way at 11:30: neither past nor next.
    EXPECT_EQ(flags, (QStringList{"past", "-", "next", "-", "-", "-"}));
    EXPECT_EQ(s.events[0].detail, "Done");
    EXPECT_EQ(s.events[1].detail, "50 min");
}

TEST_F(EventSyncTest, LocationIsCutAtTwentyFourCharacters)
{
    // Combining accents and a character outside the BMP count as one character each.
    const QString location = QStringLiteral("Cafe\u0301 \U0001F600 Rooftop Terrace, Level 12 North");
    const auto s =
        EventSync::calendarSnapshot({event("e", "2025-03-07T10:00:00", "2025-03-07T10:20:00", location)}, kToday, kNow);
    EXPECT_EQ(s.events[0].detail, QStringLiteral("Cafe\u0301 \U0001F600 Rooftop Terrace,  \u00B7 20 min"));
    const auto untitled =
        EventSync::calendarSnapshot({event("", "2025-03-07T10:00:00", "2025-03-07T10:20:00")}, kToday, kNow);
    EXPECT_EQ(untitled.events[0].title, "Untitled");
    EXPECT_EQ(untitled.events[0].id.size(), 36); // a fresh UUID
}

TEST_F(EventSyncTest, DayProgressRunsFromSevenToEleven)
{
    const struct {
        const char* at;
        double progress;
    } cases[] = {{"2025-03-07T06:00:00", 0}, {"2025-03-07T15:00:00", 0.5}, {"2025-03-07T23:30:00", 1}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(EventSync::calendarSnapshot({}, kToday, utc(c.at)).dayProgress, c.progress) << c.at;
}

TEST_F(EventSyncTest, SnapshotsAreStoredWholeAndUnreadableOnesReadAsNothing)
{
    EXPECT_FALSE(EventSync::storedReminders());
    const RemindersSnapshot r{ReminderItem::samples(), ReminderItem::samples()[3], 42};
    EventSync::storeReminders(r);
    EXPECT_EQ(EventSync::storedReminders(), r);
    const CalendarSnapshot c{EventItem::samples(), 0.25};
    EventSync::storeCalendar(c);
    EXPECT_EQ(EventSync::storedCalendar(), c);
    // The same snapshot again, then a changed one: the last one stored is what is read.
    EventSync::storeCalendar(c);
    const CalendarSnapshot later{EventItem::samples(), 0.5};
    EventSync::storeCalendar(later);
    EXPECT_EQ(EventSync::storedCalendar(), later);

    Defaults::shared().setData(EventSync::kCalendarKey, R"({"events":[]})"); // no dayProgress
    EXPECT_FALSE(EventSync::storedCalendar());
    EXPECT_EQ(Defaults::shared().data(EventSync::kCalendarKey), QByteArray(R"({"events":[]})")); // left in place
}

TEST_F(EventSyncTest, TimeLabelsFollowTheClockSettingAndZoneFromReadToRead)
{
    CalendarReminder due;
    due.identifier = "due-1";
    due.dueDate = utc("2025-03-07T13:07:00");
    due.dueHasTime = true;
    auto label = [&] { return EventSync::remindersSnapshot({due}, {}, kNow).items.at(0).time; };
    EXPECT_EQ(label(), "13:07");
    Defaults::shared().setInteger(ClockFormat::kTimeFormatKey, 12);
    EXPECT_EQ(label(), "1:07");
    {
        TimeZonePin zone(QStringLiteral("Asia/Tokyo"));
        EXPECT_EQ(label(), "10:07");
    }
    Defaults::shared().setInteger(ClockFormat::kTimeFormatKey, 24);
    EXPECT_EQ(label(), "13:07");
}

TEST_F(EventSyncTest, ClockFormatFollowsTheSettingThenTheLocale)
{
    const Date at = utc("2025-03-07T13:07:00");
    const struct {
        qint64 setting;
        const char* locale;
        const char* text;
    } cases[] = {
        {24, "en_US", "13:07"}, {12, "de_DE", "1:07"}, {0, "de_DE", "13:07"},
        {0, "en_US", "1:07"},   {99, "en_US", "1:07"}, {0, "ar_EG", "1:07"}, // ASCII digits always
    };
    for (const auto& c : cases) {
        Defaults::shared().setInteger(ClockFormat::kTimeFormatKey, c.setting);
        LocalePin locale(QString::fromLatin1(c.locale));
        EXPECT_EQ(ClockFormat::hhmm(at, TimeZone::utc()), QString::fromLatin1(c.text)) << c.setting << " " << c.locale;
    }
    Defaults::shared().setInteger(ClockFormat::kTimeFormatKey, 24);
    EXPECT_EQ(ClockFormat::hhmm(at, *TimeZone::named("Asia/Tokyo")), "22:07");
    Defaults::shared().setInteger(ClockFormat::kTimeFormatKey, 12);
    EXPECT_EQ(ClockFormat::hhmm(utc("2025-03-07T00:05:00"), TimeZone::utc()), "12:05");
}

} // namespace
