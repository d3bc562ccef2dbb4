// The headless export command's options: what each option sets, the defaults, and the usage
// errors (exit code 2 in the program).

#include "export/ExportPrikaz.h"

#include <QTest>

using namespace qx;

class TstExportPrikaz : public QObject {
    Q_OBJECT
private slots:
    void withoutExportTheWindowStarts() {
        const ExportParse e = parsujExport({u"--port"_qs, u"/dev/ttyS0"_qs});
        QVERIFY(!e.pozadan);
        QVERIFY(!parsujExport({}).pozadan);
    }

    void defaults() {
        const ExportParse e = parsujExport({u"--export-pdf"_qs, u"out.pdf"_qs, u"--competition"_qs, u"7"_qs});
        QVERIFY(e.pozadan);
        QVERIFY2(e.prikaz, qPrintable(e.chyba));
        const ExportPrikaz& c = *e.prikaz;
        QCOMPARE(c.soubor, u"out.pdf"_qs);
        QCOMPARE(c.soutez, u"7"_qs);
        QVERIFY(c.pohled == Pohled::Listina);
        QVERIFY(c.kategorie.isEmpty());
        QVERIFY(c.kolo == Kolo::Prvni);
        QVERIFY(c.rezim == Rezim::Lepsi);
        QCOMPARE(int(c.nast), 10);
        QVERIFY(!c.stafetaExport);
        QVERIFY(!c.mezicasy.has_value()); // from qx_db.ini
        QCOMPARE(c.format, 0);
        QCOMPARE(c.verze, 466);
    }

    void everyOption() {
        const ExportParse e =
            parsujExport({u"--export-pdf"_qs, u"v.pdf"_qs,    u"--competition"_qs,  u"12"_qs,
                          u"--view"_qs,       u"results"_qs,  u"--category"_qs,     u"Muži nad 35"_qs,
                          u"--phase"_qs,      u"2"_qs,        u"--result-mode"_qs,  u"sum"_qs,
                          u"--discipline"_qs, u"3"_qs,        u"--relay-export"_qs, u"--splits"_qs,
                          u"yes"_qs,          u"--format"_qs, u"tisiciny"_qs,       u"--version"_qs,
                          u"454"_qs});
        QVERIFY2(e.prikaz, qPrintable(e.chyba));
        const ExportPrikaz& c = *e.prikaz;
        QVERIFY(c.pohled == Pohled::Mereni);
        QCOMPARE(c.kategorie, u"Muži nad 35"_qs);
        QVERIFY(c.kolo == Kolo::Druhe);
        QVERIFY(c.rezim == Rezim::Soucet);
        QCOMPARE(int(c.nast), 3);
        QVERIFY(c.stafetaExport);
        QCOMPARE(c.mezicasy, std::optional<bool>(true));
        QCOMPARE(c.format, 1);
        QCOMPARE(c.verze, 454);
        QVERIFY(parsujExport({u"--export-pdf=a.pdf"_qs, u"--competition=1"_qs, u"--result-mode=final"_qs})
                    .prikaz->rezim == Rezim::Finalovy);
    }

    void spreadsheetKinds_data() {
        QTest::addColumn<QString>("volba");
        QTest::addColumn<int>("druh");
        QTest::newRow("pdf") << u"--export-pdf"_qs << int(ExportDruh::Pdf);
        QTest::newRow("xlsx") << u"--export-xlsx"_qs << int(ExportDruh::Xlsx);
        QTest::newRow("csv") << u"--export-csv"_qs << int(ExportDruh::Csv);
    }
    void spreadsheetKinds() {
        QFETCH(QString, volba);
        QFETCH(int, druh);
        const ExportParse e =
            parsujExport({volba, u"out.x"_qs, u"--competition"_qs, u"3"_qs, u"--view"_qs, u"results"_qs});
        QVERIFY(e.pozadan);
        QVERIFY2(e.prikaz, qPrintable(e.chyba));
        QCOMPARE(int(e.prikaz->druh), druh);
        QCOMPARE(e.prikaz->soubor, u"out.x"_qs);
        QVERIFY(e.prikaz->pohled == Pohled::Mereni);
    }

    void badUsage_data() {
        QTest::addColumn<QStringList>("args");
        const QString f = u"--export-pdf"_qs;
        const QString c = u"--competition"_qs;
        QTest::newRow("no competition") << QStringList{f, u"a.pdf"_qs};
        QTest::newRow("competition not a number") << QStringList{f, u"a.pdf"_qs, c, u"x"_qs};
        QTest::newRow("file missing") << QStringList{f};
        QTest::newRow("unknown option") << QStringList{f, u"a.pdf"_qs, c, u"1"_qs, u"--colour"_qs};
        QTest::newRow("stray argument") << QStringList{f, u"a.pdf"_qs, c, u"1"_qs, u"extra"_qs};
        QTest::newRow("view") << QStringList{f, u"a.pdf"_qs, c, u"1"_qs, u"--view"_qs, u"both"_qs};
        QTest::newRow("phase") << QStringList{f, u"a.pdf"_qs, c, u"1"_qs, u"--phase"_qs, u"3"_qs};
        QTest::newRow("result mode") << QStringList{f,       u"a.pdf"_qs,         c,
                                                    u"1"_qs, u"--result-mode"_qs, u"best"_qs};
        QTest::newRow("discipline") << QStringList{f, u"a.pdf"_qs, c, u"1"_qs, u"--discipline"_qs, u"5"_qs};
        QTest::newRow("splits") << QStringList{f, u"a.pdf"_qs, c, u"1"_qs, u"--splits"_qs, u"ano"_qs};
        QTest::newRow("format") << QStringList{f, u"a.pdf"_qs, c, u"1"_qs, u"--format"_qs, u"desetiny"_qs};
        QTest::newRow("version") << QStringList{f, u"a.pdf"_qs, c, u"1"_qs, u"--version"_qs, u"4.66"_qs};
        QTest::newRow("two kinds") << QStringList{f,           u"a.pdf"_qs, u"--export-csv"_qs,
                                                  u"a.csv"_qs, c,           u"1"_qs};
        QTest::newRow("csv file missing") << QStringList{u"--export-csv"_qs};
    }
    void badUsage() {
        QFETCH(QStringList, args);
        const ExportParse e = parsujExport(args);
        QVERIFY(e.pozadan);
        QVERIFY(!e.prikaz);
        QVERIFY(!e.chyba.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TstExportPrikaz)
#include "tst_export_prikaz.moc"
