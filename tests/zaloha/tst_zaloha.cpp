// The backup file's text, its name and the newest-N rule, the whole-file write into the folder,
// and the options of the headless --audit and --backup commands.
#include "zaloha/SpravaPrikaz.h"
#include "zaloha/ZalohaSql.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using qx::ObsahZalohy;

class TestZaloha : public QObject {
    Q_OBJECT
private slots:
    void retezec_data();
    void retezec();
    void soubor();
    void nazev();
    void prebytecne_data();
    void prebytecne();
    void zapis();
    void zapisDoNeexistujiciSlozky();
    void volby_data();
    void volby();
};

void TestZaloha::retezec_data() {
    QTest::addColumn<QByteArray>("hodnota");
    QTest::addColumn<QByteArray>("literal");
    QTest::newRow("empty") << QByteArray() << QByteArray("''");
    QTest::newRow("plain") << QByteArray("17,53L") << QByteArray("'17,53L'");
    QTest::newRow("single quote") << QByteArray("SDH U Lípy's") << QByteArray("'SDH U Lípy\\'s'");
    QTest::newRow("double quote") << QByteArray("\"Hasiči\"") << QByteArray("'\\\"Hasiči\\\"'");
    QTest::newRow("backslash") << QByteArray("C:\\zalohy\\") << QByteArray("'C:\\\\zalohy\\\\'");
    QTest::newRow("backslash before quote") << QByteArray("a\\'b") << QByteArray("'a\\\\\\'b'");
    QTest::newRow("line breaks") << QByteArray("a\r\nb") << QByteArray("'a\\r\\nb'");
    QTest::newRow("NUL and Ctrl-Z") << QByteArray("a\0b\x1a", 4) << QByteArray("'a\\0b\\Z'");
    QTest::newRow("Czech letters stay UTF-8")
        << QByteArray("Žďár nad Sázavou – Řečice") << QByteArray("'Žďár nad Sázavou – Řečice'");
}

void TestZaloha::retezec() {
    QFETCH(QByteArray, hodnota);
    QFETCH(QByteArray, literal);
    QCOMPARE(qx::sqlRetezec(hodnota), literal);
}

// The file: the restore command in the header, then one transaction that deletes the
// competition's start list, replaces its row and inserts every start-list row with every column,
// in this order.
void TestZaloha::soubor() {
    ObsahZalohy o;
    o.idSoutez = 5;
    o.nazevSouteze = "Pohár\nŽďáru";
    o.souteze.nazev = "soutezeqx";
    o.souteze.sloupce = {"id", "nazev_souteze", "datum"};
    o.souteze.radky = {{"5", "Pohár\nŽďáru", "20250614"}};
    o.druzstva.nazev = "druzstvaqx";
    o.druzstva.sloupce = {"id", "id_soutez", "nazev_dr", "cas1C"};
    o.druzstva.radky = {{"11", "5", "Štěpánov", "18,01"}, {"12", "5", "O'Brien \\ syn", ""}};
    const QByteArray sql = qx::sqlZalohy(o, QDateTime(QDate(2026, 12, 10), QTime(14, 5, 0)), "myqx_test");
    const QList<QByteArray> radky = sql.split('\n');

    // The header: comment lines only, with the time and the command; the name kept on one line.
    QVERIFY(radky[0].startsWith("-- Záloha soutěže 5 „Pohár Žďáru“"));
    QVERIFY(radky[0].contains("10. 12. 2026 14:05:00"));
    QVERIFY(sql.contains("--   mariadb myqx_test < soubor.sql\n"));

    QList<QByteArray> prikazy;
    for (const QByteArray& r : radky) {
        if (!r.isEmpty() && !r.startsWith("--")) prikazy << r;
    }
    const QList<QByteArray> ocekavane{
        "SET NAMES binary;",
        "SET SESSION sql_mode = 'STRICT_TRANS_TABLES,NO_ENGINE_SUBSTITUTION';",
        "START TRANSACTION;",
        "DELETE FROM `druzstvaqx` WHERE `id_soutez` = 5;",
        "REPLACE INTO `soutezeqx` (`id`, `nazev_souteze`, `datum`) VALUES ('5', 'Pohár\\nŽďáru', "
        "'20250614');",
        "INSERT INTO `druzstvaqx` (`id`, `id_soutez`, `nazev_dr`, `cas1C`) VALUES ('11', '5', 'Štěpánov', "
        "'18,01');",
        "INSERT INTO `druzstvaqx` (`id`, `id_soutez`, `nazev_dr`, `cas1C`) VALUES ('12', '5', 'O\\'Brien "
        "\\\\ "
        "syn', '');",
        "COMMIT;"};
    QCOMPARE(prikazy, ocekavane);
}

