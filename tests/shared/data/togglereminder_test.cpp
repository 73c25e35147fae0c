#include "fixtures/calendar/CalendarFixtures.h"
#include "platform/calendar/CalendarStore.h"
#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "platform/intents/IntentRegistry.h"
#include "shared/data/calendar/EventSync.h"
#include "shared/data/calendar/ToggleReminderIntent.h"
#include "shared/data/clock/ClockFormat.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace velk;

namespace {

class ToggleReminderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = CalendarStore::defaultRoot();
        ASSERT_TRUE(test::copyCalendarFixtures(root));
        Defaults::shared().setInteger(ClockFormat::kTimeFormatKey, 24);
        Defaults::shared().remove(EventSync::kRemindersKey);
        test::grantCalendarAccess();
    }
    void TearDown() override { QDir(root).removeRecursively(); }

    QByteArray file(const QString& rel)
    {
        QFile f(root + "/" + rel);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    std::optional<ReminderItem> storedItem(const QString& id)
    {
        const auto s = EventSync::storedReminders();
        if (!s) return std::nullopt;
        for (const auto& i : s->items)
            if (i.id == id) return i;
        return std::nullopt;
    }

    // Why the toggle changed nothing, or empty when it did not fail.
    static QString failure(const ToggleReminderIntent& intent)
    {
        try {
            intent.perform();
        } catch (const StoreWriteError& e) {
            return QString::fromUtf8(e.what());
        }
        return {};
    }

    QString root;
    ClockPin pin{test::kFixtureNow};
};

TEST_F(ToggleReminderTest, TappingTwiceCompletesThenReopens)
{
    ToggleReminderIntent("water-1").perform();
    EXPECT_TRUE(file("Personal/water-plants.ics").contains("STATUS:COMPLETED\r\nCOMPLETED:20250307T093000Z\r\n"));
    auto item = storedItem("water-1");
    ASSERT_TRUE(item);
    EXPECT_TRUE(item->done);
    EXPECT_NE(EventSync::storedReminders()->nextUp->id, "water-1");

    ToggleReminderIntent("water-1").perform();
    EXPECT_FALSE(file("Personal/water-plants.ics").contains("COMPLETED:"));
    item = storedItem("water-1");
    ASSERT_TRUE(item);
    EXPECT_FALSE(item->done);
    EXPECT_EQ(EventSync::storedReminders()->nextUp->id, "water-1");
}

TEST_F(ToggleReminderTest, IdentifiersThatNameNoReminderChangeNothing)
{
    const QByteArray review = file("Work/review.ics");
    for (const QString id : {"", "no-such-id", "review-1", "standup-1/20250307T090000Z"}) {
        const ToggleReminderIntent intent(id);
        EXPECT_EQ(intent.reminderID, id);
        EXPECT_EQ(failure(intent), "no reminder has the id " + id);
    }
    EXPECT_EQ(ToggleReminderIntent().reminderID, "");
    EXPECT_EQ(file("Work/review.ics"), review);
    EXPECT_FALSE(EventSync::storedReminders()); // nothing read, nothing stored
}

TEST_F(ToggleReminderTest, WithoutAccessNothingIsSavedOrStored)
{
    const QByteArray before = file("Personal/water-plants.ics");
    test::grantCalendarAccess(CalendarAuthorizationStatus::denied);
    EXPECT_EQ(failure(ToggleReminderIntent("water-1")), "no access to reminders; nothing was changed");
    EXPECT_EQ(file("Personal/water-plants.ics"), before);
    EXPECT_FALSE(EventSync::storedReminders());
}

TEST_F(ToggleReminderTest, RunsFromAButtonThroughTheRegistry)
{
    auto& registry = intents::IntentRegistry::shared();
    registry.registerAction<ToggleReminderIntent>();
    const auto description = registry.description("ToggleReminderIntent");
    ASSERT_TRUE(description);
    EXPECT_EQ(description->title, "Complete Reminder");
    ASSERT_EQ(description->parameters.size(), 1u);
    EXPECT_EQ(description->parameters[0].title, "Reminder ID");
    EXPECT_EQ(description->parameters[0].defaultValue, QJsonValue(""));

    EXPECT_TRUE(registry.run("ToggleReminderIntent", {{"reminderID", "rent-1"}}).ok);
    EXPECT_TRUE(file("Personal/pay-rent.ics").contains("STATUS:COMPLETED"));
    ASSERT_TRUE(storedItem("rent-1"));
    EXPECT_TRUE(storedItem("rent-1")->done);
}

} // namespace
