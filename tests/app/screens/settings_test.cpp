#include "app/screens/AppLinks.h"
#include "app/screens/LoginItem.h"
#include "app/screens/SettingsView.h"
#include "platform/core/Defaults.h"
#include "platform/timeline/WidgetCenter.h"
#include "shared/data/activity/ExtrasStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

using namespace velk;
using namespace velk::app;

namespace {

void clearKeys()
{
    for (const QString& k : {SettingsView::kLaunchAtLogin, SettingsView::kMailEnabled, SettingsView::kPollSeconds})
        Defaults::standard().remove(k);
    for (const QString& k : {SettingsView::kBudget, SettingsView::kWaterGoal, SettingsView::kStepsGoal,
                             SettingsView::kFocusMinutes, SettingsView::kTimeFormat, SettingsView::kFocusState})
        Defaults::shared().remove(k);
}

// Chooses an option as the user does, by its label.
void choose(QComboBox* box, const QString& label)
{
    const int i = box->findText(label);
    ASSERT_GE(i, 0) << label.toStdString();
    box->setCurrentIndex(i);
    emit box->activated(i);
}

} // namespace

TEST(Settings, FirstUseShowsTheFallbacksAndWritesNothing)
{
    clearKeys();
    SettingsView view(nullptr);
    EXPECT_FALSE(view.launchAtLogin()->isChecked());
    EXPECT_EQ(view.budget()->currentText(), QStringLiteral("8 hours"));
    EXPECT_EQ(view.waterGoal()->currentText(), QStringLiteral("8 glasses"));
    EXPECT_EQ(view.stepsGoal()->currentText(), QStringLiteral("10,000"));
    EXPECT_EQ(view.focusSession()->currentText(), QStringLiteral("25 minutes"));
    EXPECT_EQ(view.timeFormat()->currentText(), QStringLiteral("Follow system"));
    EXPECT_EQ(view.liveRefresh()->currentText(), QStringLiteral("Every minute"));
    EXPECT_FALSE(view.mail()->isChecked());
    EXPECT_FALSE(Defaults::shared().contains(SettingsView::kBudget));
    EXPECT_FALSE(Defaults::standard().contains(SettingsView::kPollSeconds));
    EXPECT_EQ(view.versionText(), QStringLiteral("\u2014")); // the test binary has no version
}

TEST(Settings, EachPickerWritesItsKeyAndRunsItsReloads)
{
    clearKeys();
    AppLinks links;
    int restarts = 0;
    links.restartStatsTimer = [&] { ++restarts; };
    SettingsView view(&links);
    timeline::WidgetCenterRecorder reloads;

    choose(view.budget(), QStringLiteral("3 hours"));
    choose(view.waterGoal(), QStringLiteral("12 glasses"));
    choose(view.stepsGoal(), QStringLiteral("15,000"));
    EXPECT_EQ(Defaults::shared().integer(SettingsView::kBudget), 180);
    EXPECT_EQ(Defaults::shared().integer(SettingsView::kWaterGoal), 12);
    EXPECT_EQ(Defaults::shared().integer(SettingsView::kStepsGoal), 15000);
    EXPECT_TRUE(reloads.reloads().empty());

    choose(view.liveRefresh(), QStringLiteral("Every 30 seconds"));
    EXPECT_EQ(Defaults::standard().integer(SettingsView::kPollSeconds), 30);
    EXPECT_EQ(restarts, 1);
    // The option already chosen changes nothing.
    choose(view.liveRefresh(), QStringLiteral("Every 30 seconds"));
    EXPECT_EQ(restarts, 1);

    choose(view.timeFormat(), QStringLiteral("24-hour"));
    EXPECT_EQ(Defaults::shared().integer(SettingsView::kTimeFormat), 24);
    EXPECT_EQ(reloads.kinds(),
              (QStringList{"velk.clock.analogClassic", "velk.clock.analogMinimal", "velk.clock.hybridClassic",
                           "velk.clock.hybridMinimal", "velk.clock.matrixSmall", "velk.clock.stacked",
                           "velk.clock.matrixMedium", "velk.clock.world", "velk.clock.dotDial", "velk.clock.dual"}));
    EXPECT_EQ(reloads.reloads().size(), 10u);
}

