// The stored shapes other programs rely on, whole-document failures inside lists, equality of
// texts and numbers, and the built-in samples.
#include "records_fixtures.h"

#include "platform/core/Clock.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cmath>

using namespace velk;

namespace {
QStringList keysOf(const std::optional<QByteArray>& bytes)
{
    return bytes ? QJsonDocument::fromJson(*bytes).object().keys() : QStringList{QStringLiteral("<not encoded>")};
}
QStringList sorted(QStringList l)
{
    l.sort();
    return l;
}
} // namespace

TEST(RecordShape, EmptyOptionalsAreLeftOut)
{
    const std::vector<std::pair<std::optional<QByteArray>, QStringList>> cases{
        {encodeJson(ReminderItem{QStringLiteral("x"), QStringLiteral("t"), std::nullopt, false, false}),
         {"id", "title", "done", "isUrgent"}},
        {encodeJson(RemindersSnapshot{{}, std::nullopt, std::nullopt}), {"items"}},
        {encodeJson(InboxSnapshot{0, std::nullopt, std::nullopt, false, Date()}), {"unread", "connected", "updated"}},
        {encodeJson(StockSnapshot::Point{3, std::nullopt}), {"value"}},
        {encodeJson(StockSnapshot::Point{3, QString()}), {"value", "label"}},
        {encodeJson(SystemSnapshot{1, 2, std::nullopt}), {"cpuPercent", "memoryPercent"}},
        {encodeJson(StopwatchState{}), {"laps"}},
        {encodeJson(FocusSession{std::nullopt, 25}), {"minutes"}},
        {encodeJson(PowerSnapshot{1, true, std::nullopt, {}, {}}), {"percent", "isCharging", "devices", "log"}},
        {encodeJson(NoteItem(QStringLiteral("n"), Date(), false)), {"id", "text", "edited", "pinned"}},
    };
    for (const auto& [bytes, keys] : cases)
        EXPECT_EQ(keysOf(bytes), sorted(keys)) << keys.join(',').toStdString();

    EXPECT_EQ(*encodeJson(StopwatchState{}), QByteArray(R"({"laps":[]})"));
    EXPECT_EQ(*encodeJson(StockSnapshot::Point{3, QString()}), QByteArray(R"({"value":3,"label":""})"));
    WeatherSnapshot noCode = WeatherSnapshot::sample();
    noCode.code.reset();
    EXPECT_FALSE(keysOf(encodeJson(noCode)).contains(QStringLiteral("code")));
}

TEST(RecordShape, MinimalDocumentsDecode)
{
    EXPECT_EQ(decodeJson<StopwatchState>(R"({"laps":[]})"), StopwatchState{});
    EXPECT_EQ(decodeJson<FocusSession>(R"({"minutes":25,"endDate":null})"), (FocusSession{std::nullopt, 25}));
    EXPECT_FALSE(decodeJson<FocusSession>(R"({"endDate":10})"));
    EXPECT_EQ(decodeJson<RemindersSnapshot>(R"({"items":[]})"), RemindersSnapshot{});
    EXPECT_EQ(decodeJson<NetworkSnapshot>(R"({"downMBs":3,"upMBs":0})"), (NetworkSnapshot{3, 0}));
    EXPECT_EQ(decodeJson<UsageSnapshot>(R"({"totalMinutes":0,"budgetMinutes":60,"apps":[],"week":[]})"),
              (UsageSnapshot{0, 60, {}, {}}));
    EXPECT_EQ(decodeJson<PowerSnapshot>(R"({"percent":5,"isCharging":false,"devices":[],"log":[]})"),
              (PowerSnapshot{5, false, std::nullopt, {}, {}}));
    EXPECT_EQ(decodeJson<StockSnapshot::Point>(R"({"value":1,"label":null})"), (StockSnapshot::Point{1, std::nullopt}));
}

