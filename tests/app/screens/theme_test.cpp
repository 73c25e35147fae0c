#include "app/screens/ThemeView.h"
#include "app/screens/WidgetCard.h"
#include "platform/core/Defaults.h"
#include "platform/timeline/WidgetCenter.h"
#include "shared/look/ThemeStore.h"
#include "support/WaitFor.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velk;
using namespace velk::app;
using Surface = ThemeSettings::SurfaceStyle;

namespace {

QString storedJson()
{
    return QString::fromUtf8(Defaults::shared().data(ThemeStore::kKey).value_or(QByteArray()));
}

ThemeRow* row(ThemeView& v, const QString& id)
{
    for (ThemeRow* r : v.rows())
        if (r->choice().id == id) return r;
    return nullptr;
}

} // namespace

TEST(ThemeScreen, OffersElevenThemesAndThreeSurfaces)
{
    const auto& order = themePickerOrder();
    ASSERT_EQ(order.size(), 11u);
    EXPECT_EQ(order[0].id, QStringLiteral("macos"));
    EXPECT_EQ(order[4].label, QStringLiteral("TEAL \u2014 CRYO BAY"));
    EXPECT_EQ(order[10].id, QStringLiteral("amberlight"));
    EXPECT_EQ(surfaceLabel(Surface::accent), QStringLiteral("Amber"));
    EXPECT_EQ(surfaceExplanation(Surface::accent), QStringLiteral("Panels pick up a wash of the theme's accent."));
}

TEST(ThemeScreen, DraftChangesPreviewsButStoresNothingUntilApplied)
{
    Defaults::shared().remove(ThemeStore::kKey);
    ThemeStore store;
    ThemeView view(&store);
    view.show();
    EXPECT_EQ(view.draft().themeID, QStringLiteral("macdark"));
    EXPECT_TRUE(row(view, QStringLiteral("macdark"))->isSelectedRow());

    row(view, QStringLiteral("teal"))->click();
    view.findChild<QAbstractButton*>(QStringLiteral("surface-glass"))->click();
    EXPECT_EQ(view.draft(), (ThemeSettings{QStringLiteral("teal"), Surface::glass}));
    EXPECT_TRUE(row(view, QStringLiteral("teal"))->isSelectedRow());
    EXPECT_FALSE(row(view, QStringLiteral("macdark"))->isSelectedRow());
    for (WidgetCard* c : view.previews())
        EXPECT_EQ(c->theme(), view.draft());
    EXPECT_EQ(view.findChild<QLabel*>(QStringLiteral("surfaceExplanation"))->text(),
              QStringLiteral("Widgets become translucent glass over your wallpaper."));
    EXPECT_TRUE(storedJson().isEmpty());
    EXPECT_EQ(store.settings().themeID, QStringLiteral("macdark"));
}

TEST(ThemeScreen, ApplyStoresReloadsEverythingAndShowsAppliedForTwoSeconds)
{
    ThemeStore store;
    ThemeView view(&store);
    view.show();
    row(view, QStringLiteral("teal"))->click();
    view.findChild<QAbstractButton*>(QStringLiteral("surface-glass"))->click();
    timeline::WidgetCenterRecorder reloads;
    auto* apply = view.findChild<QPushButton*>(QStringLiteral("apply"));
    EXPECT_EQ(apply->text(), QStringLiteral("APPLY TO ALL WIDGETS"));
    apply->click();

    EXPECT_EQ(storedJson(), QStringLiteral("{\"themeID\":\"teal\",\"surface\":\"glass\"}"));
    EXPECT_EQ(store.settings(), view.draft());
    ASSERT_EQ(reloads.reloads().size(), 1u);
    EXPECT_TRUE(reloads.reloads()[0].all);
    EXPECT_EQ(apply->text(), QStringLiteral("APPLIED \u2713"));

    // A second press arms its own reset; the first to fire ends the label.
    apply->click();
    const auto timers = view.findChildren<QTimer*>(QStringLiteral("appliedReset"));
    ASSERT_EQ(timers.size(), 2);
    for (QTimer* t : timers) {
        EXPECT_TRUE(t->isActive());
        EXPECT_TRUE(t->isSingleShot());
        EXPECT_EQ(t->interval(), 2000);
    }
    // Fire the first reset now rather than waiting out its two seconds.
    timers[0]->start(0);
    ASSERT_TRUE(test::waitFor([&] { return !view.isApplied(); }));
    EXPECT_EQ(apply->text(), QStringLiteral("APPLY TO ALL WIDGETS"));
}

TEST(ThemeScreen, BadStoredValueOpensOnTheFallbackAndApplyRepairsIt)
{
    Defaults::shared().setData(ThemeStore::kKey, QByteArray("{not json"));
    ThemeStore store;
    ThemeView view(&store);
    EXPECT_EQ(view.draft(), ThemeSettings::defaultValue());
    view.apply();
    EXPECT_EQ(storedJson(), QStringLiteral("{\"themeID\":\"macdark\",\"surface\":\"solid\"}"));
}

TEST(ThemeScreen, LeavingDropsTheDraft)
{
    ThemeStore store;
    store.setSettings({QStringLiteral("green"), Surface::solid});
    ThemeView view(&store);
    view.show();
    row(view, QStringLiteral("ice"))->click();
    view.hide();
    view.show();
    EXPECT_EQ(view.draft().themeID, QStringLiteral("green"));
}
