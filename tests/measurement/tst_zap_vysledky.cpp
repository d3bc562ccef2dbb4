// Results and placings: a team's result by phase, result mode and measurement mode, the stored
// times that cannot be read, and the ranking by stored result text with shared placings.
#include "measurement/Kontext.h"
#include "measurement/Poradi.h"
#include "measurement/Vypocet.h"

#include <QTest>

using qx::DruzstvoRadek;

class TestVysledky : public QObject {
    Q_OBJECT
private slots:
    void celkem_data();
    void celkem();
    void chybneCasy_data();
    void chybneCasy();
    void stitky_data();
    void stitky();
    void zaradit_data();
    void zaradit();
};

namespace {
constexpr int utok = 10, dvaUtoky = 12, start = 170, draha1 = 1, drahy2 = 2;

qx::MereniKontext kontext(int nast, int verze, const QString& kolo, int casIndex) {
    qx::MereniKontext ctx;
    ctx.nast = uint8_t(nast);
    ctx.verze = verze;
    ctx.kolo = qx::koloZTextu(kolo);
    ctx.rezim = qx::rezimZIndexu(casIndex);
    return ctx;
}
} // namespace

// Columns: the settings (mode, version, CB_nast_kolo text, CB_nast_cas index) and the stored
// times cas1C, cas2C, cas1S, cas2S; the stored result.
void TestVysledky::celkem_data() {
    QTest::addColumn<int>("nast");
    QTest::addColumn<int>("verze");
    QTest::addColumn<QString>("kolo");
    QTest::addColumn<int>("casIndex");
    QTest::addColumn<QStringList>("casy");
    QTest::addColumn<QString>("celkem");

    const QString k1 = "1. kolo", k2 = "2. kolo";
    // First phase.
    QTest::newRow("1st, hundredths") << utok << 454 << k1 << 0 << QStringList{"18,01", "", "", ""}
                                     << "018,01";
    QTest::newRow("1st, thousandths")
        << utok << 466 << k1 << 0 << QStringList{"18,01", "", "", ""} << "018,010";
    QTest::newRow("1st ignores the 2nd phase")
        << utok << 454 << k1 << 0 << QStringList{"", "17,50", "", ""} << "";
    QTest::newRow("1st, no time") << utok << 454 << k1 << 0 << QStringList{"", "", "", ""} << "";
    QTest::newRow("phase text other than 1. kolo is the 2nd")
        << utok << 454 << "" << 2 << QStringList{"18,01", "17,50", "", ""} << "017,50";

    // Second phase by result mode (-1 nothing chosen, 0 the empty entry, 1 lepší, 2 finálový,
    // 3 součet).
    const QStringList oba{"18,01", "17,50", "", ""};
    QTest::newRow("2nd, nothing chosen") << utok << 454 << k2 << -1 << oba << "017,50";
    QTest::newRow("2nd, empty entry") << utok << 454 << k2 << 0 << oba << "017,50";
    QTest::newRow("2nd, lepší") << utok << 454 << k2 << 1 << oba << "017,50";
    QTest::newRow("2nd, finálový") << utok << 454 << k2 << 2 << oba << "017,50";
    QTest::newRow("2nd, součet") << utok << 454 << k2 << 3 << oba << "035,51";
    QTest::newRow("2nd, součet at thousandths") << utok << 466 << k2 << 3 << oba << "035,510";
    const QStringList prvniLepsi{"17,00", "18,00", "", ""};
    QTest::newRow("2nd, lepší takes the 1st") << utok << 454 << k2 << 1 << prvniLepsi << "017,00";
    QTest::newRow("2nd, finálový takes the 2nd") << utok << 454 << k2 << 2 << prvniLepsi << "018,00";
    const QStringList bezDruheho{"18,01", "", "", ""};
    QTest::newRow("2nd missing, lepší") << utok << 454 << k2 << 1 << bezDruheho << "018,01";
    QTest::newRow("2nd missing, empty entry") << utok << 454 << k2 << 0 << bezDruheho << "018,01";
    QTest::newRow("2nd missing, finálový") << utok << 454 << k2 << 2 << bezDruheho << "";
    QTest::newRow("2nd missing, součet") << utok << 454 << k2 << 3 << bezDruheho << "";
    const QStringList bezPrvniho{"", "17,50", "", ""};
    QTest::newRow("1st missing, lepší") << utok << 454 << k2 << 1 << bezPrvniho << "017,50";
    QTest::newRow("1st missing, součet") << utok << 454 << k2 << 3 << bezPrvniho << "017,50";
    QTest::newRow("zero time counts as missing")
        << utok << 454 << k2 << 1 << QStringList{"0,00", "17,50", "", ""} << "017,50";

    // Relay mode: the better relay time, in either phase and every result mode.
    const QStringList stafeta{"", "", "19,20", "18,70"};
    QTest::newRow("relay, 1st") << drahy2 << 454 << k1 << 0 << stafeta << "018,70";
    QTest::newRow("relay, 2nd lepší") << drahy2 << 454 << k2 << 1 << stafeta << "018,70";
    QTest::newRow("relay, 2nd finálový") << drahy2 << 454 << k2 << 2 << stafeta << "018,70";
    QTest::newRow("relay, 2nd součet") << drahy2 << 454 << k2 << 3 << stafeta << "018,70";
    QTest::newRow("relay, 1st lane only")
        << draha1 << 454 << k1 << 0 << QStringList{"", "", "19,20", ""} << "019,20";
    QTest::newRow("relay, 2nd lane only")
        << draha1 << 454 << k1 << 0 << QStringList{"", "", "", "18,70"} << "018,70";
    QTest::newRow("relay ignores attack times")
        << draha1 << 454 << k1 << 0 << QStringList{"18,01", "", "", ""} << "";

    // Attack mode adds the better relay time to the attack result.
    QTest::newRow("attack plus relay")
        << utok << 454 << k1 << 0 << QStringList{"18,01", "", "19,20", ""} << "037,21";
    QTest::newRow("attack plus better relay")
        << utok << 454 << k1 << 0 << QStringList{"18,01", "", "19,20", "18,70"} << "036,71";
    QTest::newRow("attack with relay times only") << utok << 454 << k1 << 0 << stafeta << "";
    QTest::newRow("two attacks") << dvaUtoky << 454 << k1 << 0 << QStringList{"18,01", "", "", ""}
                                 << "018,01";
    QTest::newRow("start-up mode is an attack")
        << start << 466 << k1 << 0 << QStringList{"18,01", "", "", ""} << "018,010";

    // Rounding and width of the stored form, on exact decimals.
    QTest::newRow("thousandths time at a hundredths version rounds half up")
        << utok << 454 << k1 << 0 << QStringList{"18,015", "", "", ""} << "018,02";
    QTest::newRow("sum over 1000 s is not filled")
        << utok << 454 << k2 << 3 << QStringList{"500,00", "500,01", "", ""} << "1000,01";
    QTest::newRow("widened stored times")
        << utok << 466 << k2 << 3 << QStringList{"0017,500", "018,01", "", ""} << "035,510";

    // A time that is not a number with a decimal comma: no result.
    QTest::newRow("decimal point") << utok << 454 << k1 << 0 << QStringList{"18.01", "", "", ""} << "";
    QTest::newRow("bad relay time in attack mode")
        << utok << 454 << k1 << 0 << QStringList{"18,01", "", "x", ""} << "";
}

