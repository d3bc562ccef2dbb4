// The device byte decoder: command bytes, frames, status bytes, result sets, whole streams of every
// device version.

#include "link/Decoder.h"

#include "Recorder.h"

#include <QTest>

using namespace stopky;
using testlink::bytes;
using testlink::describe;
using testlink::Recorder;

class TstDecoder : public QObject {
    Q_OBJECT
private slots:
    void streams_data();
    void streams();
    void commandValuesInsideFrames();
    void settingsFrameLength();
    void versionChangeKeepsFrame();
    void threeOfThree();
    void statusBytes_data();
    void statusBytes();
    void labelsOnly();
    void threeByteFramesKeepByte4();
    void framesBeforeFirstReset();
    void framesBeyondSetIgnored();
    void setSizeOutsideRange_data();
    void setSizeOutsideRange();
    void recallAfterReset();
    void rotation();
    void badTimeKeepsTheOthers();
    void spanEqualsBytes();
};

// Greeting, its leftovers and the following stream for every version; the whole ordered list of what
// the console is told.
void TstDecoder::streams_data() {
    QTest::addColumn<int>("verze");
    QTest::addColumn<int>("format");
    QTest::addColumn<QByteArray>("greeting");
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QStringList>("events");

    // 454: five bytes waited for, three read; the last two (reset, start) are decoded.
    QTest::newRow("454 two lanes")
        << 454 << int(Tisiciny) << bytes({0x02, 0x00, 0x01, 0xAA, 0xAB})
        << bytes({0xD3, 0xBA, 0x60, 0x12, 0x34, 0xBA, 0x70, 0x23, 0x45})
        << QStringList{
               "settings 02 A1 00 Dvě dráhy 0:00 rozepínací",
               "reset",
               "start",
               "status [1 2       ]",
               "time 1 1 12,34",
               "end lines \"23,45\" \"1 12,34\" | entry \"1 12,34\" [1491 6 1234] | entry "
               "\"2 23,45\" [1491 7 2345] | pcas 1",
           };
    // 456: two attacks, attack 2's result first; the greeting leftovers are two preparation bytes.
    QTest::newRow("456 two attacks, 5 before 2")
        << 456 << int(Setiny) << bytes({0x0C, 0x00, 0x02, 0x55, 0x55})
        << bytes({0xAA, 0xAB, 0xD5, 0xBA, 0x30, 0x15, 0x67, 0x08, 0xBA, 0x50, 0x20, 0x00,
                  0x01, 0xBA, 0x10, 0x12, 0x34, 0x05, 0xBA, 0x20, 0x25, 0x43, 0x09})
        << QStringList{
               "settings 0C A2 00 Dva útoky 0:00 spínací",
               "countdown",
               "countdown",
               "reset",
               "start",
               "status [L    L    ]",
               "time 1 L 15,67",
               "time 2 2 20,00",
               "time 3 P 12,34",
               "end lines \"20,00\" \"1 25,43\" | entry \"12,34P 25,43\" [1491 1 12345] [1492 2 25439] | "
               "entry "
               "\"15,67L 20,00\" [1491 0 15678] [1492 2 20001]",
           };
    // 457: one attack; thousandths shown from byte 4 (zero), transfer keeps two decimals; the
    // time-shown bytes change the label although it is hidden for this version.
    QTest::newRow("457 one attack")
        << 457 << int(Tisiciny) << bytes({0x0A, 0x00, 0x02, 0xAE, 0xAC})
        << bytes({0xAA, 0xAB, 0xBA, 0x00, 0x12, 0x34, 0xBA, 0x20, 0x13, 0x45})
        << QStringList{
               "settings 0A A2 00 Jeden útok 0:00 spínací",
               "ncas čas: ano",
               "ncas čas: ne",
               "reset",
               "start",
               "time 1 L 12,340",
               "end lines \"13,450\" \"L 12,340\" | entry \"12,340L 13,450\" [1491 0 1234] "
               "[1492 2 1345]",
           };
    // 458: three bytes waited for and read; four lanes with data bytes 0x55; rotation starts.
    QTest::newRow("458 four lanes")
        << 458 << int(Tisiciny) << bytes({0x04, 0x00, 0x02})
        << bytes({0xAA, 0xAB, 0xDF, 0xBA, 0x06, 0x00, 0x55, 0x12, 0xBA, 0x07, 0x01, 0x55,
                  0x55, 0xBA, 0x08, 0x12, 0x34, 0x56, 0xBA, 0x09, 0x00, 0x00, 0x01})
        << QStringList{
               "settings 04 A2 00 Čtyři dráhy 0:00 spínací",
               "reset",
               "start",
               "status [1 2 3 4 ]",
               "time 1 1 5,512",
               "time 2 2 15,555",
               "time 3 3 123,456",
               "end lines \"0,001\" \"3 123,456\" | entry \"1 5,512\" [1491 6 5512] | entry "
               "\"2 15,555\" [1491 7 15555] | entry \"3 123,456\" [1491 8 123456] | entry "
               "\"4 0,001\" [1491 9 1] | pcas 3 | rot",
           };
    // 462: three lanes in the order 1, 3, 2; the two greeting leftovers are ignored bytes.
    QTest::newRow("462 three lanes")
        << 462 << int(Tisiciny) << bytes({0x13, 0x00, 0x01, 0x00, 0x42})
        << bytes({0xAA, 0xBA, 0x60, 0x05, 0x67, 0xBA, 0x80, 0x10, 0x00, 0xBA, 0x70, 0x99, 0x99})
        << QStringList{
               "settings 13 A1 00 Tři dráhy 1:00 rozepínací",
               "reset",
               "time 1 1 5,67",
               "time 2 3 10,00",
               "end lines \"99,99\" \"3 10,00\" | entry \"1 5,67\" [1491 6 567] | entry \"3 "
               "10,00\" [1491 8 1000] | entry \"2 99,99\" [1491 7 9999] | pcas 2 | rot",
           };
    // 463: one lane; a recall after the next reset shows it again.
    QTest::newRow("463 one lane, recall")
        << 463 << int(Tisiciny) << bytes({0x01, 0x00, 0x01, 0xAA, 0xAB})
        << bytes({0xBA, 0x91, 0x23, 0x45, 0xAA, 0xA5})
        << QStringList{
               "settings 01 A1 00 Jedna dráha 0:00 rozepínací",
               "reset",
               "start",
               "end lines \"123,45\" \"\" | entry \"4 123,45\" [1491 9 12345] | pcas 0",
               "reset",
               "recall lines \"123,45\" \"\" | pcas 0",
           };
    // 466: four bytes read; a settings frame switches from one attack to two; two attacks in order.
    QTest::newRow("466 two attacks")
        << 466 << int(Tisiciny) << bytes({0xFF, 0x0A, 0xA1, 0xAE})
        << bytes({0x5A, 0x0C, 0xAA, 0xAB, 0xBA, 0x00, 0x00, 0x12, 0x34, 0xBA, 0x02, 0x00,
                  0x23, 0x45, 0xBA, 0x04, 0x01, 0x11, 0x11, 0xBA, 0x05, 0x02, 0x22, 0x22})
        << QStringList{
               "settings 0A A1 AE Jeden útok 0:00 rozepínací",
               "settings 0C A1 AE Dva útoky 0:00 rozepínací",
               "reset",
               "start",
               "time 1 L 1,234",
               "time 2 1 2,345",
               "time 3 P 11,111",
               "end lines \"2,345\" \"2 22,222\" | entry \"1,234L 2,345\" [1491 0 1234] "
               "[1492 2 2345] | entry \"11,111P 22,222\" [1491 1 11111] [1492 2 22222]",
           };
    // 467: the settings frame has two data bytes; the second is the preparation in minutes.
    QTest::newRow("467 two-byte settings")
        << 467 << int(Setiny) << bytes({0x00, 0x8A, 0x05, 0xAC})
        << bytes({0x5A, 0x03, 0x12, 0xAA, 0xBA, 0x06, 0x00, 0x12, 0x34, 0xBA, 0x07, 0x00, 0x23, 0x45, 0xBA,
                  0x08, 0x00, 0x34, 0x56})
        << QStringList{
               "settings 8A 05 AC Jeden útok 5:30 -",
               "settings 03 12 AC Tři dráhy 12:00 -",
               "reset",
               "time 1 1 1,23",
               "time 2 2 2,34",
               "end lines \"3,45\" \"2 2,34\" | entry \"1 1,23\" [1491 6 1234] | entry "
               "\"2 2,34\" [1491 7 2345] | entry \"3 3,45\" [1491 8 3456] | pcas 2 | rot",
           };
    // 468: the greeting 01 0A A1 AE; one attack over 100 s.
    QTest::newRow("468 one attack")
        << 468 << int(Tisiciny) << bytes({0x01, 0x0A, 0xA1, 0xAE})
        << bytes({0xAA, 0xAB, 0xD3, 0xBA, 0x01, 0x01, 0x50, 0x00, 0xBA, 0x02, 0x19, 0x99, 0x99})
        << QStringList{
               "settings 0A A1 AE Jeden útok 0:00 rozepínací",
               "reset",
               "start",
               "status [L P        ]",
               "time 1 P 15,000",
               "end lines \"199,999\" \"P 15,000\" | entry \"15,000P 199,999\" [1491 1 15000] "
               "[1492 2 199999]",
           };
}

