// Result sets: the two time lines, the list entries and their messages, recall and rotation.

#include "link/ResultSet.h"

#include "Recorder.h"

#include <QTest>

using namespace stopky;
using testlink::describe;

namespace {
// Slots from words written as the bytes read: 0x06001111 is 06 00 11 11.
TimeSlots makeSlots(quint32 a, quint32 b = 0, quint32 c = 0, quint32 d = 0) {
    auto rec = [](quint32 w) {
        return TimeRecord::fromBytes(quint8(w >> 24), quint8(w >> 16), quint8(w >> 8), quint8(w));
    };
    return TimeSlots{rec(a), rec(b), rec(c), rec(d)};
}
} // namespace

Q_DECLARE_METATYPE(stopky::TimeSlots)

class TstResultSet : public QObject {
    Q_OBJECT
private slots:
    void complete_data();
    void complete();
    void recall_data();
    void recall();
    void rotationStep_data();
    void rotationStep();
    void messageNumbers();
};

void TstResultSet::complete_data() {
    QTest::addColumn<int>("verze");
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("nast0");
    QTest::addColumn<int>("mode");
    QTest::addColumn<TimeSlots>("casy");
    QTest::addColumn<QString>("outcome");
    const int L = int(MeasureMode::Lanes), A1 = int(MeasureMode::OneAttack),
              A2 = int(MeasureMode::TwoAttacks), N = int(MeasureMode::None);
    const TimeSlots four = makeSlots(0x06001111, 0x07002222, 0x08003333, 0x09004444);

    QTest::newRow("lanes n=1") << 466 << int(Tisiciny) << 0x01 << L << four
                               << "lines \"1,111\" \"\" | entry \"1 1,111\" [1491 6 1111] | pcas 0";
    QTest::newRow("lanes n=2")
        << 466 << int(Tisiciny) << 0x02 << L << four
        << "lines \"2,222\" \"1 1,111\" | entry \"1 1,111\" [1491 6 1111] | entry \"2 2,222\" "
           "[1491 7 2222] | pcas 1";
    QTest::newRow("lanes n=3 setiny")
        << 466 << int(Setiny) << 0x03 << L << four
        << "lines \"3,33\" \"2 2,22\" | entry \"1 1,11\" [1491 6 1111] | entry \"2 2,22\" "
           "[1491 7 2222] | entry \"3 3,33\" [1491 8 3333] | pcas 2 | rot";
    // Lanes go by the attack bit, not by the mode text.
    QTest::newRow("lanes, mode text of an attack")
        << 466 << int(Tisiciny) << 0x02 << A2 << four
        << "lines \"2,222\" \"1 1,111\" | entry \"1 1,111\" [1491 6 1111] | "
           "entry \"2 2,222\" [1491 7 2222] | pcas 1";
    // Nibble version, three bytes: sent in hundredths.
    QTest::newRow("lanes 454")
        << 454 << int(Setiny) << 0x02 << L << makeSlots(0x81234500, 0x60056700)
        << "lines \"5,67\" \"3 123,45\" | entry \"3 123,45\" [1491 8 12345] | entry \"1 5,67\" "
           "[1491 6 567] | pcas 1";
    // A lane time with a letter code (or none) cannot be converted; the others still go out.
    QTest::newRow("lanes, bad second")
        << 466 << int(Tisiciny) << 0x04 << L << makeSlots(0x06001111, 0x00002222, 0x0C003333, 0x09004444)
        << "lines \"4,444\" \" 3,333\" | entry \"1 1,111\" [1491 6 1111] | error \"L "
           "2,222\" | error \" 3,333\" | entry \"4 4,444\" [1491 9 4444] | pcas 3 | rot";
    // Line noise: a half byte above 9 would read as another, believable time (ba 06 01 2f 45 as
    // 12,1545 s, sent as 121545). Such a time is reported like a bad code; the others still go out.
    QTest::newRow("lanes, digit above 9")
        << 466 << int(Tisiciny) << 0x02 << L << makeSlots(0x06012F45, 0x07002222)
        << "lines \"2,222\" \"1 12,1545\" | error \"1 12,1545\" | entry \"2 2,222\" [1491 7 2222] | pcas 1";
    QTest::newRow("lanes, sixth digit above 9")
        << 466 << int(Setiny) << 0x02 << L << makeSlots(0x0601234A, 0x07002222)
        << "lines \"2,22\" \"1 12,34\" | error \"1 12,34\" | entry \"2 2,22\" [1491 7 2222] | pcas 1";
    // Nibble versions: byte 4 is one digit where the transfer text has it (456) ...
    QTest::newRow("lanes 456, byte 4 above 9")
        << 456 << int(Setiny) << 0x02 << L << makeSlots(0x6012340A, 0x70123405)
        << "lines \"12,34\" \"1 12,34\" | error \"1 12,34\" | entry \"2 12,34\" [1491 7 12345] | pcas 1";
    QTest::newRow("lanes 457, digit 1 above 9") << 457 << int(Setiny) << 0x01 << L << makeSlots(0x6B123400)
                                                << "lines \"1112,34\" \"\" | error \"1 1112,34\" | pcas 0";
    // ... and a three-byte device never writes byte 4: whatever it holds is not part of the time.
    QTest::newRow("lanes 454, stale byte 4")
        << 454 << int(Setiny) << 0x01 << L << makeSlots(0x612345FF)
        << "lines \"123,45\" \"\" | entry \"1 123,45\" [1491 6 12345] | pcas 0";
    QTest::newRow("lanes n=0") << 466 << int(Tisiciny) << 0x00 << L << four << "lines - -";
    QTest::newRow("lanes n=7") << 466 << int(Tisiciny) << 0x07 << L << four << "lines - -";

    // Two attacks in order.
    const TimeSlots att = makeSlots(0x00001234, 0x02002345, 0x04011111, 0x05022222);
    QTest::newRow("two attacks")
        << 466 << int(Tisiciny) << 0x0C << A2 << att
        << "lines \"2,345\" \"2 22,222\" | entry \"1,234L 2,345\" [1491 0 1234] [1492 2 2345] | "
           "entry \"11,111P 22,222\" [1491 1 11111] [1492 2 22222]";
    // Attack 2's result first: it goes to the first line, but attack 1 is still listed and sent first.
    QTest::newRow("two attacks, 5 before 2")
        << 466 << int(Setiny) << 0x0C << A2 << makeSlots(0x03001234, 0x05002345, 0x01011111, 0x02022222)
        << "lines \"2,34\" \"1 22,22\" | entry \"11,11P 22,22\" [1491 1 11111] [1492 2 22222] | entry "
           "\"1,23L 2,34\" "
           "[1491 0 1234] [1492 2 2345]";
    // Nibble version: code in the high half.
    QTest::newRow("two attacks 456")
        << 456 << int(Setiny) << 0x0C << A2 << makeSlots(0x00123405, 0x20234506, 0x40111107, 0x50222208)
        << "lines \"23,45\" \"2 22,22\" | entry \"12,34L 23,45\" [1491 0 12345] [1492 2 "
           "23456] | entry \"11,11P 22,22\" [1491 1 11117] [1492 2 22228]";
    // Incomplete attacks: no final time of attack 2, no target time of attack 1.
    QTest::newRow("two attacks, no 5")
        << 466 << int(Tisiciny) << 0x0C << A2 << makeSlots(0x00001234, 0x02002345, 0x04011111, 0x03022222)
        << "lines \"2,345\" - | entry \"1,234L 2,345\" [1491 0 1234] [1492 2 2345]";
    QTest::newRow("two attacks, no 0/1")
        << 466 << int(Tisiciny) << 0x0C << A2 << makeSlots(0x09001234, 0x02002345, 0x04011111, 0x05022222)
        << "lines \"2,345\" \"2 22,222\" | entry \"11,111P 22,222\" [1491 1 11111] "
           "[1492 2 22222]";
    QTest::newRow("two attacks, no codes") << 466 << int(Tisiciny) << 0x0C << A2 << four << "lines - -";
    // The last slot with a code wins.
    QTest::newRow("two attacks, two 0s")
        << 466 << int(Tisiciny) << 0x0C << A2 << makeSlots(0x00001111, 0x01002222, 0x02003333, 0x09004444)
        << "lines \"3,333\" - | entry \"2,222P 3,333\" [1491 1 2222] [1492 2 3333]";

    // One attack: slots 1 and 2 by position, whatever their codes.
    QTest::newRow("one attack")
        << 468 << int(Tisiciny) << 0x0A << A1 << makeSlots(0x01015000, 0x02199999)
        << "lines \"199,999\" \"P 15,000\" | entry \"15,000P 199,999\" [1491 1 15000] [1492 2 "
           "199999]";
    QTest::newRow("one attack, lane codes")
        << 466 << int(Tisiciny) << 0x0A << A1 << four
        << "lines \"2,222\" \"1 1,111\" | entry \"1,1111 2,222\" [1491 0 1111] "
           "[1492 2 2222]";
    QTest::newRow("one attack 457")
        << 457 << int(Tisiciny) << 0x0A << A1 << makeSlots(0x00123400, 0x20134500)
        << "lines \"13,450\" \"L 12,340\" | entry \"12,340L 13,450\" [1491 0 1234] [1492 2 "
           "1345]";
    // Noise in the target time: the attack is reported, nothing of it is sent.
    QTest::newRow("one attack, digit above 9")
        << 466 << int(Tisiciny) << 0x0A << A1 << makeSlots(0x0101C345, 0x02013456)
        << "lines \"13,456\" \"P 112,345\" | error \"112,345P 13,456\"";
    QTest::newRow("two attacks, noise in the second")
        << 466 << int(Tisiciny) << 0x0C << A2 << makeSlots(0x00001234, 0x02002345, 0x04011111, 0x0502E222)
        << "lines \"2,345\" \"2 214,222\" | entry \"1,234L 2,345\" [1491 0 1234] [1492 2 2345] | "
           "error \"11,111P 214,222\"";
    // A target code without text: its last digit is taken for the letter (0 sent, digit dropped).
    QTest::newRow("one attack, code without text")
        << 466 << int(Tisiciny) << 0x0A << A1 << makeSlots(0x0C012345, 0x02013456)
        << "lines \"13,456\" \" 12,345\" | entry \"12,345 13,456\" [1491 0 "
           "1234] [1492 2 13456]";

    // Attack bit with neither attack mode: nothing.
    QTest::newRow("attack bit, lanes mode") << 466 << int(Tisiciny) << 0x09 << L << four << "lines - -";
    QTest::newRow("attack bit, initial mode") << 466 << int(Tisiciny) << 0x0A << N << four << "lines - -";
}

