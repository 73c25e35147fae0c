#pragma once
// Small, fast reads of procfs and sysfs: the statistics are sampled on every widget refresh, so
// these avoid Qt's file and directory machinery and go straight to the system calls.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>

namespace velk::sysfiles {

// The whole content of a small file, or nothing when it cannot be opened or read.
std::optional<QByteArray> read(const QString& path);
// The names in a directory (no "." or ".."), sorted bytewise; empty when it cannot be listed.
QStringList list(const QString& directory);
bool exists(const QString& path);

// One decimal number, surrounding white space allowed; anything else gives nothing.
std::optional<quint64> parseUnsigned(QByteArrayView text);
std::optional<qint64> parseInteger(QByteArrayView text);
// The first line without its line break and surrounding white space.
QByteArray firstLine(QByteArrayView text);

} // namespace velk::sysfiles
