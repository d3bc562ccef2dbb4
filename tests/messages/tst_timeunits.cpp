// The time units shared by stopky and zapisnik: what stopky's counts mean and the time text
// zapisnik makes of them, for every device version and format choice.
#include "messages/Messages.h"
#include "messages/TimeUnits.h"

#include <QTest>

using qx::TimeUnit;

class TestTimeUnits : public QObject {
    Q_OBJECT
private slots:
    void receivedTimes_data();
    void receivedTimes();
    void longestTimePassesCheck_data();
    void longestTimePassesCheck();
    void entryCheck_data();
    void entryCheck();
    void countToText_data();
    void countToText();
    void formatIndex();
    void splitSequence_data();
    void splitSequence();
};

// One row per version and format: a final time and a split as stopky sends them, the texts
// zapisnik makes, which must mean the same time and pass zapisnik's check for that version.
void TestTimeUnits::receivedTimes_data() {
    QTest::addColumn<int>("verze");
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("finalCount");
    QTest::addColumn<QString>("finalText");
    QTest::addColumn<int>("splitCount");
    QTest::addColumn<QString>("splitText");

    // Two-decimal devices; the format is held at "setiny".
    QTest::newRow("454") << 454 << 0 << 12345 << "123,45" << 420 << "4,20";
    QTest::newRow("462") << 462 << 0 << 1805 << "18,05" << 1000 << "10,00";
    QTest::newRow("463") << 463 << 0 << 1234 << "12,34" << 1550 << "15,50";
    // 457 sends hundredths; zapisnik keeps three decimals for it.
    QTest::newRow("457 setiny") << 457 << 0 << 1234 << "12,340" << 420 << "4,200";
    QTest::newRow("457 tisiciny") << 457 << 1 << 1234 << "12,340" << 4205 << "4,205";
    // Thousandths devices: final times in thousandths whatever the format; splits by format.
    QTest::newRow("456 setiny") << 456 << 0 << 5678 << "5,678" << 550 << "5,500";
    QTest::newRow("456 tisiciny") << 456 << 1 << 5678 << "5,678" << 5500 << "5,500";
    QTest::newRow("458 setiny") << 458 << 0 << 12345 << "12,345" << 7 << "0,070";
    QTest::newRow("458 tisiciny") << 458 << 1 << 12345 << "12,345" << 7 << "0,007";
    QTest::newRow("466 setiny") << 466 << 0 << 123456 << "123,456" << 1235 << "12,350";
    QTest::newRow("466 tisiciny") << 466 << 1 << 123456 << "123,456" << 12346 << "12,346";
    QTest::newRow("467 setiny") << 467 << 0 << 123456 << "123,456" << 1500 << "15,000";
    QTest::newRow("467 tisiciny") << 467 << 1 << 17532 << "17,532" << 15000 << "15,000";
    QTest::newRow("468 setiny") << 468 << 0 << 199999 << "199,999" << 99 << "0,990";
    QTest::newRow("468 tisiciny") << 468 << 1 << 1000 << "1,000" << 990 << "0,990";
    // zapisnik's own 490 counts hundredths; a thousandths split is cut, never rounded.
    QTest::newRow("490 setiny") << 490 << 0 << 1753 << "17,53" << 5 << "0,05";
    QTest::newRow("490 tisiciny") << 490 << 1 << 1753 << "17,53" << 4209 << "4,20";
    // Any other number: thousandths, as zapisnik counts it.
    QTest::newRow("unlisted 500") << 500 << 1 << 17532 << "17,532" << 17532 << "17,532";
}

void TestTimeUnits::receivedTimes() {
    QFETCH(int, verze);
    QFETCH(int, format);
    QFETCH(int, finalCount);
    QFETCH(QString, finalText);
    QFETCH(int, splitCount);
    QFETCH(QString, splitText);

    QCOMPARE(qx::finalTimeText(verze, finalCount), finalText);
    QCOMPARE(qx::splitTimeText(verze, format, splitCount), splitText);
    QVERIFY(qx::isValidTimeText(verze, finalText));
    QVERIFY(qx::isValidTimeText(verze, splitText));
}

// The longest time each device can report (its running clock's limit) must still be a time
// zapisnik accepts for that version.
void TestTimeUnits::longestTimePassesCheck_data() {
    QTest::addColumn<int>("verze");
    QTest::addColumn<int>("maxTimeMs");
    QTest::newRow("454") << 454 << 999999;
    QTest::newRow("456") << 456 << 999999;
    QTest::newRow("457") << 457 << 99999;
    QTest::newRow("458") << 458 << 999999;
    QTest::newRow("462") << 462 << 999999;
    QTest::newRow("463") << 463 << 99999;
    QTest::newRow("466") << 466 << 999999;
    QTest::newRow("467") << 467 << 999999;
    QTest::newRow("468") << 468 << 199999;
}

void TestTimeUnits::longestTimePassesCheck() {
    QFETCH(int, verze);
    QFETCH(int, maxTimeMs);
    const int finalCount = maxTimeMs / (1000 / int(qx::finalTimeUnit(verze)));
    QVERIFY2(qx::isValidTimeText(verze, qx::finalTimeText(verze, finalCount)),
             qPrintable(qx::finalTimeText(verze, finalCount)));
    for (int format : {0, 1}) {
        const int f = qx::effectiveFormatIndex(verze, format);
        const int splitCount = maxTimeMs / (1000 / int(qx::splitUnit(f)));
        const QString text = qx::splitTimeText(verze, f, splitCount);
        QVERIFY2(qx::isValidTimeText(verze, text), qPrintable(text));
    }
}

