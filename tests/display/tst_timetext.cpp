// Time records and their text forms.

#include "device/DeviceVersions.h"
#include "display/TimeText.h"
#include "messages/TimeUnits.h"

#include <QTest>

using namespace stopky;

Q_DECLARE_METATYPE(stopky::TimeRecord)

class TstTimeText : public QObject {
    Q_OBJECT
private slots:
    void record_word();
    void groups();
    void decodeTerc_data();
    void decodeTerc();
    void texts_data();
    void texts();
    void transferMatchesFinalTimeUnit_data();
    void transferMatchesFinalTimeUnit();
    void preved_data();
    void preved();
    void prevedErrors_data();
    void prevedErrors();
    void runningTime_data();
    void runningTime();
    void splitTime_data();
    void splitTime();
    void splitChars_data();
    void splitChars();
};

void TstTimeText::record_word() {
    const TimeRecord r = TimeRecord::fromBytes(0x01, 0x02, 0x03, 0x04);
    QCOMPARE(r.word(), 0x04030201u);
    QCOMPARE(TimeRecord::fromWord(0x04030201u), r);
    QCOMPARE(TimeRecord::fromWord(0xFFEEDDCCu).b[0], quint8(0xCC));
    QCOMPARE(TimeRecord::fromWord(0xFFEEDDCCu).b[3], quint8(0xFF));
}

void TstTimeText::groups() {
    using qx::RecordLayout;
    for (int v : {458, 466, 467, 468})
        QCOMPARE(qx::deviceVersion(v).layout, RecordLayout::ByteCoded);
    for (int v : {454, 462, 463, 999})
        QCOMPARE(qx::deviceVersion(v).layout, RecordLayout::NibbleShort);
    for (int v : {456, 457})
        QCOMPARE(qx::deviceVersion(v).layout, RecordLayout::NibbleLong);
    for (int v : {456, 457, 458, 466, 467, 468}) {
        QVERIFY(qx::deviceVersion(v).formatOffered);
        QCOMPARE(qx::effectiveFormatIndex(v, Tisiciny), int(Tisiciny));
    }
    for (int v : {454, 462, 463, 0, 999}) {
        QVERIFY(!qx::deviceVersion(v).formatOffered);
        QCOMPARE(qx::effectiveFormatIndex(v, Tisiciny), int(Setiny));
    }
    QVERIFY(qx::deviceVersion(467).stopkyVersion);
    QVERIFY(!qx::deviceVersion(465).stopkyVersion);
    // Target code: whole byte 1 for byte-coded versions, its high half otherwise.
    const TimeRecord r = TimeRecord::fromBytes(0x95, 0, 0, 0);
    QCOMPARE(targetCode(r, 466), quint8(0x95));
    QCOMPARE(targetCode(r, 456), quint8(9));
    QCOMPARE(targetCode(r, 999), quint8(9));
}

void TstTimeText::decodeTerc_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    const char* t[] = {"L", "P", "1", "L", "P", "2", "1", "2", "3", "4"};
    for (int c = 0; c < 10; ++c)
        QTest::addRow("%d", c) << c << QString::fromLatin1(t[c]);
    QTest::newRow("10") << 10 << QString();
    QTest::newRow("0x95") << 0x95 << QString();
    QTest::newRow("255") << 255 << QString();
}

void TstTimeText::decodeTerc() {
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(Decode_Terc(quint8(code)), text);
}

