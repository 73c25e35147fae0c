#include "app/screens/GalleryView.h"

#include "app/screens/AddWidgetGuide.h"
#include "app/screens/AppLinks.h"
#include "app/screens/HabitsManagerView.h"
#include "app/screens/SecondaryText.h"
#include "app/screens/SymbolIcon.h"
#include "app/screens/WidgetCard.h"
#include "platform/calendar/CalendarStore.h"
#include "shared/data/weather/WeatherProvider.h"
#include "shared/look/ThemeStore.h"

#include <QButtonGroup>
#include <QDir>
#include <QDirIterator>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace velk::app {

using Category = CatalogWidget::Category;
using Size = CatalogWidget::Size;

namespace {

constexpr int kMinColumn = 250;
constexpr int kMaxColumn = 340;
constexpr int kGap = 14;
constexpr int kGridPadding = 20;
// The size picker's "All" segment; the sizes use their own values.
constexpr int kAllSizesId = 100;

// The cards' texts: set as fonts rather than style sheets, which would be matched and
// polished once per card.
QFont cardFont(qreal pixels, QFont::Weight weight, bool monospaced)
{
    QFont f = monospaced ? QFont(QStringLiteral("JetBrains Mono")) : QFont();
    if (monospaced) f.setStyleHint(QFont::Monospace);
    f.setPixelSize(int(pixels));
    f.setWeight(weight);
    return f;
}

} // namespace

WidgetGalleryCard::WidgetGalleryCard(const CatalogWidget& widget, const ThemeSettings& theme, QWidget* parent)
    : QFrame(parent), widget_(widget)
{
    setObjectName(QStringLiteral("galleryCard"));
    setCursor(Qt::PointingHandCursor);
    setMinimumHeight(widget.size == Size::large ? 260 : 180);
    setMinimumWidth(kMinColumn);
    setMaximumWidth(kMaxColumn);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(14, 14, 14, 14);
    v->setSpacing(10);
    card_ = new WidgetCard(
        designSize(widget.size), theme, [w = widget] { return w.preview(); }, std::nullopt, this);
    // The preview's box; the card fits the design's proportions inside it.
    card_->setFixedSize(widget.size == Size::small ? 120 : 240, widget.size == Size::large ? 200 : 120);
    card_->setAttribute(Qt::WA_TransparentForMouseEvents);
    v->addWidget(card_, 0, Qt::AlignHCenter);
    auto* name = new QLabel(widget.name, this);
    name->setObjectName(QStringLiteral("cardName"));
    name->setAlignment(Qt::AlignCenter);
    name->setFont(cardFont(12, QFont::DemiBold, false));
    auto* size = new QLabel(rawValue(widget.size).toUpper(), this);
    size->setObjectName(QStringLiteral("cardSize"));
    size->setAlignment(Qt::AlignCenter);
    QFont sizeFont = cardFont(9, QFont::Medium, true);
    sizeFont.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    size->setFont(sizeFont);
    makeSecondary(size);
    v->addWidget(name);
    v->addSpacing(-8);
    v->addWidget(size);
}

void WidgetGalleryCard::setSelected(bool selected)
{
    if (selected == selected_) return;
    selected_ = selected;
    update();
}

void WidgetGalleryCard::paintEvent(QPaintEvent*)
{
    // A rounded panel with a faint edge, or the selection colour's when selected.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal edge = selected_ ? 2 : 1;
    QColor line = selected_ ? palette().color(QPalette::Highlight) : QColor(128, 128, 128, 46);
    p.setPen(QPen(line, edge));
    p.setBrush(palette().color(QPalette::AlternateBase));
    const qreal inset = edge / 2;
    p.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), 16 - inset, 16 - inset);
}

void WidgetGalleryCard::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) emit clicked(widget_.kind);
    QFrame::mousePressEvent(event);
}

