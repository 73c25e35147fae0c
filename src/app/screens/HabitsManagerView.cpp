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
    while (from < to && blank(text[from])) ++from;
    while (to > from && blank(text[to - 1])) --to;
    return text.mid(from, to - from);
}

std::vector<HabitItem> HabitsManagerView::storedHabits()
{
    return ExtrasStore::read<std::vector<HabitItem>>(ExtrasStore::kHabitsKey).value_or(HabitItem::samples());
}

HabitsManagerView::HabitsManagerView(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("habitsManager"));
    setWindowTitle(QStringLiteral("Habits"));
    setFixedSize(380, 400);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);

    auto* header = new QHBoxLayout();
    header->setContentsMargins(16, 16, 16, 16);
    auto* title = new QLabel(QStringLiteral("Habits"), this);
    title->setStyleSheet(QStringLiteral("font-weight: 600; font-size: 13px;"));
    auto* done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("done"));
    done->setDefault(true);
    connect(done, &QPushButton::clicked, this, &QDialog::accept);
    header->addWidget(title);
    header->addStretch(1);
    header->addWidget(done);
    v->addLayout(header);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    v->addWidget(line);

    auto* input = new QHBoxLayout();
    input->setContentsMargins(16, 16, 16, 16);
    input->setSpacing(8);
    field_ = new QLineEdit(this);
    field_->setObjectName(QStringLiteral("newHabit"));
    field_->setPlaceholderText(QStringLiteral("New habit (e.g. Run)"));
    add_ = new QPushButton(QStringLiteral("Add"), this);
    add_->setObjectName(QStringLiteral("add"));
    add_->setAutoDefault(false);
    add_->setEnabled(false);
    connect(field_, &QLineEdit::textChanged, this,
            [this](const QString& t) { add_->setEnabled(!trimmedBlanks(t).isEmpty()); });
    // Return in the field adds; it never reaches the default "Done" (see eventFilter).
    field_->installEventFilter(this);
    connect(add_, &QPushButton::clicked, this, &HabitsManagerView::add);
    input->addWidget(field_, 1);
    input->addWidget(add_);
    v->addLayout(input);

    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    rowsHost_ = new QWidget(scroll);
    rows_ = new QVBoxLayout(rowsHost_);
    rows_->setContentsMargins(16, 4, 16, 8);
    rows_->setSpacing(0);
    empty_ = new QLabel(QStringLiteral("No habits yet \u2014 the widget shows up to three."), rowsHost_);
    empty_->setObjectName(QStringLiteral("emptyText"));
    empty_->setStyleSheet(QStringLiteral("font-size: 12px;"));
    makeSecondary(empty_);
    rows_->addWidget(empty_);
    rows_->addStretch(1);
    scroll->setWidget(rowsHost_);
    v->addWidget(scroll, 1);

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
    // Rows come before the empty text and the closing stretch.
    while (rows_->count() > 2) {
        QLayoutItem* item = rows_->takeAt(0);
        delete item->widget();
        delete item;
    }
    const QString today = ExtrasStore::dayKey(Clock::now());
    int at = 0;
    for (const HabitItem& h : habits_) {
        auto* row = new QWidget(rowsHost_);
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
        rows_->insertWidget(at++, row);
    }
    empty_->setVisible(habits_.empty());
}

} // namespace velk::app