void TestVysledky::celkem() {
    QFETCH(int, nast);
    QFETCH(int, verze);
    QFETCH(QString, kolo);
    QFETCH(int, casIndex);
    QFETCH(QStringList, casy);
    QFETCH(QString, celkem);

    DruzstvoRadek r;
    r.cas1C = casy[0];
    r.cas2C = casy[1];
    r.cas1S = casy[2];
    r.cas2S = casy[3];
    const qx::MereniKontext ctx = kontext(nast, verze, kolo, casIndex);
    QCOMPARE(qx::celkemRadku(r, ctx), celkem);
    QCOMPARE(qx::vypoctiCelkem(r, ctx).has_value(), !celkem.isEmpty());
}

// The texts the computation reads and cannot read: cas1S and cas2S always, cas1C always, cas2C
// in the second phase only.
void TestVysledky::chybneCasy_data() {
    QTest::addColumn<int>("nast");
    QTest::addColumn<QString>("kolo");
    QTest::addColumn<QStringList>("casy"); // cas1C, cas2C, cas1S, cas2S
    QTest::addColumn<QStringList>("chybne");
    QTest::addColumn<QString>("celkem");

    QTest::newRow("all readable") << utok << "2. kolo" << QStringList{"18,01", "17,50", "19,20", ""}
                                  << QStringList{} << "036,70";
    QTest::newRow("2nd phase time unread in the 1st")
        << utok << "1. kolo" << QStringList{"18,01", "x", "", ""} << QStringList{} << "018,01";
    QTest::newRow("2nd phase time read in the 2nd")
        << utok << "2. kolo" << QStringList{"18,01", "x", "", ""} << QStringList{"x"} << "";
    QTest::newRow("relay time read in attack mode")
        << utok << "1. kolo" << QStringList{"18,01", "", "", "19.20"} << QStringList{"19.20"} << "";
    QTest::newRow("attack time read in relay mode")
        << draha1 << "1. kolo" << QStringList{"18 01", "", "19,20", ""} << QStringList{"18 01"} << "";
    QTest::newRow("several, in reading order")
        << utok << "2. kolo" << QStringList{"a", "d", "b", "c"} << QStringList{"b", "c", "a", "d"} << "";
}

