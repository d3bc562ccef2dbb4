#pragma once

// qx_db.ini: the organiser's name and the split-time texts of the PDF export.
// No widgets here; the main window copies the values into its controls.

#include <QString>

namespace qx {

struct QxDbIni {
    QString poradatel;                  // [Poradatel] P1
    int mezicas = 1;                    // [Mezicas] M1: 0 "Ano", 1 "Ne"
    QString m1 = QStringLiteral("Koš"); // [Oznac_mezi] M1..M4
    QString m2 = QStringLiteral("Voda");
    QString m3 = QStringLiteral("Vys.");
    QString m4 = QStringLiteral("Tla.");
};

// <settings folder>/qx_db.ini; the folder rule is configDir() of settings/ConfigDir.h.
QString qxDbIniPath();

// Missing file or key: the default. A "Mezicas" value that is not an integer
// gives 1. The file is UTF-8; a file in Windows-1250, or in UTF-16 with a byte-order mark, is read
// as such. A file that is there but cannot be read gives the defaults too, and *error the
// operator's message (writeQxDbIni then leaves that file alone).
QxDbIni readQxDbIni(const QString& path, QString* error = nullptr);

// Writes all six keys, leaving other sections and keys alone; creates the file
// (and its folder) when missing. False with *error set when it cannot be written, or when the
// file is there but cannot be read (it is never written over then).
bool writeQxDbIni(const QString& path, const QxDbIni& v, QString* error = nullptr);

} // namespace qx

namespace qx {

// [Web] of qx_db.ini: the results server's switch and port, kept apart from the six keys above.
struct WebIni {
    bool zapnuto = false; // [Web] Zapnuto: 1 on
    int port = 8080;      // [Web] Port
};
WebIni readWebIni(const QString& path);
bool writeWebIni(const QString& path, const WebIni& v, QString* error = nullptr);

} // namespace qx

#include "data/Tdm_QX.h"

namespace qx {

// [Databaze] of qx_db.ini: where and as whom the program connects. Server, Port, Uzivatel, Heslo,
// Databaze and Soket; a missing key (or a port that is no number from 1 to 65535) keeps the
// default of ConnectionSettings. The password is kept as the operator typed it, so the file is
// written readable by its owner only.
ConnectionSettings readDatabazeIni(const QString& path);
// Writes the section (every key; other sections stay) and makes the file readable and writable by
// its owner only. False with *error set when it cannot be written.
bool writeDatabazeIni(const QString& path, const ConnectionSettings& s, QString* error = nullptr);
// The program's connection: qx_db.ini's [Databaze] with the environment's QX_DB_* over it.
ConnectionSettings nastaveniSpojeni(const QString& path = qxDbIniPath());

// [Zaloha] of qx_db.ini: where the backups of the chosen competition go and how many are kept.
struct ZalohaIni {
    QString slozka; // [Zaloha] Slozka; default: "zalohy" in the data folder (dataDir())
    int pocet = 10; // [Zaloha] Pocet: the newest backups of a competition kept, at least 1
};
ZalohaIni readZalohaIni(const QString& path);
bool writeZalohaIni(const QString& path, const ZalohaIni& v, QString* error = nullptr);
// The default backup folder.
QString vychoziSlozkaZaloh();

} // namespace qx
