#include "platform/core/Calendar.h"
#include "platform/core/Clock.h"
#include <gtest/gtest.h>

using namespace velk;
using C = CalendarComponent;

namespace {

Date utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return Date::fromQDateTime(QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC));
}

Calendar in(const char* zone, int firstWeekday = 1)
{
    Calendar cal = Calendar::gregorian();
    cal.setTimeZone(*TimeZone::named(QString::fromLatin1(zone)));
    cal.setFirstWeekday(firstWeekday);
    return cal;
}

// New York springs forward on 2025-03-09 at 02:00 (EST -5 -> EDT -4) and falls back on
// 2025-11-02 at 02:00; Berlin springs forward on 2025-03-30 at 02:00 (CET +1 -> CEST +2).

} // namespace

TEST(Calendar, ComponentsFollowTheZone)
{
    const Date d = utc(2026, 12, 9, 23, 30, 15); // a Wednesday in UTC
    struct Row {
        const char* zone;
        int year, month, day, hour, weekday;
    } rows[] = {
        {"UTC", 2026, 12, 9, 23, 4},
        {"Asia/Tokyo", 2026, 12, 10, 8, 5},
        {"America/New_York", 2026, 12, 9, 18, 4},
        {"Asia/Kolkata", 2026, 12, 10, 5, 5},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.zone);
        const DateComponents c = in(r.zone).dateComponents({C::year, C::month, C::day, C::hour, C::weekday}, d);
        EXPECT_EQ(c.year, r.year);
        EXPECT_EQ(c.month, r.month);
        EXPECT_EQ(c.day, r.day);
        EXPECT_EQ(c.hour, r.hour);
        EXPECT_EQ(c.weekday, r.weekday);
        EXPECT_FALSE(c.minute.has_value());
    }
    EXPECT_EQ(in("UTC").component(C::nanosecond, d.addingSeconds(0.25)), 250'000'000);
    EXPECT_EQ(in("Asia/Kolkata").component(C::minute, d), 0);
}

TEST(Calendar, DateFromComponentsUsesTheirZoneAndRejectsInvalidValues)
{
    const Calendar cal = in("UTC");
    DateComponents preview;
    preview.year = 2026;
    preview.month = 7;
    preview.day = 15;
    preview.hour = 16;
    preview.minute = 32;
    preview.second = 37;
    preview.timeZone = TimeZone::named("Europe/London");
    EXPECT_EQ(cal.date(preview), utc(2026, 7, 15, 15, 32, 37));

    DateComponents leap;
    leap.year = 2024;
    leap.month = 2;
    leap.day = 29;
    EXPECT_EQ(cal.date(leap), utc(2024, 2, 29));

    struct Bad {
        const char* what;
        int month, day, hour, minute;
    } bad[] = {
        {"month 13", 13, 1, 0, 0},    {"month 0", 0, 1, 0, 0},  {"31 April", 4, 31, 0, 0},
        {"29 Feb 2025", 2, 29, 0, 0}, {"hour 24", 1, 1, 24, 0}, {"minute 60", 1, 1, 0, 60},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.what);
        DateComponents c;
        c.year = 2025;
        c.month = b.month;
        c.day = b.day;
        c.hour = b.hour;
        c.minute = b.minute;
        EXPECT_FALSE(cal.date(c).has_value());
    }
}

TEST(Calendar, DateFromComponentsResolvesClockChanges)
{
    const Calendar ny = in("America/New_York");
    DateComponents c;
    c.year = 2025;
    c.month = 3;
    c.day = 9;
    c.hour = 2;
    c.minute = 30;
    EXPECT_EQ(ny.date(c), utc(2025, 3, 9, 7, 30)) << "skipped 02:30 shifts forward to 03:30 EDT";
    c.month = 11;
    c.day = 2;
    c.hour = 1;
    EXPECT_EQ(ny.date(c), utc(2025, 11, 2, 5, 30)) << "repeated 01:30 takes the first (EDT)";

    DateComponents week; // Monday of ISO-style week 2 of 2026 with Monday-first weeks
    week.yearForWeekOfYear = 2026;
    week.weekOfYear = 2;
    week.weekday = 2;
    Calendar iso = in("UTC", 2);
    iso.setMinimumDaysInFirstWeek(4);
    EXPECT_EQ(iso.date(week), utc(2026, 1, 5));
}

