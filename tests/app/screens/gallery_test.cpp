// The gallery and the main window driven as a user would: sidebar, search, size picker,
// selection and the add-widget guide.
#include "app/screens/AddWidgetGuide.h"
#include "app/screens/AppLinks.h"
#include "app/screens/GalleryView.h"
#include "app/screens/MainWindow.h"
#include "app/screens/WidgetCard.h"
#include "shared/look/ThemeStore.h"
#include "support/WaitFor.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace velk;
using namespace velk::app;
using Category = CatalogWidget::Category;
using Size = CatalogWidget::Size;

namespace {

QStringList names(const std::vector<WidgetGalleryCard*>& cards)
{
    QStringList out;
    for (auto* c : cards) out << c->widget().name;
    return out;
}

QString labelText(QWidget* root, const char* name)
{
    auto* l = root->findChild<QLabel*>(QString::fromLatin1(name));
    return l ? l->text() : QStringLiteral("<none>");
}

struct Window {
    ThemeStore theme;
    AppLinks links;
    int notesOpened = 0;
    bool lastComposing = true;
    MainWindow window{&theme, &links, [this](QWidget*, bool composing) {
                          ++notesOpened;
                          lastComposing = composing;
                      }};
    Window()
    {
        window.show();
        test::waitFor([&] { return window.isVisible(); });
    }
    void clickRow(const QString& title)
    {
        QListWidget* list = window.sidebar();
        const auto items = list->findItems(title, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << title.toStdString();
        list->setCurrentItem(items.first());
    }
};

} // namespace

TEST(Gallery, OpensOnAllWidgetsAndSidebarNarrowsIt)
{
    Window w;
    ASSERT_TRUE(w.window.gallery());
    GalleryView* g = w.window.gallery();
    EXPECT_EQ(labelText(g, "pageTitle"), QStringLiteral("All Widgets"));
    EXPECT_EQ(labelText(g, "pageSubtitle"), QStringLiteral("53 widgets"));
    EXPECT_EQ(g->visibleCards().size(), 53u);
    EXPECT_FALSE(g->bannerText());
    EXPECT_FALSE(g->findChild<QAbstractButton*>(QStringLiteral("manageNotes")));
    EXPECT_FALSE(g->findChild<QAbstractButton*>(QStringLiteral("manageHabits")));
    EXPECT_TRUE(g->findChild<QAbstractButton*>(QStringLiteral("addToDesktop")));

    w.clickRow(QStringLiteral("Battery"));
    ASSERT_TRUE(w.window.gallery());
    EXPECT_EQ(w.window.gallery()->category(), Category::battery);
    EXPECT_EQ(names(w.window.gallery()->visibleCards()),
              (QStringList{"Ring", "Percent", "Devices", "Power Log"}));
    EXPECT_EQ(labelText(w.window.gallery(), "pageTitle"), QStringLiteral("Battery"));

    w.clickRow(QStringLiteral("Notes"));
    EXPECT_TRUE(w.window.gallery()->findChild<QAbstractButton*>(QStringLiteral("manageNotes")));
    EXPECT_FALSE(w.window.gallery()->findChild<QAbstractButton*>(QStringLiteral("manageHabits")));
    w.window.gallery()->findChild<QAbstractButton*>(QStringLiteral("manageNotes"))->click();
    EXPECT_EQ(w.notesOpened, 1);
    EXPECT_FALSE(w.lastComposing);

    w.clickRow(QStringLiteral("Focus"));
    EXPECT_TRUE(w.window.gallery()->findChild<QAbstractButton*>(QStringLiteral("manageHabits")));
    EXPECT_FALSE(w.window.gallery()->findChild<QAbstractButton*>(QStringLiteral("manageNotes")));

    // No row selected still shows every widget.
    w.window.sidebar()->clearSelection();
    EXPECT_EQ(w.window.selection(), std::nullopt);
    EXPECT_EQ(w.window.gallery()->visibleCards().size(), 53u);

    w.clickRow(QStringLiteral("Theme"));
    EXPECT_FALSE(w.window.gallery());
    EXPECT_TRUE(w.window.themeView());
}

TEST(Gallery, SearchMatchesNameOrCategoryInAnyCaseAndPersistsAcrossRows)
{
    Window w;
    QTest::keyClicks(w.window.searchField(), QStringLiteral("SCREEN TIME"));
    EXPECT_EQ(names(w.window.gallery()->visibleCards()), (QStringList{"Total", "Elapsed", "Top Apps", "Weekly"}));

    w.window.searchField()->clear();
    QTest::keyClicks(w.window.searchField(), QStringLiteral("ri"));
    w.clickRow(QStringLiteral("Battery"));
    // "Ring" by name; the others do not contain "ri".
    EXPECT_EQ(names(w.window.gallery()->visibleCards()), (QStringList{"Ring"}));
    EXPECT_EQ(labelText(w.window.gallery(), "pageSubtitle"), QStringLiteral("1 widget"));

    w.window.setSearchText(QStringLiteral(" "));
    w.clickRow(QStringLiteral("All Widgets"));
    for (auto* c : w.window.gallery()->visibleCards())
        EXPECT_TRUE(c->widget().name.contains(QLatin1Char(' ')) ||
                    rawValue(c->widget().category).contains(QLatin1Char(' ')))
            << c->widget().name.toStdString();

    w.window.setSearchText(QStringLiteral("zzz"));
    EXPECT_EQ(labelText(w.window.gallery(), "pageSubtitle"), QStringLiteral("0 widgets"));
}

TEST(Gallery, SizePickerThenSearchKeepsCatalogOrder)
{
    Window w;
    GalleryView* g = w.window.gallery();
    g->findChild<QAbstractButton*>(QStringLiteral("size-Large"))->click();
    EXPECT_EQ(g->sizeFilter(), Size::large);
    EXPECT_EQ(names(g->visibleCards()), (QStringList{"Today List", "Agenda"}));
    w.window.setSearchText(QStringLiteral("aGe"));
    EXPECT_EQ(names(g->visibleCards()), (QStringList{"Agenda"}));
    g->findChild<QAbstractButton*>(QStringLiteral("size-All"))->click();
    EXPECT_EQ(g->sizeFilter(), std::nullopt);
}

TEST(Gallery, SelectingACardNamesItInTheGuide)
{
    Window w;
    GalleryView* g = w.window.gallery();
    WidgetGalleryCard* world = nullptr;
    WidgetGalleryCard* dial = nullptr;
    for (auto* c : g->visibleCards()) {
        if (c->widget().name == QStringLiteral("World Clock")) world = c;
        if (c->widget().name == QStringLiteral("Dot Dial")) dial = c;
    }
    ASSERT_TRUE(world && dial);
    QTest::mouseClick(world, Qt::LeftButton);
    EXPECT_TRUE(world->isSelected());
    QTest::mouseClick(dial, Qt::LeftButton);
    EXPECT_FALSE(world->isSelected());
    EXPECT_TRUE(dial->isSelected());
    QTest::mouseClick(dial, Qt::LeftButton);
    EXPECT_EQ(g->selectedKind(), std::nullopt);

    QTest::mouseClick(world, Qt::LeftButton);
    g->findChild<QAbstractButton*>(QStringLiteral("addToDesktop"))->click();
    AddWidgetGuide* guide = nullptr;
    ASSERT_TRUE(test::waitFor([&] { return (guide = g->findChild<AddWidgetGuide*>()) && guide->isVisible(); }));
    EXPECT_EQ(labelText(guide, "heading"), QStringLiteral("Add \u201CWorld Clock\u201D to your desktop"));
    const auto steps = guide->findChildren<QLabel*>(QStringLiteral("stepText"));
    ASSERT_EQ(steps.size(), 3);
    EXPECT_TRUE(steps[2]->text().contains(QStringLiteral("<b>World Clock</b>")));
    // Return presses "Done".
    QTest::keyClick(guide, Qt::Key_Return);
    EXPECT_TRUE(test::waitFor([&] { return !g->findChild<AddWidgetGuide*>(); }));

    // A selection the size picker hides stays, and the guide then names no widget.
    g->findChild<QAbstractButton*>(QStringLiteral("size-Small"))->click();
    EXPECT_EQ(g->selectedKind(), QStringLiteral("velk.clock.world"));
    EXPECT_EQ(g->guideWidgetName(), std::nullopt);
}

TEST(Guide, TextsWithAndWithoutAName)
{
    EXPECT_EQ(AddWidgetGuide::heading(std::nullopt), QStringLiteral("Add widgets to your desktop"));
    EXPECT_TRUE(AddWidgetGuide::steps(std::nullopt)[2].startsWith(QStringLiteral("Choose any widget,")));
    EXPECT_TRUE(AddWidgetGuide::steps(std::nullopt)[2].endsWith(QStringLiteral("click **Done**.")));
    // A name with its own markers takes part in the styling, and its text is escaped.
    AddWidgetGuide guide(QStringLiteral("A**<b>**C"));
    const auto steps = guide.findChildren<QLabel*>(QStringLiteral("stepText"));
    ASSERT_EQ(steps.size(), 3);
    EXPECT_TRUE(steps[2]->text().contains(QStringLiteral("<b>A</b>&lt;b&gt;<b>C</b>"))) << steps[2]->text().toStdString();
}

TEST(MainWindowUrls, NotesAndOpenLinksGoToTheirPages)
{
    Window w;
    w.window.handleUrl(QUrl(QStringLiteral("velkwidgets://notes/new")));
    EXPECT_EQ(w.window.selection(), SidebarItem::of(Category::notes));
    EXPECT_EQ(w.notesOpened, 1);
    EXPECT_TRUE(w.lastComposing);
    w.window.handleUrl(QUrl(QStringLiteral("velkwidgets://notes")));
    EXPECT_EQ(w.notesOpened, 2);
    EXPECT_FALSE(w.lastComposing);
    // Another scheme does nothing, even with the host "notes".
    w.window.handleUrl(QUrl(QStringLiteral("https://notes/new")));
    EXPECT_EQ(w.notesOpened, 2);

    w.window.handleUrl(QUrl(QStringLiteral("velkwidgets://open/reminders")));
    EXPECT_EQ(w.window.selection(), SidebarItem::of(Category::reminders));
    w.window.handleUrl(QUrl(QStringLiteral("velkwidgets://open/elsewhere")));
    EXPECT_EQ(w.window.selection(), SidebarItem::of(Category::reminders));
    w.window.handleUrl(QUrl(QStringLiteral("velkwidgets://open/calendar")));
    EXPECT_EQ(w.window.selection(), SidebarItem::of(Category::calendars));
}

TEST(Gallery, BannerFollowsConsentAndConnectAsksTheServices)
{
    ThemeStore theme;
    AppLinks links;
    bool connected = false;
    int asked = 0;
    links.remindersConnected = [&] { return connected; };
    links.connectReminders = [&] { ++asked; };
    GalleryView page(&theme, &links, Category::reminders);
    EXPECT_EQ(page.bannerText(), QStringLiteral("Connect Reminders so these widgets show your real list."));
    page.findChild<QAbstractButton*>(QStringLiteral("connect"))->click();
    EXPECT_EQ(asked, 1);
    connected = true;
    emit links.statusChanged();
    EXPECT_EQ(page.bannerText(), std::nullopt);
    EXPECT_FALSE(page.findChild<QWidget*>(QStringLiteral("connectBanner"))->isVisibleTo(&page));
}

TEST(Gallery, CardsFollowTheAppliedTheme)
{
    ThemeStore theme;
    GalleryView page(&theme, nullptr, Category::clocks);
    page.resize(900, 700);
    page.show();
    WidgetCard* card = page.visibleCards().front()->card();
    test::waitFor([&] { return card->width() > 0; }, 2000);
    ASSERT_TRUE(card->hasPreview());
    ASSERT_GT(card->width(), 0) << card->height();
    ASSERT_TRUE(test::waitFor([&] { return !card->picture().isNull(); }));
    const QImage before = card->picture();
    theme.setSettings(ThemeSettings{QStringLiteral("amber"), ThemeSettings::SurfaceStyle::solid});
    EXPECT_EQ(card->theme().themeID, QStringLiteral("amber"));
    EXPECT_NE(card->picture(), before);
}

TEST(MainWindowPages, CategoryToCategoryKeepsThePagesChoicesAllWidgetsStartsAfresh)
{
    Window w;
    w.clickRow(QStringLiteral("Clocks"));
    w.window.gallery()->setSizeFilter(Size::medium);
    w.window.gallery()->toggleSelection(QStringLiteral("velk.clock.world"));
    w.clickRow(QStringLiteral("Battery"));
    EXPECT_EQ(w.window.gallery()->sizeFilter(), Size::medium);
    EXPECT_EQ(names(w.window.gallery()->visibleCards()), (QStringList{"Devices", "Power Log"}));
    EXPECT_EQ(w.window.gallery()->selectedKind(), QStringLiteral("velk.clock.world"));
    w.clickRow(QStringLiteral("All Widgets"));
    EXPECT_EQ(w.window.gallery()->sizeFilter(), std::nullopt);
    EXPECT_EQ(w.window.gallery()->selectedKind(), std::nullopt);
}