void TestVysledky::chybneCasy() {
    QFETCH(int, nast);
    QFETCH(QString, kolo);
    QFETCH(QStringList, casy);
    QFETCH(QStringList, chybne);
    QFETCH(QString, celkem);

    DruzstvoRadek r;
    r.cas1C = casy[0];
    r.cas2C = casy[1];
    r.cas1S = casy[2];
    r.cas2S = casy[3];
    const qx::MereniKontext ctx = kontext(nast, 454, kolo, 1);
    QCOMPARE(qx::chybneCasy(r, ctx), chybne);
    QCOMPARE(qx::celkemRadku(r, ctx), celkem);
}

void TestVysledky::stitky_data() {
    QTest::addColumn<QList<std::optional<qint64>>>("hodnoty");
    QTest::addColumn<QStringList>("stitky");
    using H = QList<std::optional<qint64>>;

    QTest::newRow("shared second place")
        << H{17000, 17500, 17500, 18000} << QStringList{"1.", "2.", "2.", "4."};
    QTest::newRow("all equal") << H{17000, 17000, 17000} << QStringList{"1.", "1.", "1."};
    QTest::newRow("tie at the end") << H{17000, 17500, 18000, 18000} << QStringList{"1.", "2.", "3.", "3."};
    QTest::newRow("one") << H{18000} << QStringList{"1."};
    QTest::newRow("none") << H{} << QStringList{};
    QTest::newRow("first result of zero") << H{0, 0, 10} << QStringList{"1.", "1.", "3."};
    QTest::newRow("unreadable equals nothing")
        << H{17000, std::nullopt, std::nullopt, 18000} << QStringList{"1.", "2.", "3.", "4."};
}

void TestVysledky::stitky() {
    QFETCH(QList<std::optional<qint64>>, hodnoty);
    QFETCH(QStringList, stitky);
    QCOMPARE(qx::stitkyPoradi(hodnoty), stitky);
}

