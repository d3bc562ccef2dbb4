// Plain helpers of the register views: date forms and list selection.

#include "data/Registers.h"

#include <QtTest>

using namespace qx;

class TstZapRegisters : public QObject {
    Q_OBJECT
private slots:
    void formatDate_data();
    void formatDate();
    void storedDate_data();
    void storedDate();
    void displayDateReadBack_data();
    void displayDateReadBack();
    void storedForm();
    void comboIndex_data();
    void comboIndex();
    void gridRows();
};

void TstZapRegisters::formatDate_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("leading zeros") << "20210905"
                                   << "5.9.2021";
    QTest::newRow("two digits") << "20211015"
                                << "15.10.2021";
    QTest::newRow("zero in day only") << "20211201"
                                      << "1.12.2021";
    QTest::newRow("tens of day kept") << "20210310"
                                      << "10.3.2021";
    QTest::newRow("month 10 keeps its zero") << "20201030"
                                             << "30.10.2020";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("short") << "2021091"
                           << "2021091";
    QTest::newRow("not digits") << "2021-9-5"
                                << "2021-9-5";
    QTest::newRow("month 13") << "20251301"
                              << "20251301";
    QTest::newRow("no such day") << "20210231"
                                 << "20210231";
    QTest::newRow("letters") << "abc"
                             << "abc";
    QTest::newRow("before the Gregorian calendar in Bohemia") << "17000101"
                                                              << "1.1.1700";
}

void TstZapRegisters::storedDate_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QDate>("date");
    QTest::newRow("a day") << "20210905" << QDate(2021, 9, 5);
    QTest::newRow("leap day") << "20240229" << QDate(2024, 2, 29);
    QTest::newRow("an early year") << "17000101" << QDate(1700, 1, 1);
    QTest::newRow("month 13") << "20251301" << QDate();
    QTest::newRow("no leap day") << "20230229" << QDate();
    QTest::newRow("signed") << "+2021095" << QDate();
    QTest::newRow("letters") << "abc" << QDate();
    QTest::newRow("empty") << "" << QDate();
}

void TstZapRegisters::storedDate() {
    QFETCH(QString, stored);
    QFETCH(QDate, date);
    QCOMPARE(datumUlozene(stored), date);
}

void TstZapRegisters::formatDate() {
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QCOMPARE(FormatDateTime_QX(stored), shown);
}

void TstZapRegisters::displayDateReadBack_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");
    QTest::newRow("no zeros") << "5.9.2021" << QDate(2021, 9, 5);
    QTest::newRow("two digits") << "15.10.2021" << QDate(2021, 10, 15);
    QTest::newRow("with zeros") << "05.09.2021" << QDate(2021, 9, 5);
    QTest::newRow("leap day") << "29.2.2024" << QDate(2024, 2, 29);
    QTest::newRow("no such day") << "31.2.2021" << QDate();
    QTest::newRow("two-digit year") << "5.9.21" << QDate();
    QTest::newRow("month/day order of other locales") << "9/5/2021" << QDate();
    QTest::newRow("empty") << "" << QDate();
    QTest::newRow("letters") << "a.b.cdef" << QDate();
}

void TstZapRegisters::displayDateReadBack() {
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QCOMPARE(datumZobrazeni(text), date);
}

void TstZapRegisters::storedForm() {
    // Shown and read back, a stored date comes out as it went in.
    for (const QString& stored : {u"20210905"_qs, u"20211231"_qs, u"20000101"_qs, u"20240229"_qs}) {
        const QDate d = datumZobrazeni(FormatDateTime_QX(stored));
        QVERIFY2(d.isValid(), qPrintable(stored));
        QCOMPARE(datumUlozeni(d), stored);
    }
}

void TstZapRegisters::comboIndex_data() {
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("index");
    const QStringList okresy{QString(), u"Benešov"_qs, u"Cheb"_qs, u"Žďár nad Sázavou"_qs};
    QTest::newRow("empty value selects nothing") << okresy << QString() << -1;
    QTest::newRow("found") << okresy << u"Cheb"_qs << 2;
    QTest::newRow("last") << okresy << u"Žďár nad Sázavou"_qs << 3;
    QTest::newRow("missing is reported, not the last item") << okresy << u"Praha"_qs << kChybi;
    QTest::newRow("exact text, not case-folded") << okresy << u"cheb"_qs << kChybi;
    QTest::newRow("empty list") << QStringList() << u"Cheb"_qs << kChybi;
}

void TstZapRegisters::comboIndex() {
    QFETCH(QStringList, items);
    QFETCH(QString, value);
    QFETCH(int, index);
    QCOMPARE(load_CB_index(items, value), index);
}

void TstZapRegisters::gridRows() {
    QCOMPARE(gridRowCount(14, 0), 14);
    QCOMPARE(gridRowCount(14, 13), 14);
    QCOMPARE(gridRowCount(14, 14), 15);
    QCOMPARE(gridRowCount(14, 20), 21);
}

QTEST_APPLESS_MAIN(TstZapRegisters)
#include "tst_zap_registers.moc"
