// The measurement panel's checks and the times it receives: the time-box check by device version
// and mode, the split check, and the entries AM_Cas1 / AM_Cas2 build and the split fields AM_Mezi
// sets.
#include "measurement/Kontrola.h"
#include "measurement/Prijem.h"

#include <QTest>

#include <array>

using qx::MezicasZmena;

Q_DECLARE_METATYPE(MezicasZmena::Druh)

class TestKontrola : public QObject {
    Q_OBJECT
private slots:
    void casovyBox_data();
    void casovyBox();
    void mezicasy_data();
    void mezicasy();
    void prijem_data();
    void prijem();
    void amMezi_data();
    void amMezi();
};

namespace {
constexpr int utok = 10, dvaUtoky = 12, start = 170, draha1 = 1, drahy4 = 4;
}

void TestKontrola::casovyBox_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("nast");
    QTest::addColumn<int>("verze");
    QTest::addColumn<bool>("prijat");

    // An empty box can always be saved (it clears the phase's time).
    QTest::newRow("empty, attack") << "" << utok << 466 << true;
    QTest::newRow("empty, relay") << "" << draha1 << 454 << true;

    // Limits by version (relay mode: the bare time).
    QTest::newRow("454 123,45") << "123,45" << draha1 << 454 << true;
    QTest::newRow("454 123,456") << "123,456" << draha1 << 454 << false;
    QTest::newRow("454 1234,56") << "1234,56" << draha1 << 454 << false;
    QTest::newRow("454 ,45") << ",45" << draha1 << 454 << false;
    QTest::newRow("454 123,4") << "123,4" << draha1 << 454 << false;
    QTest::newRow("454 no comma") << "12345" << draha1 << 454 << false;
    QTest::newRow("454 decimal point") << "123.45" << draha1 << 454 << false;
    QTest::newRow("454 0,05") << "0,05" << draha1 << 454 << true;
    QTest::newRow("462 123,45") << "123,45" << draha1 << 462 << true;
    QTest::newRow("490 123,45") << "123,45" << draha1 << 490 << true;
    QTest::newRow("490 123,456") << "123,456" << draha1 << 490 << false;
    QTest::newRow("466 123,456") << "123,456" << draha1 << 466 << true;
    QTest::newRow("466 123,45") << "123,45" << draha1 << 466 << false;
    QTest::newRow("466 1234,567") << "1234,567" << draha1 << 466 << false;
    QTest::newRow("456 123,456") << "123,456" << draha1 << 456 << true;
    QTest::newRow("458 123,456") << "123,456" << draha1 << 458 << true;
    QTest::newRow("468 123,456") << "123,456" << draha1 << 468 << true;
    QTest::newRow("457 12,345") << "12,345" << draha1 << 457 << true;
    QTest::newRow("457 123,456") << "123,456" << draha1 << 457 << false;
    QTest::newRow("457 12,34") << "12,34" << draha1 << 457 << false;
    // 463 delivers hundredths and is counted in hundredths, so its texts have two decimals.
    QTest::newRow("463 12,34") << "12,34" << draha1 << 463 << true;
    QTest::newRow("463 12,345") << "12,345" << draha1 << 463 << false;
    QTest::newRow("463 123,45") << "123,45" << draha1 << 463 << false;
    QTest::newRow("unlisted version 12,345") << "12,345" << draha1 << 500 << true;
    QTest::newRow("unlisted version 123,456") << "123,456" << draha1 << 500 << false;

    // Attack entries.
    QTest::newRow("attack L") << "17,53L 18,01" << utok << 454 << true;
    QTest::newRow("attack P") << "17,53P 18,01" << utok << 454 << true;
    QTest::newRow("attack NP") << "NP 18,01" << utok << 454 << true;
    QTest::newRow("attack without letter") << "17,53 18,01" << utok << 454 << false;
    QTest::newRow("attack letter X") << "17,53X 18,01" << utok << 454 << false;
    QTest::newRow("attack lower-case letter") << "17,53l 18,01" << utok << 454 << false;
    QTest::newRow("attack lower-case np") << "np 18,01" << utok << 454 << false;
    QTest::newRow("attack begins with the space") << " 18,01" << utok << 454 << false;
    QTest::newRow("attack bare final time") << "18,01" << utok << 454 << false;
    QTest::newRow("attack letter without time") << "L 18,01" << utok << 454 << false;
    QTest::newRow("attack no final time") << "17,53L " << utok << 454 << false;
    QTest::newRow("attack no space") << "17,53L" << utok << 454 << false;
    QTest::newRow("attack two spaces") << "NP  18,01" << utok << 454 << false;
    QTest::newRow("attack trailing space") << "NP 18,01 " << utok << 454 << false;
    QTest::newRow("attack bad target time") << "17,5L 18,01" << utok << 454 << false;
    QTest::newRow("attack bad final time") << "17,53L 18,010" << utok << 454 << false;
    QTest::newRow("attack thousandths") << "17,532L 18,011" << utok << 466 << true;
    QTest::newRow("attack hundredths at 466") << "17,53L 18,01" << utok << 466 << false;
    QTest::newRow("two attacks") << "16,90P 17,55" << dvaUtoky << 454 << true;
    QTest::newRow("start-up mode is an attack") << "NP 18,01" << start << 454 << true;
    QTest::newRow("start-up mode, bare time") << "18,01" << start << 454 << false;

    // Relay entries: only the part after the first space counts.
    QTest::newRow("relay lane and time") << "1 18,23" << draha1 << 454 << true;
    QTest::newRow("relay bare time") << "18,23" << draha1 << 454 << true;
    QTest::newRow("relay four lanes") << "4 18,230" << drahy4 << 466 << true;
    QTest::newRow("relay any lane text") << "X 18,23" << draha1 << 454 << true;
    QTest::newRow("relay begins with the space") << " 18,23" << draha1 << 454 << true;
    QTest::newRow("relay attack entry") << "17,53L 18,23" << draha1 << 454 << true;
    QTest::newRow("relay trailing space") << "18,23 " << draha1 << 454 << false;
    QTest::newRow("relay bad time") << "1 18,2" << draha1 << 454 << false;
    QTest::newRow("relay NP") << "NP" << draha1 << 454 << false;
}