void TestZaloha::nazev() {
    QCOMPARE(qx::nazevZalohy(5, QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5))),
             QString("soutez-5-20260102-030405.sql"));
}

void TestZaloha::prebytecne_data() {
    QTest::addColumn<QStringList>("jmena");
    QTest::addColumn<int>("ponechat");
    QTest::addColumn<QStringList>("smazat");
    const QStringList pet{"soutez-5-20260101-100000.sql", "soutez-5-20260101-100500.sql",
                          "soutez-5-20251231-235500.sql", "soutez-5-20260101-101000.sql",
                          "soutez-5-20260102-000000.sql"};
    QTest::newRow("the oldest go") << pet << 3
                                   << QStringList{"soutez-5-20260101-100000.sql",
                                                  "soutez-5-20251231-235500.sql"};
    QTest::newRow("fewer than kept") << pet << 10 << QStringList{};
    QTest::newRow("at least the newest stays")
        << pet << 0
        << QStringList{"soutez-5-20260101-100000.sql", "soutez-5-20260101-100500.sql",
                       "soutez-5-20251231-235500.sql", "soutez-5-20260101-101000.sql"};
    QTest::newRow("other competitions and files stay") << QStringList{"soutez-55-20200101-000000.sql",
                                                                      "soutez-5-20200101-000000.sql",
                                                                      "soutez-5-20200101-000000.sql.tmp",
                                                                      "soutez-5-20260101-100000.sql",
                                                                      "poznamky.txt",
                                                                      "soutez-5-2020.sql"}
                                                       << 1 << QStringList{"soutez-5-20200101-000000.sql"};
}

void TestZaloha::prebytecne() {
    QFETCH(QStringList, jmena);
    QFETCH(int, ponechat);
    QFETCH(QStringList, smazat);
    QStringList vysledek = qx::prebytecneZalohy(jmena, 5, ponechat);
    vysledek.sort();
    smazat.sort();
    QCOMPARE(vysledek, smazat);
}