TEST(RecordShape, OneBadElementFailsTheWholeDocument)
{
    const auto without = [](const QByteArray& doc, const char* from, const char* to) {
        QByteArray b = doc;
        const qsizetype at = b.indexOf(from);
        EXPECT_GE(at, 0) << from;
        return b.replace(at, qsizetype(qstrlen(from)), to);
    };
    const QByteArray calendar = *encodeJson(CalendarSnapshot{EventItem::samples(), 0.5});
    EXPECT_FALSE(decodeJson<CalendarSnapshot>(without(calendar, R"(,"isNext":true)", "")));
    const QByteArray reminders = *encodeJson(RemindersSnapshot{ReminderItem::samples(), ReminderItem::samples()[3], 5});
    EXPECT_FALSE(decodeJson<RemindersSnapshot>(without(reminders, R"("isUrgent":true)", R"("isUrgent":1)")));
    const QByteArray weather = *encodeJson(WeatherSnapshot::sample());
    EXPECT_FALSE(decodeJson<WeatherSnapshot>(without(weather, R"("high":31)", R"("high":31.5)")));
    EXPECT_FALSE(decodeJson<WeatherSnapshot>(without(weather, R"("chance":1)", R"("chance":"1")")));
    const QByteArray power = *encodeJson(PowerSnapshot::sample());
    EXPECT_FALSE(decodeJson<PowerSnapshot>(without(power, R"("percent":12)", R"("percent":null)")));
    const QByteArray usage = *encodeJson(UsageSnapshot::sample());
    EXPECT_FALSE(decodeJson<UsageSnapshot>(without(usage, R"(,"isPeak":true)", "")));

    // The habits list is one array: a habit without an id fails all of them.
    const QByteArray habits =
        R"([{"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","name":"Run","checkins":[]},{"name":"Read","checkins":[]}])";
    EXPECT_FALSE(decodeJson<std::vector<HabitItem>>(habits));
}

TEST(RecordShape, IdentifiersMustBeUuidTexts)
{
    const NoteItem note(QUuid(QStringLiteral("6F9619FF-8B86-D011-B42D-00C04FC964FF")), QStringLiteral("a"), Date(5),
                        true);
    const QByteArray bytes = *encodeJson(note);
    EXPECT_TRUE(bytes.contains(R"("id":"6F9619FF-8B86-D011-B42D-00C04FC964FF")"));
    EXPECT_EQ(decodeJson<NoteItem>(bytes)->id, note.id);
    for (const char* id :
         {"not-a-uuid", "", "6F9619FF8B86D011B42D00C04FC964FF", "{6F9619FF-8B86-D011-B42D-00C04FC964FF}"}) {
        QByteArray doc = bytes;
        doc.replace("6F9619FF-8B86-D011-B42D-00C04FC964FF", id);
        EXPECT_FALSE(decodeJson<NoteItem>(doc)) << id;
        EXPECT_FALSE(decodeJson<HabitItem>(R"({"id":")" + QByteArray(id) + R"(","name":"x","checkins":[]})")) << id;
    }
}

TEST(RecordEquality, TextsNumbersSetsAndIdentities)
{
    // Canonically equivalent spellings are the same text.
    const QString composed = QStringLiteral("Caf\u00E9");
    const QString decomposed = QStringLiteral("Cafe\u0301");
    EXPECT_EQ((QuoteItem{composed, QStringLiteral("A")}), (QuoteItem{decomposed, QStringLiteral("A")}));
    EXPECT_NE((QuoteItem{composed, QStringLiteral("A")}), (QuoteItem{QStringLiteral("Cafe"), QStringLiteral("A")}));
    EXPECT_EQ((ReminderItem{composed, {}, decomposed, false, false}),
              (ReminderItem{decomposed, {}, composed, false, false}));

    // A NaN is never equal, not even to itself.
    const NetworkSnapshot nan{std::nan(""), 0};
    EXPECT_NE(nan, nan);

    // Check-in days compare as sets, whatever order the document lists them in.
    const QByteArray a =
        R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","name":"Run","checkins":["2024-05-01","2024-05-03"]})";
    const QByteArray b =
        R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","name":"Run","checkins":["2024-05-03","2024-05-01","2024-05-03"]})";
    EXPECT_EQ(decodeJson<HabitItem>(a), decodeJson<HabitItem>(b));
    EXPECT_EQ(decodeJson<HabitItem>(a)->checkins.size(), 2u);

    // Identity is not equality.
    const PowerSnapshot::LogEntry e1{Date(10), QStringLiteral("a"), false};
    const PowerSnapshot::LogEntry e2{Date(10), QStringLiteral("b"), false};
    EXPECT_EQ(e1.id(), e2.id());
    EXPECT_NE(e1, e2);
    const NoteItem n1(QStringLiteral("same"), Date(1), false);
    const NoteItem n2(QStringLiteral("same"), Date(1), false);
    EXPECT_NE(n1.id, n2.id);
    EXPECT_NE(n1, n2);
    EXPECT_NE(HabitItem(QStringLiteral("Run")).id, HabitItem(QStringLiteral("Run")).id);
}

