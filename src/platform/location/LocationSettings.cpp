#include "platform/location/LocationSettings.h"

#include <QProcess>
#include <QStandardPaths>

namespace velk {

bool LocationSettings::open()
{
    const QString settings = QStandardPaths::findExecutable(QStringLiteral("gnome-control-center"));
    if (settings.isEmpty()) return false;
    return QProcess::startDetached(settings, {QStringLiteral("location")});
}

} // namespace velk
