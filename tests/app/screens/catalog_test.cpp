#include "app/screens/WidgetCatalog.h"
#include "shared/widget/WidgetKinds.h"

#include <QDateTime>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <set>

using namespace velk;
using namespace velk::app;
using Category = CatalogWidget::Category;

TEST(WidgetCatalog, HoldsEveryKindOnceInCategoryOrder)
{
    const auto& all = WidgetCatalog::all();
    ASSERT_EQ(all.size(), 53u);
    EXPECT_EQ(all.front().kind, QLatin1String(kinds::analogClassic));
    EXPECT_EQ(all.back().name, QStringLiteral("Inbox"));
    std::set<QString> kindsSeen;
    size_t total = 0;
    int lastCategory = -1;
    for (Category c : kAllCategories) {
        const auto list = WidgetCatalog::widgets(c);
        total += list.size();
        for (const CatalogWidget& w : list) {
            EXPECT_EQ(w.category, c);
            kindsSeen.insert(w.kind);
        }
    }
    for (const CatalogWidget& w : all) {
        EXPECT_GE(int(w.category), lastCategory) << w.kind.toStdString();
        lastCategory = int(w.category);
    }
    EXPECT_EQ(total, 53u);
    EXPECT_EQ(kindsSeen.size(), 53u);
    EXPECT_EQ(WidgetCatalog::widgets(std::nullopt).size(), 53u);

    const auto media = WidgetCatalog::widgets(Category::media);
    ASSERT_EQ(media.size(), 2u);
    EXPECT_EQ(media[0].name, QStringLiteral("Now Playing"));
    EXPECT_EQ(media[1].name, QStringLiteral("Remote"));
    // Names are not unique: the small and the medium matrix clock share one.
    int matrix = 0;
    for (const CatalogWidget& w : all) matrix += w.name == QStringLiteral("Matrix Digital");
    EXPECT_EQ(matrix, 2);
}

TEST(WidgetCatalog, CategoryTitlesMatchExactly)
{
    EXPECT_EQ(categoryFromRawValue(QStringLiteral("Screen Time")), Category::screenTime);
    EXPECT_EQ(categoryFromRawValue(QStringLiteral("screen time")), std::nullopt);
    EXPECT_EQ(categoryFromRawValue(QStringLiteral("ScreenTime")), std::nullopt);
    EXPECT_EQ(symbol(Category::battery), QStringLiteral("battery.75percent"));
    EXPECT_EQ(designSize(CatalogWidget::Size::medium), QSizeF(344, 160));
}

TEST(WidgetCatalog, PreviewDateIsSummerAfternoonInLondon)
{
    const Date d = WidgetCatalog::previewDate();
    EXPECT_EQ(d, WidgetCatalog::previewDate());
    const QDateTime london = d.toQDateTime().toTimeZone(QTimeZone("Europe/London"));
    EXPECT_EQ(london.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), QStringLiteral("2026-07-15 16:32:37"));
}

TEST(WidgetCatalog, EveryEntryIsDrawnByTheBundlesWidgetOfItsKind)
{
    for (const CatalogWidget& w : WidgetCatalog::all())
        EXPECT_TRUE(w.preview().has_value()) << w.kind.toStdString();
    CatalogWidget unknown{QStringLiteral("velk.nothing"), QStringLiteral("Nothing")};
    EXPECT_FALSE(unknown.preview().has_value());
}
