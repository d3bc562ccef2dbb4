#pragma once

// Writing a file whole or not at all: the data goes to a new temporary file beside the target,
// which is then renamed over it, so a reader sees the old file or the new one, never a part.

#include <QByteArray>
#include <QString>

namespace qx {

// Returns 0, or the errno of the failing step (a file that was only partly written is never
// renamed, and the temporary file is removed). The new file keeps the old one's mode. No fsync:
// the files are small and rewritten often, and the UI thread should not wait for the disk.
int replaceFile(const QString& path, const QByteArray& data);

// The operator's message for a failed replaceFile: «Soubor „path“ nelze zapsat: reason».
QString replaceFileError(const QString& path, int err);

} // namespace qx