TEST(Samples, MadeFromTheClockAtEachCall)
{
    const Date now = fixtures::pinnedNow();
    // A sample shows as at the moment it is shown: a later clock gives a later sample. (ClockPin
    // would unpin on exit.)
    (void)WeatherSnapshot::sample();
    Clock::pin(now.addingSeconds(3600));
    EXPECT_EQ(WeatherSnapshot::sample().updated, now.addingSeconds(3600));
    EXPECT_EQ(StopwatchState::sample().startDate, now.addingSeconds(3600 - 287.3));
    Clock::pin(now);
    EXPECT_EQ(NowPlayingSnapshot::sample().updated, now);
    EXPECT_EQ(InboxSnapshot::sample().latestDate, now.addingSeconds(-120));
    EXPECT_EQ(InboxSnapshot::sample().updated, now);
    EXPECT_EQ(StockSnapshot::sample().updated, now);
    EXPECT_EQ(AirQualitySnapshot::sample().updated, now);
    EXPECT_EQ(StopwatchState::sample().startDate, now.addingSeconds(-287.3));
    EXPECT_EQ(FocusSession::sample().endDate, now.addingSeconds(932));
    EXPECT_EQ(WeatherSnapshot::sample().updated, now);

    const std::vector<double> noteAges{0, 3600, 86400, 86400, 259200, 345600, 432000};
    const std::vector<bool> pins{false, false, false, true, true, false, false};
    ASSERT_EQ(NoteItem::samples().size(), noteAges.size());
    for (size_t i = 0; i < noteAges.size(); ++i) {
        EXPECT_EQ(NoteItem::samples()[i].edited, now.addingSeconds(-noteAges[i])) << i;
        EXPECT_EQ(NoteItem::samples()[i].pinned, pins[i]) << i;
    }
    EXPECT_EQ(NoteItem::samples()[0].text,
              QStringLiteral("Widget idea \u2014 dot-matrix pomodoro that fills as the session burns down."));

    // Fresh identities, distinct from each other and stable for the process.
    std::set<QUuid> ids;
    for (const NoteItem& n : NoteItem::samples())
        ids.insert(n.id);
    for (const HabitItem& h : HabitItem::samples())
        ids.insert(h.id);
    for (const HabitWeekRow& r : HabitWeekRow::samples())
        ids.insert(r.id);
    EXPECT_EQ(ids.size(), 13u);
    EXPECT_FALSE(ids.contains(QUuid()));
    EXPECT_EQ(HabitItem::samples()[1].id, HabitItem::samples()[1].id);
}

TEST(Samples, PowerLogAndDaylightFallOnTodayInTheUsersCalendar)
{
    const Date midnight = Date::fromQDateTime(QDateTime(QDate(2024, 5, 16), QTime(0, 0), Qt::UTC));
    const PowerSnapshot& power = PowerSnapshot::sample();
    ASSERT_EQ(power.log.size(), 3u);
    EXPECT_EQ(power.log[0].time, midnight.addingSeconds(7 * 3600 + 40 * 60));
    EXPECT_EQ(power.log[1].time, midnight.addingSeconds(8 * 3600 + 15 * 60));
    EXPECT_EQ(power.log[2].time, midnight.addingSeconds(16 * 3600 + 32 * 60));
    EXPECT_EQ(power.log[1].message, QStringLiteral("Disconnected \u00B7 Drain 9%/h"));
    EXPECT_TRUE(power.log[2].isCurrent);

    const DaylightInfo& day = DaylightInfo::sample();
    EXPECT_EQ(day.sunrise, midnight.addingSeconds(5 * 3600 + 2 * 60));
    EXPECT_EQ(day.lengthLabel(), QStringLiteral("15H 40M"));
}

TEST(Samples, FixedDataIsAsPublished)
{
    const auto& r = ReminderItem::samples();
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(r[3], (ReminderItem{QStringLiteral("4"), QStringLiteral("Water the monstera"), QStringLiteral("18:30"),
                                  false, true}));
    EXPECT_FALSE(r[0].time);
    const auto& e = EventItem::samples();
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[1].title, QStringLiteral("Design review \u00B7 VELK 1.2"));
    EXPECT_TRUE(e[2].isNext);

    const UsageSnapshot& u = UsageSnapshot::sample();
    EXPECT_EQ(u.week.back().minutes, u.totalMinutes);
    EXPECT_GT(u.totalMinutes, u.budgetMinutes);
    EXPECT_TRUE(u.apps[2].isFlagged);

    const StockSnapshot& s = StockSnapshot::sample();
    ASSERT_EQ(s.points.size(), 8u);
    EXPECT_EQ(s.points[4], (StockSnapshot::Point{58, QStringLiteral("2PM")}));
    EXPECT_FALSE(s.points[7].label);
}
