// The reminders and calendar providers: which data each road takes (preview, live read with
// access, the stored copy, the fallbacks), the surface, the dates and the reload policy. Both
// follow the same chain, so every case runs for both.
#include "widgets/time/CalendarProvider.h"
#include "widgets/time/RemindersProvider.h"

#include "fixtures/calendar/CalendarFixtures.h"
#include "platform/calendar/CalendarStore.h"
#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "shared/data/calendar/EventSync.h"
#include "shared/data/clock/ClockFormat.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace velk;
using timeline::TimelineContext;

namespace {

struct Reminders {
    using Provider = RemindersProvider;
    using Snapshot = RemindersSnapshot;
    static constexpr CalendarEntityType entity = CalendarEntityType::reminder;
    static QString key() { return EventSync::kRemindersKey; }
    static void store(const Snapshot& s) { EventSync::storeReminders(s); }
    static std::optional<Snapshot> stored() { return EventSync::storedReminders(); }
    // Something that is neither the sample nor what the fixture store holds.
    static Snapshot kept()
    {
        return Snapshot{{ReminderItem{"kept", "Kept copy", std::nullopt, false, false}}, std::nullopt, std::nullopt};
    }
};

struct Events {
    using Provider = CalendarProvider;
    using Snapshot = CalendarSnapshot;
    static constexpr CalendarEntityType entity = CalendarEntityType::event;
    static QString key() { return EventSync::kCalendarKey; }
    static void store(const Snapshot& s) { EventSync::storeCalendar(s); }
    static std::optional<Snapshot> stored() { return EventSync::storedCalendar(); }
    static Snapshot kept()
    {
        return Snapshot{{EventItem{"kept", "08:00", std::nullopt, "Kept copy", std::nullopt, false, false}}, 0.25};
    }
};

template <class T>
class CalendarProviders : public ::testing::Test {
protected:
    using Provider = typename T::Provider;
    using Snapshot = typename T::Snapshot;

    void SetUp() override
    {
        Defaults::shared().setInteger(ClockFormat::kTimeFormatKey, 24);
        ASSERT_TRUE(test::copyCalendarFixtures(CalendarStore::defaultRoot()));
    }
    void TearDown() override
    {
        Defaults::shared().remove(ClockFormat::kTimeFormatKey);
        Defaults::shared().remove(EventSync::kRemindersKey);
        Defaults::shared().remove(EventSync::kCalendarKey);
        CalendarAccess::setStatus(CalendarEntityType::reminder, CalendarAuthorizationStatus::notDetermined);
        CalendarAccess::setStatus(CalendarEntityType::event, CalendarAuthorizationStatus::notDetermined);
        QDir(CalendarStore::defaultRoot()).removeRecursively();
    }
    static void access(CalendarAuthorizationStatus status) { CalendarAccess::setStatus(T::entity, status); }
    // What a placed widget would read live right now.
    static Snapshot live()
    {
        if constexpr (std::is_same_v<Snapshot, RemindersSnapshot>)
            return *EventSync::readReminders();
        else
            return *EventSync::readCalendar();
    }

