#pragma once
// The page for "All Widgets" or one category: every catalog entry as a card with a live
// preview in the applied look, narrowed by size and by the window's search text; a selected
// card names the widget in the add-widget guide. It only reads: the connect banner and the
// manager buttons hand over to the services and the sheets.
#include "app/screens/WidgetCatalog.h"

#include <QFrame>
#include <QHash>
#include <QWidget>
#include <optional>

class QButtonGroup;
class QGridLayout;
class QLabel;
class QPushButton;
class QScrollArea;

namespace velk {
class ThemeStore;
}

namespace velk::app {

class AppLinks;
class WidgetCard;

class WidgetGalleryCard : public QFrame {
    Q_OBJECT
public:
    WidgetGalleryCard(const CatalogWidget& widget, const ThemeSettings& theme, QWidget* parent = nullptr);

    const CatalogWidget& widget() const { return widget_; }
    WidgetCard* card() const { return card_; }
    bool isSelected() const { return selected_; }
    void setSelected(bool selected);

signals:
    void clicked(const QString& kind);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    CatalogWidget widget_;
    WidgetCard* card_;
    bool selected_ = false;
};

class GalleryView : public QWidget {
    Q_OBJECT
public:
    GalleryView(ThemeStore* theme, AppLinks* links, std::optional<CatalogWidget::Category> category,
                QWidget* parent = nullptr);

    std::optional<CatalogWidget::Category> category() const { return category_; }
    void setSearchText(const QString& text);
    void setSizeFilter(std::optional<CatalogWidget::Size> size);
    std::optional<CatalogWidget::Size> sizeFilter() const { return sizeFilter_; }
    void toggleSelection(const QString& kind);
    std::optional<QString> selectedKind() const { return selectedKind_; }

    // The entries shown, in catalog order.
    std::vector<CatalogWidget> widgets() const;
    QString title() const;
    QString subtitle() const;
    // The banner's text, or nothing when no banner shows.
    std::optional<QString> bannerText() const;
    // One line under the banner when a source is missing: no position source after Connect on
    // the weather page, no calendar files on a connected reminders or calendars page.
    std::optional<QString> connectNote() const;
    // The cards shown, in order.
    std::vector<WidgetGalleryCard*> visibleCards() const;
    // The name the guide gets: the selected entry when it is among those shown.
    std::optional<QString> guideWidgetName() const;

    void openAddGuide();
    void openHabitsManager();

signals:
    // "Manage Notes": the window opens its notes sheet.
    void openNotesManager();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void refresh();
    void relayout();
    void refreshBanner();

    ThemeStore* theme_;
    AppLinks* links_;
    std::optional<CatalogWidget::Category> category_;
    QString searchText_;
    std::optional<CatalogWidget::Size> sizeFilter_;
    std::optional<QString> selectedKind_;

    QLabel* title_;
    QLabel* subtitle_;
    QButtonGroup* sizes_;
    QWidget* bannerRow_;
    QFrame* banner_;
    QLabel* bannerLabel_;
    QLabel* connectNote_;
    bool connectPressed_ = false;
    QScrollArea* scroll_;
    QWidget* gridHost_;
    QGridLayout* grid_;
    std::vector<WidgetGalleryCard*> cards_; // catalog order
    int columns_ = 0;
};

} // namespace velk::app
