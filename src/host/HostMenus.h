#pragma once
// The host's menus: "Add Widget" (on the tray icon when the desktop has a tray), the menu of a
// placed widget ("Edit Widget…", its size, "Remove Widget"), and the editor built from the
// widget's configuration parameters. Needs a QApplication.
#include <QObject>
#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace velk::host {

class WidgetHost;

// The group a kind belongs to in the add menu: its second dotted component ("velk.clock.dual"
// is "clock"), or the kind itself when it has none.
QString widgetGroup(const QString& kind);

class HostMenus : public QObject {
    Q_OBJECT
public:
    explicit HostMenus(WidgetHost* host);
    ~HostMenus() override;

    // Widgets by group, in bundle order, each under its display name.
    QMenu* addMenu() const { return add_.get(); }

private:
    void showWidgetMenu(const QString& id, QPoint globalPos);
    void editWidget(const QString& id);

    WidgetHost* host_;
    std::unique_ptr<QMenu> add_;
    std::unique_ptr<QMenu> trayMenu_;
    QSystemTrayIcon* tray_ = nullptr;
};

} // namespace velk::host