TEST(Calendar, StartOfDayAndDayLengthAcrossClockChanges)
{
    const Calendar ny = in("America/New_York");
    EXPECT_EQ(ny.startOfDay(utc(2025, 3, 9, 19)), utc(2025, 3, 9, 5));
    EXPECT_EQ(ny.dateInterval(C::day, utc(2025, 3, 9, 19))->duration, 23 * 3600.0);
    EXPECT_EQ(ny.dateInterval(C::day, utc(2025, 11, 2, 19))->duration, 25 * 3600.0);
    EXPECT_EQ(ny.dateInterval(C::day, utc(2025, 6, 1, 19))->duration, 24 * 3600.0);

    // Sao Paulo skipped midnight on 2018-11-04: that day starts at 01:00 (-02:00).
    EXPECT_EQ(in("America/Sao_Paulo").startOfDay(utc(2018, 11, 4, 15)), utc(2018, 11, 4, 3));
}

TEST(Calendar, AddingKeepsWallClockForDaysAndElapsedTimeForHours)
{
    const Calendar ny = in("America/New_York");
    const Date noonBefore = utc(2025, 3, 8, 17); // 12:00 EST
    EXPECT_EQ(ny.date(C::day, 1, noonBefore), utc(2025, 3, 9, 16)) << "12:00 EDT, 23 hours later";
    EXPECT_EQ(ny.date(C::hour, 24, noonBefore), utc(2025, 3, 9, 17)) << "13:00 EDT";
    EXPECT_EQ(ny.date(C::minute, 15, noonBefore), utc(2025, 3, 8, 17, 15));
    EXPECT_EQ(ny.date(C::day, -7, utc(2025, 3, 12, 16)), utc(2025, 3, 5, 17));

    const Calendar cal = in("UTC");
    EXPECT_EQ(cal.date(C::month, 1, utc(2025, 1, 31, 9)), utc(2025, 2, 28, 9)) << "pinned to the month's end";
    EXPECT_EQ(cal.date(C::minute, 15, utc(2025, 1, 1, 10, 50), true), utc(2025, 1, 1, 10, 5)) << "wraps in the hour";
    EXPECT_EQ(cal.date(C::minute, 15, utc(2025, 1, 1, 10, 50).addingSeconds(0.5)),
              utc(2025, 1, 1, 11, 5).addingSeconds(0.5))
        << "keeps the fraction of a second";
}

TEST(Calendar, SettingATimeOfDayThatASpringForwardSkips)
{
    const Calendar berlin = in("Europe/Berlin");
    const Date day = utc(2025, 3, 30, 10);
    struct Row {
        MatchingPolicy policy;
        std::optional<Date> expected;
    } rows[] = {
        {MatchingPolicy::nextTime, utc(2025, 3, 30, 1, 0)},                                 // 03:00 CEST
        {MatchingPolicy::nextTimePreservingSmallerComponents, utc(2025, 3, 30, 1, 30)},     // 03:30 CEST
        {MatchingPolicy::previousTimePreservingSmallerComponents, utc(2025, 3, 30, 0, 30)}, // 01:30 CET
        {MatchingPolicy::strict, std::nullopt},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(int(r.policy));
        EXPECT_EQ(berlin.date(2, 30, 0, day, r.policy), r.expected);
    }
    EXPECT_EQ(berlin.date(7, 40, 0, day), utc(2025, 3, 30, 5, 40)) << "an ordinary time of that day";

    const Calendar ny = in("America/New_York");
    const Date fallDay = utc(2025, 11, 2, 15);
    EXPECT_EQ(ny.date(1, 30, 0, fallDay, MatchingPolicy::nextTime, RepeatedTimePolicy::first), utc(2025, 11, 2, 5, 30));
    EXPECT_EQ(ny.date(1, 30, 0, fallDay, MatchingPolicy::nextTime, RepeatedTimePolicy::last), utc(2025, 11, 2, 6, 30));
}

