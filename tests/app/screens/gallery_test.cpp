// The gallery and the main window driven as a user would: sidebar, search, size picker,
// selection and the add-widget guide.
#include "app/screens/AddWidgetGuide.h"
#include "app/screens/AppLinks.h"
#include "app/screens/GalleryView.h"
#include "app/screens/MainWindow.h"
#include "app/screens/WidgetCard.h"
#include "platform/calendar/CalendarStore.h"
#include "platform/timeline/WidgetCenter.h"
#include "shared/look/ThemeStore.h"
#include "support/WaitFor.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFile>
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
    for (auto* c : cards)
        out << c->widget().name;
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

// The widget host's add call on the test's session bus, answering from its own connection.
class FakeHost : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.harrowcrest.velk.WidgetHost")
public:
    QStringList added;
    QString answer = QStringLiteral("w1");
public slots:
    QString AddWidget(const QString& kind)
    {
        added << kind;
        return answer;
    }
};

void writeFile(const QString& path, const QByteArray& text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

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
    EXPECT_EQ(names(w.window.gallery()->visibleCards()), (QStringList{"Ring", "Percent", "Devices", "Power Log"}));
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

TEST(Guide, WithoutATrayItPlacesTheSelectedWidgetThroughTheHost)
{
    QDBusConnection hostBus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake-host"));
    FakeHost host;
    ASSERT_TRUE(hostBus.registerObject(timeline::WidgetCenter::kPath, &host, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(hostBus.registerService(timeline::WidgetCenter::kService));

    Window w;
    GalleryView* g = w.window.gallery();
    g->toggleSelection(QStringLiteral("velk.clock.world"));
    // Offscreen there is no tray: the steps need none, and the host is asked directly.
    g->openAddGuide();
    AddWidgetGuide* guide = nullptr;
    ASSERT_TRUE(test::waitFor([&] { return (guide = g->findChild<AddWidgetGuide*>()) && guide->isVisible(); }));
    EXPECT_EQ(labelText(guide, "subheadline"),
              QStringLiteral("This desktop shows no tray, so VELK places widgets from here or from a terminal."));
    QStringList steps;
    for (QLabel* l : guide->findChildren<QLabel*>(QStringLiteral("stepText")))
        steps << l->text();
    ASSERT_EQ(steps.size(), 3);
    EXPECT_FALSE(steps.join(u' ').contains(QStringLiteral("tray")));
    EXPECT_TRUE(steps[0].contains(QStringLiteral("<b>Place on Desktop</b>")));
    EXPECT_TRUE(steps[1].contains(QStringLiteral("<b>velk-widgets add velk.clock.world</b>")));
    guide->findChild<QAbstractButton*>(QStringLiteral("placeNow"))->click();
    EXPECT_TRUE(test::waitFor([&] { return !g->findChild<AddWidgetGuide*>(); }));
    EXPECT_EQ(host.added, QStringList{QStringLiteral("velk.clock.world")});

    // A kind the host does not place: the guide stays and says what to run instead.
    host.answer.clear();
    g->openAddGuide();
    ASSERT_TRUE(test::waitFor([&] { return (guide = g->findChild<AddWidgetGuide*>()) && guide->isVisible(); }));
    guide->findChild<QAbstractButton*>(QStringLiteral("placeNow"))->click();
    EXPECT_TRUE(test::waitFor([&] { return !labelText(guide, "placeStatus").isEmpty(); }));
    EXPECT_EQ(labelText(guide, "placeStatus"),
              QStringLiteral("The widget host did not place it: try velk-widgets add velk.clock.world in a terminal."));
    guide->reject();
    ASSERT_TRUE(test::waitFor([&] { return !g->findChild<AddWidgetGuide*>(); }));

    // With no host answering there is nothing to press; with a tray the steps stay as they were.
    hostBus.unregisterService(timeline::WidgetCenter::kService);
    const auto noHost = AddWidgetGuide::Placing::onThisDesktop(QStringLiteral("velk.clock.world"));
    EXPECT_FALSE(noHost.canPlaceNow());
    AddWidgetGuide alone(QStringLiteral("World Clock"), noHost);
    EXPECT_FALSE(alone.findChild<QAbstractButton*>(QStringLiteral("placeNow")));
    const AddWidgetGuide::Placing tray{true, QStringLiteral("velk.clock.world"), true};
    EXPECT_EQ(AddWidgetGuide::steps(QStringLiteral("World Clock"), tray),
              AddWidgetGuide::steps(QStringLiteral("World Clock")));
    EXPECT_TRUE(AddWidgetGuide::steps(QStringLiteral("World Clock"), tray)[0].contains(QStringLiteral("tray")));
    hostBus.unregisterObject(timeline::WidgetCenter::kPath);
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
    EXPECT_TRUE(steps[2]->text().contains(QStringLiteral("<b>A</b>&lt;b&gt;<b>C</b>")))
        << steps[2]->text().toStdString();
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
}

TEST(MainWindowUrls, OpenLinksStartTheUsersAppAndStepAside)
{
    // The private tree holds a default calendar app and nothing else: no weather app, no
    // to-do app (so reminders fall back to the calendar).
    const QByteArray dataDirs = qgetenv("XDG_DATA_DIRS");
    qputenv("XDG_DATA_DIRS", qgetenv("XDG_DATA_HOME"));
    const QString apps = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/applications");
    QDir().mkpath(apps);
    QDir().mkpath(qEnvironmentVariable("XDG_CONFIG_HOME"));
    writeFile(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/mimeapps.list"),
              "[Default Applications]\ntext/calendar=test-calendar.desktop\n");
    writeFile(apps + QStringLiteral("/test-calendar.desktop"), "[Desktop Entry]\nName=Calendar\nExec=true\n");

    Window w;
    QStringList launched;
    w.links.launchApp = [&](const QString& id) {
        launched << id;
        return true;
    };
    w.clickRow(QStringLiteral("Battery"));
    const struct {
        const char* url;
        QStringList launched;
    } cases[] = {
        {"velkwidgets://open/calendar", {"test-calendar.desktop"}},
        {"velkwidgets://open/reminders", {"test-calendar.desktop"}},
        {"velkwidgets://open/weather", {}},
        {"velkwidgets://open/elsewhere", {}},
        {"velkwidgets:///calendar", {}},
    };
    for (const auto& c : cases) {
        launched.clear();
        w.window.showNormal();
        w.window.handleUrl(QUrl(QString::fromLatin1(c.url)));
        EXPECT_EQ(launched, c.launched) << c.url;
        // Stepped aside when an app was started, still in front when none was.
        EXPECT_EQ(w.window.isMinimized(), !c.launched.isEmpty()) << c.url;
        EXPECT_EQ(w.window.selection(), SidebarItem::of(Category::battery)) << c.url;
    }

    // An app that cannot be started leaves VELK where it is.
    w.links.launchApp = [](const QString&) { return false; };
    w.window.showNormal();
    w.window.handleUrl(QUrl(QStringLiteral("velkwidgets://open/calendar")));
    EXPECT_FALSE(w.window.isMinimized());
    qputenv("XDG_DATA_DIRS", dataDirs);
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

TEST(Gallery, ConnectSaysWhatIsMissingAndWhere)
{
    ThemeStore theme;
    AppLinks links;
    links.remindersConnected = [] { return true; };
    bool source = false;
    links.locationSourceAvailable = [&] { return source; };
    links.requestLocation = [] {};

    // Access granted, but the calendars folder holds no calendar file yet.
    const QString root = CalendarStore::defaultRoot();
    QDir(root).removeRecursively();
    GalleryView reminders(&theme, &links, Category::reminders);
    EXPECT_EQ(reminders.bannerText(), std::nullopt);
    EXPECT_EQ(
        reminders.connectNote(),
        QStringLiteral("No calendar files yet: VELK reads the .ics files in %1 (one folder per calendar)").arg(root));
    EXPECT_TRUE(reminders.findChild<QLabel*>(QStringLiteral("connectNote"))->isVisibleTo(&reminders));
    QDir().mkpath(root + QStringLiteral("/personal"));
    writeFile(root + QStringLiteral("/personal/tasks.ics"), "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n");
    emit links.statusChanged();
    EXPECT_EQ(reminders.connectNote(), std::nullopt);
    EXPECT_FALSE(reminders.findChild<QLabel*>(QStringLiteral("connectNote"))->isVisibleTo(&reminders));
    QDir(root).removeRecursively();

    // No position source: nothing said until Connect, then one line.
    GalleryView weather(&theme, &links, Category::weather);
    ASSERT_TRUE(weather.bannerText());
    EXPECT_EQ(weather.connectNote(), std::nullopt);
    weather.findChild<QAbstractButton*>(QStringLiteral("connect"))->click();
    EXPECT_EQ(
        weather.connectNote(),
        QStringLiteral("No location source: GeoClue does not answer on the system bus and VELK_NMEA_FILE is not set"));
    EXPECT_TRUE(weather.findChild<QLabel*>(QStringLiteral("connectNote"))->isVisibleTo(&weather));
    source = true;
    emit links.statusChanged();
    EXPECT_EQ(weather.connectNote(), std::nullopt);
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

#include "gallery_test.moc"
