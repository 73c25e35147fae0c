#include "app/screens/NotesManagerView.h"

#include "app/screens/SecondaryText.h"
#include "app/screens/SymbolIcon.h"

#include "platform/core/Clock.h"
#include "platform/core/DateFormatter.h"
#include "platform/timeline/WidgetCenter.h"
#include "shared/widget/WidgetKinds.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QTextBlock>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace velk::app {

namespace {

QPointer<NotesSource> appNotes;

constexpr int kMaxComposeLines = 4;

} // namespace

QString NotesManagerView::editedText(Date edited)
{
    // An abbreviated date and the time without seconds, in the user's locale.
    DateFormatter f;
    f.setDateStyle(DateFormatter::Style::mediumStyle);
    f.setTimeStyle(DateFormatter::Style::shortStyle);
    return f.string(edited);
}

void NotesManagerView::setAppSource(NotesSource* source)
{
    appNotes = source;
}

NotesSource* NotesManagerView::appSource()
{
    return appNotes;
}

NotesManagerView* NotesManagerView::present(QWidget* parent, bool startComposing)
{
    if (!appNotes) return nullptr;
    // One sheet at a time: a burst of notes links (a script, a stuck key) brings the open one
    // forward instead of stacking a sheet per link.
    if (parent) {
        for (NotesManagerView* open : parent->findChildren<NotesManagerView*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (!open->isVisible()) continue; // closed, about to be deleted
            open->raise();
            open->activateWindow();
            if (startComposing) open->field_->setFocus(Qt::OtherFocusReason);
            return open;
        }
    }
    auto* sheet = new NotesManagerView(appNotes, startComposing, parent);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->open();
    return sheet;
}

const QStringList& NotesManagerView::noteKinds()
{
    static const QStringList k{QString::fromLatin1(kinds::notesQuick), QString::fromLatin1(kinds::notesSingle),
                               QString::fromLatin1(kinds::notesList), QString::fromLatin1(kinds::notesPinned)};
    return k;
}

NotesManagerView::NotesManagerView(NotesSource* store, bool startComposing, QWidget* parent)
    : ManagerSheet(QStringLiteral("notesManager"), QStringLiteral("Notes"), QSize(440, 480), parent), store_(store),
      startComposing_(startComposing)
{
    field_ = new QPlainTextEdit(this);
    field_->setObjectName(QStringLiteral("newNote"));
    field_->setPlaceholderText(QStringLiteral("New note\u2026"));
    field_->setTabChangesFocus(true);
    field_->installEventFilter(this);
    // One line to four, growing with the text.
    auto fit = [this] {
        const int lines = std::clamp(field_->document()->lineCount(), 1, kMaxComposeLines);
        const int lineHeight = field_->fontMetrics().lineSpacing();
        field_->setFixedHeight(lines * lineHeight + 2 * int(field_->document()->documentMargin()) + 4);
    };
    fit();
    connect(field_, &QPlainTextEdit::textChanged, this, [this, fit] {
        fit();
        add_->setEnabled(!field_->toPlainText().trimmed().isEmpty());
    });
    add_ = addInputRow(field_, Qt::AlignTop);
    connect(add_, &QPushButton::clicked, this, &NotesManagerView::addNote);

    notice_ = new QLabel(this);
    notice_->setObjectName(QStringLiteral("notice"));
    notice_->setTextFormat(Qt::PlainText);
    notice_->setContentsMargins(16, 0, 16, 8);
    notice_->setStyleSheet(QStringLiteral("font-size: 11px;"));
    makeSecondary(notice_);
    sheetLayout()->addWidget(notice_);

    addRowList(QStringLiteral("No notes yet \u2014 the Notes widgets fill in as you add them."), true);

    if (store_) connect(store_, &NotesSource::notesChanged, this, &NotesManagerView::rebuildRows);
    rebuildRows();
    refreshNotice();
}

QString NotesManagerView::notice() const
{
    return notice_->text();
}

void NotesManagerView::refreshNotice()
{
    // A notes file that could not be read is moved aside at the first change, not lost: say
    // where, as the log does.
    const std::optional<QString> aside = store_ ? store_->keptAsidePath() : std::nullopt;
    notice_->setText(aside ? QStringLiteral("The unreadable notes file was kept as %1").arg(*aside) : QString());
    notice_->setVisible(aside.has_value());
}

bool NotesManagerView::eventFilter(QObject* watched, QEvent* event)
{
    // Return in the field adds the note (it never reaches "Done"); Shift+Return breaks the line.
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !(key->modifiers() & Qt::ShiftModifier)) {
            addNote();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void NotesManagerView::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (startComposing_) field_->setFocus(Qt::OtherFocusReason);
}

void NotesManagerView::addNote()
{
    const QString text = field_->toPlainText().trimmed();
    if (text.isEmpty() || !store_) return;
    store_->add(text);
    field_->clear();
    refreshNotice();
    reloadNoteWidgets();
}

void NotesManagerView::reloadNoteWidgets()
{
    for (const QString& kind : noteKinds())
        timeline::WidgetCenter::shared().reloadTimelines(kind);
}

void NotesManagerView::rebuildRows()
{
    clearRows();
    const QList<NoteItem> notes = store_ ? store_->notes() : QList<NoteItem>();
    for (const NoteItem& n : notes) {
        auto* row = new QWidget(rowsHost());
        row->setObjectName(QStringLiteral("noteRow"));
        auto* h = new QHBoxLayout(row);
        h->setContentsMargins(0, 4, 0, 4);
        h->setSpacing(10);
        auto* column = new QVBoxLayout();
        column->setSpacing(3);
        auto* text = new QLabel(n.text, row);
        text->setObjectName(QStringLiteral("noteText"));
        text->setTextFormat(Qt::PlainText);
        text->setWordWrap(true);
        text->setStyleSheet(QStringLiteral("font-size: 13px;"));
        auto* edited = new QLabel(editedText(n.edited), row);
        edited->setObjectName(QStringLiteral("noteEdited"));
        edited->setStyleSheet(QStringLiteral("font-size: 10px;"));
        makeSecondary(edited);
        column->addWidget(text);
        column->addWidget(edited);
        h->addLayout(column, 1);
        auto* pin = new QToolButton(row);
        pin->setObjectName(QStringLiteral("pin"));
        pin->setAutoRaise(true);
        pin->setProperty("pinned", n.pinned);
        pin->setIcon(n.pinned ? symbolIcon(QStringLiteral("pin.fill"), QColor(255, 179, 71))
                              : symbolIcon(QStringLiteral("pin"), palette().color(QPalette::PlaceholderText)));
        pin->setToolTip(n.pinned ? QStringLiteral("Unpin")
                                 : QStringLiteral("Pin \u2014 pinned notes show in the Pinned widget"));
        auto* trash = new QToolButton(row);
        trash->setObjectName(QStringLiteral("delete"));
        trash->setAutoRaise(true);
        trash->setIcon(symbolIcon(QStringLiteral("trash"), palette().color(QPalette::PlaceholderText)));
        connect(pin, &QToolButton::clicked, this, [this, n] {
            store_->togglePin(n);
            refreshNotice();
            reloadNoteWidgets();
        });
        connect(trash, &QToolButton::clicked, this, [this, n] {
            store_->remove(n);
            refreshNotice();
            reloadNoteWidgets();
        });
        h->addWidget(pin, 0, Qt::AlignTop);
        h->addWidget(trash, 0, Qt::AlignTop);
        insertRow(row);
    }
    showEmptyText(notes.isEmpty());
}

} // namespace velk::app
