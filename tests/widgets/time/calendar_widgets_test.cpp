// The eight reminders and calendar widgets as the bundle offers them: what they declare, and
// that each draws its placeholder, its gallery snapshot and its timeline entry in a dark and a
// light look. Set VELK_WIDGET_PNG_DIR to keep the renders (scale 2) for a look by eye.
#include "widgets/time/CalendarProvider.h"
#include "widgets/time/CalendarWidgets.h"
#include "widgets/time/RemindersProvider.h"
#include "widgets/time/RemindersWidgets.h"

#include "fixtures/calendar/CalendarFixtures.h"
#include "platform/calendar/CalendarStore.h"
#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "platform/view/Layout.h"
#include "shared/data/EventSync.h"
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

struct Declared {
    timeline::WidgetDefinition widget;
    const char* kind;
    const char* name;
    const char* description;
    WidgetFamily family;
    const char* url;
};

std::vector<Declared> declared()
{
    return {
        {RemindersChecklistWidget{}.body(), "velk.reminders.checklist", "Checklist", "Today's reminders, tappable.",
         WidgetFamily::medium, "velkwidgets://open/reminders"},
        {RemindersNextUpWidget{}.body(), "velk.reminders.nextUp", "Next Up", "Countdown to your next reminder.",
         WidgetFamily::small, "velkwidgets://open/reminders"},
        {RemindersSingleWidget{}.body(), "velk.reminders.single", "Single Focus", "One reminder at a time.",
         WidgetFamily::small, "velkwidgets://open/reminders"},
        {RemindersTodayWidget{}.body(), "velk.reminders.today", "Today List", "The full day with progress.",
         WidgetFamily::large, "velkwidgets://open/reminders"},
        {CalendarBigDateWidget{}.body(), "velk.calendar.bigDate", "Big Date", "Today, writ large.", WidgetFamily::small,
         "velkwidgets://open/calendar"},
        {CalendarMonthGridWidget{}.body(), "velk.calendar.monthGrid", "Month Grid", "The month as dots.",
         WidgetFamily::small, "velkwidgets://open/calendar"},
        {CalendarDayEventsWidget{}.body(), "velk.calendar.dayEvents", "Day + Events", "The date with what's next.",
         WidgetFamily::medium, "velkwidgets://open/calendar"},
        {CalendarAgendaWidget{}.body(), "velk.calendar.agenda", "Agenda", "Today's schedule with day progress.",
         WidgetFamily::large, "velkwidgets://open/calendar"},
    };
}

// Share of pixels that are not fully transparent.
double coverage(const QImage& image)
{
    qint64 painted = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            painted += qAlpha(image.pixel(x, y)) > 0;
    return double(painted) / double(image.width() * image.height());
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

TEST_F(CalendarWidgets, DeclareKindNamesFamilyAndURL)
{
    for (const Declared& d : declared()) {
        SCOPED_TRACE(d.kind);
        const timeline::WidgetDefinition& w = d.widget;
        ASSERT_TRUE(w.isValid());
        EXPECT_EQ(w.kind(), d.kind);
        EXPECT_EQ(w.displayName(), d.name);
        EXPECT_EQ(w.description(), d.description);
        EXPECT_EQ(w.family(), d.family);
        EXPECT_TRUE(w.isContentMarginsDisabled());
        EXPECT_EQ(w.configurationIntent(), "SurfaceConfigIntent");
        const LaidOutTree tree =
            layout(w.render(w.provider().placeholder({d.family, timeline::designSize(d.family), false})),
                   timeline::designSize(d.family));
        EXPECT_EQ(widgetURL(tree), QUrl(QString::fromLatin1(d.url)));
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
    const VelkEntry<CalendarSnapshot> entry{built, CalendarProvider::sample(), SurfaceOption::solid};
    for (const timeline::WidgetDefinition& w : {CalendarBigDateWidget{}.body(), CalendarMonthGridWidget{}.body(),
                                                CalendarDayEventsWidget{}.body(), CalendarAgendaWidget{}.body()}) {
        SCOPED_TRACE(w.kind().toStdString());
        QStringList texts;
        for (const QJsonObject& t : nodesOfKind(inspect(layout(w.render(timeline::AnyEntry(entry)), {700, 344})), "Text"))
            texts << t["text"].toString();
        EXPECT_TRUE(texts.contains("9") || texts.contains("DEC 9")) << texts.join(", ").toStdString();
        EXPECT_FALSE(texts.contains("10") || texts.contains("DEC 10"));
    }
}

TEST_F(CalendarWidgets, RenderEveryRoadInDarkAndLightLooks)
{
    // Live data for the timeline road, from the fixture store.
    test::grantCalendarAccess();
    ASSERT_TRUE(test::copyCalendarFixtures(CalendarStore::defaultRoot()));
    const QString pngDir = qEnvironmentVariable("VELK_WIDGET_PNG_DIR");
    const QJsonObject configuration{{"surface", "solid"}};
    for (const char* theme : {"macos", "green"}) {
        ThemeStore::save({QString::fromLatin1(theme), ThemeSettings::SurfaceStyle::solid});
        for (const Declared& d : declared()) {
            const QSizeF size = timeline::designSize(d.family);
            const timeline::TimelineContext gallery{d.family, size, true}, placed{d.family, size, false};
            const timeline::AnyProvider& provider = d.widget.provider();
            const std::pair<const char*, timeline::AnyEntry> roads[] = {
                {"placeholder", provider.placeholder(placed)},
                {"preview", provider.snapshot(configuration, gallery)},
                {"timeline", provider.timeline(configuration, placed).entries.at(0)},
            };
            for (const auto& [road, entry] : roads) {
                for (ColorScheme scheme : {ColorScheme::dark, ColorScheme::light}) {
                    SCOPED_TRACE(QStringLiteral("%1 %2 %3 %4")
                                     .arg(d.kind, road, theme, scheme == ColorScheme::dark ? "dark" : "light")
                                     .toStdString());
                    const Environment env{scheme, RenderingMode::fullColor};
                    const View content = d.widget.render(entry);
                    EXPECT_FALSE(nodesOfKind(inspect(layout(content, size, env)), "Text").empty());
                    const QImage image = renderImage(content, size, 2, env);
                    ASSERT_EQ(image.size(), (size * 2).toSize());
                    // The solid surface covers the widget.
                    EXPECT_GT(coverage(image), 0.9);
                    if (!pngDir.isEmpty())
                        image.save(QStringLiteral("%1/%2-%3-%4-%5.png")
                                       .arg(pngDir, d.kind, road, theme, scheme == ColorScheme::dark ? "dark" : "light"));
                }
            }
        }
    }
}

} // namespace
