#pragma once
// The host's menus: "Add Widget" (on the tray icon when the desktop has a tray), the menu of a
// placed widget ("Edit Widget…", its size, "Remove Widget"), and the editor built from the
// widget's configuration parameters. Needs a QApplication.
#include <QHash>
#include <QObject>
#include <memory>

class QAction;
class QMenu;
class QStyle;
class QSystemTrayIcon;

namespace velk::host {

class WidgetHost;
class WidgetPreviews;

// The group a kind belongs to in the add menu: its second dotted component ("velk.clock.dual"
// is "clock"), or the kind itself when it has none.
QString widgetGroup(const QString& kind);

class HostMenus : public QObject {
    Q_OBJECT
public:
    explicit HostMenus(WidgetHost* host);
    ~HostMenus() override;

    // Widgets by group, in bundle order, each under its display name with a small preview,
    // drawn the first time the menu opens.
    QMenu* addMenu() const { return add_.get(); }
    const WidgetPreviews& previews() const { return *previews_; }
    // The menu of a placed widget, at `globalPos` (shown on the host's menuRequested).
    void showWidgetMenu(const QString& id, QPoint globalPos);

private:
    void editWidget(const QString& id);

    WidgetHost* host_;
    std::unique_ptr<QStyle> previewStyle_; // before the menus that use it, so it outlives them
    std::unique_ptr<QMenu> add_;
    WidgetPreviews* previews_ = nullptr;
    QHash<QString, QAction*> addActions_;
    std::unique_ptr<QMenu> trayMenu_;
    QSystemTrayIcon* tray_ = nullptr;
};

} // namespace velk::host
