#pragma once
// One fully populated value of every record (every optional field filled, every list
// non-empty), for the tests that run over all records.
#include "shared/models/ActivityRecords.h"
#include "shared/models/MediaRecords.h"
#include "shared/models/NoteRecords.h"
#include "shared/models/PowerRecords.h"
#include "shared/models/ReminderRecords.h"
#include "shared/models/SkyRecords.h"
#include "shared/models/SystemRecords.h"
#include "shared/models/UsageRecords.h"
#include "shared/models/WeatherRecords.h"

#include <QDateTime>

namespace velk::fixtures {

// The moment every test binary of this folder pins the clock to (a Thursday).
inline Date pinnedNow()
{
    return Date::fromQDateTime(QDateTime(QDate(2024, 5, 16), QTime(10, 0), Qt::UTC));
}

template <class T>
T full();

template <>
inline ReminderItem full()
{
    return ReminderItem::samples().at(2);
}
template <>
inline RemindersSnapshot full()
{
    return {ReminderItem::samples(), ReminderItem::samples().at(3), 42};
}
template <>
inline EventItem full()
{
    return EventItem::samples().at(1);
}
template <>
inline CalendarSnapshot full()
{
    return {EventItem::samples(), 0.375};
}
template <>
inline NowPlayingSnapshot full()
{
    return NowPlayingSnapshot::sample();
}
template <>
inline InboxSnapshot full()
{
    return InboxSnapshot::sample();
}
template <>
inline StockSnapshot full()
{
    return StockSnapshot::sample();
}
template <>
inline StockSnapshot::Point full()
{
    return StockSnapshot::sample().points.at(0);
}
template <>
inline AirQualitySnapshot full()
{
    return AirQualitySnapshot::sample();
}
template <>
inline DaylightInfo full()
{
    return DaylightInfo::sample();
}
template <>
inline MoonInfo full()
{
    return {QStringLiteral("Waxing crescent"), 0.23, true, 9, 23};
}
template <>
inline QuoteItem full()
{
    return {QStringLiteral("Well begun is half done."), QStringLiteral("Aristotle")};
}
template <>
inline SystemSnapshot full()
{
    return {12, 48, 7};
}
template <>
inline NetworkSnapshot full()
{
    return {3.25, 0.5};
}
template <>
inline StorageSnapshot full()
{
    return {412, 1000};
}
template <>
inline StopwatchState full()
{
    return StopwatchState::sample();
}
template <>
inline FocusSession full()
{
    return FocusSession::sample();
}
template <>
inline HabitItem full()
{
    return {QUuid(QStringLiteral("6F9619FF-8B86-D011-B42D-00C04FC964FF")),
            QStringLiteral("Run"),
            {QStringLiteral("2024-05-14"), QStringLiteral("2024-05-15")}};
}
template <>
inline HabitWeekRow full()
{
    return HabitWeekRow::samples().at(1);
}
template <>
inline CounterSnapshot full()
{
    return {5, 8};
}
template <>
inline WeatherSnapshot full()
{
    return WeatherSnapshot::sample();
}
template <>
inline WeatherSnapshot::Day full()
{
    return WeatherSnapshot::sample().days.at(2);
}
template <>
inline WeatherSnapshot::RainHour full()
{
    return WeatherSnapshot::sample().rainHours.at(1);
}
template <>
inline PowerSnapshot full()
{
    return PowerSnapshot::sample();
}
template <>
inline PowerSnapshot::Device full()
{
    return PowerSnapshot::sample().devices.at(0);
}
template <>
inline PowerSnapshot::LogEntry full()
{
    return PowerSnapshot::sample().log.at(2);
}
template <>
inline UsageSnapshot full()
{
    return UsageSnapshot::sample();
}
template <>
inline UsageSnapshot::App full()
{
    return UsageSnapshot::sample().apps.at(2);
}
template <>
inline UsageSnapshot::Day full()
{
    return UsageSnapshot::sample().week.at(6);
}
template <>
inline NoteItem full()
{
    return NoteItem::samples().at(3);
}

} // namespace velk::fixtures
