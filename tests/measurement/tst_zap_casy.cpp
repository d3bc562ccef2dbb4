// Stored time texts as integer thousandths and back: reading a stored time, the fixed-width
// stored result, its display form (cut, never rounded, at two decimals) and the start-up widening.
#include "measurement/Casy.h"
#include "measurement/Vypocet.h"

#include <QTest>

#include <optional>

Q_DECLARE_METATYPE(std::optional<qint64>)

class TestCasy : public QObject {
    Q_OBJECT
private slots:
    void ctiCas_data();
    void ctiCas();
    void celkemText_data();
    void celkemText();
    void orizniCas_data();
    void orizniCas();
    void zobrazCas_data();
    void zobrazCas();
    void rozsirCelkem_data();
    void rozsirCelkem();
};

void TestCasy::ctiCas_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<qint64>>("tisiciny");
    const std::optional<qint64> zadny;

    QTest::newRow("hundredths") << "18,01" << std::optional<qint64>(18010);
    QTest::newRow("thousandths") << "17,529" << std::optional<qint64>(17529);
    QTest::newRow("stored width 6") << "018,01" << std::optional<qint64>(18010);
    QTest::newRow("stored width 7") << "0017,530" << std::optional<qint64>(17530);
    QTest::newRow("below a second") << "0,05" << std::optional<qint64>(50);
    QTest::newRow("whole seconds") << "18" << std::optional<qint64>(18000);
    QTest::newRow("comma at the end") << "18," << std::optional<qint64>(18000);
    QTest::newRow("comma first") << ",5" << std::optional<qint64>(500);
    QTest::newRow("one decimal") << "17,5" << std::optional<qint64>(17500);
    QTest::newRow("zero") << "0,00" << std::optional<qint64>(0);
    QTest::newRow("over 1000 s") << "1000,00" << std::optional<qint64>(1000000);
    QTest::newRow("4th decimal 5 rounds up") << "17,5295" << std::optional<qint64>(17530);
    QTest::newRow("4th decimal 4 rounds down") << "17,52949" << std::optional<qint64>(17529);
    QTest::newRow("rounding carries") << "17,9995" << std::optional<qint64>(18000);
    QTest::newRow("many leading zeros") << "00000000000000018,01" << std::optional<qint64>(18010);
    QTest::newRow("empty") << "" << zadny;
    QTest::newRow("comma alone") << "," << zadny;
    QTest::newRow("decimal point") << "18.01" << zadny;
    QTest::newRow("minus") << "-18,01" << zadny;
    QTest::newRow("plus") << "+18,01" << zadny;
    QTest::newRow("leading blank") << " 18,01" << zadny;
    QTest::newRow("trailing blank") << "18,01 " << zadny;
    QTest::newRow("two commas") << "1,2,3" << zadny;
    QTest::newRow("target part") << "17,53L" << zadny;
    QTest::newRow("NP") << "NP" << zadny;
    QTest::newRow("letter in decimals") << "18,0x" << zadny;
    QTest::newRow("too many digits") << "1234567890123,00" << zadny;
}

void TestCasy::ctiCas() {
    QFETCH(QString, text);
    QFETCH(std::optional<qint64>, tisiciny);
    QCOMPARE(qx::ctiCas(text), tisiciny);
}

