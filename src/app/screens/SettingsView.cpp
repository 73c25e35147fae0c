#include "app/screens/SettingsView.h"

#include "app/screens/AppLinks.h"
#include "app/screens/LoginItem.h"
#include "app/screens/SecondaryText.h"
#include "platform/core/Defaults.h"
#include "platform/timeline/WidgetCenter.h"
#include "shared/data/activity/ExtrasStore.h"
#include "shared/models/ActivityRecords.h"
#include "shared/widget/WidgetKinds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>

namespace velk::app {

namespace {

struct Option {
    qint64 value;
    QString label;
};

QLabel* footer(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setWordWrap(true);
    l->setStyleSheet(QStringLiteral("font-size: 11px;"));
    makeSecondary(l);
    return l;
}

QGroupBox* group(const QString& header, QWidget* parent, QFormLayout** form)
{
    auto* box = new QGroupBox(header, parent);
    *form = new QFormLayout(box);
    (*form)->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    (*form)->setLabelAlignment(Qt::AlignLeft);
    return box;
}

// An integer picker bound to `key` in `store`: shows the stored value (or the fallback while
// the key is absent; a stored value that is no option shows no option and is left alone) and
// writes the chosen option at once, then runs `changed`.
QComboBox* picker(const std::vector<Option>& options, Defaults store, const QString& key, qint64 fallback,
                  std::function<void(qint64)> changed, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    for (const Option& o : options)
        box->addItem(o.label, QVariant::fromValue(o.value));
    const qint64 current = store.contains(key) ? store.integer(key) : fallback;
    box->setCurrentIndex(box->findData(QVariant::fromValue(current)));
    QObject::connect(box, &QComboBox::activated, box, [box, store, key, changed](int index) mutable {
        const qint64 value = box->itemData(index).toLongLong();
        // Choosing what is already stored writes nothing and runs nothing.
        if (store.contains(key) && store.integer(key) == value) return;
        store.setInteger(key, value);
        if (changed) changed(value);
    });
    return box;
}

const char* const kClockKinds[] = {
    kinds::analogClassic, kinds::analogMinimal, kinds::hybridClassic, kinds::hybridMinimal, kinds::matrixSmall,
    kinds::stackedClock,  kinds::matrixMedium,  kinds::worldClock,    kinds::dotDial,       kinds::dualClock};

} // namespace

SettingsView::SettingsView(AppLinks* links, QWidget* parent)
    : QWidget(parent), links_(links),
      loginItemChanger_([](bool on) { return on ? LoginItem::registerItem() : LoginItem::unregisterItem(); })
{
    setObjectName(QStringLiteral("settings"));
    // The window system adds the app's name after the title: "Settings — VELK".
    setWindowTitle(QStringLiteral("Settings"));
    Defaults standard = Defaults::standard();
    Defaults suite = Defaults::shared();

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(16, 16, 16, 16);
    auto* width = new QWidget(this);
    width->setFixedSize(420 - 32, 0);
    v->addWidget(width);
    v->setSpacing(10);

    // 1 login item
    launch_ = new QCheckBox(QStringLiteral("Launch VELK at login"), this);
    launch_->setObjectName(QStringLiteral("launchAtLogin"));
    launch_->setChecked(standard.boolean(kLaunchAtLogin));
    connect(launch_, &QCheckBox::toggled, this, [this](bool on) {
        Defaults::standard().setBool(kLaunchAtLogin, on);
        launchChanged(on);
    });
    v->addWidget(launch_);
    v->addWidget(
        footer(QStringLiteral("Keeps screen-time tracking and the power log running in the background."), this));

    // 2 screen time
    QFormLayout* form = nullptr;
    QGroupBox* screenTime = group(QStringLiteral("Screen Time"), this, &form);
    std::vector<Option> budgets;
    for (qint64 m : {120, 180, 240, 300, 360, 480, 600, 720})
        budgets.push_back({m, QString::number(m / 60) + QStringLiteral(" hours")});
    budget_ = picker(budgets, suite, kBudget, 480, nullptr, screenTime);
    form->addRow(QStringLiteral("Daily budget"), budget_);
    v->addWidget(screenTime);

    // 3 live refresh
    auto* refreshBox = new QWidget(this);
    auto* rf = new QFormLayout(refreshBox);
    rf->setContentsMargins(0, 0, 0, 0);
    poll_ = picker(
        {{30, QStringLiteral("Every 30 seconds")},
         {60, QStringLiteral("Every minute")},
         {120, QStringLiteral("Every 2 minutes")},
         {300, QStringLiteral("Every 5 minutes")}},
        standard, kPollSeconds, 60,
        [this](qint64) {
            if (links_) AppLinks::call(links_->restartStatsTimer);
        },
        refreshBox);
    rf->addRow(QStringLiteral("Live refresh"), poll_);
    v->addWidget(refreshBox);
    v->addWidget(
        footer(QStringLiteral("How often VELK refreshes the fast-moving widgets \u2014 system monitor, network, and "
                              "the media players. Every minute balances freshness and energy; 30 seconds is the "
                              "liveliest."),
               this));

    // 4 clocks
    QGroupBox* clocks = group(QStringLiteral("Clocks"), this, &form);
    timeFormat_ = picker(
        {{0, QStringLiteral("Follow system")}, {12, QStringLiteral("12-hour")}, {24, QStringLiteral("24-hour")}}, suite,
        kTimeFormat, 0,
        [](qint64) {
            for (const char* kind : kClockKinds)
                timeline::WidgetCenter::shared().reloadTimelines(QString::fromLatin1(kind));
        },
        clocks);
    form->addRow(QStringLiteral("Time format"), timeFormat_);
    v->addWidget(clocks);

    // 5 goals
    QGroupBox* goals = group(QStringLiteral("Goals"), this, &form);
    std::vector<Option> water, steps, focus;
    for (qint64 g : {6, 8, 10, 12})
        water.push_back({g, QString::number(g) + QStringLiteral(" glasses")});
    for (qint64 g : {6000, 8000, 10000, 12000, 15000})
        steps.push_back({g, QLocale().toString(g)});
    for (qint64 m : {15, 25, 45, 60, 90})
        focus.push_back({m, QString::number(m) + QStringLiteral(" minutes")});
    water_ = picker(water, suite, kWaterGoal, 8, nullptr, goals);
    steps_ = picker(steps, suite, kStepsGoal, 10000, nullptr, goals);
    focus_ = picker(
        focus, suite, kFocusMinutes, 25, [this](qint64 m) { focusChanged(m); }, goals);
    form->addRow(QStringLiteral("Water goal"), water_);
    form->addRow(QStringLiteral("Steps goal"), steps_);
    form->addRow(QStringLiteral("Focus session"), focus_);
    v->addWidget(goals);

    // 6 mail
    mail_ = new QCheckBox(QStringLiteral("Show unread Mail in the Inbox widget"), this);
    mail_->setObjectName(QStringLiteral("mail"));
    mail_->setChecked(standard.boolean(kMailEnabled));
    connect(mail_, &QCheckBox::toggled, this, &SettingsView::mailChanged);
    v->addWidget(mail_);
    mailFooter_ = footer(QString(), this);
    mailFooter_->setObjectName(QStringLiteral("mailFooter"));
    mailFooter_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The Mail status changes length as the poller works; room for three lines keeps the
    // window one size, so nothing moves under the pointer when Mail is switched.
    mailFooter_->ensurePolished();
    mailFooter_->setFixedHeight(3 * mailFooter_->fontMetrics().lineSpacing());
    v->addWidget(mailFooter_);
    refreshMailFooter();
    if (links_) connect(links_, &AppLinks::statusChanged, this, &SettingsView::refreshMailFooter);

    // 7 about
    auto* about = new QWidget(this);
    auto* af = new QFormLayout(about);
    af->setContentsMargins(0, 0, 0, 0);
    version_ = new QLabel(versionText(), about);
    version_->setObjectName(QStringLiteral("version"));
    af->addRow(QStringLiteral("Version"), version_);
    af->addRow(QStringLiteral("Made by"), new QLabel(QStringLiteral("Harrowcrest"), about));
    v->addWidget(about);
    v->addStretch(1);
    // The window takes the form's own size, once: the wrapped footers decide the height at
    // the form's width, in the fonts their style sheets give them.
    ensurePolished();
    const int formWidth = v->totalSizeHint().width();
    setFixedSize(formWidth, v->hasHeightForWidth() ? v->totalHeightForWidth(formWidth) : v->totalSizeHint().height());
}

QString SettingsView::versionText() const
{
    const QString version = QCoreApplication::applicationVersion();
    return version.isEmpty() ? QStringLiteral("\u2014") : version;
}

QString SettingsView::mailFooter() const
{
    return mailFooter_->text();
}

void SettingsView::refreshMailFooter()
{
    const std::optional<QString> status = links_ && links_->mailStatus ? links_->mailStatus() : std::nullopt;
    mailFooter_->setText(status.value_or(QStringLiteral(
        "Reads the Maildir inbox in ~/Maildir, as your mail sync tool keeps it. Nothing is sent anywhere.")));
}

void SettingsView::launchChanged(bool on)
{
    // The revert below flips the switch again; that is not a user change and must not call
    // the login item a second time (which could fail and flip it back, without end).
    if (revertingLogin_) return;
    if (!loginItemChanger_ || loginItemChanger_(on)) return;
    revertingLogin_ = true;
    launch_->setChecked(!on);
    revertingLogin_ = false;
}

void SettingsView::focusChanged(qint64 minutes)
{
    // A running period keeps its end; with nothing usable stored, a state with no end.
    FocusSession state = ExtrasStore::read<FocusSession>(kFocusState).value_or(FocusSession{});
    state.minutes = minutes;
    ExtrasStore::write(state, kFocusState);
}

void SettingsView::mailChanged(bool on)
{
    Defaults::standard().setBool(kMailEnabled, on);
    if (links_) {
        if (on) {
            if (links_->startMail) links_->startMail(true);
        } else {
            AppLinks::call(links_->stopMail);
        }
    }
    refreshMailFooter();
}

} // namespace velk::app
