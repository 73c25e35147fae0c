#include "app/screens/WidgetCard.h"
#include "app/screens/WidgetCatalog.h"
#include "shared/look/Theme.h"
#include "shared/look/ThemeStore.h"
#include "shared/widget/WidgetKinds.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

using namespace velk;
using namespace velk::app;

namespace {

CatalogWidget entry(const char* kind)
{
    for (const CatalogWidget& w : WidgetCatalog::all())
        if (w.kind == QLatin1String(kind)) return w;
    return {};
}

WidgetCard* cardFor(const CatalogWidget& w, ThemeSettings theme)
{
    return new WidgetCard(designSize(w.size), theme, [w] { return w.preview(); });
}

// The colours a tree paints with, as inspected.
bool treeMentions(const QJsonObject& tree, const QString& hex)
{
    return QString::fromUtf8(QJsonDocument(tree).toJson()).contains(hex, Qt::CaseInsensitive);
}

} // namespace

TEST(WidgetCard, FitsTheDesignProportionsAndCentres)
{
    std::unique_ptr<WidgetCard> card(cardFor(entry(kinds::matrixSmall), {}));
    card->resize(300, 120);
    EXPECT_DOUBLE_EQ(card->scaleUnit(), 0.75);
    EXPECT_EQ(card->widgetRect(), QRectF(90, 0, 120, 120));
    std::unique_ptr<WidgetCard> medium(cardFor(entry(kinds::matrixMedium), {}));
    medium->resize(344, 150);
    EXPECT_DOUBLE_EQ(medium->scaleUnit(), 150.0 / 160.0);
    EXPECT_LE(medium->widgetRect().width(), 344);
}

TEST(WidgetCard, DrawsTheLookItIsGivenNotTheStoredOne)
{
    ThemeStore::save(ThemeSettings{QStringLiteral("paper"), ThemeSettings::SurfaceStyle::solid});
    const ThemeSettings amber{QStringLiteral("amber"), ThemeSettings::SurfaceStyle::solid};
    std::unique_ptr<WidgetCard> card(cardFor(entry(kinds::matrixSmall), amber));
    card->resize(160, 160);
    const QJsonObject tree = card->inspectTree();
    ASSERT_FALSE(tree.isEmpty());
    const VelkTheme& a = VelkThemes::all().value(QStringLiteral("amber"));
    const VelkTheme& paper = VelkThemes::all().value(QStringLiteral("paper"));
    EXPECT_TRUE(treeMentions(tree, a.t.hex()));
    EXPECT_FALSE(treeMentions(tree, paper.bg.hex()));
    // The stored look is untouched and read again outside the card.
    EXPECT_EQ(ThemeStore::current().themeID, QStringLiteral("paper"));

    card->setTheme(ThemeSettings{QStringLiteral("paper"), ThemeSettings::SurfaceStyle::solid});
    EXPECT_TRUE(treeMentions(card->inspectTree(), paper.t.hex()));
}

TEST(WidgetCard, KindWithoutAViewDrawsNoPreview)
{
    WidgetCard card({160, 160}, {}, [] { return std::optional<view::View>(); });
    card.resize(120, 120);
    EXPECT_FALSE(card.hasPreview());
    EXPECT_TRUE(card.inspectTree().isEmpty());
    EXPECT_TRUE(card.picture().isNull());
}

TEST(WidgetCard, GlassCardsSitOnTheThemesBackdrop)
{
    const VelkTheme& amber = VelkThemes::all().value(QStringLiteral("amber"));
    const struct {
        ThemeSettings::SurfaceStyle surface;
        bool backdrop;
    } cases[] = {
        {ThemeSettings::SurfaceStyle::glass, true},
        {ThemeSettings::SurfaceStyle::accent, false},
    };
    for (const auto& c : cases) {
        std::unique_ptr<WidgetCard> card(cardFor(entry(kinds::weatherCurrent), {QStringLiteral("amber"), c.surface}));
        card->resize(160, 160);
        // Glass shows what is behind it: the theme's background, not the window's grey.
        EXPECT_EQ(treeMentions(card->inspectTree(), amber.bg.hex()), c.backdrop) << int(c.surface);
    }
}