void TstDecoder::streams() {
    QFETCH(int, verze);
    QFETCH(int, format);
    QFETCH(QByteArray, greeting);
    QFETCH(QByteArray, stream);
    QFETCH(QStringList, events);
    Recorder r;
    Decoder d(&r);
    d.nastavTyp(verze, format);
    const int used = d.applyGreeting(greeting);
    d.feed(QByteArrayView(greeting).sliced(used));
    d.feed(stream);
    QCOMPARE(r.ev, events);
    QVERIFY(!d.prik_data());
    QCOMPARE(d.setComplete(), events.last().startsWith(u"end "));
}

// Inside a frame every byte is data.
void TstDecoder::commandValuesInsideFrames() {
    Recorder r;
    Decoder d(&r);
    d.nastavTyp(466, Tisiciny);
    d.applySettings({0x02, 0xA1, 0xAE});
    r.ev.clear();
    // A settings byte 0xAA (two times, attack bit, 2:30) is not a reset.
    d.feed(bytes({0x5A, 0xAA}));
    QCOMPARE(r.ev, QStringList({"settings AA A1 AE Jeden útok 2:30 rozepínací"}));
    QCOMPARE(d.mode(), MeasureMode::OneAttack);
    // Time bytes 0x55 (digits 5 and 5), 0xBA, 0xD5, 0xAB, 0x5A are stored, not obeyed; half bytes
    // above 9 are written as two-digit numbers.
    r.ev.clear();
    d.feed(bytes({0xAA, 0xBA, 0x00, 0x55, 0xBA, 0xD5}));
    QCOMPARE(r.ev, QStringList({"reset", "time 1 L 5511,10135"}));
    QCOMPARE(d.slot(1), TimeRecord::fromBytes(0x00, 0x55, 0xBA, 0xD5));
    d.feed(bytes({0xBA, 0x02, 0xAB, 0x5A, 0x55}));
    QCOMPARE(d.slot(2), TimeRecord::fromBytes(0x02, 0xAB, 0x5A, 0x55));
    QCOMPARE(r.ev.size(), 3);
    // Shown and listed, but those digits are no time: nothing is handed over.
    QCOMPARE(r.ev[2],
             QStringLiteral("end lines \"10115,1055\" \"L 5511,10135\" | error \"5511,10135L 10115,1055\""));
}