void TestCasy::celkemText_data() {
    QTest::addColumn<qint64>("tisiciny");
    QTest::addColumn<int>("verze");
    QTest::addColumn<QString>("celkem");

    QTest::newRow("454") << qint64(18010) << 454 << "018,01";
    QTest::newRow("466") << qint64(18010) << 466 << "018,010";
    QTest::newRow("462") << qint64(18010) << 462 << "018,01";
    QTest::newRow("463") << qint64(18010) << 463 << "018,01";
    QTest::newRow("490") << qint64(18010) << 490 << "018,01";
    QTest::newRow("456") << qint64(18010) << 456 << "018,010";
    QTest::newRow("457") << qint64(18010) << 457 << "018,010";
    QTest::newRow("467") << qint64(18010) << 467 << "018,010";
    QTest::newRow("unlisted version") << qint64(18010) << 500 << "018,010";
    QTest::newRow("sum") << qint64(35510) << 454 << "035,51";
    QTest::newRow("half rounds up") << qint64(17505) << 454 << "017,51";
    QTest::newRow("below half rounds down") << qint64(17504) << 454 << "017,50";
    QTest::newRow("round into the next second") << qint64(17995) << 454 << "018,00";
    QTest::newRow("leading zero of the decimals") << qint64(18005) << 466 << "018,005";
    QTest::newRow("three integer places") << qint64(123456) << 466 << "123,456";
    QTest::newRow("below a second") << qint64(50) << 454 << "000,05";
    QTest::newRow("rounds to zero") << qint64(4) << 454 << "000,00";
    QTest::newRow("1000 s is not filled") << qint64(1000000) << 466 << "1000,000";
    QTest::newRow("rounding to 1000 s") << qint64(999995) << 454 << "1000,00";
}

void TestCasy::celkemText() {
    QFETCH(qint64, tisiciny);
    QFETCH(int, verze);
    QFETCH(QString, celkem);
    QCOMPARE(qx::celkemText(tisiciny, verze), celkem);
}

void TestCasy::orizniCas_data() {
    QTest::addColumn<qint64>("tisiciny");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("text");

    QTest::newRow("16,06 stays") << qint64(16060) << 0 << "16,06";
    QTest::newRow("16,069 is cut") << qint64(16069) << 0 << "16,06";
    QTest::newRow("18,019 is cut") << qint64(18019) << 0 << "18,01";
    QTest::newRow("thousandths") << qint64(18019) << 1 << "18,019";
    QTest::newRow("thousandths of a hundredths time") << qint64(16060) << 1 << "16,060";
    QTest::newRow("below a second") << qint64(50) << 0 << "0,05";
    QTest::newRow("below a hundredth") << qint64(9) << 0 << "0,00";
    QTest::newRow("over 1000 s") << qint64(1000010) << 0 << "1000,01";
    QTest::newRow("any other format is two decimals") << qint64(16069) << 2 << "16,06";
}

void TestCasy::orizniCas() {
    QFETCH(qint64, tisiciny);
    QFETCH(int, format);
    QFETCH(QString, text);
    QCOMPARE(qx::orizniCas(tisiciny, format), text);
}

void TestCasy::zobrazCas_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("text");

    QTest::newRow("stored hundredths") << "016,06" << 0 << "16,06";
    QTest::newRow("stored thousandths cut") << "0016,069" << 0 << "16,06";
    QTest::newRow("stored thousandths") << "0016,069" << 1 << "16,069";
    QTest::newRow("stored hundredths at tisíciny") << "018,01" << 1 << "18,010";
    QTest::newRow("empty") << "" << 0 << "";
    QTest::newRow("not a number is shown as stored") << "18.01" << 0 << "18.01";
}

void TestCasy::zobrazCas() {
    QFETCH(QString, stored);
    QFETCH(int, format);
    QFETCH(QString, text);
    QCOMPARE(qx::zobrazCas(stored, format), text);
}

void TestCasy::rozsirCelkem_data() {
    QTest::addColumn<QString>("celkem");
    QTest::addColumn<int>("verze");
    QTest::addColumn<QString>("rozsireny");

    QTest::newRow("hundredths result at start-up") << "017,53" << 466 << "0017,53";
    QTest::newRow("empty stays empty") << "" << 466 << "";
    QTest::newRow("already at width") << "0017,530" << 466 << "0017,530";
    QTest::newRow("width 6 at a hundredths version") << "017,53" << 454 << "017,53";
    QTest::newRow("short at a hundredths version") << "17,53" << 454 << "017,53";
    QTest::newRow("over 1000 s") << "1000,000" << 466 << "1000,000";
}

void TestCasy::rozsirCelkem() {
    QFETCH(QString, celkem);
    QFETCH(int, verze);
    QFETCH(QString, rozsireny);
    QCOMPARE(qx::rozsirCelkem(celkem, verze), rozsireny);
}

QTEST_APPLESS_MAIN(TestCasy)
#include "tst_zap_casy.moc"