void TestTimeUnits::entryCheck_data() {
    QTest::addColumn<int>("verze");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("454 123,45") << 454 << "123,45" << true;
    QTest::newRow("454 123,456") << 454 << "123,456" << false;
    QTest::newRow("454 1234,56") << 454 << "1234,56" << false;
    QTest::newRow("454 ,45") << 454 << ",45" << false;
    QTest::newRow("454 12.45") << 454 << "12.45" << false;
    QTest::newRow("466 123,456") << 466 << "123,456" << true;
    QTest::newRow("466 12,34") << 466 << "12,34" << false;
    QTest::newRow("457 12,345") << 457 << "12,345" << true;
    QTest::newRow("457 123,456") << 457 << "123,456" << false;
    QTest::newRow("463 12,34") << 463 << "12,34" << true;
    QTest::newRow("463 12,345") << 463 << "12,345" << false;
    QTest::newRow("463 123,45") << 463 << "123,45" << false;
    QTest::newRow("467 123,456") << 467 << "123,456" << true;
    QTest::newRow("490 17,53") << 490 << "17,53" << true;
    QTest::newRow("unlisted 12,345") << 0 << "12,345" << true;
    QTest::newRow("unlisted 123,456") << 0 << "123,456" << false;
    QTest::newRow("letters") << 466 << "1a,345" << false;
    QTest::newRow("two commas") << 466 << "1,2,3" << false;
    QTest::newRow("negative") << 466 << "-1,000" << false;
    QTest::newRow("empty") << 466 << "" << false;
}

void TestTimeUnits::entryCheck() {
    QFETCH(int, verze);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(qx::isValidTimeText(verze, text), valid);
}

void TestTimeUnits::countToText_data() {
    QTest::addColumn<qint64>("count");
    QTest::addColumn<int>("unit");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("text");
    QTest::newRow("0 hundredths") << qint64(0) << 100 << 2 << "0,00";
    QTest::newRow("5 hundredths") << qint64(5) << 100 << 2 << "0,05";
    QTest::newRow("1753 hundredths") << qint64(1753) << 100 << 2 << "17,53";
    QTest::newRow("17532 thousandths") << qint64(17532) << 1000 << 3 << "17,532";
    QTest::newRow("7 thousandths") << qint64(7) << 1000 << 3 << "0,007";
    QTest::newRow("hundredths widened") << qint64(1801) << 100 << 3 << "18,010";
    QTest::newRow("thousandths cut") << qint64(18019) << 1000 << 2 << "18,01";
    QTest::newRow("negative") << qint64(-5) << 100 << 2 << "-0,05";
    QTest::newRow("largest 32-bit") << qint64(INT_MAX) << 1000 << 3 << "2147483,647";
    QTest::newRow("smallest 32-bit") << qint64(INT_MIN) << 100 << 2 << "-21474836,48";
}

void TestTimeUnits::countToText() {
    QFETCH(qint64, count);
    QFETCH(int, unit);
    QFETCH(int, decimals);
    QFETCH(QString, text);
    QCOMPARE(qx::countToTimeText(count, TimeUnit(unit), decimals), text);
}

void TestTimeUnits::formatIndex() {
    // stopky holds the two-decimal devices at "setiny"; others keep the operator's choice.
    for (int v : {454, 462, 463}) {
        QCOMPARE(qx::effectiveFormatIndex(v, 1), 0);
        QVERIFY(!qx::versionUnits(v).formatOffered);
    }
    for (int v : {456, 457, 458, 466, 467, 468}) {
        QCOMPARE(qx::effectiveFormatIndex(v, 1), 1);
        QCOMPARE(qx::effectiveFormatIndex(v, 0), 0);
    }
    QCOMPARE(qx::effectiveFormatIndex(466, 7), 0);
    QCOMPARE(qx::splitUnit(0), TimeUnit::Hundredths);
    QCOMPARE(qx::splitUnit(1), TimeUnit::Thousandths);

    // Every version stopky knows has its own row; zapisnik's units follow its text decimals.
    int stopkyRows = 0;
    for (const auto& row : qx::deviceVersions()) {
        if (row.stopkyVersion) ++stopkyRows;
        if (row.verze != 0) QCOMPARE(qx::versionUnits(row.verze).verze, row.verze);
    }
    QCOMPARE(stopkyRows, 9);
    QCOMPARE(qx::textUnit(463), TimeUnit::Hundredths);
    QCOMPARE(qx::textUnit(457), TimeUnit::Thousandths);
    QCOMPARE(qx::finalTimeUnit(457), TimeUnit::Hundredths);
    QCOMPARE(qx::finalTimeUnit(456), TimeUnit::Thousandths);
}

// Splits at 4,20 / 10,00 / 15,50 s taken in hundredths arrive as (1,420) (2,1000) (3,1550)
// (4,550): their texts for a two-decimal and a three-decimal device.
void TestTimeUnits::splitSequence_data() {
    QTest::addColumn<int>("verze");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("454") << 454 << QStringList{"4,20", "10,00", "15,50", "5,50"};
    QTest::newRow("466 setiny") << 466 << QStringList{"4,200", "10,000", "15,500", "5,500"};
}

void TestTimeUnits::splitSequence() {
    QFETCH(int, verze);
    QFETCH(QStringList, texts);
    const int counts[] = {420, 1000, 1550, 550};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(qx::splitTimeText(verze, 0, counts[i]), texts.at(i));
        QVERIFY(qx::isValidTimeText(verze, texts.at(i)));
    }
}

QTEST_GUILESS_MAIN(TestTimeUnits)
#include "tst_timeunits.moc"
