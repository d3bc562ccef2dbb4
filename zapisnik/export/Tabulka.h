#pragma once

// The start list and the results list as a spreadsheet table: the export's rows as cells, texts
// as texts, times and placings as numbers. And its CSV form (UTF-8 with a byte-order mark,
// semicolons, decimal comma), which spreadsheets on Czech systems open as they are. Qt Core only.

#include "export/Rozvrh.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace qx {

struct Bunka {
    QString text;                // a text cell, or the number's display form
    std::optional<double> cislo; // a number cell
    int desetinna = 0;           // the number's decimals

    bool operator==(const Bunka&) const = default;
};

struct TabulkaExportu {
    QString list;              // the sheet's name
    QStringList zahlavi;       // column titles
    QList<QList<Bunka>> radky; // in the export's order
};

// The table of an export: the start list (start order, brigade, district, team, category) or the
// results list (placing, brigade, district, team, category, the phase's times as printed, the
// result) under the settings snapshot; a first-target time is a text as printed ("15,30L"). A time or placing
// that is not a number stays a text.
TabulkaExportu tabulkaExportu(const ExportVstup& vstup);

// The CSV bytes: BOM, header row, rows; fields with a semicolon, quote, line break or outer
// blank quoted; numbers with a decimal comma; CRLF line ends.
QByteArray csvTabulky(const TabulkaExportu& t);

} // namespace qx