// The settings frame has one data byte, two for 467.
void TstDecoder::settingsFrameLength() {
    for (int verze : {454, 456, 457, 458, 462, 463, 466, 467, 468}) {
        Recorder r;
        Decoder d(&r);
        d.nastavTyp(verze, Setiny);
        d.feed(bytes({0x5A, 0x8C, 0x12, 0xAA}));
        if (verze == 467) {
            QCOMPARE(r.ev, QStringList({"settings 8C 12 00 Dva útoky 12:30 -", "reset"}));
        } else {
            // The second byte 0x12 is outside a frame and ignored; the first sets nast[0] only.
            QCOMPARE(r.ev, QStringList({"settings 8C 00 00 Dva útoky 0:30 -", "reset"}));
        }
    }
}

// A version change inside a frame keeps the frame length fixed at the command byte.
void TstDecoder::versionChangeKeepsFrame() {
    Recorder r;
    Decoder d(&r);
    d.nastavTyp(466, Tisiciny);
    d.applySettings({0x02, 0xA1, 0x00});
    d.feed(bytes({0xAA, 0xBA, 0x06, 0x01}));
    d.nastavTyp(454, Tisiciny); // BCas 3 from now on
    QCOMPARE(int(d.pocetByte()), 4);
    d.feed(bytes({0x23, 0x45}));
    QVERIFY(!d.prik_data());
    QCOMPARE(d.casu(), quint8(2));
    QCOMPARE(d.slot(1), TimeRecord::fromBytes(0x06, 0x01, 0x23, 0x45));
    // The next frame has 3 bytes.
    d.feed(bytes({0xBA, 0x70, 0x12, 0x34}));
    QVERIFY(!d.prik_data());
    QCOMPARE(r.sets.size(), size_t(1));
    // Texts follow the version now in force (454: nibble-coded, two decimals).
    QCOMPARE(r.sets[0].lblCas.value(), QStringLiteral("12,34"));

    // The same for a settings frame of 467 and a change to 466 in its middle.
    Recorder r2;
    Decoder d2(&r2);
    d2.nastavTyp(467, Setiny);
    d2.feed(bytes({0x5A, 0x01}));
    d2.nastavTyp(466, Setiny);
    d2.feed(bytes({0x23}));
    // Both bytes belong to the frame; the settings are applied with the version now in force (466:
    // minutes from nast[0]).
    QCOMPARE(r2.ev, QStringList({"settings 01 23 00 Jedna dráha 0:00 -"}));
}