GalleryView::GalleryView(ThemeStore* theme, AppLinks* links, std::optional<Category> category, QWidget* parent)
    : QWidget(parent), theme_(theme), links_(links), category_(category)
{
    setObjectName(QStringLiteral("gallery"));
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);

    // The bar: title and count, the size picker, the manager button of the page, Add to Desktop.
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("galleryBar"));
    auto* h = new QHBoxLayout(bar);
    h->setContentsMargins(20, 12, 20, 12);
    h->setSpacing(12);
    auto* titles = new QVBoxLayout();
    titles->setSpacing(0);
    title_ = new QLabel(bar);
    title_->setObjectName(QStringLiteral("pageTitle"));
    title_->setStyleSheet(QStringLiteral("font-size: 15px; font-weight: 700;"));
    subtitle_ = new QLabel(bar);
    subtitle_->setObjectName(QStringLiteral("pageSubtitle"));
    subtitle_->setStyleSheet(QStringLiteral("font-size: 11px;"));
    makeSecondary(subtitle_);
    titles->addWidget(title_);
    titles->addWidget(subtitle_);
    h->addLayout(titles);
    h->addStretch(1);

    sizes_ = new QButtonGroup(this);
    sizes_->setExclusive(true);
    auto* picker = new QWidget(bar);
    picker->setObjectName(QStringLiteral("sizePicker"));
    auto* ph = new QHBoxLayout(picker);
    ph->setContentsMargins(0, 0, 0, 0);
    ph->setSpacing(0);
    auto addSegment = [&](const QString& label, int id) {
        auto* b = new QToolButton(picker);
        b->setText(label);
        b->setObjectName(QStringLiteral("size-") + label);
        b->setCheckable(true);
        b->setAutoRaise(false);
        b->setMinimumWidth(64);
        sizes_->addButton(b, id);
        ph->addWidget(b);
    };
    addSegment(QStringLiteral("All"), kAllSizesId);
    for (Size s : kAllSizes)
        addSegment(rawValue(s), int(s));
    sizes_->button(kAllSizesId)->setChecked(true);
    connect(sizes_, &QButtonGroup::idClicked, this,
            [this](int id) { setSizeFilter(id == kAllSizesId ? std::nullopt : std::optional<Size>(Size(id))); });
    h->addWidget(picker);
    h->addStretch(1);

    if (category_ == Category::notes) {
        auto* notes = new QPushButton(QStringLiteral("Manage Notes"), bar);
        notes->setObjectName(QStringLiteral("manageNotes"));
        notes->setIcon(symbolIcon(QStringLiteral("square.and.pencil"), palette().color(QPalette::ButtonText)));
        connect(notes, &QPushButton::clicked, this, &GalleryView::openNotesManager);
        h->addWidget(notes);
    }
    if (category_ == Category::focus) {
        auto* habits = new QPushButton(QStringLiteral("Manage Habits"), bar);
        habits->setObjectName(QStringLiteral("manageHabits"));
        habits->setIcon(symbolIcon(QStringLiteral("checklist"), palette().color(QPalette::ButtonText)));
        connect(habits, &QPushButton::clicked, this, &GalleryView::openHabitsManager);
        h->addWidget(habits);
    }
    auto* add = new QPushButton(QStringLiteral("Add to Desktop"), bar);
    add->setIcon(symbolIcon(QStringLiteral("plus"), Qt::white));
    add->setObjectName(QStringLiteral("addToDesktop"));
    add->setStyleSheet(QStringLiteral("QPushButton { background: rgb(10,132,255); color: white; border-radius: 6px;"
                                      " padding: 5px 12px; font-weight: 600; }"));
    connect(add, &QPushButton::clicked, this, &GalleryView::openAddGuide);
    h->addWidget(add);
    v->addWidget(bar);

    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("galleryScroll"));
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto* content = new QWidget(scroll_);
    auto* cv = new QVBoxLayout(content);
    cv->setContentsMargins(0, 0, 0, 0);
    cv->setSpacing(0);

    banner_ = new QFrame(content);
    banner_->setObjectName(QStringLiteral("connectBanner"));
    banner_->setStyleSheet(
        QStringLiteral("#connectBanner { background: rgba(128,128,128,0.10); border-radius: 10px; }"));
    auto* bh = new QHBoxLayout(banner_);
    bh->setContentsMargins(14, 10, 14, 10);
    bh->setSpacing(12);
    auto* lock = new QLabel(banner_);
    lock->setPixmap(symbolIcon(QStringLiteral("lock.shield"), palette().color(QPalette::PlaceholderText))
                        .pixmap(QSize(16, 16), devicePixelRatioF()));
    bannerLabel_ = new QLabel(banner_);
    bannerLabel_->setObjectName(QStringLiteral("bannerText"));
    bannerLabel_->setWordWrap(true);
    bannerLabel_->setStyleSheet(QStringLiteral("font-size: 12px;"));
    makeSecondary(bannerLabel_);
    auto* connectButton = new QPushButton(QStringLiteral("Connect"), banner_);
    connectButton->setObjectName(QStringLiteral("connect"));
    connect(connectButton, &QPushButton::clicked, this, [this] {
        if (!links_ || !category_) return;
        connectPressed_ = true;
        if (*category_ == Category::reminders)
            AppLinks::call(links_->connectReminders);
        else if (*category_ == Category::calendars)
            AppLinks::call(links_->connectCalendar);
        else if (*category_ == Category::weather)
            AppLinks::call(links_->requestLocation);
        refreshBanner();
    });
    bh->addWidget(lock);
    bh->addWidget(bannerLabel_, 1);
    bh->addWidget(connectButton);
    bannerRow_ = new QWidget(content);
    auto* bannerRow = new QHBoxLayout(bannerRow_);
    bannerRow->setContentsMargins(20, 16, 20, 0);
    bannerRow->addWidget(banner_);
    cv->addWidget(bannerRow_);
    connectNote_ = new QLabel(content);
    connectNote_->setObjectName(QStringLiteral("connectNote"));
    connectNote_->setTextFormat(Qt::PlainText);
    connectNote_->setContentsMargins(34, 8, 20, 0);
    connectNote_->setStyleSheet(QStringLiteral("font-size: 12px;"));
    makeSecondary(connectNote_);
    cv->addWidget(connectNote_);

    gridHost_ = new QWidget(content);
    grid_ = new QGridLayout(gridHost_);
    grid_->setContentsMargins(kGridPadding, kGridPadding, kGridPadding, kGridPadding);
    grid_->setHorizontalSpacing(kGap);
    grid_->setVerticalSpacing(kGap);
    grid_->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    cv->addWidget(gridHost_);
    cv->addStretch(1);
    scroll_->setWidget(content);
    v->addWidget(scroll_, 1);

    const ThemeSettings settings = theme_ ? theme_->settings() : ThemeStore::current();
    for (const CatalogWidget& w : WidgetCatalog::widgets(category_)) {
        auto* card = new WidgetGalleryCard(w, settings, gridHost_);
        card->hide();
        connect(card, &WidgetGalleryCard::clicked, this, &GalleryView::toggleSelection);
        cards_.push_back(card);
    }
    if (theme_)
        connect(theme_, &ThemeStore::settingsChanged, this, [this](const ThemeSettings& s) {
            for (WidgetGalleryCard* c : cards_)
                c->card()->setTheme(s);
        });
    if (links_) connect(links_, &AppLinks::statusChanged, this, &GalleryView::refreshBanner);
    refresh();
    refreshBanner();
}

