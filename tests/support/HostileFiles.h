#pragma once
// What a reader of a state file must refuse without waiting on it or reading without end: a
// FIFO, a link to an endless device, and a regular file holding `oversized`. Each maker puts
// one at `path` (which must not exist yet) and says whether it could.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>
#include <sys/stat.h>
#include <vector>

namespace velk::test {

inline std::vector<std::function<bool()>> hostileFileMakers(const QString& path, const QByteArray& oversized)
{
    return {
        [path] { return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0; },
        [path] { return QFile::link(QStringLiteral("/dev/zero"), path); },
        [path, oversized] {
            QFile f(path);
            return f.open(QIODevice::WriteOnly) && f.write(oversized) == oversized.size();
        },
    };
}

} // namespace velk::test
