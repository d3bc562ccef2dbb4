// The history's rules: which column changes of a start-list row become records, and the texts of
// the history window and of the --audit listing.
#include "measurement/Zmeny.h"

#include <QTest>

using qx::DruzstvoRadek;
using qx::Pricina;
using qx::ZaznamZmeny;

Q_DECLARE_METATYPE(DruzstvoRadek)

namespace {

DruzstvoRadek radek() {
    DruzstvoRadek r;
    r.id = 42;
    r.id_soutez = 7;
    r.poradi = "3";
    r.nazev_dr = "Chýnov";
    r.tym = "A";
    r.kategorie = "muži";
    r.cas1R = "17,53L";
    r.cas1C = "18,01";
    r.celkem = "018,01";
    r.pozice = "2.";
    r.M1 = "4,20";
    return r;
}

} // namespace

class TestZmeny : public QObject {
    Q_OBJECT
private slots:
    void rozdil_data();
    void rozdil();
    void texty_data();
    void texty();
    void bunky();
    void vypis();
};

void TestZmeny::rozdil_data() {
    QTest::addColumn<DruzstvoRadek>("novy");
    QTest::addColumn<QStringList>("ocekavane"); // "column old>new"

    QTest::newRow("nothing changed") << radek() << QStringList{};
    DruzstvoRadek r = radek();
    r.nazev_dr = "Chýnov B";
    r.poradi = "9";
    r.draha = "2";
    QTest::newRow("start-list columns are not watched") << r << QStringList{};
    r = radek();
    r.cas1R = "NP";
    r.cas1C = "";
    r.celkem = "";
    r.pozice = "";
    QTest::newRow("time cleared") << r
                                  << QStringList{"cas1R 17,53L>NP", "cas1C 18,01>", "celkem 018,01>",
                                                 "pozice 2.>"};
    r = radek();
    r.cas2R = "P";
    r.cas2C = "19,00";
    r.cas1S = "0,10";
    r.cas2S = "0,20";
    QTest::newRow("second phase and relay")
        << r << QStringList{"cas2R >P", "cas2C >19,00", "cas1S >0,10", "cas2S >0,20"};
    r = radek();
    r.M1 = "";
    r.M4 = "Koš 5,5";
    QTest::newRow("splits") << r << QStringList{"M1 4,20>", "M4 >Koš 5,5"};
    r = radek();
    r.cas1C = "18,010";
    r.celkem = "018,010";
    QTest::newRow("width counts as a change")
        << r << QStringList{"cas1C 18,01>18,010", "celkem 018,01>018,010"};
    r = radek();
    r.cas1R = "17,53l";
    QTest::newRow("case counts as a change") << r << QStringList{"cas1R 17,53L>17,53l"};
}

void TestZmeny::rozdil() {
    QFETCH(DruzstvoRadek, novy);
    QFETCH(QStringList, ocekavane);
    const QList<ZaznamZmeny> z = qx::rozdilRadku(radek(), novy, Pricina::Rucne);
    QStringList texty;
    for (const ZaznamZmeny& x : z) {
        texty << x.sloupec + ' ' + x.stara + '>' + x.nova;
        QCOMPARE(x.id_druzstva, qint64(42));
        QCOMPARE(x.id_soutez, qint64(7));
        QCOMPARE(x.pricina, Pricina::Rucne);
    }
    QCOMPARE(texty, ocekavane);
}

void TestZmeny::texty_data() {
    QTest::addColumn<QString>("sloupec");
    QTest::addColumn<QString>("titulek");
    QTest::newRow("cas1R") << "cas1R"
                           << "1. kolo – terč";
    QTest::newRow("cas1C") << "cas1C"
                           << "1. kolo – čas";
    QTest::newRow("cas2R") << "cas2R"
                           << "2. kolo – terč";
    QTest::newRow("cas2C") << "cas2C"
                           << "2. kolo – čas";
    QTest::newRow("cas1S") << "cas1S"
                           << "1. kolo – štafeta";
    QTest::newRow("cas2S") << "cas2S"
                           << "2. kolo – štafeta";
    QTest::newRow("celkem") << "celkem"
                            << "Výsledek";
    QTest::newRow("pozice") << "pozice"
                            << "Pořadí";
    QTest::newRow("M1") << "M1"
                        << "Mezičas 1";
    QTest::newRow("M4") << "M4"
                        << "Mezičas 4";
    QTest::newRow("unknown") << "M5"
                             << "M5";
}

