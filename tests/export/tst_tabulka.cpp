// The spreadsheet export: the table of the start list and the results list, its CSV bytes, and
// the XLSX file read back with unzip (the sheet's XML).

#include "export/Tabulka.h"
#include "export/TabulkaSoubor.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace qx;

namespace {

DruzstvoRadek radek(const QString& poradi, const QString& pozice, const QString& nazev, const QString& okres,
                    const QString& tym, const QString& kat, const QString& cas1R, const QString& cas1C,
                    const QString& celkem) {
    DruzstvoRadek r;
    r.poradi = poradi;
    r.pozice = pozice;
    r.nazev_dr = nazev;
    r.nazev_okresu = okres;
    r.tym = tym;
    r.kategorie = kat;
    r.cas1R = cas1R;
    r.cas1C = cas1C;
    r.celkem = celkem;
    return r;
}

// Two attack results of the first phase: a name with a semicolon, one with quotes, a time with
// three decimals shown in hundredths (cut, not rounded), a first-target "NP".
ExportVstup vysledky(int format) {
    ExportVstup v;
    v.pohled = Pohled::Mereni;
    v.kontext.nast = 10;
    v.kontext.format = format;
    v.radky = {radek(u"3"_qs, u"1."_qs, u"Lhota; dolní"_qs, u"Beroun"_qs, u"A"_qs, u"muži"_qs, u"15,3L"_qs,
                     u"17,529"_qs, u"017,529"_qs),
               radek(u"1"_qs, u"2."_qs, u"Bor \"Nový\""_qs, QString(), u"B"_qs, u"ženy"_qs, u"NP"_qs,
                     u"19,01"_qs, u"019,010"_qs)};
    return v;
}

QByteArray unzip(const QString& soubor, const QString& clen) {
    QProcess p;
    p.start(u"unzip"_qs, {u"-p"_qs, soubor, clen});
    if (!p.waitForFinished(10000)) return {};
    return p.readAllStandardOutput();
}

} // namespace

class TstTabulka : public QObject {
    Q_OBJECT
private slots:
    void csvVysledku_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<QByteArray>("csv");
        QTest::newRow("setiny")
            << 0
            << QByteArray("\xEF\xBB\xBF"
                          "Umístění;SDH;Okres;Tým;Kategorie;1. kolo terč;1. kolo čas;Výsledek\r\n"
                          "1;\"Lhota; dolní\";Beroun;A;muži;15,30L;17,52;17,52\r\n"
                          "2;\"Bor \"\"Nový\"\"\";;B;ženy;NP;19,01;19,01\r\n");
        QTest::newRow("tisíciny")
            << 1
            << QByteArray("\xEF\xBB\xBF"
                          "Umístění;SDH;Okres;Tým;Kategorie;1. kolo terč;1. kolo čas;Výsledek\r\n"
                          "1;\"Lhota; dolní\";Beroun;A;muži;15,300L;17,529;17,529\r\n"
                          "2;\"Bor \"\"Nový\"\"\";;B;ženy;NP;19,010;19,010\r\n");
    }
    void csvVysledku() {
        QFETCH(int, format);
        QFETCH(QByteArray, csv);
        QCOMPARE(csvTabulky(tabulkaExportu(vysledky(format))), csv);
    }

    void startovkaMaCislaPoradi() {
        ExportVstup v = vysledky(0);
        v.pohled = Pohled::Listina;
        const TabulkaExportu t = tabulkaExportu(v);
        QCOMPARE(t.zahlavi.size(), 5);
        QCOMPARE(t.radky[0][0].cislo, std::optional<double>(3));
        QCOMPARE(t.radky[1][1].text, u"Bor \"Nový\""_qs);
        QVERIFY(!t.radky[1][1].cislo);
    }

    void souborCsvBajtZaBajtem() {
        QTemporaryDir d;
        const QString f = d.filePath(u"export.csv"_qs);
        const TabulkaExportu t = tabulkaExportu(vysledky(0));
        QVERIFY(exportujTabulku(t, TabulkovyFormat::Csv, f).ok);
        QFile soubor(f);
        QVERIFY(soubor.open(QIODevice::ReadOnly));
        QCOMPARE(soubor.readAll(), csvTabulky(t));
    }

    void xlsxZpetneprecteny() {
        if (QStandardPaths::findExecutable(u"unzip"_qs).isEmpty()) QSKIP("unzip není nainstalován");
        QTemporaryDir d;
        const QString f = d.filePath(u"export.xlsx"_qs);
        QFile stary(f);
        QVERIFY(stary.open(QIODevice::WriteOnly));
        stary.write("starý obsah");
        stary.close();
        const ExportVysledek v = exportujTabulku(tabulkaExportu(vysledky(0)), TabulkovyFormat::Xlsx, f);
        QVERIFY2(v.ok, qPrintable(v.chyba));
        const QString list = QString::fromUtf8(unzip(f, u"xl/worksheets/sheet1.xml"_qs));
        const QString texty = QString::fromUtf8(unzip(f, u"xl/sharedStrings.xml"_qs));
        const QString styly = QString::fromUtf8(unzip(f, u"xl/styles.xml"_qs));
        const QString sesit = QString::fromUtf8(unzip(f, u"xl/workbook.xml"_qs));
        QVERIFY(sesit.contains(u"name=\"Výsledky\""_qs));
        // Placings and times are numbers (no t="s"), the times with the display's decimals.
        QVERIFY2(list.contains(QRegularExpression(u"<c r=\"A2\"( s=\"\\d+\")?><v>1</v></c>"_qs)),
                 qPrintable(list));
        QVERIFY(list.contains(QRegularExpression(u"<c r=\"G2\" s=\"\\d+\"><v>17.52</v></c>"_qs)));
        QVERIFY(list.contains(QRegularExpression(u"<c r=\"H3\" s=\"\\d+\"><v>19.01</v></c>"_qs)));
        QVERIFY(styly.contains(u"formatCode=\"0.00\""_qs));
        // Texts as shared strings, Czech letters and the semicolon kept.
        QVERIFY(list.contains(QRegularExpression(u"<c r=\"B2\" t=\"s\">"_qs)));
        QVERIFY(texty.contains(u"Lhota; dolní"_qs));
        QVERIFY(texty.contains(u"Bor &quot;Nový&quot;"_qs) || texty.contains(u"Bor \"Nový\""_qs));
        QVERIFY(texty.contains(u"15,30L"_qs));
        QVERIFY(!QFile::exists(f + u".part"_qs));
    }

    void nezapsatelnySouborNechaStary() {
        const ExportVysledek v = exportujTabulku(tabulkaExportu(vysledky(0)), TabulkovyFormat::Xlsx,
                                                 u"/neexistuje/slozka/export.xlsx"_qs);
        QVERIFY(!v.ok);
        QVERIFY(v.chyba.contains(u"export.xlsx"_qs));
    }
};

QTEST_GUILESS_MAIN(TstTabulka)
#include "tst_tabulka.moc"
