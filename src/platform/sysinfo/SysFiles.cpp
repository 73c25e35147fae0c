#include "platform/sysinfo/SysFiles.h"

#include "platform/core/Log.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velk::sysfiles {

std::optional<QByteArray> read(const QString& path)
{
    const QByteArray native = path.toLocal8Bit();
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        // Many of these files exist only on some machines: worth a debug line, not a warning.
        qCDebug(lcSysinfo) << "cannot open" << path << ":" << ::strerror(errno);
        return std::nullopt;
    }
    QByteArray out;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            qCDebug(lcSysinfo) << "cannot read" << path << ":" << ::strerror(errno);
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        out.append(buffer, qsizetype(n));
    }
    ::close(fd);
    return out;
}

QStringList list(const QString& directory)
{
    QStringList names;
    DIR* dir = ::opendir(directory.toLocal8Bit().constData());
    if (!dir) {
        qCDebug(lcSysinfo) << "cannot list" << directory << ":" << ::strerror(errno);
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
        names.append(QString::fromLocal8Bit(name));
    }
    ::closedir(dir);
    // readdir order is arbitrary; a fixed order keeps "the first device" stable between calls.
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.toLocal8Bit() < b.toLocal8Bit(); });
    return names;
}

bool exists(const QString& path)
{
    struct stat st {};
    return ::stat(path.toLocal8Bit().constData(), &st) == 0;
}

namespace {
QByteArrayView trimmed(QByteArrayView text)
{
    auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!text.isEmpty() && space(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && space(text.back()))
        text.chop(1);
    return text;
}

template <class T>
std::optional<T> parseNumber(QByteArrayView text)
{
    text = trimmed(text);
    if (text.isEmpty()) return std::nullopt;
    T value{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}
} // namespace

std::optional<quint64> parseUnsigned(QByteArrayView text)
{
    return parseNumber<quint64>(text);
}
std::optional<qint64> parseInteger(QByteArrayView text)
{
    return parseNumber<qint64>(text);
}

QByteArray firstLine(QByteArrayView text)
{
    const qsizetype nl = text.indexOf('\n');
    return trimmed(nl < 0 ? text : text.first(nl)).toByteArray();
}

} // namespace velk::sysfiles
