#pragma once
// The running app: one instance per session, the main window, the Settings window and the tray
// menu that keeps the app reachable with no window open. Closing windows never quits; a second
// start, a reopen or a velkwidgets:// link goes to this instance over D-Bus
// (org.freedesktop.Application), and a login-item start opens no window.
#include <QIcon>
#include <QObject>
#include <QStringList>
#include <QUrl>
#include <memory>

class QMenu;
class QWidget;
class QSystemTrayIcon;

namespace velk {
class ThemeStore;
}

namespace velk::app {

class AppLinks;
class MainWindow;
class SettingsView;

class VelkApp : public QObject {
    Q_OBJECT
public:
    static inline const QString kBusName = QStringLiteral("com.harrowcrest.velk.App");
    static inline const QString kObjectPath = QStringLiteral("/com/harrowcrest/velk/App");

    struct Launch {
        bool loginItem = false;
        QList<QUrl> urls;
    };
    // `--login-item` and any URLs among the arguments.
    static Launch parseArguments(const QStringList& arguments);
    // Hands the launch to an instance already running in this session; false when none answers.
    static bool forwardToRunningInstance(const Launch& launch);

    explicit VelkApp(AppLinks* links, QObject* parent = nullptr);
    ~VelkApp() override;

    // Claims the session's single-instance name; false when another instance holds it (or
    // there is no session bus, in which case this one runs alone).
    bool claimInstance();
    // The first launch: the tray, the host, and the window unless started at login.
    void start(const Launch& launch);

    // "Open VELK": the main window, front and focused, made anew when needed.
    void openMain();
    // A reopen request: brings the window forward.
    void showMain() { openMain(); }
    void openSettings();
    void openUrls(const QList<QUrl>& urls);

    MainWindow* mainWindow() const { return main_.get(); }
    SettingsView* settingsWindow() const { return settings_.get(); }
    QMenu* trayMenu() const { return menu_.get(); }
    ThemeStore* theme() const { return theme_.get(); }

    // Starts the widget host when none answers on the session bus; true when it was started.
    static bool ensureHostRunning();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Deletes the windows that are closed now (not merely hidden for a moment) and gives the
    // memory back.
    void releaseClosedWindows();

    AppLinks* links_;
    std::unique_ptr<ThemeStore> theme_;
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<SettingsView> settings_;
    std::unique_ptr<QMenu> menu_;
    QSystemTrayIcon* tray_ = nullptr;
};

// Shows a top-level window, un-minimised, in front and focused.
void bringForward(QWidget* window);

// Moves a top-level window so that it is centred on `over` (on the screen when none) and
// whole on that screen.
void placeOver(QWidget* window, const QWidget* over);

// The app's icon: the monogram, drawn at any size.
QIcon monogramIcon();
// The tray's icon: the icon theme's terminal symbol, else the monogram.
QIcon trayIcon();

} // namespace velk::app