void GalleryView::setSearchText(const QString& text)
{
    if (text == searchText_) return;
    searchText_ = text;
    refresh();
}

void GalleryView::setSizeFilter(std::optional<Size> size)
{
    sizeFilter_ = size;
    if (QAbstractButton* b = sizes_->button(size ? int(*size) : kAllSizesId)) b->setChecked(true);
    refresh();
}

void GalleryView::toggleSelection(const QString& kind)
{
    if (selectedKind_ == kind)
        selectedKind_.reset();
    else
        selectedKind_ = kind;
    for (WidgetGalleryCard* c : cards_)
        c->setSelected(selectedKind_ == c->widget().kind);
}

std::vector<CatalogWidget> GalleryView::widgets() const
{
    std::vector<CatalogWidget> out;
    for (const CatalogWidget& w : WidgetCatalog::widgets(category_)) {
        if (sizeFilter_ && w.size != *sizeFilter_) continue;
        if (!searchText_.isEmpty() && !w.name.contains(searchText_, Qt::CaseInsensitive) &&
            !rawValue(w.category).contains(searchText_, Qt::CaseInsensitive))
            continue;
        out.push_back(w);
    }
    return out;
}

QString GalleryView::title() const
{
    return category_ ? rawValue(*category_) : QStringLiteral("All Widgets");
}

QString GalleryView::subtitle() const
{
    const size_t n = widgets().size();
    return QString::number(n) + QStringLiteral(" widget") + (n == 1 ? QString() : QStringLiteral("s"));
}

