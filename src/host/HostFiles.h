#pragma once
// Reading and replacing the host's own files safely: state is read only from regular files of
// a bounded size (a FIFO would block, a device never end), and a file is replaced whole or not
// at all (a full disk keeps the old one byte for byte). Folders the host makes for the user's
// settings are private to the user.
#include <QByteArray>
#include <QString>
#include <optional>

namespace velk::host {

enum class ReadStatus { ok, missing, refused };

struct ReadFile {
    ReadStatus status = ReadStatus::missing;
    QByteArray bytes;
    QString error; // set when refused: not a regular file, too large, unreadable
};

// Never blocks on a FIFO and reads at most `maxBytes` (a larger file is refused).
ReadFile readRegularFile(const QString& path, qint64 maxBytes);

// Replaces `path` with `bytes`: written to a temporary file beside it, checked, and renamed
// over the old one. Anything but a regular file at `path` (a FIFO, a device, a folder) is
// refused and left as it is. `mode` (as for chmod), when given, is the new file's.
bool replaceFileWhole(const QString& path, const QByteArray& bytes, QString* error, std::optional<int> mode = std::nullopt);

// Makes `dir` (and its missing parents) and makes `dir` itself readable by its owner only,
// tightening one that exists with wider permissions.
bool makePrivateDir(const QString& dir, QString* error = nullptr);

} // namespace velk::host
