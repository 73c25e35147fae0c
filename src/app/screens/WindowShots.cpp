#include "app/screens/WindowShots.h"

#include "app/screens/AddWidgetGuide.h"
#include "app/screens/GalleryView.h"
#include "app/screens/HabitsManagerView.h"
#include "app/screens/MainWindow.h"
#include "app/screens/NotesManagerView.h"
#include "app/screens/SettingsView.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QScrollArea>

namespace velk::app {

namespace {

struct Shooter {
    QString dir;
    QStringList written;
    QStringList* failed;

    void save(QWidget* w, const QString& name, QWidget* area = nullptr)
    {
        // Shown, so layouts settle and style sheets apply as in a real window.
        w->show();
        QCoreApplication::processEvents();
        const QString file = QStringLiteral("%1/%2@%3x.png").arg(dir, name).arg(w->devicePixelRatioF());
        if ((area ? area : w)->grab().save(file))
            written << file;
        else if (failed)
            *failed << file;
    }
};

} // namespace

QStringList shootWindows(const QString& dir, ThemeStore* theme, AppLinks* links, NotesSource* notes,
                         QStringList* failed)
{
    QDir().mkpath(dir);
    Shooter shoot{dir, {}, failed};

    MainWindow window(theme, links, {});
    shoot.save(&window, QStringLiteral("gallery"));
    // Every card at once: the gallery's scrolled content, taller than any window.
    if (auto* scroll = window.gallery()->findChild<QScrollArea*>(QStringLiteral("galleryScroll")))
        shoot.save(&window, QStringLiteral("gallery-all"), scroll->widget());
    window.select(SidebarItem::of(CatalogWidget::Category::reminders));
    shoot.save(&window, QStringLiteral("reminders"));
    window.select(SidebarItem::theme());
    shoot.save(&window, QStringLiteral("theme"));
    window.hide();

    AddWidgetGuide guide(QStringLiteral("World Clock"));
    shoot.save(&guide, QStringLiteral("guide"));
    guide.hide();
    SettingsView settings(links);
    shoot.save(&settings, QStringLiteral("settings"));
    settings.hide();
    HabitsManagerView habits;
    shoot.save(&habits, QStringLiteral("habits"));
    habits.hide();
    if (notes) {
        NotesManagerView notesView(notes, false);
        shoot.save(&notesView, QStringLiteral("notes"));
        notesView.hide();
    }
    return shoot.written;
}

} // namespace velk::app