    ClockPin pin{test::kFixtureNow};
    const TimelineContext placed{timeline::WidgetFamily::small, {160, 160}, false};
    const TimelineContext gallery{timeline::WidgetFamily::small, {160, 160}, true};
    const SurfaceConfigIntent glass{SurfaceOption::glass};
};

using Both = ::testing::Types<Reminders, Events>;
TYPED_TEST_SUITE(CalendarProviders, Both);

TYPED_TEST(CalendarProviders, SamplesAreTheBuiltInRows)
{
    if constexpr (std::is_same_v<TypeParam, Reminders>) {
        const RemindersSnapshot s = RemindersProvider::sampleSnapshot();
        EXPECT_EQ(s.items, ReminderItem::samples());
        ASSERT_TRUE(s.nextUp);
        EXPECT_EQ(s.nextUp->id, "3");
        EXPECT_EQ(s.minutesToNext, 28);
        EXPECT_EQ(RemindersProvider::emptySnapshot(), RemindersSnapshot{});
    } else {
        EXPECT_EQ(CalendarProvider::sampleSnapshot().events, EventItem::samples());
        EXPECT_EQ(CalendarProvider::sampleSnapshot().dayProgress, 0.68);
        EXPECT_EQ(CalendarProvider::emptySnapshot(), (CalendarSnapshot{{}, 0.0}));
    }
}

TYPED_TEST(CalendarProviders, PlaceholderIsTheSampleOnTheAppSurfaceAndTouchesNoStore)
{
    this->access(CalendarAuthorizationStatus::fullAccess);
    const auto entry = typename TestFixture::Provider{}.placeholder(this->placed);
    EXPECT_EQ(entry.date, test::kFixtureNow);
    EXPECT_EQ(entry.data, TestFixture::Provider::sampleSnapshot());
    EXPECT_EQ(entry.surface, SurfaceOption::followApp);
    EXPECT_FALSE(Defaults::shared().contains(TypeParam::key()));
}

TYPED_TEST(CalendarProviders, PreviewIsTheSampleWhateverIsThere)
{
    this->access(CalendarAuthorizationStatus::fullAccess);
    TypeParam::store(TypeParam::kept());
    const auto entry = typename TestFixture::Provider{}.snapshot(this->glass, this->gallery);
    EXPECT_EQ(entry.data, TestFixture::Provider::sampleSnapshot());
    EXPECT_EQ(entry.surface, SurfaceOption::glass);
    // A preview reads nothing, so it stores nothing either.
    EXPECT_EQ(TypeParam::stored(), TypeParam::kept());
}

TYPED_TEST(CalendarProviders, FullAccessReadsLiveAndKeepsTheCopy)
{
    this->access(CalendarAuthorizationStatus::fullAccess);
    const auto live = this->live();
    ASSERT_NE(live, TestFixture::Provider::sampleSnapshot());
    TypeParam::store(TypeParam::kept());
    const typename TestFixture::Provider provider;

    const auto t = provider.timeline(this->glass, this->placed);
    ASSERT_EQ(t.entries.size(), 1u);
    EXPECT_EQ(t.entries[0].data, live);
    EXPECT_EQ(t.entries[0].surface, SurfaceOption::glass);
    EXPECT_EQ(t.entries[0].date, test::kFixtureNow);
    EXPECT_EQ(t.policy, timeline::ReloadPolicy::after(test::kFixtureNow.addingSeconds(15 * 60)));
    EXPECT_EQ(TypeParam::stored(), live);

    TypeParam::store(TypeParam::kept());
    EXPECT_EQ(provider.snapshot(SurfaceConfigIntent{SurfaceOption::accent}, this->placed).data, live);
    EXPECT_EQ(TypeParam::stored(), live);
}

TYPED_TEST(CalendarProviders, WithoutAccessTheStoredCopyThenTheFallback)
{
    const typename TestFixture::Provider provider;
    for (auto status : {CalendarAuthorizationStatus::notDetermined, CalendarAuthorizationStatus::denied}) {
        SCOPED_TRACE(int(status));
        this->access(status);
        Defaults::shared().remove(TypeParam::key());
        // Nothing kept: a placed widget shows its empty state, a transient snapshot the sample.
        EXPECT_EQ(provider.timeline(this->glass, this->placed).entries.at(0).data,
                  TestFixture::Provider::emptySnapshot());
        EXPECT_EQ(provider.snapshot(this->glass, this->placed).data, TestFixture::Provider::sampleSnapshot());
        // A kept copy that does not decode counts as none, and stays as it was.
        const QByteArray garbage("{\"items\": 3");
        Defaults::shared().setData(TypeParam::key(), garbage);
        EXPECT_EQ(provider.timeline(this->glass, this->placed).entries.at(0).data,
                  TestFixture::Provider::emptySnapshot());
        EXPECT_EQ(provider.snapshot(this->glass, this->placed).data, TestFixture::Provider::sampleSnapshot());
        EXPECT_EQ(Defaults::shared().data(TypeParam::key()), garbage);
        // A good copy is served to both.
        TypeParam::store(TypeParam::kept());
        EXPECT_EQ(provider.timeline(this->glass, this->placed).entries.at(0).data, TypeParam::kept());
        EXPECT_EQ(provider.snapshot(this->glass, this->placed).data, TypeParam::kept());
    }
    // Access to the other kind of item does not count.
    this->access(CalendarAuthorizationStatus::denied);
    CalendarAccess::setStatus(TypeParam::entity == CalendarEntityType::event ? CalendarEntityType::reminder
                                                                             : CalendarEntityType::event,
                              CalendarAuthorizationStatus::fullAccess);
    EXPECT_EQ(provider.timeline(this->glass, this->placed).entries.at(0).data, TypeParam::kept());
}

TYPED_TEST(CalendarProviders, ReloadAddsFifteenMinutesOnTheUsersCalendar)
{
    // Across the night the clocks go forward: 15 minutes of wall time are 15 minutes elapsed.
    TimeZonePin zone(QStringLiteral("Europe/Berlin"));
    const Date beforeChange = test::utc("2025-03-30T00:50:00");
    ClockPin late(beforeChange);
    const auto t = typename TestFixture::Provider{}.timeline(this->glass, this->placed);
    EXPECT_EQ(t.entries.at(0).date, beforeChange);
    EXPECT_EQ(t.policy.kind(), timeline::ReloadPolicy::Kind::after);
    EXPECT_EQ(t.policy.date(), beforeChange.addingSeconds(15 * 60));
}

} // namespace