// The file is written whole into a folder made for it; after the write only the newest N of the
// competition are left, and other files are untouched.
void TestZaloha::zapis() {
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString slozka = tmp.filePath("usb/zalohy");
    QStringList zapsane;
    for (int i = 0; i < 4; ++i) {
        const QString jmeno = qx::nazevZalohy(5, QDateTime(QDate(2026, 6, 14), QTime(9, 5 * i, 0)));
        const qx::ZapisZalohy z = qx::zapisZalohu(slozka, jmeno, "obsah " + QByteArray::number(i), 5, 2);
        QVERIFY2(z.ok, qPrintable(z.chyba));
        QCOMPARE(z.soubor, QDir(slozka).filePath(jmeno));
        zapsane << jmeno;
    }
    QFile jiny(QDir(slozka).filePath("soutez-6-20200101-000000.sql"));
    QVERIFY(jiny.open(QIODevice::WriteOnly));
    jiny.close();
    QVERIFY(qx::zapisZalohu(slozka, qx::nazevZalohy(5, QDateTime(QDate(2026, 6, 14), QTime(9, 20, 0))),
                            "obsah 4", 5, 2)
                .ok);
    QStringList zbyle = QDir(slozka).entryList(QDir::Files, QDir::Name);
    QCOMPARE(zbyle, (QStringList{"soutez-5-20260614-091500.sql", "soutez-5-20260614-092000.sql",
                                 "soutez-6-20200101-000000.sql"}));
    QFile f(QDir(slozka).filePath("soutez-5-20260614-092000.sql"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("obsah 4"));
}

// A folder that cannot be made (a file is in its place) is told in Czech, and nothing is left.
void TestZaloha::zapisDoNeexistujiciSlozky() {
    QTemporaryDir tmp;
    QFile soubor(tmp.filePath("usb"));
    QVERIFY(soubor.open(QIODevice::WriteOnly));
    soubor.close();
    const qx::ZapisZalohy z =
        qx::zapisZalohu(tmp.filePath("usb/zalohy"), "soutez-5-20260101-000000.sql", "x", 5, 3);
    QVERIFY(!z.ok);
    QVERIFY2(z.chyba.contains("Složku záloh"), qPrintable(z.chyba));
    QCOMPARE(QDir(tmp.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"usb"});
}

void TestZaloha::volby_data() {
    QTest::addColumn<QStringList>("argumenty");
    QTest::addColumn<bool>("pozadan");
    QTest::addColumn<bool>("platne");
    QTest::addColumn<bool>("zaloha");
    QTest::addColumn<qint64>("soutez");
    QTest::addColumn<QString>("slozka");
    QTest::addColumn<QString>("chyba"); // part of the message

    QTest::newRow("window") << QStringList{"--serve", "8080"} << false << false << false << 0ll << ""
                            << "";
    QTest::newRow("audit") << QStringList{"--audit", "--competition", "12"} << true << true << false << 12ll
                           << ""
                           << "";
    QTest::newRow("backup") << QStringList{"--backup", "--competition", "3"} << true << true << true << 3ll
                            << ""
                            << "";
    QTest::newRow("backup to") << QStringList{"--backup", "--competition=3", "--to", "/media/usb"} << true
                               << true << true << 3ll << "/media/usb"
                               << "";
    QTest::newRow("no competition") << QStringList{"--audit"} << true << false << false << 0ll << ""
                                    << "--competition";
    QTest::newRow("competition not a number")
        << QStringList{"--audit", "--competition", "x1"} << true << false << false << 0ll << ""
        << "--competition";
    QTest::newRow("both") << QStringList{"--audit", "--backup", "--competition", "1"} << true << false
                          << false << 0ll << ""
                          << "jen jednu";
    QTest::newRow("to without backup")
        << QStringList{"--audit", "--competition", "1", "--to", "/tmp"} << true << false << false << 0ll << ""
        << "--to";
    QTest::newRow("stray argument") << QStringList{"--backup", "--competition", "1", "navic"} << true << false
                                    << false << 0ll << ""
                                    << "navic";
    QTest::newRow("unknown option") << QStringList{"--backup", "--competition", "1", "--fast"} << true
                                    << false << false << 0ll << ""
                                    << "fast";
}

void TestZaloha::volby() {
    QFETCH(QStringList, argumenty);
    QFETCH(bool, pozadan);
    QFETCH(bool, platne);
    QFETCH(bool, zaloha);
    QFETCH(qint64, soutez);
    QFETCH(QString, slozka);
    QFETCH(QString, chyba);
    const qx::SpravaParse p = qx::parsujSpravu(argumenty);
    QCOMPARE(p.pozadan, pozadan);
    QCOMPARE(p.prikaz.has_value(), platne);
    if (platne) {
        QCOMPARE(p.prikaz->druh == qx::SpravaPrikaz::Druh::Zaloha, zaloha);
        QCOMPARE(p.prikaz->soutez, soutez);
        QCOMPARE(p.prikaz->slozka, slozka);
    } else if (pozadan) {
        QVERIFY2(p.chyba.contains(chyba), qPrintable(p.chyba));
    }
}

QTEST_APPLESS_MAIN(TestZaloha)
#include "tst_zaloha.moc"
