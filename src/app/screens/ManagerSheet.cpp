#include "app/screens/ManagerSheet.h"

#include "app/screens/SecondaryText.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace velk::app {

ManagerSheet::ManagerSheet(const QString& objectName, const QString& title, QSize size, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(objectName);
    setWindowTitle(title);
    setFixedSize(size);
    sheet_ = new QVBoxLayout(this);
    sheet_->setContentsMargins(0, 0, 0, 0);
    sheet_->setSpacing(0);

    auto* header = new QHBoxLayout();
    header->setContentsMargins(16, 16, 16, 16);
    auto* heading = new QLabel(title, this);
    heading->setStyleSheet(QStringLiteral("font-weight: 600; font-size: 13px;"));
    auto* done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("done"));
    done->setDefault(true);
    connect(done, &QPushButton::clicked, this, &QDialog::accept);
    header->addWidget(heading);
    header->addStretch(1);
    header->addWidget(done);
    sheet_->addLayout(header);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    sheet_->addWidget(line);
}

QPushButton* ManagerSheet::addInputRow(QWidget* field, Qt::Alignment alignment)
{
    auto* input = new QHBoxLayout();
    input->setContentsMargins(16, 16, 16, 16);
    input->setSpacing(8);
    auto* add = new QPushButton(QStringLiteral("Add"), this);
    add->setObjectName(QStringLiteral("add"));
    add->setAutoDefault(false);
    add->setEnabled(false);
    input->addWidget(field, 1, alignment);
    input->addWidget(add, 0, alignment);
    sheet_->addLayout(input);
    return add;
}

void ManagerSheet::addRowList(const QString& emptyText, bool wrapEmptyText)
{
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    rowsHost_ = new QWidget(scroll);
    rows_ = new QVBoxLayout(rowsHost_);
    rows_->setContentsMargins(16, 4, 16, 8);
    rows_->setSpacing(0);
    empty_ = new QLabel(emptyText, rowsHost_);
    empty_->setObjectName(QStringLiteral("emptyText"));
    empty_->setWordWrap(wrapEmptyText);
    empty_->setStyleSheet(QStringLiteral("font-size: 12px;"));
    makeSecondary(empty_);
    rows_->addWidget(empty_);
    rows_->addStretch(1);
    scroll->setWidget(rowsHost_);
    sheet_->addWidget(scroll, 1);
}

void ManagerSheet::clearRows()
{
    // Rows come before the empty line and the closing stretch.
    while (rows_->count() > 2) {
        QLayoutItem* item = rows_->takeAt(0);
        delete item->widget();
        delete item;
    }
    rowCount_ = 0;
}

void ManagerSheet::insertRow(QWidget* row)
{
    rows_->insertWidget(rowCount_++, row);
}

void ManagerSheet::showEmptyText(bool shown)
{
    empty_->setVisible(shown);
}

} // namespace velk::app