// Rows of one competition (stored result, category, old placing), the chosen category; the
// placings after ranking and the ranked rows in order.
void TestVysledky::zaradit_data() {
    QTest::addColumn<QStringList>("celkem");
    QTest::addColumn<QStringList>("kategorie");
    QTest::addColumn<QStringList>("stare");
    QTest::addColumn<QString>("vybrana");
    QTest::addColumn<QStringList>("pozice");
    QTest::addColumn<QList<qsizetype>>("poradi");
    using I = QList<qsizetype>;

    const QStringList muzi4{"muži", "muži", "muži", "muži"};
    const QStringList prazdne4{"", "", "", ""};
    QTest::newRow("ties, read order kept")
        << QStringList{"018,00", "017,50", "017,00", "017,50"} << muzi4 << prazdne4 << ""
        << QStringList{"4.", "2.", "1.", "2."} << I{2, 1, 3, 0};
    QTest::newRow("mixed widths in text order")
        << QStringList{"017,50", "0018,010"} << QStringList{"muži", "muži"} << QStringList{"", ""} << ""
        << QStringList{"2.", "1."} << I{1, 0};
    QTest::newRow("1000 s sorts before 999 s")
        << QStringList{"999,99", "1000,00"} << QStringList{"muži", "muži"} << QStringList{"", ""} << ""
        << QStringList{"2.", "1."} << I{1, 0};
    QTest::newRow("equal values of other widths share")
        << QStringList{"017,50", "0017,500", "018,00"} << QStringList{"muži", "muži", "muži"}
        << QStringList{"", "", ""} << "" << QStringList{"1.", "1.", "3."} << I{1, 0, 2};
    QTest::newRow("across categories")
        << QStringList{"017,00", "016,00", "018,00", ""} << QStringList{"muži", "ženy", "muži", "ženy"}
        << QStringList{"9.", "9.", "9.", "9."} << "" << QStringList{"2.", "1.", "3.", ""} << I{1, 0, 2};
    QTest::newRow("chosen category; others keep theirs, none without a result")
        << QStringList{"017,00", "016,00", "018,00", "", ""}
        << QStringList{"muži", "ženy", "muži", "ženy", "muži"} << QStringList{"7.", "5.", "6.", "4.", "3."}
        << "muži" << QStringList{"1.", "5.", "2.", "", ""} << I{0, 2};
    QTest::newRow("category compared without case")
        << QStringList{"017,00", "016,00"} << QStringList{"Muži", "ženy"} << QStringList{"", "8."} << "MUŽI"
        << QStringList{"1.", "8."} << I{0};
    QTest::newRow("category compared with accents")
        << QStringList{"017,00", "016,00"} << QStringList{"muzi", "muži"} << QStringList{"3.", ""} << "muži"
        << QStringList{"3.", "1."} << I{1};
    QTest::newRow("blank result is none") << QStringList{"  ", "017,00"} << QStringList{"muži", "muži"}
                                          << QStringList{"1.", "2."} << "" << QStringList{"", "1."} << I{1};
    QTest::newRow("no results") << QStringList{"", ""} << QStringList{"muži", "ženy"}
                                << QStringList{"1.", "2."} << "" << QStringList{"", ""} << I{};
}

void TestVysledky::zaradit() {
    QFETCH(QStringList, celkem);
    QFETCH(QStringList, kategorie);
    QFETCH(QStringList, stare);
    QFETCH(QString, vybrana);
    QFETCH(QStringList, pozice);
    QFETCH(QList<qsizetype>, poradi);

    QList<DruzstvoRadek> radky;
    for (qsizetype i = 0; i < celkem.size(); ++i) {
        DruzstvoRadek r;
        r.id = 100 + i;
        r.celkem = celkem[i];
        r.kategorie = kategorie[i];
        r.pozice = stare[i];
        radky.append(r);
    }
    const qx::Zarazeni z = qx::zaradit(radky, vybrana);
    QCOMPARE(z.pozice, pozice);
    QCOMPARE(z.serazene, poradi);
}

QTEST_APPLESS_MAIN(TestVysledky)
#include "tst_zap_vysledky.moc"