void TestZmeny::texty() {
    QFETCH(QString, sloupec);
    QFETCH(QString, titulek);
    QCOMPARE(qx::titulekSloupce(sloupec), titulek);
    // Every watched column has a caption of its own.
    if (qx::sledovaneSloupce().contains(sloupec)) QVERIFY(qx::titulekSloupce(sloupec) != sloupec);
}

void TestZmeny::bunky() {
    ZaznamZmeny z;
    z.sloupec = "cas1C";
    z.stara = "";
    z.nova = "18,01";
    z.pricina = Pricina::Ulozeni;
    z.cas = QDateTime(QDate(2026, 6, 14), QTime(10, 5, 7, 120));
    z.pocitac = "notebook-1";
    QCOMPARE(qx::bunkyZmeny(z), (QStringList{"2026-06-14 10:05:07.120", "1. kolo – čas", "—", "18,01",
                                             "uložení času", "notebook-1"}));
    z.pricina = Pricina::Prepocet;
    QCOMPARE(qx::bunkyZmeny(z)[4], QString("přepočet"));
    z.pricina = Pricina::Rucne;
    QCOMPARE(qx::bunkyZmeny(z)[4], QString("ruční zadání"));
    // The cause codes stored in the table read back as themselves.
    for (Pricina p : {Pricina::Ulozeni, Pricina::Prepocet, Pricina::Rucne})
        QCOMPARE(qx::pricinaZKodu(qx::pricinaKod(p)), std::optional<Pricina>(p));
    QCOMPARE(qx::pricinaZKodu("jinak"), std::optional<Pricina>());
}

// The listing: a header, one line of eight tab-separated fields per record; values as stored (an
// empty one stays empty), tabs and line breaks inside values cannot break the lines; a team that
// is gone is named by its id.
void TestZmeny::vypis() {
    ZaznamZmeny a;
    a.id_druzstva = 42;
    a.sloupec = "cas1C";
    a.nova = "18,01";
    a.pricina = Pricina::Ulozeni;
    a.cas = QDateTime(QDate(2026, 6, 14), QTime(10, 5, 7, 120));
    a.pocitac = "pc";
    a.druzstvo = "Chýnov (A) - muži";
    ZaznamZmeny b = a;
    b.id_druzstva = 43;
    b.sloupec = "M1";
    b.stara = "4,20\t5";
    b.nova = "a\nb";
    b.pricina = Pricina::Rucne;
    b.druzstvo.clear();

    const QStringList radky = qx::vypisZmen({a, b}).split('\n');
    QCOMPARE(radky.size(), 4); // header, two records, the empty rest after the last line break
    QCOMPARE(radky[0], QString("Čas\tDružstvo\tSloupec\tPopis\tPůvodně\tNově\tPříčina\tPočítač"));
    QCOMPARE(radky[1], QString("2026-06-14 10:05:07.120\tChýnov (A) - muži\tcas1C\t1. kolo – čas\t\t18,01\t"
                               "uložení času\tpc"));
    QCOMPARE(radky[2].split('\t'), (QStringList{"2026-06-14 10:05:07.120", "(družstvo 43 smazáno)", "M1",
                                                "Mezičas 1", "4,20 5", "a b", "ruční zadání", "pc"}));
    QCOMPARE(radky[3], QString());
    QCOMPARE(qx::vypisZmen({}).count('\n'), 1);
}

QTEST_APPLESS_MAIN(TestZmeny)
#include "tst_zap_zmeny.moc"
