#include "app/screens/LoginItem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace velk::app {

QString LoginItem::entryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/velk.desktop");
}

QString LoginItem::entryText(const QString& program)
{
    // Exec quotes the path so one with blanks still starts.
    QString quoted = program;
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=VELK\n"
                          "Comment=Dot-matrix desktop widgets and their collectors\n"
                          "Exec=\"%1\" --login-item\n"
                          "Icon=velk\n"
                          "Terminal=false\n"
                          "NoDisplay=true\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(quoted);
}

bool LoginItem::registerItem()
{
    const QString path = entryPath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    const QString program = QCoreApplication::applicationFilePath();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(entryText(program.isEmpty() ? QStringLiteral("velk") : program).toUtf8());
    return file.commit();
}

bool LoginItem::unregisterItem()
{
    const QString path = entryPath();
    return !QFileInfo::exists(path) || QFile::remove(path);
}

bool LoginItem::isRegistered()
{
    return QFileInfo::exists(entryPath());
}

} // namespace velk::app
