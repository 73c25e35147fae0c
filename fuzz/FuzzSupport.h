#pragma once
// What every fuzz target shares: a quiet log (a parser logs what it skips, and a log line per
// input would drown the fuzzer's own output), a pinned clock, zone and locale, and the input as
// Qt bytes.
#include "platform/core/Clock.h"
#include "platform/core/Date.h"

#include <QByteArray>
#include <QDateTime>
#include <QtGlobal>
#include <cstddef>
#include <cstdint>

namespace velk::fuzz {

inline void setUp()
{
    static const bool once = [] {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        qputenv("TZ", "UTC");
        return true;
    }();
    (void)once;
}

// Friday 2025-03-07 09:30 UTC, the moment the test fixtures are written around.
inline Date fixedNow()
{
    return Date::fromUnix(1741339800);
}

inline QByteArray bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

} // namespace velk::fuzz
