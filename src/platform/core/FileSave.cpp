#include "platform/core/FileSave.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velk {

namespace {

bool fail(QString* error, const QString& why)
{
    if (error) *error = why;
    return false;
}

QString systemError(int code)
{
    return QString::fromLocal8Bit(::strerror(code));
}

} // namespace

bool saveFileAtomically(const QString& path, const QByteArray& bytes, QString* error, FileAccess access)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            return fail(error, QStringLiteral("%1 is not a regular file; it is left as it is").arg(path));
    } else if (errno != ENOENT) {
        return fail(error, QStringLiteral("cannot look at %1: %2").arg(path, systemError(errno)));
    } else if (::lstat(native.constData(), &st) == 0) {
        return fail(error, QStringLiteral("%1 is a link to nothing; it is left as it is").arg(path));
    }

    QSaveFile file(path);
    // Writing in place would lose the old bytes on a failure half way.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return fail(error, QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    if (access == FileAccess::ownerOnly && ::fchmod(file.handle(), 0600) != 0) {
        const int code = errno;
        file.cancelWriting();
        return fail(error, QStringLiteral("cannot make %1 private: %2").arg(path, systemError(code)));
    }
    // commit() does not report a buffered write that failed, so the flush and the error state
    // are checked before the rename.
    const bool written = file.write(bytes) == bytes.size() && file.flush() && file.error() == QFileDevice::NoError;
    if (!written) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(error, QStringLiteral("cannot write %1: %2; the old file is kept").arg(path, why));
    }
    if (!file.commit())
        return fail(error, QStringLiteral("cannot save %1: %2; the old file is kept").arg(path, file.errorString()));
    return true;
}

std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes, QString* error, bool* missing,
                                          ReadOptions options)
{
    if (missing) *missing = false;
    const QByteArray native = QFile::encodeName(path);
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    const int fd = ::open(native.constData(),
                          O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (options.followLinks ? 0 : O_NOFOLLOW));
    if (fd < 0) {
        const int code = errno;
        if (missing && code == ENOENT) *missing = true;
        if (code == ELOOP && !options.followLinks)
            fail(error, QStringLiteral("%1 is a symbolic link").arg(path));
        else
            fail(error, QStringLiteral("cannot open %1: %2").arg(path, systemError(code)));
        return std::nullopt;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};

    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        fail(error, QStringLiteral("cannot look at %1: %2").arg(path, systemError(errno)));
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode)) {
        fail(error, QStringLiteral("%1 is not a regular file").arg(path));
        return std::nullopt;
    }

    // The size from stat is only a hint (a file may grow while read, and some report 0), so
    // the cap is enforced on what is read: at most one byte past it.
    const qint64 limit = std::max<qint64>(maxBytes, 0) + 1;
    QByteArray bytes;
    bytes.reserve(qsizetype(std::min<qint64>(std::max<qint64>(st.st_size, 0), maxBytes) + 1));
    char chunk[65536];
    while (bytes.size() < limit) {
        const ssize_t n = ::read(fd, chunk, size_t(std::min<qint64>(qint64(sizeof chunk), limit - bytes.size())));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            fail(error, QStringLiteral("cannot read %1: %2").arg(path, systemError(errno)));
            return std::nullopt;
        }
        if (n == 0) break;
        bytes.append(chunk, qsizetype(n));
    }
    if (bytes.size() > maxBytes && options.cutAtCap) {
        bytes.truncate(qsizetype(std::max<qint64>(maxBytes, 0)));
    } else if (bytes.size() > maxBytes) {
        fail(error, QStringLiteral("%1 is larger than %2 bytes").arg(path).arg(maxBytes));
        return std::nullopt;
    }
    return bytes;
}

} // namespace velk