void TestKontrola::casovyBox() {
    QFETCH(QString, text);
    QFETCH(int, nast);
    QFETCH(int, verze);
    QFETCH(bool, prijat);
    QCOMPARE(qx::Kontrola_formatu_casu(text, uint8_t(nast), verze), prijat);
}

void TestKontrola::mezicasy_data() {
    QTest::addColumn<QStringList>("pole");
    QTest::addColumn<int>("verze");
    QTest::addColumn<bool>("prijat");

    QTest::newRow("four hundredths") << QStringList{"4,20", "10,00", "15,50", "5,50"} << 454 << true;
    QTest::newRow("four thousandths") << QStringList{"4,200", "10,000", "15,500", "5,500"} << 466 << true;
    QTest::newRow("hundredths at 466") << QStringList{"4,20", "10,000", "15,500", "5,500"} << 466 << false;
    QTest::newRow("text before a space") << QStringList{"M0 4,20", "10,00", "x 15,50", "5,50"} << 454 << true;
    QTest::newRow("first empty") << QStringList{"", "10,00", "15,50", "5,50"} << 454 << false;
    QTest::newRow("last empty") << QStringList{"4,20", "10,00", "15,50", ""} << 454 << false;
    QTest::newRow("all empty") << QStringList{"", "", "", ""} << 454 << false;
    QTest::newRow("last malformed") << QStringList{"4,20", "10,00", "15,50", "5.50"} << 454 << false;
    QTest::newRow("trailing space") << QStringList{"4,20", "10,00 ", "15,50", "5,50"} << 454 << false;
}

void TestKontrola::mezicasy() {
    QFETCH(QStringList, pole);
    QFETCH(int, verze);
    QFETCH(bool, prijat);
    const std::array<QString, 4> m{pole[0], pole[1], pole[2], pole[3]};
    QCOMPARE(qx::Kontrola_formatu_mezicasu(m, verze), prijat);
}

