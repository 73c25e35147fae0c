#include "app/screens/ThemeView.h"

#include "app/screens/SecondaryText.h"
#include "app/screens/WidgetCard.h"
#include "app/screens/WidgetCatalog.h"
#include "platform/timeline/WidgetCenter.h"
#include "shared/look/Theme.h"
#include "shared/look/ThemeStore.h"
#include "shared/look/WidgetRoot.h"
#include "shared/widget/WidgetKinds.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace velk::app {

using Surface = ThemeSettings::SurfaceStyle;

namespace {

QColor toQColor(const Color& c)
{
    return QColor::fromRgbF(float(c.r), float(c.g), float(c.b), float(c.a));
}

const VelkTheme& displayTheme(const QString& id)
{
    return VelkThemes::resolve(id, WidgetCard::systemDark());
}

// The titled card both sections sit in.
QWidget* section(const QString& title, const QString& subtitle, QWidget* content, QWidget* parent)
{
    auto* box = new QFrame(parent);
    box->setObjectName(QStringLiteral("themeSection"));
    box->setStyleSheet(QStringLiteral("#themeSection { background: rgba(128,128,128,0.10); border-radius: 16px; }"));
    auto* v = new QVBoxLayout(box);
    v->setContentsMargins(20, 18, 20, 18);
    v->setSpacing(0);
    auto* t = new QLabel(title, box);
    t->setObjectName(QStringLiteral("sectionTitle"));
    t->setStyleSheet(QStringLiteral("font-size: 13.5px; font-weight: 600;"));
    auto* s = new QLabel(subtitle, box);
    s->setObjectName(QStringLiteral("sectionSubtitle"));
    s->setStyleSheet(QStringLiteral("font-size: 11.5px;"));
    makeSecondary(s);
    v->addWidget(t);
    v->addSpacing(2);
    v->addWidget(s);
    v->addSpacing(14);
    v->addWidget(content);
    return box;
}

// The preview column: the draft theme's background with its scanlines and border.
class PreviewColumn : public QWidget {
public:
    explicit PreviewColumn(const ThemeSettings* draft, QWidget* parent) : QWidget(parent), draft_(draft) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        const VelkTheme& theme = displayTheme(draft_->themeID);
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()), 16, 16);
        p.setClipPath(shape);
        p.fillRect(rect(), toQColor(theme.bg));
        if (theme.scanA > 0) {
            p.setOpacity(ScanlineOverlay::lineOpacity(theme.scanA));
            for (const QRectF& r : ScanlineOverlay::lines(size()))
                p.fillRect(r, Qt::black);
            p.setOpacity(1);
        }
        p.setClipping(false);
        p.setPen(QPen(toQColor(theme.t.opacity(theme.lineAlpha)), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 16, 16);
    }

private:
    const ThemeSettings* draft_;
};

WidgetCard* previewCard(const char* kind, QWidget* parent)
{
    std::optional<CatalogWidget> entry;
    for (const CatalogWidget& w : WidgetCatalog::all())
        if (w.kind == QLatin1String(kind)) entry = w;
    return new WidgetCard(
        designSize(entry->size), ThemeSettings{}, [w = *entry] { return w.preview(); }, std::nullopt, parent);
}

} // namespace

const std::vector<ThemeChoice>& themePickerOrder()
{
    static const std::vector<ThemeChoice> order = [] {
        std::vector<ThemeChoice> out{
            {QStringLiteral("macos"), QStringLiteral("DESKTOP \u2014 FOLLOWS SYSTEM LIGHT/DARK")}};
        for (const char* id :
             {"macclassic", "maclight", "macdark", "teal", "ice", "amber", "green", "mono", "paper", "amberlight"}) {
            const QString key = QString::fromLatin1(id);
            out.push_back({key, VelkThemes::all().value(key).label});
        }
        return out;
    }();
    return order;
}

QString surfaceLabel(Surface style)
{
    switch (style) {
    case Surface::solid:
        return QStringLiteral("Solid");
    case Surface::glass:
        return QStringLiteral("Glass");
    case Surface::accent:
        return QStringLiteral("Amber");
    }
    return {};
}

QString surfaceExplanation(Surface style)
{
    switch (style) {
    case Surface::solid:
        return QStringLiteral("Widgets sit on the theme's panel color.");
    case Surface::glass:
        return QStringLiteral("Widgets become translucent glass over your wallpaper.");
    case Surface::accent:
        return QStringLiteral("Panels pick up a wash of the theme's accent.");
    }
    return {};
}

ThemeRow::ThemeRow(ThemeChoice choice, QWidget* parent) : QAbstractButton(parent), choice_(std::move(choice))
{
    setObjectName(QStringLiteral("themeRow"));
    setText(choice_.label);
    setCursor(Qt::PointingHandCursor);
}

void ThemeRow::setSelectedRow(bool selected)
{
    if (selected == selected_) return;
    selected_ = selected;
    update();
}

