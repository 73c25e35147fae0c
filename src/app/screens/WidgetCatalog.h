#pragma once
// The app's fixed table of every widget: kind, name, the sidebar category it is filed under,
// its size and tone. Previews are drawn by the bundle's own definition of the kind (its
// provider's placeholder through the root the host uses), so a card and a placed widget are
// one and the same drawing; a kind the bundle does not offer yet has no preview.
#include "platform/core/Date.h"
#include "platform/view/View.h"
#include "shared/look/WidgetPalette.h"

#include <QSizeF>
#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace velk::app {

struct CatalogWidget {
    enum class Category {
        clocks,
        reminders,
        calendars,
        weather,
        battery,
        notes,
        screenTime,
        media,
        focus,
        health,
        system,
        extras
    };
    enum class Size { small, medium, large };

    QString kind;
    QString name;
    Category category = Category::clocks;
    Size size = Size::small;
    WidgetPalette::Tone tone = WidgetPalette::Tone::dark;

    // The widget drawn with its provider's built-in data, laid out at its design size;
    // nothing when the bundle does not offer the kind.
    std::optional<view::View> preview() const;
};

inline constexpr std::array<CatalogWidget::Category, 12> kAllCategories = {
    CatalogWidget::Category::clocks,     CatalogWidget::Category::reminders, CatalogWidget::Category::calendars,
    CatalogWidget::Category::weather,    CatalogWidget::Category::battery,   CatalogWidget::Category::notes,
    CatalogWidget::Category::screenTime, CatalogWidget::Category::media,     CatalogWidget::Category::focus,
    CatalogWidget::Category::health,     CatalogWidget::Category::system,    CatalogWidget::Category::extras};
inline constexpr std::array<CatalogWidget::Size, 3> kAllSizes = {
    CatalogWidget::Size::small, CatalogWidget::Size::medium, CatalogWidget::Size::large};

// The title shown in the sidebar, the gallery and search ("Screen Time").
QString rawValue(CatalogWidget::Category category);
// Exact match only: "screen time" is no category.
std::optional<CatalogWidget::Category> categoryFromRawValue(const QString& raw);
// The symbol drawn beside the title.
QString symbol(CatalogWidget::Category category);
// "Small", "Medium", "Large".
QString rawValue(CatalogWidget::Size size);
QSizeF designSize(CatalogWidget::Size size);

namespace WidgetCatalog {

// All entries, category by category; built once.
const std::vector<CatalogWidget>& all();
// All entries, or those of one category, in catalog order.
std::vector<CatalogWidget> widgets(std::optional<CatalogWidget::Category> category);
// The moment the clock and calendar previews show: 16:32:37 on 15 July 2026 in London.
Date previewDate();

} // namespace WidgetCatalog

} // namespace velk::app