// A sequence of messages from the timer console: "1 code count" is AM_Cas1, "2 count" AM_Cas2.
// The entries appended to the time box's list and the pending text at the end.
void TestKontrola::prijem_data() {
    QTest::addColumn<int>("verze");
    QTest::addColumn<QStringList>("zpravy");
    QTest::addColumn<QStringList>("polozky");
    QTest::addColumn<QString>("cekajici");

    QTest::newRow("lane 1 at hundredths") << 454 << QStringList{"1 6 1823"} << QStringList{"1 18,23"} << "";
    QTest::newRow("three lanes at thousandths") << 466 << QStringList{"1 6 18230", "1 7 19100", "1 8 20005"}
                                                << QStringList{"1 18,230", "2 19,100", "3 20,005"} << "";
    QTest::newRow("lane 4") << 454 << QStringList{"1 9 2001"} << QStringList{"4 20,01"} << "";
    QTest::newRow("left target then final time")
        << 454 << QStringList{"1 0 1753", "2 1801"} << QStringList{"17,53L 18,01"} << "17,53L ";
    QTest::newRow("right target at thousandths")
        << 466 << QStringList{"1 1 17532", "2 18011"} << QStringList{"17,532P 18,011"} << "17,532P ";
    QTest::newRow("two attacks") << 454 << QStringList{"1 0 1753", "2 1801", "1 4 1690", "2 1755"}
                                 << QStringList{"17,53L 18,01", "16,90P 17,55"} << "16,90P ";
    QTest::newRow("second attack's left target")
        << 454 << QStringList{"1 3 1690", "2 1755"} << QStringList{"16,90L 17,55"} << "16,90L ";
    QTest::newRow("final time alone") << 454 << QStringList{"2 1801"} << QStringList{"18,01"} << "";
    QTest::newRow("a lane time empties the pending target")
        << 454 << QStringList{"1 0 1753", "1 6 1823", "2 1801"} << QStringList{"1 18,23", "18,01"} << "";
    QTest::newRow("the pending target stays after the final time")
        << 454 << QStringList{"1 0 1753", "2 1801", "2 1802"} << QStringList{"17,53L 18,01", "17,53L 18,02"}
        << "17,53L ";
    QTest::newRow("457 hundredths at three decimals")
        << 457 << QStringList{"1 0 1753", "2 1801"} << QStringList{"17,530L 18,010"} << "17,530L ";
    QTest::newRow("below a second") << 454 << QStringList{"1 6 5"} << QStringList{"1 0,05"} << "";
    QTest::newRow("code without a text") << 454 << QStringList{"1 12 1823"} << QStringList{" 18,23"} << "";
}

void TestKontrola::prijem() {
    QFETCH(int, verze);
    QFETCH(QStringList, zpravy);
    QFETCH(QStringList, polozky);
    QFETCH(QString, cekajici);

    qx::PrijemCasu prijem;
    QStringList seznam;
    for (const QString& z : zpravy) {
        const QStringList p = z.split(u' ');
        if (p[0] == u"1") {
            if (const auto polozka = prijem.amCas1(p[1].toInt(), p[2].toLongLong(), verze))
                seznam.append(*polozka);
        } else {
            seznam.append(prijem.amCas2(p[1].toLongLong(), verze));
        }
    }
    QCOMPARE(seznam, polozky);
    QCOMPARE(prijem.cas(), cekajici);
}

void TestKontrola::amMezi_data() {
    QTest::addColumn<int>("cislo");
    QTest::addColumn<qint64>("pocet");
    QTest::addColumn<int>("verze");
    QTest::addColumn<int>("format");
    QTest::addColumn<MezicasZmena::Druh>("druh");
    QTest::addColumn<int>("pole");
    QTest::addColumn<QString>("text");

    using D = MezicasZmena::Druh;
    QTest::newRow("start empties") << 0 << qint64(0) << 454 << 0 << D::Vyprazdnit << -1 << "";
    QTest::newRow("split 1 hundredths") << 1 << qint64(420) << 454 << 0 << D::Nastavit << 0 << "4,20";
    QTest::newRow("split 2") << 2 << qint64(1000) << 454 << 0 << D::Nastavit << 1 << "10,00";
    QTest::newRow("split 3 thousandths") << 3 << qint64(15500) << 466 << 1 << D::Nastavit << 2 << "15,500";
    QTest::newRow("split 4 setiny at 466") << 4 << qint64(550) << 466 << 0 << D::Nastavit << 3 << "5,500";
    QTest::newRow("number 5 ignored") << 5 << qint64(550) << 454 << 0 << D::Nic << -1 << "";
    QTest::newRow("negative number ignored") << -1 << qint64(550) << 454 << 0 << D::Nic << -1 << "";
}

void TestKontrola::amMezi() {
    QFETCH(int, cislo);
    QFETCH(qint64, pocet);
    QFETCH(int, verze);
    QFETCH(int, format);
    QFETCH(MezicasZmena::Druh, druh);
    QFETCH(int, pole);
    QFETCH(QString, text);

    const MezicasZmena z = qx::amMezi(cislo, pocet, verze, format);
    QCOMPARE(z.druh, druh);
    QCOMPARE(z.pole, pole);
    QCOMPARE(z.text, text);
}

QTEST_APPLESS_MAIN(TestKontrola)
#include "tst_zap_kontrola.moc"