void TstDecoder::threeOfThree() {
    Recorder r;
    Decoder d(&r);
    d.nastavTyp(466, Tisiciny);
    d.applySettings({0x03, 0xA1, 0xAE});
    r.ev.clear();
    const QByteArray s =
        bytes({0xAA, 0xBA, 0x06, 0x00, 0x11, 0x11, 0xBA, 0x07, 0x00, 0x22, 0x22, 0xBA, 0x08, 0x00, 0x33});
    d.feed(s);
    QCOMPARE(r.ev, QStringList({"reset", "time 1 1 1,111", "time 2 2 2,222"}));
    QVERIFY(r.sets.empty());
    d.feed(quint8(0x33)); // the last byte of the third time ends the set
    QCOMPARE(r.sets.size(), size_t(1));
    QCOMPARE(r.ev.size(), 4);
    QCOMPARE(d.casu(), quint8(4));
}

void TstDecoder::statusBytes_data() {
    QTest::addColumn<int>("n0"); // -1: no settings yet
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");
    QTest::newRow("D5 attack") << 0x0A << 0xD5 << "L    L    ";
    QTest::newRow("DA two attacks") << 0x0C << 0xDA << "    P     P ";
    QTest::newRow("D0 attack") << 0x0C << 0xD0 << QString(14, u' ');
    QTest::newRow("DF attack") << 0x0A << 0xDF << "L P L P ";
    QTest::newRow("D0 lanes") << 0x04 << 0xD0 << QString(12, u' ');
    QTest::newRow("DF lanes") << 0x02 << 0xDF << "1 2 3 4 ";
    QTest::newRow("D9 lanes") << 0x03 << 0xD9 << "1       4 ";
    QTest::newRow("D5 before settings") << -1 << 0xD5 << "1    3    ";
    // A mode byte outside the table keeps the attack mode.
    QTest::newRow("D1 kept attack") << 0x0B << 0xD1 << "L" + QString(11, u' ');
}

