#pragma once
// Folders the host makes for the user's settings are private to the user. The settings files
// themselves are read and replaced through platform/core/FileSave.h.
#include <QString>

namespace velk::host {

// Makes `dir` (and its missing parents) and makes `dir` itself readable by its owner only,
// tightening one that exists with wider permissions.
bool makePrivateDir(const QString& dir, QString* error = nullptr);

} // namespace velk::host
