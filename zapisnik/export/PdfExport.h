#pragma once

// Drawing the laid-out pages into a PDF file: A4 portrait at 96 units per inch (one layout unit
// is one device unit), no page margins, Liberation Serif (the metric twin of Times New Roman)
// embedded, so every Czech letter is real, searchable text.

#include "export/Rozvrh.h"

#include <QByteArray>
#include <QList>
#include <QString>

class QPdfWriter;

namespace qx {

inline const QString kPismoPdf = QStringLiteral("Liberation Serif");

struct ExportVysledek {
    bool ok = false;
    QString chyba; // the operator's message when not ok: names the file and the reason
    int stran = 0; // pages written
};

// Sets the writer up (A4 portrait, resolution 96, zero margins) and draws the pages on it.
void kresli(const QList<Stranka>& stranky, QPdfWriter& writer);

// The whole document as the bytes of a PDF file.
QByteArray pdfDokument(const QList<Stranka>& stranky);

// Lays the export out and writes it to `path` whole or not at all: the document goes to a
// temporary file in the same folder, which then replaces the older file; when that fails the
// older file stays as it was. Runs on the calling thread; needs a QGuiApplication.
ExportVysledek exportujPdf(const ExportVstup& vstup, const QString& path);

// Asks the desktop to open the file in its PDF viewer and returns at once; a missing viewer is
// not reported.
void otevriPdf(const QString& path);

} // namespace qx
