#include "platform/sysinfo/CpuTicks.h"

#include "platform/sysinfo/SysFiles.h"

#include <array>

namespace velk {

std::optional<CpuTicks> parseCpuTicks(QByteArrayView procStat)
{
    // The aggregate line is "cpu" followed by blanks; the per-processor lines are "cpu0" ...
    qsizetype start = 0;
    QByteArrayView line;
    while (start < procStat.size()) {
        qsizetype end = procStat.indexOf('\n', start);
        if (end < 0) end = procStat.size();
        const QByteArrayView candidate = procStat.sliced(start, end - start);
        if (candidate.startsWith("cpu ") || candidate.startsWith("cpu\t")) {
            line = candidate;
            break;
        }
        start = end + 1;
    }
    if (line.isEmpty()) return std::nullopt;

    // user nice system idle iowait irq softirq steal guest guest_nice; older kernels stop early.
    std::array<quint64, 8> column{};
    int count = 0;
    qsizetype pos = 3;
    while (count < int(column.size())) {
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t'))
            ++pos;
        if (pos >= line.size()) break;
        qsizetype endPos = pos;
        while (endPos < line.size() && line[endPos] != ' ' && line[endPos] != '\t')
            ++endPos;
        const auto value = sysfiles::parseUnsigned(line.sliced(pos, endPos - pos));
        if (!value) return std::nullopt;
        column[size_t(count++)] = *value;
        pos = endPos;
    }
    if (count < 4) return std::nullopt;

    CpuTicks ticks;
    ticks.user = column[0];
    ticks.nice = column[1];
    ticks.system = column[2] + column[5] + column[6] + column[7];
    ticks.idle = column[3] + column[4];
    return ticks;
}

std::optional<CpuTicks> readCpuTicks(const SysinfoPaths& paths)
{
    const auto text = sysfiles::read(paths.procRoot + QStringLiteral("/stat"));
    if (!text) return std::nullopt;
    return parseCpuTicks(*text);
}

} // namespace velk
