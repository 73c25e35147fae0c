// Pictures of every window for a person to look at: written only when VELK_SCREENSHOT_DIR is
// set (run it once with QT_SCALE_FACTOR=2 for the 2x set).
#include "app/screens/AddWidgetGuide.h"
#include "app/screens/AppLinks.h"
#include "app/screens/GalleryView.h"
#include "app/screens/HabitsManagerView.h"
#include "app/screens/MainWindow.h"
#include "app/screens/NotesManagerView.h"
#include "app/screens/SettingsView.h"
#include "app/screens/ThemeView.h"
#include "platform/core/Clock.h"
#include "shared/look/ThemeStore.h"
#include "support/WaitFor.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <gtest/gtest.h>

using namespace velk;
using namespace velk::app;

namespace {

class FewNotes : public NotesSource {
public:
    QList<NoteItem> list{NoteItem(QStringLiteral("Call the dentist before Friday"), Clock::now(), true),
                         NoteItem(QStringLiteral("Milk, eggs, coffee beans"), Clock::now(), false)};
    QList<NoteItem> notes() const override { return list; }
    void add(const QString&) override {}
    void remove(const NoteItem&) override {}
    void togglePin(const NoteItem&) override {}
};

void shoot(QWidget* w, const QString& name)
{
    const QString dir = qEnvironmentVariable("VELK_SCREENSHOT_DIR");
    w->show();
    test::waitFor([&] { return w->isVisible(); });
    QCoreApplication::processEvents();
    const qreal ratio = w->devicePixelRatioF();
    const QString file = QStringLiteral("%1/%2@%3x.png").arg(dir, name).arg(ratio);
    EXPECT_TRUE(w->grab().save(file)) << file.toStdString();
}

} // namespace

TEST(Screenshots, EveryWindow)
{
    if (qEnvironmentVariableIsEmpty("VELK_SCREENSHOT_DIR")) GTEST_SKIP() << "VELK_SCREENSHOT_DIR not set";
    QDir().mkpath(qEnvironmentVariable("VELK_SCREENSHOT_DIR"));
    ThemeStore theme;
    AppLinks links;
    links.remindersConnected = [] { return false; };
    MainWindow window(&theme, &links, {});
    shoot(&window, QStringLiteral("gallery"));
    window.select(SidebarItem::of(CatalogWidget::Category::reminders));
    shoot(&window, QStringLiteral("reminders"));
    window.select(SidebarItem::theme());
    window.themeView()->setDraftTheme(QStringLiteral("amber"));
    shoot(&window, QStringLiteral("theme"));
    window.select(SidebarItem::all());
    window.gallery()->toggleSelection(QStringLiteral("velk.clock.world"));
    AddWidgetGuide guide(QStringLiteral("World Clock"));
    shoot(&guide, QStringLiteral("guide"));
    SettingsView settings(&links);
    shoot(&settings, QStringLiteral("settings"));
    HabitsManagerView habits;
    shoot(&habits, QStringLiteral("habits"));
    FewNotes notes;
    NotesManagerView notesView(&notes, false);
    shoot(&notesView, QStringLiteral("notes"));
}
