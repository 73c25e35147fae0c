#include "host/HostMenus.h"

#include "host/EditWidgetDialog.h"
#include "host/WidgetHost.h"
#include "host/WidgetPreviews.h"
#include "host/WidgetTimeline.h"

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QProxyStyle>
#include <QSystemTrayIcon>

namespace velk::host {

QString widgetGroup(const QString& kind)
{
    const QStringList parts = kind.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    return parts.size() >= 2 ? parts[1] : kind;
}

namespace {

QString groupTitle(const QString& group)
{
    if (group == QLatin1String("screentime")) return QStringLiteral("Screen Time");
    if (group == QLatin1String("nowplaying")) return QStringLiteral("Now Playing");
    if (group == QLatin1String("airquality")) return QStringLiteral("Air Quality");
    QString t = group;
    if (!t.isEmpty()) t[0] = t[0].toUpper();
    return t;
}

QIcon trayIcon()
{
    // A dot-matrix mark of our own, so the host needs no icon theme.
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x5d, 0xf0, 0x5d));
    p.setPen(Qt::NoPen);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            p.drawEllipse(QRectF(3 + x * 10, 3 + y * 10, 6, 6));
    return QIcon(pm);
}

// A menu's icons are small-icon sized, too small to tell one widget from another: the add menu
// draws its previews larger.
constexpr int kPreviewSide = 48;

class PreviewMenuStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        if (metric == PM_SmallIconSize) return kPreviewSide;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

} // namespace

HostMenus::HostMenus(WidgetHost* host)
    : QObject(host), host_(host), previewStyle_(std::make_unique<PreviewMenuStyle>()),
      add_(std::make_unique<QMenu>(QStringLiteral("Add Widget")))
{
    const qreal dpr = qApp->devicePixelRatio();
    previews_ = new WidgetPreviews(host_->bundle(), host_->pool(), QSize(kPreviewSide, kPreviewSide) * dpr, this);
    QMap<QString, QMenu*> groups;
    for (const auto& w : host_->bundle().widgets()) {
        const QString group = widgetGroup(w.kind());
        QMenu*& menu = groups[group];
        if (!menu) {
            menu = add_->addMenu(groupTitle(group));
            menu->setStyle(previewStyle_.get());
            connect(menu, &QMenu::aboutToShow, previews_, &WidgetPreviews::request);
        }
        const QString kind = w.kind();
        QAction* a = menu->addAction(w.displayName(), this, [this, kind] { host_->addWidget(kind); });
        a->setToolTip(w.description());
        addActions_.insert(kind, a);
    }
    // Opening the top menu starts them, so they are usually there by the time a group opens.
    connect(add_.get(), &QMenu::aboutToShow, previews_, &WidgetPreviews::request);
    connect(previews_, &WidgetPreviews::previewReady, this, [this, dpr](const QString& kind, const QImage& image) {
        QPixmap pm = QPixmap::fromImage(image);
        pm.setDevicePixelRatio(dpr);
        if (QAction* a = addActions_.value(kind)) a->setIcon(QIcon(pm));
    });
    connect(host_, &WidgetHost::menuRequested, this, &HostMenus::showWidgetMenu);

    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        trayMenu_ = std::make_unique<QMenu>();
        trayMenu_->addMenu(add_.get());
        trayMenu_->addSeparator();
        trayMenu_->addAction(QStringLiteral("Quit"), qApp, &QCoreApplication::quit);
        tray_ = new QSystemTrayIcon(trayIcon(), this);
        tray_->setToolTip(QStringLiteral("VELK Widgets"));
        tray_->setContextMenu(trayMenu_.get());
        tray_->show();
    }
}

HostMenus::~HostMenus() = default;

void HostMenus::showWidgetMenu(const QString& id, QPoint globalPos)
{
    auto* menu = new QMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(QStringLiteral("Edit Widget…"), this, [this, id] { editWidget(id); });
    QMenu* size = menu->addMenu(QStringLiteral("Size"));
    const Placement* p = host_->placement(id);
    for (qreal s : {1.0, 1.5, 2.0}) {
        QAction* a = size->addAction(QStringLiteral("%1×").arg(s), this, [this, id, s] { host_->setScale(id, s); });
        a->setCheckable(true);
        a->setChecked(p && p->scale == s);
    }
    menu->addMenu(add_.get());
    menu->addSeparator();
    menu->addAction(QStringLiteral("Remove Widget"), this, [this, id] { host_->removeWidget(id); });
    menu->popup(globalPos);
}

void HostMenus::editWidget(const QString& id)
{
    WidgetTimeline* tl = host_->timeline(id);
    if (!tl) return;
    auto* dialog = new EditWidgetDialog(tl->widget(), tl->configuration(), host_->pool());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &EditWidgetDialog::accepted, this,
            [this, id, dialog] { host_->setConfiguration(id, dialog->values()); });
    dialog->show();
}

} // namespace velk::host
