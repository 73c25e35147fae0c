#include "platform/core/GroupContainer.h"
#include "platform/core/Log.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

namespace velk {

QString GroupContainer::dataRoot()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    // A relative XDG_DATA_HOME is invalid and must be ignored.
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/velk");
}

bool GroupContainer::isPlainName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

namespace {

// Our own folders are the user's alone: one that others may read or enter (made by an older
// version, or by hand) is tightened. Folders above ours (~/.local/share) are not ours to change.
void tightenIfOurs(const QString& clean)
{
    const QString root = QDir::cleanPath(GroupContainer::dataRoot());
    if (clean != root && !clean.startsWith(root + QLatin1Char('/'))) return;
    const QByteArray name = QFile::encodeName(clean);
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || (st.st_mode & 077) == 0) return;
    if (::chmod(name.constData(), st.st_mode & 0700) != 0)
        qCWarning(lcDefaults) << "cannot make folder private" << clean << ":" << qt_error_string(errno);
}

} // namespace

bool GroupContainer::makePrivateDirectory(const QString& path)
{
    const QString clean = QDir::cleanPath(path);
    if (QFileInfo(clean).isDir()) {
        tightenIfOurs(clean);
        return true;
    }
    const int slash = clean.lastIndexOf(QLatin1Char('/'));
    if (slash > 0 && !makePrivateDirectory(clean.left(slash))) return false;
    if (::mkdir(QFile::encodeName(clean).constData(), 0700) != 0 && errno != EEXIST) {
        qCWarning(lcDefaults) << "cannot create folder" << clean << ":" << qt_error_string(errno);
        return false;
    }
    return QFileInfo(clean).isDir();
}

std::optional<QString> GroupContainer::url(const QString& suite)
{
    if (!isPlainName(suite)) return std::nullopt;
    const QString folder = dataRoot() + QStringLiteral("/group/") + suite;
    if (!makePrivateDirectory(folder)) return std::nullopt;
    return folder;
}

} // namespace velk
