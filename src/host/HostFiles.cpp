#include "host/HostFiles.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace velk::host {

namespace {

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

} // namespace

bool makePrivateDir(const QString& dir, QString* error)
{
    if (!QDir().mkpath(dir)) {
        if (error) *error = QStringLiteral("cannot create %1").arg(dir);
        return false;
    }
    struct stat st {};
    const QByteArray name = QFile::encodeName(dir);
    if (::stat(name.constData(), &st) == 0 && (st.st_mode & 077) != 0 &&
        ::chmod(name.constData(), st.st_mode & 0700) != 0) {
        if (error) *error = QStringLiteral("cannot make %1 private: %2").arg(dir, systemError(errno));
        return false;
    }
    return true;
}

} // namespace velk::host
