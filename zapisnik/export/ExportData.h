#pragma once

// The export's reading from the database, all of it before the layout: the chosen competition's
// header fields and its rows in print order. And the headless export command that runs it.

#include "export/ExportPrikaz.h"
#include "export/Rozvrh.h"

#include <QTextStream>

namespace qx {

class Tdm_QX;

// The rows of the start list (start order) or the results list (entries with a result, by
// placing) of the snapshot's competition and category, and the competition's header; a
// competition that no longer exists gives no header.
ExportVstup nactiExport(Tdm_QX& dm, const MereniKontext& kontext, Pohled pohled);

// The headless export: recomputes the results first (results view), then writes the PDF.
// Returns the exit code: 0 written, 1 database, file or unknown-competition error (one line on
// `chyby`).
int spustExport(const ExportPrikaz& prikaz, Tdm_QX& dm, QTextStream& chyby);

} // namespace qx