// Display text (both formats, with and without prefix) and transfer text.
void TstTimeText::texts_data() {
    QTest::addColumn<int>("verze");
    QTest::addColumn<quint32>("bytes"); // byte 1 first, as written: 0x01012345 = 01 01 23 45
    QTest::addColumn<QString>("setiny");
    QTest::addColumn<QString>("tisiciny");
    QTest::addColumn<QString>("transfer");
    QTest::addColumn<QString>("bareSetiny"); // prefix off

    QTest::newRow("466 P 12,34") << 466 << 0x01012345u << "P 12,34"
                                 << "P 12,345"
                                 << "P 12,345"
                                 << "12,34";
    QTest::newRow("466 4 123,45") << 466 << 0x09123456u << "4 123,45"
                                  << "4 123,456"
                                  << "4 123,456"
                                  << "123,45";
    QTest::newRow("454 3 5,67") << 454 << 0x80056700u << "3 5,67"
                                << "3 5,670"
                                << "3 5,67"
                                << "5,67";
    QTest::newRow("456 L 05,67") << 456 << 0x00056708u << "L 05,67"
                                 << "L 05,678"
                                 << "L 05,678"
                                 << "05,67";
    QTest::newRow("457 1 12,34") << 457 << 0x60123400u << "1 12,34"
                                 << "1 12,340"
                                 << "1 12,34"
                                 << "12,34";
    // Four zero bytes, byte-coded: neither digit 1 nor digit 2, digit 3 always.
    for (int v : {458, 466, 467, 468})
        QTest::addRow("%d zero", v) << v << 0x00000000u << "L 0,00"
                                    << "L 0,000"
                                    << "L 0,000"
                                    << "0,00";
    // Byte 2 not zero but digit 1 zero: digit 2 only; digit 1 set and digit 2 zero: both.
    QTest::newRow("468 d1 set d2 zero") << 468 << 0x06102345u << "1 102,34"
                                        << "1 102,345"
                                        << "1 102,345"
                                        << "102,34";
    QTest::newRow("458 byte2 0x00 d3 9") << 458 << 0x07009876u << "2 9,87"
                                         << "2 9,876"
                                         << "2 9,876"
                                         << "9,87";
    // Nibble short drops a zero digit 2 after a zero digit 1; long keeps it.
    for (int v : {454, 462, 463})
        QTest::addRow("%d short zero", v) << v << 0x90000000u << "4 0,00"
                                          << "4 0,000"
                                          << "4 0,00"
                                          << "0,00";
    QTest::newRow("456 long zero") << 456 << 0x90000000u << "4 00,00"
                                   << "4 00,000"
                                   << "4 00,000"
                                   << "00,00";
    QTest::newRow("457 long zero") << 457 << 0x50000000u << "2 00,00"
                                   << "2 00,000"
                                   << "2 00,00"
                                   << "00,00";
    // Digit 1 set, digit 2 zero: both written in the short group.
    QTest::newRow("462 d1 set d2 zero") << 462 << 0x61023400u << "1 102,34"
                                        << "1 102,340"
                                        << "1 102,34"
                                        << "102,34";
    // Byte 4 of a nibble record is one number: 0x0A is written "10".
    QTest::newRow("456 byte4 whole") << 456 << 0x1012340Au << "P 12,34"
                                     << "P 12,3410"
                                     << "P 12,3410"
                                     << "12,34";
    // Code without text: the text starts with the bare blank.
    QTest::newRow("466 code 0x0C") << 466 << 0x0C012345u << " 12,34"
                                   << " 12,345"
                                   << " 12,345"
                                   << "12,34";
    QTest::newRow("463 code 0xA") << 463 << 0xA0012300u << " 1,23"
                                  << " 1,230"
                                  << " 1,23"
                                  << "1,23";
}

void TstTimeText::texts() {
    QFETCH(int, verze);
    QFETCH(quint32, bytes);
    QFETCH(QString, setiny);
    QFETCH(QString, tisiciny);
    QFETCH(QString, transfer);
    QFETCH(QString, bareSetiny);
    const TimeRecord r =
        TimeRecord::fromBytes(quint8(bytes >> 24), quint8(bytes >> 16), quint8(bytes >> 8), quint8(bytes));
    QCOMPARE(CasToStr(r, true, verze, Setiny), setiny);
    QCOMPARE(CasToStr(r, true, verze, Tisiciny), tisiciny);
    QCOMPARE(CasToStrOut(r, true, verze), transfer);
    QCOMPARE(CasToStr(r, false, verze, Setiny), bareSetiny);
    // The transfer text never follows the format choice; without prefix it is the text after the blank.
    QCOMPARE(CasToStrOut(r, false, verze), transfer.mid(transfer.indexOf(u' ') + 1));
}

// The counts stopky sends are its transfer texts without the comma; zapisnik reads them in the
// version's final-time unit. For every version stopky can be set to, the two must agree.
void TstTimeText::transferMatchesFinalTimeUnit_data() {
    QTest::addColumn<int>("verze");
    for (const qx::DeviceVersion& v : qx::deviceVersions()) {
        if (v.stopkyVersion) QTest::addRow("%d", v.verze) << v.verze;
    }
}