TEST(Calendar, NextDateMatchingComponents)
{
    const Calendar ny = in("America/New_York");
    const Date wednesday1045 = utc(2025, 6, 4, 14, 45); // 10:45 EDT
    auto match = [](std::initializer_list<std::pair<C, int>> values) {
        DateComponents c;
        for (auto [k, v] : values)
            c.setValue(k, v);
        return c;
    };
    EXPECT_EQ(ny.nextDate(wednesday1045, match({{C::weekday, 2}})), utc(2025, 6, 9, 4)) << "next Monday 00:00";
    EXPECT_EQ(ny.nextDate(wednesday1045, match({{C::hour, 9}})), utc(2025, 6, 5, 13)) << "tomorrow 09:00";
    EXPECT_EQ(ny.nextDate(wednesday1045, match({{C::minute, 30}})), utc(2025, 6, 4, 15, 30)) << "11:30";
    EXPECT_EQ(ny.nextDate(wednesday1045, match({{C::hour, 9}}), MatchingPolicy::nextTime, RepeatedTimePolicy::first,
                          SearchDirection::backward),
              utc(2025, 6, 4, 13));
    EXPECT_EQ(ny.nextDate(wednesday1045, match({{C::month, 2}, {C::day, 29}})), utc(2028, 2, 29, 5));
    EXPECT_FALSE(ny.nextDate(wednesday1045, match({{C::month, 2}, {C::day, 30}})).has_value());
    EXPECT_FALSE(ny.nextDate(wednesday1045, match({{C::weekOfYear, 3}})).has_value());

    const Date springEve = utc(2025, 3, 8, 17);
    EXPECT_EQ(ny.nextDate(springEve, match({{C::hour, 2}, {C::minute, 30}})), utc(2025, 3, 9, 7)) << "03:00 EDT";
    EXPECT_EQ(ny.nextDate(springEve, match({{C::hour, 2}, {C::minute, 30}}), MatchingPolicy::strict),
              utc(2025, 3, 10, 6, 30))
        << "strict searches on to the next day that has 02:30";
}

TEST(Calendar, OrdinalityRangeAndIntervals)
{
    const Calendar cal = in("UTC");
    EXPECT_EQ(cal.ordinality(C::day, C::year, utc(2025, 1, 1)), 1);
    EXPECT_EQ(cal.ordinality(C::day, C::year, utc(2024, 12, 31, 23)), 366);
    // Day in era counts from 1 January of year 1; consecutive days give consecutive numbers.
    EXPECT_EQ(cal.ordinality(C::day, C::era, utc(2001, 1, 1)), 730488);
    EXPECT_EQ(*cal.ordinality(C::day, C::era, utc(2026, 1, 1, 0, 0, 1)),
              *cal.ordinality(C::day, C::era, utc(2025, 12, 31, 23, 59, 59)) + 1);
    // It follows the local day: 23:30 UTC is already tomorrow in Tokyo.
    EXPECT_EQ(*in("Asia/Tokyo").ordinality(C::day, C::era, utc(2025, 5, 5, 23, 30)),
              *cal.ordinality(C::day, C::era, utc(2025, 5, 5)) + 1);

    EXPECT_EQ(cal.range(C::day, C::month, utc(2024, 2, 10)), (CalendarRange{1, 30}));
    EXPECT_EQ(cal.range(C::day, C::month, utc(2025, 2, 10))->count(), 28);
    EXPECT_EQ(cal.range(C::day, C::month, utc(2025, 12, 10))->count(), 31);
    EXPECT_EQ(cal.range(C::day, C::year, utc(2024, 6, 1))->count(), 366);
    EXPECT_FALSE(cal.range(C::year, C::day, utc(2024, 6, 1)).has_value());

    EXPECT_EQ(cal.dateInterval(C::minute, utc(2025, 1, 1, 10, 45, 37).addingSeconds(0.5)),
              (DateInterval{utc(2025, 1, 1, 10, 45), 60}));
    // Kathmandu (+05:45) hours start on the local hour.
    EXPECT_EQ(in("Asia/Kathmandu").dateInterval(C::hour, utc(2025, 1, 1, 10, 20))->start, utc(2025, 1, 1, 10, 15));
    EXPECT_EQ(cal.dateInterval(C::month, utc(2024, 2, 10)), (DateInterval{utc(2024, 2, 1), 29 * 86400.0}));
    EXPECT_EQ(cal.dateInterval(C::year, utc(2024, 2, 10)), (DateInterval{utc(2024, 1, 1), 366 * 86400.0}));
}

