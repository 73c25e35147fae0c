// The pictures a machine with no screen gets of the app's windows (velk-screenshots, which
// scripts/run calls). Written to VELK_SCREENSHOT_DIR when set, for a person to look at (run it
// once more with QT_SCALE_FACTOR=2 for the 2x set); to a temporary folder otherwise.
#include "app/screens/AppLinks.h"
#include "app/screens/NotesSource.h"
#include "app/screens/WindowShots.h"
#include "platform/core/Clock.h"
#include "shared/look/ThemeStore.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
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

} // namespace

TEST(Screenshots, EveryWindowIsWrittenAtItsSize)
{
    QTemporaryDir temp;
    const QString dir =
        qEnvironmentVariableIsEmpty("VELK_SCREENSHOT_DIR") ? temp.path() : qEnvironmentVariable("VELK_SCREENSHOT_DIR");
    ThemeStore theme;
    theme.setSettings(ThemeSettings{QStringLiteral("amber"), ThemeSettings::SurfaceStyle::solid});
    AppLinks links;
    links.remindersConnected = [] { return false; };
    FewNotes notes;
    QStringList failed;
    const QStringList files = shootWindows(dir, &theme, &links, &notes, &failed);
    EXPECT_TRUE(failed.isEmpty()) << failed.join(u' ').toStdString();

    QStringList names;
    QHash<QString, QImage> images;
    for (const QString& f : files) {
        const QString name = QFileInfo(f).fileName().section(QLatin1Char('@'), 0, 0);
        names << name;
        images.insert(name, QImage(f));
    }
    EXPECT_EQ(names,
              (QStringList{"gallery", "gallery-all", "reminders", "theme", "guide", "settings", "habits", "notes"}));
    // The main window's pages at the window's opening size; every card below the first screen.
    const qreal ratio = qGuiApp->devicePixelRatio();
    for (const char* page : {"gallery", "reminders", "theme"})
        EXPECT_EQ(images.value(QString::fromLatin1(page)).size(), QSize(1144, 720) * ratio) << page;
    EXPECT_GT(images.value(QStringLiteral("gallery-all")).height(),
              3 * images.value(QStringLiteral("gallery")).height());
    for (const QImage& image : images)
        EXPECT_FALSE(image.isNull());
}