void TstResultSet::complete() {
    QFETCH(int, verze);
    QFETCH(int, format);
    QFETCH(int, nast0);
    QFETCH(int, mode);
    QFETCH(TimeSlots, casy);
    QFETCH(QString, outcome);
    const ResultSetOutcome o = completeSet(casy, quint8(nast0), MeasureMode(mode), verze, format);
    QCOMPARE(describe(o), outcome);
    for (const ResultEntry& e : o.entries) {
        QCOMPARE(e.ok, e.error.isEmpty());
        QCOMPARE(e.ok, !e.messages.empty());
    }
}

void TstResultSet::recall_data() {
    QTest::addColumn<int>("nast0");
    QTest::addColumn<int>("mode");
    QTest::addColumn<TimeSlots>("casy");
    QTest::addColumn<QString>("outcome");
    const TimeSlots four = makeSlots(0x06001111, 0x07002222, 0x08003333, 0x09004444);
    QTest::newRow("lanes n=4") << 0x04 << int(MeasureMode::Lanes) << four
                               << "lines \"4,444\" \"3 3,333\" | pcas 3 | rot";
    QTest::newRow("lanes n=2") << 0x02 << int(MeasureMode::Lanes) << four
                               << "lines \"2,222\" \"1 1,111\" | pcas 1";
    QTest::newRow("lanes n=1") << 0x01 << int(MeasureMode::Lanes) << four << "lines \"1,111\" \"\" | pcas 0";
    QTest::newRow("one attack") << 0x0A << int(MeasureMode::OneAttack) << four
                                << "lines \"2,222\" \"1 1,111\" | pcas 1";
    QTest::newRow("two attacks") << 0x0C << int(MeasureMode::TwoAttacks)
                                 << makeSlots(0x05001111, 0x04002222, 0x02003333, 0x01004444)
                                 << "lines \"1,111\" \"1 3,333\"";
    QTest::newRow("initial, nothing received")
        << 0x00 << int(MeasureMode::None) << TimeSlots{} << "lines - -";
    QTest::newRow("n=5") << 0x05 << int(MeasureMode::Lanes) << four << "lines - -";
}

