#include "app/screens/VelkApp.h"

#include "app/screens/AppLinks.h"
#include "app/screens/ApplicationService.h"
#include "app/screens/MainWindow.h"
#include "app/screens/NotesManagerView.h"
#include "app/screens/SettingsView.h"
#include "platform/timeline/WidgetCenter.h"
#include "platform/view/Fonts.h"
#include "shared/look/ThemeStore.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QEvent>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPixmapCache>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace velk::app {

namespace {

constexpr int kDbusTimeoutMs = 2000;
const QString kAppInterface = QStringLiteral("org.freedesktop.Application");

QString hostProgram()
{
    const QString dir = QCoreApplication::applicationDirPath();
    // Installed side by side; in the build tree the host sits in its own folder.
    for (const QString& candidate :
         {dir + QStringLiteral("/velk-widgets"), dir + QStringLiteral("/../../host/velk-widgets")})
        if (QFileInfo(candidate).isExecutable()) return QFileInfo(candidate).canonicalFilePath();
    return QStandardPaths::findExecutable(QStringLiteral("velk-widgets"));
}

} // namespace

void bringForward(QWidget* window)
{
    // show() alone leaves a minimised window minimised: clear that state first, so "Open
    // VELK", a second start or a link puts the window itself in front, not a sheet over an
    // icon.
    window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->show();
    window->raise();
    window->activateWindow();
}

void placeOver(QWidget* window, const QWidget* over)
{
    // Centred on the window it was opened from (else on the screen), and kept whole on that
    // screen: its title bar never below the screen's edge, never off to a side.
    QScreen* screen = over ? over->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    QRect frame(QPoint(), window->size());
    frame.moveCenter(over ? over->frameGeometry().center() : area.center());
    frame.moveLeft(std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width())));
    frame.moveTop(std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height())));
    window->move(frame.topLeft());
}

QIcon monogramIcon()
{
    QIcon icon;
    for (int side : {16, 22, 32, 48, 64, 128}) {
        QPixmap pm(side, side);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(17, 17, 17));
        p.drawRoundedRect(QRectF(0, 0, side, side), side * 0.3, side * 0.3);
        QFont f(QStringLiteral("JetBrains Mono"));
        f.setStyleHint(QFont::Monospace);
        f.setBold(true);
        f.setPixelSize(int(side * 0.6));
        p.setFont(f);
        p.setPen(QColor(245, 245, 247));
        p.drawText(QRectF(0, 0, side, side), Qt::AlignCenter, QStringLiteral("V"));
        icon.addPixmap(pm);
    }
    return icon;
}

QIcon trayIcon()
{
    // The desktop's own terminal symbol, drawn to match the panel; the monogram where the
    // icon theme has none.
    return QIcon::fromTheme(QStringLiteral("utilities-terminal"), monogramIcon());
}

VelkApp::Launch VelkApp::parseArguments(const QStringList& arguments)
{
    Launch launch;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--login-item"))
            launch.loginItem = true;
        else if (a.contains(QLatin1String("://")))
            launch.urls << QUrl(a);
    }
    return launch;
}

bool VelkApp::forwardToRunningInstance(const Launch& launch)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(kBusName)) return false;
    QDBusMessage call;
    if (launch.urls.isEmpty()) {
        call = QDBusMessage::createMethodCall(kBusName, kObjectPath, kAppInterface, QStringLiteral("Activate"));
        call << QVariantMap();
    } else {
        QStringList uris;
        for (const QUrl& u : launch.urls)
            uris << u.toString();
        call = QDBusMessage::createMethodCall(kBusName, kObjectPath, kAppInterface, QStringLiteral("Open"));
        call << uris << QVariantMap();
    }
    const QDBusMessage reply = bus.call(call, QDBus::Block, kDbusTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

VelkApp::VelkApp(AppLinks* links, QObject* parent)
    : QObject(parent), links_(links), theme_(std::make_unique<ThemeStore>())
{
    new ApplicationService(this);
}

VelkApp::~VelkApp() = default;

bool VelkApp::claimInstance()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return true;
    // The object before the name: when the bus started this program for a call, the call is
    // delivered as soon as the name is taken.
    auto* service = findChild<ApplicationService*>(QString(), Qt::FindDirectChildrenOnly);
    const bool exported = bus.registerObject(kObjectPath, service, QDBusConnection::ExportAdaptors);
    if (!bus.registerService(kBusName)) {
        if (exported) bus.unregisterObject(kObjectPath);
        return false;
    }
    return true;
}

