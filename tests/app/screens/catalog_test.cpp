#include "app/screens/WidgetCatalog.h"
#include "platform/core/Clock.h"
#include "platform/core/TimeZone.h"
#include "shared/look/TreeQuery.h"
#include "shared/widget/WidgetKinds.h"
#include "support/UtcDate.h"

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
    for (const CatalogWidget& w : all)
        matrix += w.name == QStringLiteral("Matrix Digital");
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

TEST(WidgetCatalog, PreviewsShowTheCatalogsOwnDataNotTheClock)
{
    // A winter night somewhere else: nothing of it may show.
    ClockPin clock(test::utc("2025-01-02T03:04:05"));
    TimeZonePin zone(QStringLiteral("UTC"));
    const struct {
        const char* kind;
        QStringList shown;
        QStringList hidden;
    } cases[] = {
        {kinds::matrixSmall, {"LONDON", "4:32"}, {"3:04"}},
        {kinds::matrixMedium, {"4:32"}, {"3:04"}},
        {kinds::calendarBigDate, {"15"}, {"2"}},
        {kinds::weatherNight, {"TOKYO", "31", "CLEAR NIGHT"}, {"LONDON"}},
    };
    for (const auto& c : cases) {
        std::optional<CatalogWidget> entry;
        for (const CatalogWidget& w : WidgetCatalog::all())
            if (w.kind == QLatin1String(c.kind)) entry = w;
        ASSERT_TRUE(entry) << c.kind;
        const QJsonObject tree = velk::testing::inspectAt(*entry->preview(), designSize(entry->size));
        const QString texts = velk::testing::textsOf(tree).join(QStringLiteral(" | "));
        for (const QString& s : c.shown)
            EXPECT_TRUE(texts.contains(s)) << c.kind << ": " << texts.toStdString();
        for (const QString& s : c.hidden)
            EXPECT_FALSE(velk::testing::textsOf(tree).contains(s)) << c.kind << ": " << s.toStdString();
    }
}
