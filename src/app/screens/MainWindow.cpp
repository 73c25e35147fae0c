#include "app/screens/MainWindow.h"

#include "app/screens/AddWidgetGuide.h"
#include "app/screens/AppLinks.h"
#include "app/screens/GalleryView.h"
#include "app/screens/SecondaryText.h"
#include "app/screens/SymbolIcon.h"
#include "app/screens/ThemeView.h"
#include "platform/view/Layout.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace velk::app {

using Category = CatalogWidget::Category;

namespace {

constexpr int kRoleKind = Qt::UserRole;
constexpr int kRoleCategory = Qt::UserRole + 1;

// Four hard-edged quarters clockwise from the top: the themes' signature colours.
QIcon themeWheelIcon()
{
    QIcon icon;
    for (qreal ratio : {1.0, 2.0}) {
        QPixmap pm(QSize(16, 16) * ratio);
        pm.setDevicePixelRatio(ratio);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        // Clockwise from the top, one quarter each; pies meet without blending.
        const QColor quarters[] = {QColor(64, 224, 207), QColor(255, 176, 0), QColor(93, 240, 93), QColor(76, 76, 76)};
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 4; ++i) {
            p.setBrush(quarters[i]);
            p.drawPie(QRectF(1, 1, 14, 14), (90 - 90 * i) * 16, -90 * 16);
        }
        icon.addPixmap(pm);
    }
    return icon;
}

} // namespace

MainWindow::MainWindow(ThemeStore* theme, AppLinks* links, NotesSheet notesSheet, QWidget* parent)
    : QWidget(parent), theme_(theme), links_(links), notesSheet_(std::move(notesSheet))
{
    setObjectName(QStringLiteral("main"));
    setWindowTitle(QStringLiteral("VELK"));
    setMinimumSize(940, 620);
    resize(1144, 720);

    auto* h = new QHBoxLayout(this);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(0);

    auto* side = new QFrame(this);
    side->setObjectName(QStringLiteral("sidebarColumn"));
    side->setMinimumWidth(200);
    side->setMaximumWidth(260);
    side->setFixedWidth(220);
    side->setStyleSheet(QStringLiteral("#sidebarColumn { background: palette(alternate-base);"
                                       " border-right: 1px solid rgba(128,128,128,0.25); }"));
    auto* sv = new QVBoxLayout(side);
    sv->setContentsMargins(0, 0, 0, 0);
    sv->setSpacing(0);

    auto* header = new QHBoxLayout();
    header->setContentsMargins(16, 14, 16, 10);
    header->setSpacing(10);
    header->addWidget(makeMonogram(26, 8, 15, side));
    auto* name = new QLabel(QStringLiteral("VELK"), side);
    name->setObjectName(QStringLiteral("appName"));
    name->setStyleSheet(QStringLiteral("font-family: 'JetBrains Mono', monospace; font-size: 15px; font-weight: 700;"));
    header->addWidget(name);
    header->addStretch(1);
    sv->addLayout(header);

    search_ = new QLineEdit(side);
    search_->setObjectName(QStringLiteral("search"));
    search_->setPlaceholderText(QStringLiteral("Search"));
    search_->setClearButtonEnabled(true);
    auto* searchRow = new QHBoxLayout();
    searchRow->setContentsMargins(12, 0, 12, 8);
    searchRow->addWidget(search_);
    sv->addLayout(searchRow);
    connect(search_, &QLineEdit::textChanged, this, &MainWindow::setSearchText);

    list_ = new QListWidget(side);
    list_->setObjectName(QStringLiteral("sidebar"));
    list_->setFrameShape(QFrame::NoFrame);
    list_->setIconSize(QSize(16, 16));
    list_->setStyleSheet(QStringLiteral("QListWidget { background: transparent; }"
                                        " QListWidget::item { padding: 4px 8px; border-radius: 6px; }"
                                        " QListWidget::item:selected { background: palette(highlight);"
                                        " color: palette(highlighted-text); }"));
    const QColor ink = palette().color(QPalette::WindowText);
    auto addRow = [&](const QString& title, const QIcon& icon, SidebarItem::Kind kind, Category c) {
        auto* item = new QListWidgetItem(icon, title, list_);
        item->setData(kRoleKind, int(kind));
        item->setData(kRoleCategory, int(c));
    };
    addRow(QStringLiteral("All Widgets"), symbolIcon(QStringLiteral("circle.grid.3x3.fill"), ink),
           SidebarItem::Kind::all, Category::clocks);
    for (Category c : kAllCategories)
        addRow(rawValue(c), symbolIcon(symbol(c), ink), SidebarItem::Kind::category, c);
    addRow(QStringLiteral("Theme"), themeWheelIcon(), SidebarItem::Kind::theme, Category::clocks);
    connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
        if (syncing_) return;
        const QList<QListWidgetItem*> items = list_->selectedItems();
        if (items.isEmpty()) {
            select(std::nullopt);
            return;
        }
        const auto kind = SidebarItem::Kind(items.first()->data(kRoleKind).toInt());
        select(SidebarItem{kind, Category(items.first()->data(kRoleCategory).toInt())});
    });
    sv->addWidget(list_, 1);

    auto* settings = new QPushButton(QStringLiteral("Settings"), side);
    settings->setObjectName(QStringLiteral("settingsLink"));
    settings->setIcon(symbolIcon(QStringLiteral("gearshape"), palette().color(QPalette::PlaceholderText)));
    settings->setFlat(true);
    settings->setStyleSheet(QStringLiteral("QPushButton { text-align: left; padding: 12px 16px; border: none; }"));
    makeSecondary(settings);
    connect(settings, &QPushButton::clicked, this, &MainWindow::settingsRequested);
    sv->addWidget(settings);
    h->addWidget(side);

    detailHost_ = new QWidget(this);
    detail_ = new QStackedLayout(detailHost_);
    h->addWidget(detailHost_, 1);

    syncList();
    showDetail();
}

