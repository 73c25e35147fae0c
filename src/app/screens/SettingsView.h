#pragma once
// The settings form. Every control writes its key the moment it changes (no save step) and
// some act at once: the login item, the live-refresh timer, the clock widgets, the focus
// length and the Mail poller. A key stays absent, and its reader keeps its own fallback,
// until the user first changes that control.
#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;

namespace velk::app {

class AppLinks;

class SettingsView : public QWidget {
    Q_OBJECT
public:
    // The keys this form writes.
    static inline const QString kLaunchAtLogin = QStringLiteral("velk.launchAtLogin");
    static inline const QString kBudget = QStringLiteral("velk.screenTimeBudgetMinutes");
    static inline const QString kWaterGoal = QStringLiteral("velk.watergoal");
    static inline const QString kStepsGoal = QStringLiteral("velk.stepsgoal");
    static inline const QString kFocusMinutes = QStringLiteral("velk.focusminutes");
    static inline const QString kMailEnabled = QStringLiteral("velk.mail.enabled");
    static inline const QString kTimeFormat = QStringLiteral("velk.timeformat");
    static inline const QString kPollSeconds = QStringLiteral("velk.pollseconds");
    static inline const QString kFocusState = QStringLiteral("velk.focus.v1");

    explicit SettingsView(AppLinks* links, QWidget* parent = nullptr);

    // Registers (true) or removes (false) the login item; false when that failed. The login
    // item's autostart entry by default.
    void setLoginItemChanger(std::function<bool(bool)> changer) { loginItemChanger_ = std::move(changer); }

    QCheckBox* launchAtLogin() const { return launch_; }
    QComboBox* budget() const { return budget_; }
    QComboBox* liveRefresh() const { return poll_; }
    QComboBox* timeFormat() const { return timeFormat_; }
    QComboBox* waterGoal() const { return water_; }
    QComboBox* stepsGoal() const { return steps_; }
    QComboBox* focusSession() const { return focus_; }
    QCheckBox* mail() const { return mail_; }
    QString mailFooter() const;
    QString versionText() const;

private:
    void launchChanged(bool on);
    void focusChanged(qint64 minutes);
    void mailChanged(bool on);
    void refreshMailFooter();

    AppLinks* links_;
    std::function<bool(bool)> loginItemChanger_;
    bool revertingLogin_ = false;
    QCheckBox* launch_;
    QComboBox* budget_;
    QComboBox* poll_;
    QComboBox* timeFormat_;
    QComboBox* water_;
    QComboBox* steps_;
    QComboBox* focus_;
    QCheckBox* mail_;
    QLabel* mailFooter_;
    QLabel* version_;
};

} // namespace velk::app