QSize ThemeRow::sizeHint() const
{
    return QSize(360, 36);
}

void ThemeRow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect());
    if (selected_) {
        QColor fill = palette().color(QPalette::Highlight);
        fill.setAlphaF(0.22f);
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(r, 8, 8);
    }
    const VelkTheme& theme = displayTheme(choice_.id);
    const qreal top = (r.height() - 22) / 2;
    qreal x = 10;
    p.setPen(Qt::NoPen);
    for (const Color& c : {theme.bg, theme.pane, theme.t}) {
        p.setBrush(toQColor(c));
        p.drawRoundedRect(QRectF(x, top, 14, 22), 2, 2);
        x += 16;
    }
    QColor edge = palette().color(QPalette::WindowText);
    edge.setAlphaF(0.25f);
    p.setPen(QPen(edge, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(10.5, top + 0.5, 46 - 1, 22 - 1), 3, 3);

    QFont f(QStringLiteral("JetBrains Mono"));
    f.setStyleHint(QFont::Monospace);
    f.setPixelSize(12);
    f.setBold(selected_);
    p.setFont(f);
    p.setPen(palette().color(QPalette::WindowText));
    const QRectF textRect(10 + 46 + 12, 0, r.width() - 68 - 30, r.height());
    p.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft, choice_.label);
    if (selected_) {
        QFont c = font();
        c.setPixelSize(11);
        c.setBold(true);
        p.setFont(c);
        p.drawText(QRectF(r.width() - 30, 0, 20, r.height()), Qt::AlignCenter, QStringLiteral("\u2713"));
    }
}

