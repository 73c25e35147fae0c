#pragma once
// The sheet where notes are written, pinned and deleted. Every change goes through the app's
// notes store (which saves it) and is followed by a reload of the four notes widgets.
#include "app/screens/ManagerSheet.h"
#include "app/screens/NotesSource.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace velk::app {

class NotesManagerView : public ManagerSheet {
    Q_OBJECT
public:
    NotesManagerView(NotesSource* store, bool startComposing, QWidget* parent = nullptr);

    // The notes source the app's sheets use; none until the app sets it.
    static void setAppSource(NotesSource* source);
    static NotesSource* appSource();
    // Opens the sheet over `parent` (window-modal, deletes itself on close); nothing without a
    // source. While one is open over `parent` it is raised and returned instead.
    static NotesManagerView* present(QWidget* parent, bool startComposing);

    QPlainTextEdit* composeField() const { return field_; }
    QPushButton* addButton() const { return add_; }
    // The line saying where an unreadable notes file was kept; empty when none was.
    QString notice() const;
    void addNote();

    static const QStringList& noteKinds();
    // A note's edited time as its row shows it.
    static QString editedText(Date edited);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rebuildRows();
    void refreshNotice();
    void reloadNoteWidgets();

    NotesSource* store_;
    bool startComposing_;
    QPlainTextEdit* field_;
    QPushButton* add_;
    QLabel* notice_;
};

} // namespace velk::app