void TstTimeText::transferMatchesFinalTimeUnit() {
    QFETCH(int, verze);
    const QString text = CasToStrOut(TimeRecord::fromBytes(0x01, 0x12, 0x34, 0x05), false, verze);
    const qsizetype decimals = text.size() - text.indexOf(u',') - 1;
    QCOMPARE(decimals, qx::finalTimeUnit(verze) == qx::TimeUnit::Thousandths ? 3 : 2);
}

void TstTimeText::preved_data() {
    QTest::addColumn<QString>("cas");
    QTest::addColumn<int>("d0");
    QTest::addColumn<int>("d1");
    QTest::addColumn<int>("d2");
    QTest::addColumn<int>("d3");
    QTest::newRow("lane 2") << "2 105,67" << 7 << 10567 << 0 << 0;
    QTest::newRow("lane 1") << "1 12,34" << 6 << 1234 << 0 << 0;
    QTest::newRow("lane no comma") << "1 1234" << 6 << 1234 << 0 << 0;
    QTest::newRow("lane 4 three decimals") << "4 199,999" << 9 << 199999 << 0 << 0;
    QTest::newRow("lane leading zero") << "3 05,678" << 8 << 5678 << 0 << 0;
    QTest::newRow("only first comma dropped") << "1 1,2,3" << 6 << 0 << 0 << 0; // "12,3" is no integer
    QTest::newRow("attack L") << "12,345L 13,456" << 0 << 12345 << 2 << 13456;
    QTest::newRow("attack P") << "12,34P 13,45" << 1 << 1234 << 2 << 1345;
    QTest::newRow("attack other letter") << "12,341 13,45" << 0 << 1234 << 2 << 1345;
    QTest::newRow("attack, tail with blank-less") << "5,00L 0,00" << 0 << 500 << 2 << 0;
}

void TstTimeText::preved() {
    QFETCH(QString, cas);
    QFETCH(int, d0);
    QFETCH(int, d1);
    QFETCH(int, d2);
    QFETCH(int, d3);
    const PrevedResult r = preved_cas(cas);
    if (cas == QLatin1String("1 1,2,3")) {
        QVERIFY(!r.ok); // "12,3" is not an integer
        QCOMPARE(r.data_out[0], 6);
        return;
    }
    QVERIFY2(r.ok, qPrintable(r.error));
    QVERIFY(r.error.isEmpty());
    QCOMPARE(r.data_out[0], d0);
    QCOMPARE(r.data_out[1], d1);
    QCOMPARE(r.data_out[2], d2);
    QCOMPARE(r.data_out[3], d3);
}

// Failures keep what the earlier steps set.
void TstTimeText::prevedErrors_data() {
    QTest::addColumn<QString>("cas");
    QTest::addColumn<int>("d0");
    QTest::addColumn<int>("d1");
    QTest::addColumn<int>("d2");
    QTest::addColumn<QString>("bad");
    QTest::newRow("lane L") << "L 12,34" << 0 << 0 << 0 << "L";
    QTest::newRow("lane P") << "P 12,345" << 0 << 0 << 0 << "P";
    QTest::newRow("empty head") << " 12,34" << 0 << 0 << 0 << "";
    QTest::newRow("no blank") << "12,34" << 0 << 0 << 0 << "";
    QTest::newRow("empty text") << "" << 0 << 0 << 0 << "";
    QTest::newRow("lane time letters") << "1 12,3x" << 6 << 0 << 0 << "123x";
    QTest::newRow("lane time too big") << "1 9999999999" << 6 << 0 << 0 << "9999999999";
    QTest::newRow("attack head bad") << "1x,34L 13,45" << 0 << 0 << 0 << "1x34";
    QTest::newRow("attack tail bad") << "12,34P 1 3,45" << 1 << 1234 << 2 << "1 345";
    QTest::newRow("attack tail empty") << "12,34P " << 1 << 1234 << 2 << "";
}

void TstTimeText::prevedErrors() {
    QFETCH(QString, cas);
    QFETCH(int, d0);
    QFETCH(int, d1);
    QFETCH(int, d2);
    QFETCH(QString, bad);
    const PrevedResult r = preved_cas(cas);
    QVERIFY(!r.ok);
    QCOMPARE(r.data_out[0], d0);
    QCOMPARE(r.data_out[1], d1);
    QCOMPARE(r.data_out[2], d2);
    QCOMPARE(r.data_out[3], 0);
    QCOMPARE(r.error, QStringLiteral("„%1“ není platné celé číslo.").arg(bad));
}