void MainWindow::select(std::optional<SidebarItem> item)
{
    if (item == selection_) return;
    selection_ = item;
    syncList();
    showDetail();
}

void MainWindow::setSearchText(const QString& text)
{
    searchText_ = text;
    if (search_->text() != text) search_->setText(text);
    if (gallery_) gallery_->setSearchText(text);
}

void MainWindow::syncList()
{
    syncing_ = true;
    list_->clearSelection();
    if (selection_) {
        for (int i = 0; i < list_->count(); ++i) {
            QListWidgetItem* it = list_->item(i);
            const SidebarItem row{SidebarItem::Kind(it->data(kRoleKind).toInt()),
                                  Category(it->data(kRoleCategory).toInt())};
            if (row == *selection_) {
                it->setSelected(true);
                list_->setCurrentItem(it);
            }
        }
    }
    syncing_ = false;
}

void MainWindow::showDetail()
{
    const SidebarItem item = selection_.value_or(SidebarItem::all());
    QWidget* old = detail_->currentWidget();
    std::optional<CatalogWidget::Size> keptSize;
    std::optional<QString> keptSelection;
    // Moving from one category to another keeps the page's own choices.
    if (gallery_ && gallery_->category() && item.kind == SidebarItem::Kind::category) {
        keptSize = gallery_->sizeFilter();
        keptSelection = gallery_->selectedKind();
    }
    gallery_ = nullptr;
    themeView_ = nullptr;
    QWidget* page = nullptr;
    if (item.kind == SidebarItem::Kind::theme) {
        themeView_ = new ThemeView(theme_, detailHost_);
        page = themeView_;
    } else {
        const std::optional<Category> category =
            item.kind == SidebarItem::Kind::category ? std::optional<Category>(item.category) : std::nullopt;
        gallery_ = new GalleryView(theme_, links_, category, detailHost_);
        gallery_->setSearchText(searchText_);
        if (keptSize) gallery_->setSizeFilter(keptSize);
        if (keptSelection) gallery_->toggleSelection(*keptSelection);
        connect(gallery_, &GalleryView::openNotesManager, this, &MainWindow::openNotesManager);
        page = gallery_;
    }
    detail_->addWidget(page);
    detail_->setCurrentWidget(page);
    if (old) {
        detail_->removeWidget(old);
        old->deleteLater();
    }
}

void MainWindow::openNotesManager()
{
    if (notesSheet_) notesSheet_(this, false);
}

void MainWindow::handleUrl(const QUrl& url)
{
    if (url.scheme() != QLatin1String("velkwidgets")) return;
    const QString host = url.host();
    if (host == QLatin1String("notes")) {
        select(SidebarItem::of(Category::notes));
        if (notesSheet_) notesSheet_(this, url.path() == QLatin1String("/new"));
        return;
    }
    if (host != QLatin1String("open")) return;
    // The weather, calendar and reminders widgets open the user's own app for them; the
    // selection and the sheet stay as they are.
    const QString target = url.path().section(QLatin1Char('/'), -1);
    static const QStringList targets{QStringLiteral("weather"), QStringLiteral("calendar"),
                                     QStringLiteral("reminders")};
    if (!targets.contains(target) || !links_ || !links_->findApp || !links_->launchApp) return;
    const std::optional<QString> app = links_->findApp(target);
    // With no such app installed, VELK stays where it is.
    if (!app || !links_->launchApp(*app)) return;
    // Out of the way at once, not after the app's window shows: "Open VELK" brings it back.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->isWindow() && !w->parentWidget()) w->showMinimized();
}

} // namespace velk::app
