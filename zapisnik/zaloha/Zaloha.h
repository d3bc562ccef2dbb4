#pragma once

// The backup and history read from the database: one competition's rows as its backup file, and
// the headless --audit and --backup commands.

#include "zaloha/SpravaPrikaz.h"
#include "zaloha/ZalohaSql.h"

#include <QDateTime>
#include <QTextStream>

#include <optional>

namespace qx {

class Tdm_QX;

// The competition's row and all its start-list rows, every column as stored; nullopt when the
// competition is not there. Throws DbError.
std::optional<ObsahZalohy> nactiZalohu(Tdm_QX& dm, qint64 idSoutez);

// Reads competition `idSoutez` and writes its backup into `slozka`, keeping the newest `pocet`.
// Never throws: a database failure or an unknown competition comes back in `chyba`.
ZapisZalohy zalohuj(Tdm_QX& dm, qint64 idSoutez, const QString& slozka, int pocet,
                    const QDateTime& kdy = QDateTime::currentDateTime());

// The headless commands. --audit prints the trail on `vystup`; --backup writes the file (into
// --to, else the folder of qx_db.ini) and prints its path. Returns the exit code: 0 done, 1
// database, file or unknown-competition error (one line on `chyby`).
int spustSpravu(const SpravaPrikaz& prikaz, Tdm_QX& dm, QTextStream& vystup, QTextStream& chyby);

} // namespace qx