bool VelkApp::ensureHostRunning()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected() && bus.interface() && bus.interface()->isServiceRegistered(timeline::WidgetCenter::kService))
        return false;
    const QString program = hostProgram();
    if (program.isEmpty()) {
        std::fprintf(stderr, "velk: velk-widgets was not found; widgets are not placed on the desktop\n");
        return false;
    }
    return QProcess::startDetached(program, {});
}

void VelkApp::start(const Launch& launch)
{
    menu_ = std::make_unique<QMenu>();
    menu_->addAction(QStringLiteral("Open VELK"), this, &VelkApp::openMain);
    menu_->addAction(QStringLiteral("Settings\u2026"), this, &VelkApp::openSettings);
    menu_->addSeparator();
    menu_->addAction(QStringLiteral("Quit VELK"), qApp, &QCoreApplication::quit);

    const bool trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
    if (trayAvailable) {
        tray_ = new QSystemTrayIcon(trayIcon(), this);
        tray_->setToolTip(QStringLiteral("VELK"));
        tray_->setContextMenu(menu_.get());
        connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger) openMain();
        });
        tray_->show();
    } else {
        std::fprintf(stderr, "velk: no system tray here; the window stays the way back into VELK\n");
    }

    ensureHostRunning();
    // Without a tray a login-item start would leave no way in, so it keeps its window.
    if (!launch.loginItem || !trayAvailable) openMain();
    if (!launch.urls.isEmpty()) openUrls(launch.urls);
}

bool VelkApp::eventFilter(QObject* watched, QEvent* event)
{
    // A closed window is let go once the close has run its course: the app in the tray keeps
    // none of what the gallery held.
    if (event->type() == QEvent::Close && (watched == main_.get() || watched == settings_.get()))
        QTimer::singleShot(0, this, &VelkApp::releaseClosedWindows);
    return QObject::eventFilter(watched, event);
}

void VelkApp::releaseClosedWindows()
{
    bool released = false;
    if (main_ && !main_->isVisible()) {
        main_.reset();
        released = true;
    }
    if (settings_ && !settings_->isVisible()) {
        settings_.reset();
        released = true;
    }
    if (!released) return;
    // Pictures drawn for the cards and icons, the fonts the cards were measured and drawn with
    // (ours, then Qt's engines and glyph caches for this thread, which it keeps up to a few MB
    // when nothing asks it to let go; fonts still in use keep theirs), then the heap's free
    // pages back to the system. Measured: 1.9 MB over a start that never opened the window,
    // 3.2 MB without letting go of the fonts.
    QPixmapCache::clear();
    view::releaseThreadText();
    QFont::cleanup();
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void VelkApp::openMain()
{
    if (!main_) {
        main_ = std::make_unique<MainWindow>(theme_.get(), links_, [](QWidget* parent, bool composing) {
            NotesManagerView::present(parent, composing);
        });
        main_->setWindowIcon(monogramIcon());
        main_->installEventFilter(this);
        connect(main_.get(), &MainWindow::settingsRequested, this, &VelkApp::openSettings);
    }
    bringForward(main_.get());
}

void VelkApp::openSettings()
{
    // The form reads the stores when it is built: a closed form is built anew, so a value
    // changed meanwhile (by another program, or velk-defaults) shows when it opens again.
    if (settings_ && !settings_->isVisible()) settings_.reset();
    if (!settings_) {
        settings_ = std::make_unique<SettingsView>(links_);
        settings_->setWindowIcon(monogramIcon());
        settings_->installEventFilter(this);
        placeOver(settings_.get(), main_ && main_->isVisible() ? main_.get() : nullptr);
    }
    bringForward(settings_.get());
}

void VelkApp::openUrls(const QList<QUrl>& urls)
{
    openMain();
    for (const QUrl& u : urls)
        main_->handleUrl(u);
}

} // namespace velk::app