TEST(Settings, FocusLengthKeepsARunningPeriodsEnd)
{
    clearKeys();
    SettingsView view(nullptr);
    timeline::WidgetCenterRecorder reloads;
    choose(view.focusSession(), QStringLiteral("45 minutes"));
    auto state = ExtrasStore::read<FocusSession>(SettingsView::kFocusState);
    ASSERT_TRUE(state);
    EXPECT_EQ(state->minutes, 45);
    EXPECT_FALSE(state->endDate);

    const Date end(800000000);
    ExtrasStore::write(FocusSession{end, 45}, SettingsView::kFocusState);
    choose(view.focusSession(), QStringLiteral("90 minutes"));
    state = ExtrasStore::read<FocusSession>(SettingsView::kFocusState);
    EXPECT_EQ(state->minutes, 90);
    EXPECT_EQ(state->endDate, end);
    EXPECT_EQ(Defaults::shared().integer(SettingsView::kFocusMinutes), 90);
    EXPECT_TRUE(reloads.reloads().empty());
}

TEST(Settings, AValueThatIsNoOptionIsShownAsNoneAndKept)
{
    clearKeys();
    Defaults::shared().setInteger(SettingsView::kBudget, 90);
    SettingsView view(nullptr);
    EXPECT_EQ(view.budget()->currentIndex(), -1);
    EXPECT_EQ(Defaults::shared().integer(SettingsView::kBudget), 90);
}

TEST(Settings, FailedLoginRegistrationRevertsOnceWithoutLooping)
{
    clearKeys();
    SettingsView view(nullptr);
    QStringList calls;
    view.setLoginItemChanger([&](bool on) {
        calls << (on ? QStringLiteral("register") : QStringLiteral("unregister"));
        return false;
    });
    view.launchAtLogin()->click();
    EXPECT_EQ(calls, QStringList{QStringLiteral("register")});
    EXPECT_FALSE(view.launchAtLogin()->isChecked());
    EXPECT_FALSE(Defaults::standard().boolean(SettingsView::kLaunchAtLogin));
}

TEST(Settings, LoginSwitchWritesAndRemovesTheAutostartEntry)
{
    clearKeys();
    SettingsView view(nullptr);
    view.launchAtLogin()->click();
    EXPECT_TRUE(Defaults::standard().boolean(SettingsView::kLaunchAtLogin));
    QFile entry(LoginItem::entryPath());
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(entry.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("--login-item")));
    EXPECT_TRUE(text.startsWith(QStringLiteral("[Desktop Entry]")));
    view.launchAtLogin()->click();
    EXPECT_FALSE(LoginItem::isRegistered());
    EXPECT_FALSE(Defaults::standard().boolean(SettingsView::kLaunchAtLogin));
}

TEST(Settings, MailSwitchStartsAndStopsThePollerAndShowsItsStatus)
{
    clearKeys();
    AppLinks links;
    std::optional<QString> status;
    QStringList calls;
    links.mailStatus = [&] { return status; };
    links.startMail = [&](bool user) {
        calls << (user ? QStringLiteral("start(user)") : QStringLiteral("start"));
        status = QStringLiteral("No Maildir inbox at ~/Maildir");
    };
    links.stopMail = [&] {
        calls << QStringLiteral("stop");
        status.reset();
    };
    SettingsView view(&links);
    view.show();
    // The window keeps one size whatever the status says: the switch stays under the pointer.
    auto frames = [&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        return std::pair(view.size(), view.mail()->geometry());
    };
    const auto before = frames();
    const QString explanation = view.mailFooter();
    view.mail()->click();
    EXPECT_TRUE(Defaults::standard().boolean(SettingsView::kMailEnabled));
    EXPECT_EQ(view.mailFooter(), QStringLiteral("No Maildir inbox at ~/Maildir"));
    EXPECT_EQ(frames(), before);
    view.mail()->click();
    EXPECT_FALSE(Defaults::standard().boolean(SettingsView::kMailEnabled));
    EXPECT_EQ(view.mailFooter(), explanation);
    EXPECT_EQ(frames(), before);
    EXPECT_EQ(calls, (QStringList{"start(user)", "stop"}));
}
