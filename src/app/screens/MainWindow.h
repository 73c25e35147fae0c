#pragma once
// The main window: a sidebar of categories (with the search field and the Settings link) and a
// detail that shows the gallery of all widgets, of one category, or the theme screen. It also
// answers the widgets' velkwidgets:// links and opens the notes sheet.
#include "app/screens/WidgetCatalog.h"

#include <QUrl>
#include <QWidget>
#include <functional>
#include <optional>

class QLineEdit;
class QListWidget;
class QStackedLayout;

namespace velk {
class ThemeStore;
}

namespace velk::app {

class AppLinks;
class GalleryView;
class ThemeView;

struct SidebarItem {
    enum class Kind { all, category, theme };
    Kind kind = Kind::all;
    CatalogWidget::Category category = CatalogWidget::Category::clocks;

    static SidebarItem all() { return {}; }
    static SidebarItem of(CatalogWidget::Category c) { return {Kind::category, c}; }
    static SidebarItem theme() { return {Kind::theme, CatalogWidget::Category::clocks}; }
    friend bool operator==(const SidebarItem& a, const SidebarItem& b)
    {
        return a.kind == b.kind && (a.kind != Kind::category || a.category == b.category);
    }
};

class MainWindow : public QWidget {
    Q_OBJECT
public:
    // Opens the notes sheet over `parent`, composing a new note at once or not.
    using NotesSheet = std::function<void(QWidget* parent, bool startComposing)>;

    MainWindow(ThemeStore* theme, AppLinks* links, NotesSheet notesSheet, QWidget* parent = nullptr);

    std::optional<SidebarItem> selection() const { return selection_; }
    void select(std::optional<SidebarItem> item);
    void setSearchText(const QString& text);
    QLineEdit* searchField() const { return search_; }
    QListWidget* sidebar() const { return list_; }
    // The page the detail shows now: a gallery or the theme screen.
    GalleryView* gallery() const { return gallery_; }
    ThemeView* themeView() const { return themeView_; }

    // A link a widget opened; anything but a velkwidgets:// link of a known target is ignored.
    void handleUrl(const QUrl& url);
    // The action screens below the window use: the sheet, never composing.
    void openNotesManager();

signals:
    void settingsRequested();

private:
    void showDetail();
    void syncList();

    ThemeStore* theme_;
    AppLinks* links_;
    NotesSheet notesSheet_;
    std::optional<SidebarItem> selection_ = SidebarItem::all();
    QString searchText_;
    QLineEdit* search_;
    QListWidget* list_;
    QWidget* detailHost_;
    QStackedLayout* detail_;
    GalleryView* gallery_ = nullptr;
    ThemeView* themeView_ = nullptr;
    bool syncing_ = false;
};

} // namespace velk::app
