#pragma once
// The frame the habits and notes sheets share: a titled header with "Done" (the default
// button), a rule, the sheet's own input row with its Add button, and a scrolling list of rows
// that shows a line of its own while it is empty.
#include <QDialog>

class QLabel;
class QPushButton;
class QVBoxLayout;

namespace velk::app {

class ManagerSheet : public QDialog {
    Q_OBJECT
protected:
    ManagerSheet(const QString& objectName, const QString& title, QSize size, QWidget* parent);

    // Puts field and a new "Add" button (disabled, never the default) in a row of its own.
    QPushButton* addInputRow(QWidget* field, Qt::Alignment alignment = {});
    // The list under everything added so far; emptyText shows while it has no rows.
    void addRowList(const QString& emptyText, bool wrapEmptyText);
    // Takes every row out of the list, leaving its empty line.
    void clearRows();
    // Appends a row (a child of rowsHost()) after those already there.
    void insertRow(QWidget* row);
    void showEmptyText(bool shown);

    QVBoxLayout* sheetLayout() const { return sheet_; }
    QWidget* rowsHost() const { return rowsHost_; }

private:
    QVBoxLayout* sheet_;
    QWidget* rowsHost_ = nullptr;
    QVBoxLayout* rows_ = nullptr;
    QLabel* empty_ = nullptr;
    int rowCount_ = 0;
};

} // namespace velk::app
