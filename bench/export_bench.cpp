// Time of a results export: the layout (pages of drawing operations), the PDF rendering and the
// whole export with the file written, for 45, 1,000 and 5,000 entries. Prints figures; asserts
// nothing.
//
//   bench_export [repetitions]     (default 5)
//
// Runs headless (QT_QPA_PLATFORM=offscreen unless the caller chose a platform). Each figure is the
// best and the median of the repetitions, in milliseconds, after one unmeasured warm-up export.

#include "export/PdfExport.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace qx;

namespace {

// Results of an attack in the first phase with the split columns and all categories: the
// widest table of a first phase, eleven texts to a row.
ExportVstup vysledky(int radku) {
    static const QString nazvy[] = {QStringLiteral("Žďár nad Sázavou"), QStringLiteral("Řečany nad Labem"),
                                    QStringLiteral("Dolní Újezd"), QStringLiteral("Ústí nad Orlicí")};
    ExportVstup v;
    v.pohled = Pohled::Mereni;
    v.kontext.nast = 10;
    v.kontext.mezicasy = true;
    v.kontext.poradatel = QStringLiteral("SDH Malá Úpa");
    v.soutez =
        SoutezHlavicka{QStringLiteral("Memoriál Jana Nováka"), QStringLiteral("12.05.2024"),
                       QStringLiteral("9:00"), QStringLiteral("Horní Maršov"), QStringLiteral("Trutnov")};
    for (int i = 1; i <= radku; ++i) {
        DruzstvoRadek r;
        r.poradi = QString::number(i);
        r.nazev_dr = nazvy[i % 4] + u' ' + QString::number(i);
        r.tym = QStringLiteral("A");
        r.kategorie = i % 2 ? QStringLiteral("muži") : QStringLiteral("ženy");
        r.M1 = QStringLiteral("4,%1").arg(100 + i % 900);
        r.M2 = QStringLiteral("7,%1").arg(100 + i % 900);
        r.M3 = QStringLiteral("11,%1").arg(100 + i % 900);
        r.M4 = QStringLiteral("14,%1").arg(100 + i % 900);
        r.cas1R = QStringLiteral("15,%1L").arg(100 + i % 900);
        r.cas1C = QStringLiteral("18,%1").arg(100 + i % 900);
        r.celkem = QStringLiteral("0%1").arg(r.cas1C);
        r.pozice = QString::number(i) + u'.';
        v.radky.append(r);
    }
    return v;
}

struct Cisla {
    double nejlepsi = 0, median = 0;
};

Cisla cisla(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2]};
}

double ms(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int opakovani = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const QString pdf = dir.filePath(QStringLiteral("export.pdf"));
    exportujPdf(vysledky(45), pdf); // fonts loaded, caches warm

    std::printf(
        "results export, attack, phase 1, splits on, all categories; %d repetitions; ms best / median\n",
        opakovani);
    std::printf("%8s %6s %10s %18s %18s %18s\n", "entries", "pages", "PDF bytes", "layout", "layout+render",
                "whole export");
    for (int radku : {45, 1000, 5000}) {
        const ExportVstup v = vysledky(radku);
        std::vector<double> rozvrh, vykresleni, cely;
        qsizetype stran = 0, bajtu = 0;
        for (int i = 0; i < opakovani; ++i) {
            QElapsedTimer t;
            t.start();
            const QList<Stranka> stranky = rozvrhni(v);
            rozvrh.push_back(ms(t));
            const QByteArray data = pdfDokument(stranky);
            vykresleni.push_back(ms(t));
            stran = stranky.size();
            bajtu = data.size();

            t.restart();
            const ExportVysledek e = exportujPdf(v, pdf);
            cely.push_back(ms(t));
            if (!e.ok) std::fprintf(stderr, "%s\n", qPrintable(e.chyba));
        }
        const Cisla a = cisla(rozvrh), b = cisla(vykresleni), c = cisla(cely);
        std::printf("%8d %6lld %10lld %8.1f / %7.1f %8.1f / %7.1f %8.1f / %7.1f\n", radku, (long long)stran,
                    (long long)bajtu, a.nejlepsi, a.median, b.nejlepsi, b.median, c.nejlepsi, c.median);
    }
    return 0;
}
