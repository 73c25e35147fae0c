// velk-screenshots DIR: draws the app's windows offscreen, as they look with the stored theme,
// notes and habits, and writes them as PNG files into DIR (QT_SCALE_FACTOR=2 for a 2x set).
// For a machine with no screen, where `velk` itself has nowhere to show them.
#include "app/screens/AppLinks.h"
#include "app/screens/NotesManagerView.h"
#include "app/screens/ServiceWiring.h"
#include "app/screens/WindowShots.h"
#include "shared/look/ThemeStore.h"

#include <QApplication>
#include <QDir>
#include <cstdio>

namespace {

QtMessageHandler defaultHandler = nullptr;

// The offscreen platform notes that it keeps no size hints, once per dialog: nothing a person
// running this needs to read.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("propagateSizeHints"))) return;
    defaultHandler(type, context, message);
}

} // namespace

int main(int argc, char** argv)
{
    defaultHandler = qInstallMessageHandler(quietHandler);
    // Offscreen unless the caller chose a platform: nothing flashes up on a desktop.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velk"));
    QApplication::setApplicationVersion(QStringLiteral(VELK_VERSION));
    const QStringList args = QApplication::arguments();
    if (args.size() != 2 || args[1].startsWith(QLatin1Char('-'))) {
        std::fprintf(stderr, "usage: velk-screenshots DIR\n");
        return 2;
    }
    const QString dir = QDir(args[1]).absolutePath();

    velk::app::AppLinks links;
    // The windows read the collectors' state (consents, Mail status, notes); nothing is started.
    velk::app::wireServices(links);
    velk::ThemeStore theme;
    QStringList failed;
    const QStringList files =
        velk::app::shootWindows(dir, &theme, &links, velk::app::NotesManagerView::appSource(), &failed);
    for (const QString& f : files)
        std::printf("%s\n", qPrintable(QDir(dir).relativeFilePath(f)));
    for (const QString& f : failed)
        std::fprintf(stderr, "velk-screenshots: could not write %s\n", qPrintable(f));
    return failed.isEmpty() && !files.isEmpty() ? 0 : 1;
}
