#pragma once

// qx.ini: the settings stopky keeps between runs (console and LED window places, device version,
// split-time captions, display format).

#include <QString>

namespace stopky {

// The values of qx.ini. The member initialisers are the defaults of a missing file or key.
struct QxIni {
    // section "Cas": the console
    int casLeft = 0;
    int casHeight = 328;
    int casTop = 10;
    int casWidth = 462;
    int typ = 454; // "Typ": the device version (any number is kept as read)

    // section "LED": the LED window and the texts it shows
    int format = 0; // "Format": 0 "setiny", 1 "tisíciny"
    QString m0;     // "M0", "M1", "M2", "MR": the split-time captions
    QString m1;
    QString m2;
    QString mr;
    int ledLeft = 450;
    int ledHeight = 328;
    int ledTop = 10;
    int ledWidth = 462;
};

// The path of qx.ini in the settings folder (see settings/ConfigDir.h).
QString qxIniPath();

// Reads qx.ini. A missing or unreadable file, a missing key or an integer key whose value is not
// a decimal number gives that key's default. The file is UTF-8; a file in the Windows code page
// 1250 (as older installations wrote it), or in UTF-16 with a byte-order mark, is read as such. A
// file that is there but cannot be read sets *error to the operator's message; writeQxIni then
// leaves it alone.
QxIni readQxIni(const QString& path, QString* error = nullptr);

// Writes every key of `values` into qx.ini, "Typ" only when `writeTyp` is true (a version radio
// button is checked; otherwise an existing "Typ" line stays as it is). All other sections, keys and
// comments of the file survive. The file is written whole in UTF-8 through a temporary file, so a
// failed write leaves the old file intact. Creates the folder when it is missing. Returns false
// when the file could not be written, and writes nothing over a file that cannot be read.
bool writeQxIni(const QString& path, const QxIni& values, bool writeTyp);

} // namespace stopky
