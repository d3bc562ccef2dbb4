#pragma once

// The headless commands for the history and the backup:
//   zapisnik --audit --competition ID               the competition's history on standard output
//   zapisnik --backup --competition ID [--to DIR]   the competition's backup file
// Their options, read from the command line into a value. Qt Core only.

#include <QString>
#include <QStringList>

#include <optional>

namespace qx {

struct SpravaPrikaz {
    enum class Druh { Historie, Zaloha };
    Druh druh = Druh::Historie;
    qint64 soutez = 0; // --competition ID
    QString slozka;    // --to DIR (backup; empty: the folder of qx_db.ini)
};

struct SpravaParse {
    bool pozadan = false; // --audit or --backup was given: the program runs headless
    std::optional<SpravaPrikaz> prikaz;
    QString chyba; // what is wrong with the options (when pozadan and no prikaz)
};

// Reads the program's arguments (without the program name).
SpravaParse parsujSpravu(const QStringList& argumenty);

// The usage text printed on bad options.
QString spravaUsage();

} // namespace qx