ThemeView::ThemeView(ThemeStore* store, QWidget* parent)
    : QWidget(parent), store_(store), draft_(store ? store->settings() : ThemeStore::current())
{
    setObjectName(QStringLiteral("themeView"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    // The page's title, where the gallery shows its own.
    auto* titles = new QVBoxLayout();
    titles->setContentsMargins(20, 12, 20, 0);
    titles->setSpacing(0);
    auto* title = new QLabel(QStringLiteral("Theme"), this);
    title->setObjectName(QStringLiteral("pageTitle"));
    title->setStyleSheet(QStringLiteral("font-size: 15px; font-weight: 700;"));
    auto* subtitle = new QLabel(QStringLiteral("Applies to every VELK widget on your desktop"), this);
    subtitle->setObjectName(QStringLiteral("pageSubtitle"));
    subtitle->setStyleSheet(QStringLiteral("font-size: 11px;"));
    makeSecondary(subtitle);
    titles->addWidget(title);
    titles->addWidget(subtitle);
    outer->addLayout(titles);
    auto* h = new QHBoxLayout();
    h->setContentsMargins(0, 0, 20, 0);
    h->setSpacing(16);
    outer->addLayout(h, 1);

    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* left = new QWidget(scroll);
    auto* lv = new QVBoxLayout(left);
    lv->setContentsMargins(20, 20, 12, 20);
    lv->setSpacing(14);

    auto* rowsBox = new QWidget(left);
    auto* rv = new QVBoxLayout(rowsBox);
    rv->setContentsMargins(0, 0, 0, 0);
    rv->setSpacing(4);
    for (const ThemeChoice& c : themePickerOrder()) {
        auto* row = new ThemeRow(c, rowsBox);
        connect(row, &ThemeRow::clicked, this, [this, id = c.id] { setDraftTheme(id); });
        rv->addWidget(row);
        rows_.push_back(row);
    }
    lv->addWidget(section(QStringLiteral("Theme"),
                          QStringLiteral("The MOTHER \u00B7 FATHER \u00B7 BISHOP \u00B7 ASH palette set"), rowsBox,
                          left));

    auto* surfaceBox = new QWidget(left);
    auto* sv = new QVBoxLayout(surfaceBox);
    sv->setContentsMargins(0, 0, 0, 0);
    sv->setSpacing(0);
    auto* segments = new QWidget(surfaceBox);
    segments->setObjectName(QStringLiteral("surfacePicker"));
    auto* sh = new QHBoxLayout(segments);
    sh->setContentsMargins(0, 0, 0, 0);
    sh->setSpacing(0);
    surfaces_ = new QButtonGroup(this);
    for (Surface s : kAllSurfaceStyles) {
        auto* b = new QToolButton(segments);
        b->setText(surfaceLabel(s));
        b->setObjectName(QStringLiteral("surface-") + rawValue(s));
        b->setCheckable(true);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        surfaces_->addButton(b, int(s));
        sh->addWidget(b);
    }
    connect(surfaces_, &QButtonGroup::idClicked, this, [this](int id) { setDraftSurface(Surface(id)); });
    explanation_ = new QLabel(surfaceBox);
    explanation_->setObjectName(QStringLiteral("surfaceExplanation"));
    explanation_->setStyleSheet(QStringLiteral("font-size: 11px;"));
    makeSecondary(explanation_);
    sv->addWidget(segments);
    sv->addSpacing(6);
    sv->addWidget(explanation_);
    lv->addWidget(
        section(QStringLiteral("Surface"), QStringLiteral("How widget backgrounds are drawn"), surfaceBox, left));
    lv->addStretch(1);
    scroll->setWidget(left);
    h->addWidget(scroll, 1);

    auto* columnHost = new QWidget(this);
    auto* ch = new QVBoxLayout(columnHost);
    ch->setContentsMargins(0, 20, 0, 20);
    previewColumn_ = new PreviewColumn(&draft_, columnHost);
    previewColumn_->setObjectName(QStringLiteral("previewColumn"));
    previewColumn_->setFixedWidth(412);
    auto* pv = new QVBoxLayout(previewColumn_);
    pv->setContentsMargins(20, 20, 20, 20);
    pv->setSpacing(0);
    previewHeading_ = new QLabel(QStringLiteral("LIVE PREVIEW"), previewColumn_);
    previewHeading_->setObjectName(QStringLiteral("previewHeading"));
    pv->addWidget(previewHeading_);
    pv->addStretch(1);
    WidgetCard* clock = previewCard(kinds::matrixMedium, previewColumn_);
    clock->setFixedSize(344, 150);
    pv->addWidget(clock, 0, Qt::AlignHCenter);
    pv->addSpacing(18);
    auto* pair = new QHBoxLayout();
    pair->setSpacing(18);
    WidgetCard* weather = previewCard(kinds::weatherCurrent, previewColumn_);
    WidgetCard* battery = previewCard(kinds::batteryPercent, previewColumn_);
    weather->setFixedSize(150, 150);
    battery->setFixedSize(150, 150);
    pair->addStretch(1);
    pair->addWidget(weather);
    pair->addWidget(battery);
    pair->addStretch(1);
    pv->addLayout(pair);
    pv->addStretch(1);
    previews_ = {clock, weather, battery};

    applyButton_ = new QPushButton(previewColumn_);
    applyButton_->setObjectName(QStringLiteral("apply"));
    applyButton_->setStyleSheet(QStringLiteral(
        "QPushButton { background: rgb(10,132,255); color: white; border-radius: 8px; padding: 10px;"
        " font-family: 'JetBrains Mono', monospace; font-size: 12px; font-weight: 700; letter-spacing: 1px; }"
        "QPushButton:pressed { background: rgb(8,110,215); }"));
    connect(applyButton_, &QPushButton::clicked, this, &ThemeView::apply);
    pv->addWidget(applyButton_);
    ch->addWidget(previewColumn_, 1);
    h->addWidget(columnHost, 0);

    refresh();
}

void ThemeView::setDraftTheme(const QString& id)
{
    draft_.themeID = id;
    refresh();
}

void ThemeView::setDraftSurface(Surface surface)
{
    draft_.surface = surface;
    refresh();
}

QString ThemeView::applyLabel() const
{
    return applied_ ? QStringLiteral("APPLIED \u2713") : QStringLiteral("APPLY TO ALL WIDGETS");
}

void ThemeView::apply()
{
    if (store_)
        store_->setSettings(draft_);
    else
        ThemeStore::save(draft_);
    timeline::WidgetCenter::shared().reloadAllTimelines();
    applied_ = true;
    // Each press has its own reset: the label returns two seconds after the first press.
    auto* reset = new QTimer(this);
    reset->setObjectName(QStringLiteral("appliedReset"));
    reset->setSingleShot(true);
    connect(reset, &QTimer::timeout, this, [this, reset] {
        applied_ = false;
        applyButton_->setText(applyLabel());
        reset->deleteLater();
    });
    reset->start(2000);
    applyButton_->setText(applyLabel());
}

void ThemeView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (store_) draft_ = store_->settings();
    refresh();
}

void ThemeView::refresh()
{
    for (ThemeRow* r : rows_)
        r->setSelectedRow(r->choice().id == draft_.themeID);
    if (QAbstractButton* b = surfaces_->button(int(draft_.surface))) b->setChecked(true);
    explanation_->setText(surfaceExplanation(draft_.surface));
    for (WidgetCard* c : previews_)
        c->setTheme(draft_);
    const VelkTheme& theme = displayTheme(draft_.themeID);
    const QColor heading = toQColor(theme.t.opacity(theme.dimAlpha));
    previewHeading_->setStyleSheet(
        QStringLiteral("font-family: 'JetBrains Mono', monospace; font-size: 9px; font-weight: 500;"
                       " letter-spacing: 2px; color: rgba(%1,%2,%3,%4);")
            .arg(heading.red())
            .arg(heading.green())
            .arg(heading.blue())
            .arg(heading.alphaF()));
    applyButton_->setText(applyLabel());
    previewColumn_->update();
}

} // namespace velk::app