void TstTimeText::runningTime_data() {
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<int>("verze");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("text");
    QTest::newRow("0 tis") << qint64(0) << 466 << int(Tisiciny) << "0,000";
    QTest::newRow("0 set") << qint64(0) << 466 << int(Setiny) << "0,00";
    QTest::newRow("5042 tis 466") << qint64(5042) << 466 << int(Tisiciny) << "5,042";
    QTest::newRow("5042 set 466") << qint64(5042) << 466 << int(Setiny) << "5,04";
    QTest::newRow("5049 set cut") << qint64(5049) << 458 << int(Setiny) << "5,04";
    QTest::newRow("454 ignores tis") << qint64(5042) << 454 << int(Tisiciny) << "5,04";
    QTest::newRow("462 ignores tis") << qint64(5049) << 462 << int(Tisiciny) << "5,04";
    QTest::newRow("463 ignores tis") << qint64(99999) << 463 << int(Tisiciny) << "99,99";
    QTest::newRow("123007") << qint64(123007) << 456 << int(Tisiciny) << "123,007";
    QTest::newRow("457 limit") << qint64(99999) << 457 << int(Tisiciny) << "99,999";
    QTest::newRow("468 limit") << qint64(199999) << 468 << int(Tisiciny) << "199,999";
    QTest::newRow("default limit set") << qint64(999999) << 456 << int(Setiny) << "999,99";
    QTest::newRow("negative") << qint64(-5) << 466 << int(Tisiciny) << "0,000";
}

void TstTimeText::runningTime() {
    QFETCH(qint64, ms);
    QFETCH(int, verze);
    QFETCH(int, format);
    QFETCH(QString, text);
    QCOMPARE(runningTimeText(ms, verze, format), text);
}

void TstTimeText::splitTime_data() {
    QTest::addColumn<qint64>("q");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("text");
    QTest::newRow("1205 set") << qint64(1205) << int(Setiny) << "12,05";
    QTest::newRow("12005 tis") << qint64(12005) << int(Tisiciny) << "12,005";
    QTest::newRow("7 set") << qint64(7) << int(Setiny) << "0,07";
    QTest::newRow("7 tis") << qint64(7) << int(Tisiciny) << "0,007";
    QTest::newRow("0 set") << qint64(0) << int(Setiny) << "0,00";
    QTest::newRow("750 set") << qint64(750) << int(Setiny) << "7,50";
    QTest::newRow("12346 tis") << qint64(12346) << int(Tisiciny) << "12,346";
    QTest::newRow("negative") << qint64(-750) << int(Setiny) << "-7,50";
}

void TstTimeText::splitTime() {
    QFETCH(qint64, q);
    QFETCH(int, format);
    QFETCH(QString, text);
    QCOMPARE(splitTimeText(q, format), text);
    QCOMPARE(splitUnit(format), format == Tisiciny ? 1000 : 100);
}

void TstTimeText::splitChars_data() {
    QTest::addColumn<QString>("hledej");
    QTest::addColumn<QString>("zmen");
    QTest::addColumn<QString>("retezec");
    QTest::addColumn<QString>("result");
    QTest::newRow("attack entry") << " "
                                  << "\t"
                                  << "12,34L 13,45"
                                  << "12,34L\t13,45";
    QTest::newRow("lane entry") << " "
                                << "\t"
                                << "1 12,34"
                                << "1\t12,34";
    QTest::newRow("every blank") << " "
                                 << "\t"
                                 << " a  b "
                                 << "\ta\t\tb\t";
    QTest::newRow("two-char search") << "ab"
                                     << "x"
                                     << "abab"
                                     << "abab";
    QTest::newRow("empty search") << ""
                                  << "x"
                                  << "abc"
                                  << "abc";
    QTest::newRow("empty text") << " "
                                << "\t"
                                << ""
                                << "";
    QTest::newRow("longer replacement") << ","
                                        << "<>"
                                        << "1,2"
                                        << "1<>2";
}

void TstTimeText::splitChars() {
    QFETCH(QString, hledej);
    QFETCH(QString, zmen);
    QFETCH(QString, retezec);
    QFETCH(QString, result);
    QCOMPARE(split(hledej, zmen, retezec), result);
}

QTEST_APPLESS_MAIN(TstTimeText)
#include "tst_timetext.moc"