void TstDecoder::statusBytes() {
    QFETCH(int, n0);
    QFETCH(int, status);
    QFETCH(QString, text);
    Recorder r;
    Decoder d(&r);
    d.nastavTyp(466, Setiny);
    if (n0 == 0x0B) d.applySettings({0x0C, 0, 0});
    if (n0 >= 0) d.applySettings({quint8(n0), 0, 0});
    r.ev.clear();
    d.feed(quint8(status));
    QCOMPARE(r.ev, QStringList({"status [" + text + "]"}));
}

// Target-type and time-shown bytes only report their label texts.
void TstDecoder::labelsOnly() {
    Recorder r;
    Decoder d(&r);
    d.nastavTyp(454, Setiny);
    d.applySettings({0x01, 0xA1, 0x00});
    r.ev.clear();
    d.feed(bytes({0xA1, 0xA2, 0xAC, 0xAE, 0x00, 0xFF, 0x5B, 0xA0, 0xBB, 0xC0}));
    QCOMPARE(r.ev, QStringList({"terce Rozpínací", "terce Spínací", "ncas čas: ne", "ncas čas: ano"}));
    QCOMPARE(d.nast(), Nast({0x01, 0xA1, 0x00}));
    QCOMPARE(kStartText.toString(), QStringLiteral("0,000")); // what the start byte puts into lblCas
}

// A 3-byte time leaves byte 4 of its slot as it was.
void TstDecoder::threeByteFramesKeepByte4() {
    Recorder r;
    Decoder d(&r);
    d.nastavTyp(456, Tisiciny);
    d.applySettings({0x01, 0xA1, 0x00});
    d.feed(bytes({0xAA, 0xBA, 0x60, 0x12, 0x34, 0x07}));
    QCOMPARE(r.sets.back().lblCas.value(), QStringLiteral("12,347"));
    d.nastavTyp(457, Tisiciny);
    d.feed(bytes({0xAA, 0xBA, 0x70, 0x23, 0x45}));
    QCOMPARE(d.slot(1), TimeRecord::fromBytes(0x70, 0x23, 0x45, 0x07));
    QCOMPARE(r.sets.back().lblCas.value(), QStringLiteral("23,457"));
    QCOMPARE(r.sets.back().entries[0].messages[0], (AmSend{AM_Cas1, 7, 2345})); // two decimals sent
}

// Time frames before the first reset fill slot 1 onward.
void TstDecoder::framesBeforeFirstReset() {
    Recorder r;
    Decoder d(&r);
    d.nastavTyp(466, Tisiciny);
    d.applySettings({0x02, 0xA1, 0x00});
    r.ev.clear();
    QCOMPARE(d.casu(), quint8(1));
    d.feed(bytes({0xBA, 0x06, 0x00, 0x11, 0x11, 0xBA, 0x07, 0x00, 0x22, 0x22}));
    QCOMPARE(r.ev.size(), 2);
    QCOMPARE(r.ev[0], QStringLiteral("time 1 1 1,111"));
    QCOMPARE(r.sets.at(0).entries.size(), size_t(2));
    QCOMPARE(d.slot(1), TimeRecord::fromBytes(0x06, 0x00, 0x11, 0x11));
    QCOMPARE(d.slot(2), TimeRecord::fromBytes(0x07, 0x00, 0x22, 0x22));
}