void TstResultSet::recall() {
    QFETCH(int, nast0);
    QFETCH(int, mode);
    QFETCH(TimeSlots, casy);
    QFETCH(QString, outcome);
    const ResultSetOutcome o = recallSet(casy, quint8(nast0), MeasureMode(mode), 466, Tisiciny);
    QCOMPARE(describe(o), outcome);
    QVERIFY(o.entries.empty());
}

void TstResultSet::rotationStep_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("pcas");
    QTest::addColumn<QString>("sequence"); // the next six slot numbers, "x" when none
    QTest::newRow("n=4") << 4 << 3 << "213213";
    QTest::newRow("n=3") << 3 << 2 << "121212";
    QTest::newRow("n=4 from 1") << 4 << 1 << "321321";
    QTest::newRow("n=1") << 1 << 1 << "x";
    QTest::newRow("n=0") << 0 << 1 << "x";
    QTest::newRow("pcas 0") << 4 << 0 << "x";
    QTest::newRow("n=7 from 2") << 7 << 2 << "1x";
}

void TstResultSet::rotationStep() {
    QFETCH(int, n);
    QFETCH(int, pcas);
    QFETCH(QString, sequence);
    QString got;
    quint8 p = quint8(pcas);
    while (got.size() < 6) {
        const std::optional<quint8> next = stopky::rotationStep(p, n);
        if (!next) {
            got += u'x';
            break;
        }
        p = *next;
        got += QString::number(p);
    }
    QCOMPARE(got, sequence);
}

void TstResultSet::messageNumbers() {
    QCOMPARE(int(AM_Nast), 0x5D2);
    QCOMPARE(int(AM_Cas1), 0x5D3);
    QCOMPARE(int(AM_Cas2), 0x5D4);
    QCOMPARE(int(AM_Text), 0x5D5);
    QCOMPARE(int(AM_Form), 0x5D6);
    QCOMPARE(int(AM_Mezi), 0x5D7);
}

QTEST_APPLESS_MAIN(TstResultSet)
#include "tst_resultset.moc"
