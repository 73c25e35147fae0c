#pragma once
// Dates written in tests as UTC wall times.
#include "platform/core/Date.h"

#include <QDateTime>
#include <QTimeZone>

namespace velk::test {

// "2025-03-07T09:30:00" read as UTC.
inline Date utc(const char* iso)
{
    QDateTime dt = QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate);
    dt.setTimeZone(QTimeZone::utc());
    return Date::fromQDateTime(dt);
}

} // namespace velk::test
