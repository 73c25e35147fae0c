#include "app/screens/HabitsManagerView.h"
#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "platform/timeline/WidgetCenter.h"
#include "shared/data/activity/ExtrasStore.h"
#include "support/UtcDate.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace velk;
using namespace velk::app;

namespace {

std::vector<HabitItem> stored()
{
    return ExtrasStore::read<std::vector<HabitItem>>(ExtrasStore::kHabitsKey).value_or(std::vector<HabitItem>{});
}

QStringList namesOf(const std::vector<HabitItem>& habits)
{
    QStringList out;
    for (const HabitItem& h : habits)
        out << h.name;
    return out;
}

QList<QWidget*> rowsOf(HabitsManagerView& v)
{
    return v.findChildren<QWidget*>(QStringLiteral("habitRow"));
}

} // namespace

TEST(HabitsManager, AddsStoresSamplesWithTheNewHabitAndReloads)
{
    Defaults::shared().remove(ExtrasStore::kHabitsKey);
    HabitsManagerView view;
    // Shown, so that "Done" is the live default button a stray Return would press.
    view.show();
    EXPECT_EQ(namesOf(view.habits()), namesOf(HabitItem::samples()));
    timeline::WidgetCenterRecorder reloads;

    // Blanks only: Add disabled, Return writes nothing and the text stays.
    view.nameField()->setText(QStringLiteral("  \t"));
    EXPECT_FALSE(view.addButton()->isEnabled());
    QTest::keyClick(view.nameField(), Qt::Key_Return);
    EXPECT_FALSE(Defaults::shared().contains(ExtrasStore::kHabitsKey));
    EXPECT_EQ(view.nameField()->text(), QStringLiteral("  \t"));
    EXPECT_TRUE(view.isVisible());

    view.nameField()->clear();
    QTest::keyClicks(view.nameField(), QStringLiteral("  Stretch "));
    EXPECT_TRUE(view.addButton()->isEnabled());
    QTest::keyClick(view.nameField(), Qt::Key_Return);
    QStringList expected = namesOf(HabitItem::samples());
    expected << QStringLiteral("Stretch");
    EXPECT_EQ(namesOf(stored()), expected);
    EXPECT_EQ(namesOf(view.habits()), expected);
    EXPECT_TRUE(view.nameField()->text().isEmpty());
    EXPECT_EQ(reloads.kinds(), QStringList{QStringLiteral("velk.habits.week")});
    EXPECT_EQ(rowsOf(view).size(), expected.size());
    EXPECT_TRUE(view.isVisible());
    EXPECT_EQ(view.result(), 0);

    // Return anywhere else is "Done".
    QTest::keyClick(view.addButton(), Qt::Key_Return);
    EXPECT_FALSE(view.isVisible());
    EXPECT_EQ(view.result(), int(QDialog::Accepted));
}

TEST(HabitsManager, CheckInTogglesTodayAndDeleteKeepsADesktopCheckIn)
{
    ClockPin pin(test::utc("2026-03-04T10:00:00"));
    const std::vector<HabitItem> start{HabitItem(QUuid::createUuid(), QStringLiteral("Run"), {}),
                                       HabitItem(QUuid::createUuid(), QStringLiteral("Run"), {}),
                                       HabitItem(QUuid::createUuid(), QStringLiteral("Read"), {})};
    ExtrasStore::write(start, ExtrasStore::kHabitsKey);
    HabitsManagerView view;
    const QString today = ExtrasStore::dayKey(Clock::now());

    auto checkButton = [&](int row) { return rowsOf(view)[row]->findChild<QToolButton*>(QStringLiteral("checkIn")); };
    checkButton(0)->click();
    EXPECT_TRUE(stored()[0].checkins.contains(today));
    EXPECT_TRUE(checkButton(0)->property("checkedToday").toBool());
    checkButton(0)->click();
    EXPECT_FALSE(stored()[0].checkins.contains(today));
    EXPECT_FALSE(checkButton(0)->property("checkedToday").toBool());

    // Meanwhile the desktop widget checks "Read" in; deleting one "Run" must keep that.
    ExtrasStore::toggleHabitToday(start[2].id);
    rowsOf(view)[1]->findChild<QToolButton*>(QStringLiteral("delete"))->click();
    const auto now = stored();
    ASSERT_EQ(now.size(), 2u);
    EXPECT_EQ(now[0].id, start[0].id);
    EXPECT_TRUE(now[1].checkins.contains(today));
    EXPECT_EQ(view.habits(), now);
}

TEST(HabitsManager, DeletingTheLastHabitStoresAnEmptyListNotTheSamples)
{
    ExtrasStore::write(std::vector<HabitItem>{HabitItem(QUuid::createUuid(), QStringLiteral("Only"), {})},
                       ExtrasStore::kHabitsKey);
    {
        HabitsManagerView view;
        EXPECT_FALSE(view.findChild<QLabel*>(QStringLiteral("emptyText"))->isVisibleTo(&view));
        rowsOf(view)[0]->findChild<QToolButton*>(QStringLiteral("delete"))->click();
        EXPECT_TRUE(view.habits().empty());
        EXPECT_TRUE(view.findChild<QLabel*>(QStringLiteral("emptyText"))->isVisibleTo(&view));
    }
    HabitsManagerView again;
    EXPECT_TRUE(again.habits().empty());
    EXPECT_TRUE(Defaults::shared().contains(ExtrasStore::kHabitsKey));
}
