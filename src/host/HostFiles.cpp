#include "host/HostFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velk::host {

namespace {

QString systemError(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

} // namespace

ReadFile readRegularFile(const QString& path, qint64 maxBytes)
{
    ReadFile result;
    // Non-blocking, so opening a FIFO with no writer returns at once; it is refused below.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return result;
        result.status = ReadStatus::refused;
        result.error = QStringLiteral("cannot read %1: %2").arg(path, systemError(errno));
        return result;
    }
    result.status = ReadStatus::refused;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        result.error = QStringLiteral("cannot read %1: not a regular file").arg(path);
        ::close(fd);
        return result;
    }
    // The size stat gives is no promise (the file may grow): read at most one byte past the cap.
    QByteArray bytes;
    bytes.resize(qsizetype(std::min<qint64>(maxBytes + 1, std::max<qint64>(st.st_size + 1, 4096))));
    qint64 total = 0;
    while (total <= maxBytes) {
        if (total == bytes.size()) bytes.resize(qsizetype(std::min<qint64>(maxBytes + 1, total * 2)));
        const ssize_t n = ::read(fd, bytes.data() + total, size_t(bytes.size() - total));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            result.error = QStringLiteral("cannot read %1: %2").arg(path, systemError(errno));
            ::close(fd);
            return result;
        }
        if (n == 0) break;
        total += n;
    }
    ::close(fd);
    if (total > maxBytes) {
        result.error = QStringLiteral("cannot read %1: larger than %2 bytes").arg(path).arg(maxBytes);
        return result;
    }
    bytes.truncate(qsizetype(total));
    result.status = ReadStatus::ok;
    result.bytes = std::move(bytes);
    return result;
}

bool replaceFileWhole(const QString& path, const QByteArray& bytes, QString* error, std::optional<int> mode)
{
    auto fail = [&](const QString& why) {
        if (error) *error = QStringLiteral("cannot write %1: %2").arg(path, why);
        return false;
    };
    const QFileInfo target(path);
    if (target.exists() && !target.isFile()) return fail(QStringLiteral("not a regular file; it was left as it is"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
    // The file is buffered: a write that fails on a full disk shows only at the flush, and
    // commit() would still rename the short file over the old one.
    if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError) {
        // Not committed: the temporary file goes and the old file stays as it was.
        return fail(file.errorString().isEmpty() ? QStringLiteral("the disk may be full") : file.errorString());
    }
    // Before the rename, so the file is never seen with wider permissions.
    if (mode && ::fchmod(file.handle(), mode_t(*mode)) != 0) return fail(systemError(errno));
    if (!file.commit()) return fail(file.errorString());
    return true;
}

bool makePrivateDir(const QString& dir, QString* error)
{
    if (!QDir().mkpath(dir)) {
        if (error) *error = QStringLiteral("cannot create %1").arg(dir);
        return false;
    }
    struct stat st {};
    const QByteArray name = QFile::encodeName(dir);
    if (::stat(name.constData(), &st) == 0 && (st.st_mode & 077) != 0 && ::chmod(name.constData(), st.st_mode & 0700) != 0) {
        if (error) *error = QStringLiteral("cannot make %1 private: %2").arg(dir, systemError(errno));
        return false;
    }
    return true;
}

} // namespace velk::host
