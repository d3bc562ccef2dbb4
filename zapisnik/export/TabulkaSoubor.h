#pragma once

// Writing the spreadsheet table to a file: XLSX through libxlsxwriter, or CSV. Either file is
// written whole or not at all (a temporary file in the same folder replaces the older one).

#include "export/PdfExport.h"
#include "export/Tabulka.h"

namespace qx {

enum class TabulkovyFormat { Xlsx, Csv };

ExportVysledek exportujTabulku(const TabulkaExportu& tabulka, TabulkovyFormat format, const QString& path);

} // namespace qx