// Frames beyond the set size are read but not stored, and end the set no second time; after the next
// reset a new set fills slot 1 again.
void TstDecoder::framesBeyondSetIgnored() {
    Recorder r;
    Decoder d(&r);
    d.nastavTyp(466, Tisiciny);
    d.applySettings({0x01, 0xA1, 0x00});
    r.ev.clear();
    d.feed(bytes({0xAA, 0xBA, 0x06, 0x00, 0x11, 0x11}));
    QCOMPARE(r.sets.size(), size_t(1));
    const TimeSlots before = d.casy();
    // Two stray frames whose data contain command values; then a status byte that must be obeyed.
    d.feed(bytes({0xBA, 0xAA, 0xAB, 0x55, 0xA5, 0xBA, 0x07, 0x00, 0x22, 0x22, 0xD1}));
    QCOMPARE(r.sets.size(), size_t(1));
    QCOMPARE(d.casy(), before);
    QCOMPARE(r.ev,
             QStringList({"reset", "end lines \"1,111\" \"\" | entry \"1 1,111\" [1491 6 1111] | pcas 0",
                          "status [1" + QString(10, u' ') + "]"}));
    QCOMPARE(d.casu(), quint8(2));
    // Raising the set size after the end does not reopen the set.
    d.feed(bytes({0x5A, 0x02, 0xBA, 0x07, 0x00, 0x22, 0x22}));
    QCOMPARE(r.sets.size(), size_t(1));
    d.feed(bytes({0xAA, 0xBA, 0x08, 0x00, 0x33, 0x33, 0xBA, 0x09, 0x00, 0x44, 0x44}));
    QCOMPARE(r.sets.size(), size_t(2));
    QCOMPARE(d.slot(1), TimeRecord::fromBytes(0x08, 0x00, 0x33, 0x33));
    QCOMPARE(describe(r.sets[1]),
             QStringLiteral(
                 "lines \"4,444\" \"3 3,333\" | entry \"3 3,333\" [1491 8 3333] | entry \"4 4,444\" [1491 9 "
                 "4444] | pcas 1"));
}

void TstDecoder::setSizeOutsideRange_data() {
    QTest::addColumn<int>("n0");
    for (int n0 : {0x00, 0x05, 0x06, 0x07, 0x08, 0x0D, 0x0E, 0x0F, 0xF0})
        QTest::addRow("%02x", n0) << n0;
}

// With a set size outside 1..4 time frames are read and dropped; nothing else happens.
void TstDecoder::setSizeOutsideRange() {
    QFETCH(int, n0);
    Recorder r;
    Decoder d(&r);
    d.nastavTyp(468, Tisiciny);
    d.applySettings({quint8(n0), 0xA1, 0xAE});
    r.ev.clear();
    d.feed(bytes({0xAA, 0xAB}));
    for (int i = 0; i < 6; ++i)
        d.feed(bytes({0xBA, 0x06, 0x00, 0x11, 0x11}));
    d.feed(bytes({0xA5, 0xD0}));
    QCOMPARE(r.ev.mid(0, 2), QStringList({"reset", "start"}));
    QCOMPARE(r.ev.size(), 4);
    QCOMPARE(r.ev[2], QStringLiteral("recall lines - -"));
    QVERIFY(r.ev[3].startsWith(u"status ["));
    QVERIFY(r.sets.empty());
    QCOMPARE(d.casy(), TimeSlots{});
    QCOMPARE(d.casu(), quint8(1));
}

// The slots survive a reset: a recall shows the previous set, and its rotation starts.
void TstDecoder::recallAfterReset() {
    Recorder r;
    Decoder d(&r);
    d.nastavTyp(458, Setiny);
    d.applySettings({0x04, 0xA1, 0x00});
    d.feed(bytes({0xAA, 0xBA, 0x06, 0x00, 0x11, 0x11, 0xBA, 0x07, 0x00, 0x22, 0x22,
                  0xBA, 0x08, 0x00, 0x33, 0x33, 0xBA, 0x09, 0x00, 0x44, 0x44, 0xAA}));
    QVERIFY(!d.rotationActive()); // stopped by the reset
    r.ev.clear();
    d.feed(quint8(0xA5));
    QCOMPARE(r.ev, QStringList({"recall lines \"4,44\" \"3 3,33\" | pcas 3 | rot"}));
    QVERIFY(d.rotationActive());

    // Two attacks: the recall shows the results only, in reception order.
    Recorder r2;
    Decoder d2(&r2);
    d2.nastavTyp(466, Setiny);
    d2.applySettings({0x0C, 0xA1, 0x00});
    d2.feed(bytes({0xAA, 0xBA, 0x05, 0x00, 0x11, 0x11, 0xBA, 0x04, 0x00, 0x22, 0x22, 0xBA,
                   0x02, 0x00, 0x33, 0x33, 0xBA, 0x01, 0x00, 0x44, 0x44, 0xAA, 0xA5}));
    QCOMPARE(r2.ev.last(), QStringLiteral("recall lines \"1,11\" \"1 3,33\""));
}