TEST(Calendar, WeekStartsOnTheFirstWeekday)
{
    const Date wednesday = utc(2026, 12, 9, 12);
    EXPECT_EQ(in("UTC", 1).dateInterval(C::weekOfYear, wednesday), (DateInterval{utc(2026, 12, 6), 7 * 86400.0}));
    EXPECT_EQ(in("UTC", 2).dateInterval(C::weekOfYear, wednesday), (DateInterval{utc(2026, 12, 7), 7 * 86400.0}));
    EXPECT_EQ(in("UTC", 2).dateInterval(C::weekOfYear, utc(2026, 12, 7)),
              in("UTC", 2).dateInterval(C::weekOfYear, wednesday))
        << "the first day belongs to its own week";
    EXPECT_EQ(in("UTC", 2).dateInterval(C::weekOfYear, utc(2026, 12, 6, 23)),
              (DateInterval{utc(2026, 11, 30), 7 * 86400.0}));
    EXPECT_EQ(in("UTC", 2).ordinality(C::weekday, C::weekOfYear, utc(2026, 12, 6)), 7);

    // Berlin's week of the spring-forward Sunday is an hour short.
    EXPECT_EQ(in("Europe/Berlin", 2).dateInterval(C::weekOfYear, utc(2025, 3, 26, 12)),
              (DateInterval{utc(2025, 3, 23, 23), 7 * 86400.0 - 3600}));
}

TEST(Calendar, CurrentTakesTheLocalesWeekRulesAndZone)
{
    TimeZonePin zone("Europe/Berlin");
    {
        LocalePin locale("en_US");
        EXPECT_EQ(Calendar::current().firstWeekday(), 1);
        EXPECT_EQ(Calendar::current().timeZone().identifier(), "Europe/Berlin");
    }
    {
        LocalePin locale("de_DE");
        EXPECT_EQ(Calendar::current().firstWeekday(), 2);
        EXPECT_EQ(Calendar::current().minimumDaysInFirstWeek(), 4);
    }
}

TEST(Calendar, SameDayIsDecidedInTheCalendarsZone)
{
    const Date late = utc(2025, 5, 5, 23, 30);
    const Date early = utc(2025, 5, 5, 1);
    EXPECT_TRUE(in("UTC").isDate(late, early));
    EXPECT_FALSE(in("Asia/Tokyo").isDate(late, early));

    ClockPin pin(utc(2025, 5, 5, 12));
    EXPECT_TRUE(in("UTC").isDateInToday(early));
    EXPECT_FALSE(in("UTC").isDateInToday(utc(2025, 5, 6)));
    EXPECT_TRUE(in("America/New_York").isDateInToday(utc(2025, 5, 6, 3))) << "still the 5th in New York";
}
