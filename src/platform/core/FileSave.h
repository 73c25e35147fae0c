#pragma once
// Replacing and reading the files that hold the user's state, safely.
//
// A save writes a temporary file beside the target, checks that every byte reached it (a full
// disk or a file size limit shows up in the flush, which a plain commit would not report) and
// only then renames it over the target, so the target holds either all of the old bytes or all
// of the new ones. Only regular files are replaced: a FIFO, a device or a folder at the path is
// left as it is.
//
// A read opens only a regular file (without blocking, so a FIFO at the path never hangs the
// caller) and reads at most the cap plus one byte, so a huge or endless file costs no more
// than the cap.
#include <QByteArray>
#include <QString>
#include <optional>

namespace velk {

enum class FileAccess {
    keep,      // an existing file keeps its mode; a new one gets the usual mode (umask)
    ownerOnly, // 0600, whatever the file had
};

// Replaces the file at path with bytes. False when nothing was replaced: the old file (if any)
// is unchanged byte for byte and error says why. A path that is a symbolic link replaces the
// file it names; a link that names nothing, or anything but a regular file, is refused.
bool saveFileAtomically(const QString& path, const QByteArray& bytes, QString* error,
                        FileAccess access = FileAccess::keep);

struct ReadOptions {
    // Past the cap: the first maxBytes bytes (a message's header block) rather than a failure.
    bool cutAtCap = false;
    // A symbolic link at the path is refused rather than followed (entries of a folder whose
    // files alone count).
    bool followLinks = true;
};

// The whole file at path, or nothing with the reason in error: it cannot be opened, is not a
// regular file, or holds more than maxBytes. missing (when given) is set when nothing is at
// the path, which callers usually treat as "no state yet" rather than as a failure. This is the
// one way the system reads a file that others can put in its place: every reader of user state
// goes through it with a cap suited to what it reads.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes, QString* error, bool* missing = nullptr,
                                          ReadOptions options = {});

} // namespace velk