void TstDecoder::rotation() {
    Recorder r;
    Decoder d(&r);
    d.nastavTyp(466, Tisiciny);
    d.applySettings({0x04, 0xA1, 0x00});
    d.feed(bytes({0xAA, 0xBA, 0x06, 0x00, 0x11, 0x11, 0xBA, 0x07, 0x00, 0x22, 0x22,
                  0xBA, 0x08, 0x00, 0x33, 0x33, 0xBA, 0x09, 0x00, 0x44, 0x44}));
    QVERIFY(d.rotationActive());
    QStringList seen;
    for (int i = 0; i < 7; ++i)
        seen << d.rotationTick().value_or(QStringLiteral("?"));
    QCOMPARE(seen,
             QStringList({"2 2,222", "1 1,111", "3 3,333", "2 2,222", "1 1,111", "3 3,333", "2 2,222"}));
    // A start byte does not stop it; a reset does.
    d.feed(quint8(0xAB));
    QVERIFY(d.rotationActive());
    d.feed(quint8(0xAA));
    QVERIFY(!d.rotationActive());
    // A set size changed to 1 while rotating: nothing to show, the rotation ends.
    d.feed(bytes({0xA5}));
    QVERIFY(d.rotationActive());
    d.applySettings({0x01, 0xA1, 0x00});
    QCOMPARE(d.rotationTick().value_or("?"), QStringLiteral("2 2,222"));
    QCOMPARE(d.rotationTick().value_or("?"), QStringLiteral("1 1,111"));
    QVERIFY(!d.rotationTick());
    QVERIFY(!d.rotationActive());
}

// A lane time whose code has a letter cannot be sent; the others of its set still are.
void TstDecoder::badTimeKeepsTheOthers() {
    Recorder r;
    Decoder d(&r);
    d.nastavTyp(458, Tisiciny);
    d.applySettings({0x03, 0xA1, 0x00});
    d.feed(bytes(
        {0xAA, 0xBA, 0x06, 0x00, 0x11, 0x11, 0xBA, 0x01, 0x00, 0x22, 0x22, 0xBA, 0x08, 0x00, 0x33, 0x33}));
    QCOMPARE(r.ev.last(),
             QStringLiteral(
                 "end lines \"3,333\" \"P 2,222\" | entry \"1 1,111\" [1491 6 1111] | error \"P 2,222\" | "
                 "entry \"3 3,333\" [1491 8 3333] | pcas 2 | rot"));
    QCOMPARE(r.sets[0].entries[1].error, QStringLiteral("„P“ není platné celé číslo."));
    QVERIFY(r.sets[0].hasErrors());
}

// Feeding a span is the same as feeding its bytes one by one.
void TstDecoder::spanEqualsBytes() {
    const QByteArray s =
        bytes({0x5A, 0x04, 0xAA, 0xAB, 0xD3, 0xBA, 0x06, 0x00, 0x11, 0x11, 0xBA, 0x07, 0x00,
               0x22, 0x22, 0xBA, 0x08, 0x00, 0x33, 0x33, 0xBA, 0x09, 0x00, 0x44, 0x44, 0xA5});
    Recorder a, b;
    Decoder da(&a), db(&b);
    da.nastavTyp(466, Tisiciny);
    db.nastavTyp(466, Tisiciny);
    da.feed(s);
    for (char c : s)
        db.feed(quint8(c));
    std::vector<quint8> v(s.begin(), s.end());
    Recorder c;
    Decoder dc(&c);
    dc.nastavTyp(466, Tisiciny);
    dc.feed(std::span<const quint8>(v));
    QCOMPARE(a.ev, b.ev);
    QCOMPARE(c.ev, b.ev);
    QCOMPARE(a.ev.size(), 9);
}

QTEST_APPLESS_MAIN(TstDecoder)
#include "tst_decoder.moc"
