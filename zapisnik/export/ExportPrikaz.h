#pragma once

// The headless export command of zapisnik: its options, read from the command line into a value.
// The options are the settings panel's choices, so a script exports exactly what the window would.

#include "measurement/Kontext.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace qx {

// What the command writes: --export-pdf, --export-xlsx or --export-csv.
enum class ExportDruh { Pdf, Xlsx, Csv };

struct ExportPrikaz {
    ExportDruh druh = ExportDruh::Pdf;
    QString soubor;                  // --export-pdf FILE (or --export-xlsx / --export-csv FILE)
    QString soutez;                  // --competition ID (digits)
    Pohled pohled = Pohled::Listina; // --view start|results
    QString kategorie;               // --category NAME (empty: all)
    Kolo kolo = Kolo::Prvni;         // --phase 1|2
    Rezim rezim = Rezim::Lepsi;      // --result-mode better|final|sum
    uint8_t nast = 10;               // --discipline 1|2|3|4|10|12
    bool stafetaExport = false;      // --relay-export
    std::optional<bool> mezicasy;    // --splits yes|no (default: qx_db.ini)
    int format = 0;                  // --format setiny|tisiciny
    int verze = 466;                 // --version N
};

struct ExportParse {
    bool pozadan = false; // --export-pdf, --export-xlsx or --export-csv was given: the program runs headless
    std::optional<ExportPrikaz> prikaz;
    QString chyba; // what is wrong with the options (when pozadan and no prikaz)
};

// Reads the program's arguments (without the program name). Without --export-pdf nothing is
// asked for and the window starts.
ExportParse parsujExport(const QStringList& argumenty);

// The usage text printed on bad options.
QString exportUsage();

} // namespace qx