std::optional<QString> GalleryView::bannerText() const
{
    if (!category_) return std::nullopt;
    switch (*category_) {
    case Category::reminders:
        if (links_ && links_->remindersConnected && !links_->remindersConnected())
            return QStringLiteral("Connect Reminders so these widgets show your real list.");
        break;
    case Category::calendars:
        if (links_ && links_->calendarConnected && !links_->calendarConnected())
            return QStringLiteral("Connect Calendar so these widgets show your real events.");
        break;
    case Category::weather:
        if (!WeatherProvider::myLocation())
            return QStringLiteral("Use your location so weather widgets are accurate \u2014 or pick a city per widget "
                                  "with Edit Widget.");
        break;
    default:
        break;
    }
    return std::nullopt;
}

std::vector<WidgetGalleryCard*> GalleryView::visibleCards() const
{
    std::vector<WidgetGalleryCard*> out;
    const std::vector<CatalogWidget> shown = widgets();
    for (const CatalogWidget& w : shown)
        for (WidgetGalleryCard* c : cards_)
            if (c->widget().kind == w.kind) out.push_back(c);
    return out;
}

std::optional<QString> GalleryView::guideWidgetName() const
{
    if (!selectedKind_) return std::nullopt;
    for (const CatalogWidget& w : widgets())
        if (w.kind == *selectedKind_) return w.name;
    return std::nullopt;
}

void GalleryView::openAddGuide()
{
    const std::optional<QString> name = guideWidgetName();
    auto* guide =
        new AddWidgetGuide(name, AddWidgetGuide::Placing::onThisDesktop(name ? selectedKind_ : std::nullopt), this);
    guide->setAttribute(Qt::WA_DeleteOnClose);
    guide->open();
}

void GalleryView::openHabitsManager()
{
    auto* sheet = new HabitsManagerView(this);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->open();
}

void GalleryView::refresh()
{
    title_->setText(title());
    subtitle_->setText(subtitle());
    columns_ = 0; // forces the grid to be laid out again
    relayout();
}

void GalleryView::relayout()
{
    const int avail = std::max(0, scroll_->viewport()->width() - 2 * kGridPadding);
    const int columns = std::max(1, (avail + kGap) / (kMinColumn + kGap));
    if (columns == columns_) return;
    columns_ = columns;
    while (grid_->count() > 0)
        delete grid_->takeAt(0);
    for (WidgetGalleryCard* c : cards_)
        c->hide();
    const std::vector<WidgetGalleryCard*> shown = visibleCards();
    for (size_t i = 0; i < shown.size(); ++i) {
        grid_->addWidget(shown[i], int(i) / columns, int(i) % columns, Qt::AlignTop);
        shown[i]->show();
    }
}

std::optional<QString> GalleryView::connectNote() const
{
    if (!category_ || !links_) return std::nullopt;
    switch (*category_) {
    case Category::reminders:
    case Category::calendars: {
        const auto& connected =
            *category_ == Category::reminders ? links_->remindersConnected : links_->calendarConnected;
        if (!connected || !connected()) return std::nullopt;
        // Access alone shows an empty list; say where the files are looked for.
        const QString root = CalendarStore::defaultRoot();
        if (QDirIterator(root, {QStringLiteral("*.ics")}, QDir::Files, QDirIterator::Subdirectories).hasNext())
            return std::nullopt;
        QString shown = root;
        const QString home = QDir::homePath();
        if (shown.startsWith(home + u'/')) shown.replace(0, home.size(), QStringLiteral("~"));
        return QStringLiteral("No calendar files yet: VELK reads the .ics files in %1 (one folder per calendar)")
            .arg(shown);
    }
    case Category::weather:
        if (connectPressed_ && bannerText() && links_->locationSourceAvailable && !links_->locationSourceAvailable())
            return QStringLiteral(
                "No location source: GeoClue does not answer on the system bus and VELK_NMEA_FILE is not set");
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

void GalleryView::refreshBanner()
{
    const std::optional<QString> text = bannerText();
    bannerRow_->setVisible(text.has_value());
    bannerLabel_->setText(text.value_or(QString()));
    const std::optional<QString> note = connectNote();
    connectNote_->setVisible(note.has_value());
    connectNote_->setText(note.value_or(QString()));
}

void GalleryView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void GalleryView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    refreshBanner();
    relayout();
}

} // namespace velk::app
