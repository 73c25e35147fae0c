#include "platform/sysinfo/MemoryInfo.h"

#include "platform/sysinfo/SysFiles.h"

namespace velk {

namespace {
// "MemTotal:       16314156 kB" -> bytes.
std::optional<quint64> field(QByteArrayView text, QByteArrayView key)
{
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0) end = text.size();
        QByteArrayView line = text.sliced(start, end - start);
        if (line.startsWith(key) && line.size() > key.size() && line[key.size()] == ':') {
            line = line.sliced(key.size() + 1);
            quint64 unit = 1;
            const QByteArray trimmedLine = sysfiles::firstLine(line);
            QByteArrayView number = trimmedLine;
            if (trimmedLine.endsWith(" kB")) {
                unit = 1024;
                number = QByteArrayView(trimmedLine).first(trimmedLine.size() - 3);
            }
            const auto value = sysfiles::parseUnsigned(number);
            if (!value || *value > ~quint64(0) / unit) return std::nullopt;
            return *value * unit;
        }
        start = end + 1;
    }
    return std::nullopt;
}
} // namespace

std::optional<MemoryInfo> parseMemoryInfo(QByteArrayView meminfo)
{
    const auto total = field(meminfo, "MemTotal");
    const auto available = field(meminfo, "MemAvailable");
    if (!total || !available || *total == 0) return std::nullopt;
    // A container's view can report more available than total; that is no memory in use.
    return MemoryInfo{*total, *available >= *total ? 0 : *total - *available};
}

std::optional<MemoryInfo> readMemoryInfo(const SysinfoPaths& paths)
{
    const auto text = sysfiles::read(paths.procRoot + QStringLiteral("/meminfo"));
    if (!text) return std::nullopt;
    return parseMemoryInfo(*text);
}

} // namespace velk
