#include "app/screens/HabitsManagerView.h"

#include "app/screens/SecondaryText.h"
#include "app/screens/SymbolIcon.h"

#include "platform/core/Clock.h"
#include "platform/timeline/WidgetCenter.h"
#include "shared/data/activity/ExtrasStore.h"
#include "shared/widget/WidgetKinds.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

namespace velk::app {

QString trimmedBlanks(const QString& text)
{
    auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    qsizetype from = 0, to = text.size();
    while (from < to && blank(text[from]))
        ++from;
    while (to > from && blank(text[to - 1]))
        --to;
    return text.mid(from, to - from);
}

std::vector<HabitItem> HabitsManagerView::storedHabits()
{
    return ExtrasStore::read<std::vector<HabitItem>>(ExtrasStore::kHabitsKey).value_or(HabitItem::samples());
}

HabitsManagerView::HabitsManagerView(QWidget* parent)
    : ManagerSheet(QStringLiteral("habitsManager"), QStringLiteral("Habits"), QSize(380, 400), parent)
{
    field_ = new QLineEdit(this);
    field_->setObjectName(QStringLiteral("newHabit"));
    field_->setPlaceholderText(QStringLiteral("New habit (e.g. Run)"));
    add_ = addInputRow(field_);
    connect(field_, &QLineEdit::textChanged, this,
            [this](const QString& t) { add_->setEnabled(!trimmedBlanks(t).isEmpty()); });
    // Return in the field adds; it never reaches the default "Done" (see eventFilter).
    field_->installEventFilter(this);
    connect(add_, &QPushButton::clicked, this, &HabitsManagerView::add);
    addRowList(QStringLiteral("No habits yet \u2014 the widget shows up to three."), false);

    display(storedHabits());
}

bool HabitsManagerView::eventFilter(QObject* watched, QEvent* event)
{
    // A line edit passes Return on to its dialog after adding, and the dialog presses its
    // default button: the sheet would close on every Return, a blank name included.
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            add();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void HabitsManagerView::add()
{
    const QString name = trimmedBlanks(field_->text());
    if (name.isEmpty()) return;
    std::vector<HabitItem> habits = storedHabits();
    habits.push_back(HabitItem(QUuid::createUuid(), name, {}));
    field_->clear();
    store(habits);
}

void HabitsManagerView::checkIn(const QUuid& id)
{
    ExtrasStore::toggleHabitToday(id);
    display(storedHabits());
    timeline::WidgetCenter::shared().reloadTimelines(QString::fromLatin1(kinds::habits));
}

void HabitsManagerView::remove(const QUuid& id)
{
    std::vector<HabitItem> habits = storedHabits();
    std::erase_if(habits, [&](const HabitItem& h) { return h.id == id; });
    store(habits);
}

void HabitsManagerView::store(const std::vector<HabitItem>& habits)
{
    ExtrasStore::write(habits, ExtrasStore::kHabitsKey);
    display(habits);
    timeline::WidgetCenter::shared().reloadTimelines(QString::fromLatin1(kinds::habits));
}

void HabitsManagerView::display(std::vector<HabitItem> habits)
{
    habits_ = std::move(habits);
    rebuildRows();
}

void HabitsManagerView::rebuildRows()
{
    clearRows();
    const QString today = ExtrasStore::dayKey(Clock::now());
    for (const HabitItem& h : habits_) {
        auto* row = new QWidget(rowsHost());
        row->setObjectName(QStringLiteral("habitRow"));
        row->setProperty("habitId", h.id.toString(QUuid::WithoutBraces));
        auto* r = new QHBoxLayout(row);
        r->setContentsMargins(0, 2, 0, 2);
        auto* name = new QLabel(h.name, row);
        name->setObjectName(QStringLiteral("habitName"));
        name->setTextFormat(Qt::PlainText);
        const bool done = h.checkins.contains(today);
        auto* check = new QToolButton(row);
        check->setObjectName(QStringLiteral("checkIn"));
        check->setAutoRaise(true);
        check->setToolTip(QStringLiteral("Check in for today"));
        check->setCheckable(false);
        check->setProperty("checkedToday", done);
        check->setIcon(done ? symbolIcon(QStringLiteral("checkmark.circle.fill"), QColor(255, 179, 71))
                            : symbolIcon(QStringLiteral("circle"), palette().color(QPalette::PlaceholderText)));
        auto* trash = new QToolButton(row);
        trash->setObjectName(QStringLiteral("delete"));
        trash->setAutoRaise(true);
        trash->setIcon(symbolIcon(QStringLiteral("trash"), palette().color(QPalette::PlaceholderText)));
        const QUuid id = h.id;
        connect(check, &QToolButton::clicked, this, [this, id] { checkIn(id); });
        connect(trash, &QToolButton::clicked, this, [this, id] { remove(id); });
        r->addWidget(name, 1);
        r->addWidget(check);
        r->addWidget(trash);
        insertRow(row);
    }
    showEmptyText(habits_.empty());
}

} // namespace velk::app
