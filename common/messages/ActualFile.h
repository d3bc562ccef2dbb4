#pragma once

#include <QString>

// "actual.txt": the current and the next teams, written by zapisnik before it sends AM_Text
// and read by stopky on AM_Text. Two lines, each ended by CR LF, UTF-8, in the working
// directory of both programs.
namespace qx {

// "actual.txt" (relative: the current working directory).
QString actualFileName();

struct ActualWriteResult {
    bool ok = false;
    QString error; // Czech, for the operator; empty when ok
};

// Writes both lines as one new file that replaces the old one at once (temporary file in the
// same folder, then rename): a reader sees the old file or the new one, never a part. CR or LF
// inside a line would shift the lines, so each is written as a space.
ActualWriteResult writeActualFile(const QString& line1, const QString& line2,
                                  const QString& path = actualFileName());

struct ActualReadResult {
    bool ok = false;
    QString line1;
    QString line2; // empty when the file has one line only
    QString error; // Czech, for the operator; empty when ok
};

// Reads line 1 and line 2 (ended by CR LF, or by LF alone). A missing or unreadable file gives
// ok == false and the error text; the caller reports it and leaves its texts as they are.
ActualReadResult readActualFile(const QString& path = actualFileName());

} // namespace qx
