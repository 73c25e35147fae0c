// The eight reminders and calendar widgets as the bundle offers them: where a tap leads and what
// their entries draw.
#include "widgets/time/CalendarProvider.h"
#include "widgets/time/CalendarWidgets.h"
#include "widgets/time/RemindersProvider.h"
#include "widgets/time/RemindersWidgets.h"

#include "fixtures/calendar/CalendarFixtures.h"
#include "platform/calendar/CalendarStore.h"
#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "platform/view/Layout.h"
#include "shared/data/calendar/EventSync.h"
#include "shared/look/ThemeStore.h"
#include "shared/look/TreeQuery.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

using namespace velk;
using namespace velk::view;
using timeline::WidgetFamily;
using velk::testing::nodesOfKind;

namespace {

std::vector<timeline::WidgetDefinition> declared()
{
    return {RemindersChecklistWidget{}.body(), RemindersNextUpWidget{}.body(), RemindersSingleWidget{}.body(),
            RemindersTodayWidget{}.body(),     CalendarBigDateWidget{}.body(), CalendarMonthGridWidget{}.body(),
            CalendarDayEventsWidget{}.body(),  CalendarAgendaWidget{}.body()};
}

class CalendarWidgets : public ::testing::Test {
protected:
    void TearDown() override
    {
        Defaults::shared().remove(EventSync::kRemindersKey);
        Defaults::shared().remove(EventSync::kCalendarKey);
        Defaults::shared().remove(ThemeStore::kKey);
        QDir(CalendarStore::defaultRoot()).removeRecursively();
    }
    ClockPin pin{test::kFixtureNow};
};

TEST_F(CalendarWidgets, ATapOpensRemindersOrCalendar)
{
    for (const timeline::WidgetDefinition& w : declared()) {
        SCOPED_TRACE(w.kind().toStdString());
        const QSizeF size = timeline::designSize(w.family());
        const LaidOutTree tree = layout(w.render(w.provider().placeholder({w.family(), size, false})), size);
        EXPECT_EQ(widgetURL(tree), QUrl(w.kind().startsWith("velk.reminders.") ? "velkwidgets://open/reminders"
                                                                               : "velkwidgets://open/calendar"));
    }
}

TEST_F(CalendarWidgets, TogglesTapIntoTheIntentAndTheRestOpensTheApp)
{
    const timeline::WidgetDefinition widget = RemindersChecklistWidget{}.body();
    const LaidOutTree tree = layout(widget.render(widget.provider().placeholder({})), {344, 160});
    const auto buttons = nodesOfKind(inspect(tree), "Button");
    ASSERT_EQ(buttons.size(), 3u);
    const std::optional<ButtonAction> tap = hitTest(tree, velk::testing::frameOf(buttons[1]).center());
    ASSERT_TRUE(tap);
    EXPECT_EQ(tap->intentType, "ToggleReminderIntent");
    EXPECT_EQ(tap->parameters.value("reminderID").toString(), "3");
    EXPECT_FALSE(hitTest(tree, {300, 20}));
}

TEST_F(CalendarWidgets, DrawTheEntrysDateNotTheClocks)
{
    // Built a minute before midnight, drawn after it: the day it was built until the reload.
    const Date built = test::utc("2026-12-09T23:59:00");
    ClockPin after(test::utc("2026-12-10T00:20:00"));
    const VelkEntry<CalendarSnapshot> entry{built, CalendarProvider::sampleSnapshot(), SurfaceOption::solid};
    for (const timeline::WidgetDefinition& w : {CalendarBigDateWidget{}.body(), CalendarMonthGridWidget{}.body(),
                                                CalendarDayEventsWidget{}.body(), CalendarAgendaWidget{}.body()}) {
        SCOPED_TRACE(w.kind().toStdString());
        QStringList texts;
        for (const QJsonObject& t :
             nodesOfKind(inspect(layout(w.render(timeline::AnyEntry(entry)), {700, 344})), "Text"))
            texts << t["text"].toString();
        EXPECT_TRUE(texts.contains("9") || texts.contains("DEC 9")) << texts.join(", ").toStdString();
        EXPECT_FALSE(texts.contains("10") || texts.contains("DEC 10"));
    }
}

} // namespace
