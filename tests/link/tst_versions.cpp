// Device versions, nastav_typ, the settings bytes and the greeting.

#include "link/Decoder.h"
#include "link/Settings.h"
#include "link/VersionTable.h"

#include "Recorder.h"

#include <QTest>

using namespace stopky;
using testlink::bytes;

class TstVersions : public QObject {
    Q_OBJECT
private slots:
    void table_data();
    void table();
    void unknownVersionKeepsFormats();
    void lblFormat();
    void settings_data();
    void settings();
    void settings467();
    void lblNCasVisibility_data();
    void lblNCasVisibility();
    void greeting_data();
    void greeting();
    void greetingFourthByteMissing();
    void decoderGreetingLeftovers();
    void versionArgument_data();
    void versionArgument();
};

// Both version tables, row by row.
void TstVersions::table_data() {
    QTest::addColumn<int>("verze");
    QTest::addColumn<QString>("radio");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("BCas");
    QTest::addColumn<int>("uvod");
    QTest::addColumn<int>("greet");
    QTest::addColumn<bool>("whole");
    QTest::addColumn<int>("frame");
    QTest::addColumn<bool>("ncas");
    QTest::addColumn<int>("maxTime");
    QTest::addColumn<QString>("fU");
    QTest::addColumn<QString>("fS");
    QTest::addColumn<bool>("offered");
    QTest::newRow("454") << 454 << "RB454"
                         << "4,54" << 3 << 5 << 3 << false << 1 << false << 999999 << "888,88L 888,88"
                         << "888,88" << false;
    QTest::newRow("456") << 456 << "RB456"
                         << "4,56" << 4 << 5 << 3 << false << 1 << false << 999999 << "888,888L 888,888"
                         << "888,888" << true;
    QTest::newRow("457") << 457 << "RB457"
                         << "4,57" << 3 << 5 << 3 << false << 1 << false << 99999 << "88,888L 88,888"
                         << "88,888" << true;
    QTest::newRow("458") << 458 << "RB458"
                         << "4,58" << 4 << 3 << 3 << true << 1 << false << 999999 << "888,888L 888,888"
                         << "888,888" << true;
    QTest::newRow("462") << 462 << "RB462"
                         << "4,62" << 3 << 5 << 3 << false << 1 << false << 999999 << "888,88L 888,88"
                         << "888,88" << false;
    QTest::newRow("463") << 463 << "RB463"
                         << "4,63" << 3 << 5 << 3 << false << 1 << false << 99999 << "88,888L 88,888"
                         << "88,888" << false;
    QTest::newRow("466") << 466 << "RB466"
                         << "4,66" << 4 << 3 << 4 << true << 1 << true << 999999 << "888,888L 888,888"
                         << "888,888" << true;
    QTest::newRow("467") << 467 << "RB467"
                         << "4,67" << 4 << 3 << 4 << true << 2 << true << 999999 << "888,888L 888,888"
                         << "888,888" << true;
    QTest::newRow("468") << 468 << "RB468"
                         << "4,68" << 4 << 3 << 4 << true << 1 << true << 199999 << "188,888L 188,888"
                         << "188,888" << true;
}

void TstVersions::table() {
    QFETCH(int, verze);
    QFETCH(QString, radio);
    QFETCH(QString, caption);
    QFETCH(int, BCas);
    QFETCH(int, uvod);
    QFETCH(int, greet);
    QFETCH(bool, whole);
    QFETCH(int, frame);
    QFETCH(bool, ncas);
    QFETCH(int, maxTime);
    QFETCH(QString, fU);
    QFETCH(QString, fS);
    QFETCH(bool, offered);
    const qx::DeviceVersion& v = qx::deviceVersion(verze);
    QCOMPARE(v.verze, verze);
    QCOMPARE(QString::fromLatin1(v.radioName), radio);
    QCOMPARE(QString::fromUtf8(v.caption), caption);
    QCOMPARE(v.prepFromNast1, verze == 467);

    const TypSettings t = nastav_typ(verze, Tisiciny, QStringLiteral("old U"), QStringLiteral("old S"), 0x0A);
    QVERIFY(t.known);
    QCOMPARE(t.verze, verze);
    QCOMPARE(int(t.BCas), BCas);
    QCOMPARE(int(t.pocetB_Uvod), uvod);
    QCOMPARE(t.greetingBytes, greet);
    QCOMPARE(t.targetWholeByte, whole);
    QCOMPARE(t.settingsFrameBytes, frame);
    QCOMPARE(t.lblNCasShown, ncas);
    QCOMPARE(t.maxTime, maxTime);
    QCOMPARE(t.formatU, fU);
    QCOMPARE(t.formatS, fS);
    QCOMPARE(t.formatOffered, offered);
    QCOMPARE(t.format, offered ? int(Tisiciny) : int(Setiny));
    QCOMPARE(t.lblFormat, QStringLiteral("Formát času: ") + fU); // 0x0A has the attack bit
    QCOMPARE(nastav_typ(verze, Setiny, {}, {}, 0x02).lblFormat, QStringLiteral("Formát času: ") + fS);
    // Whatever the table says about the target code must match how records are read.
    QCOMPARE(targetCode(TimeRecord::fromBytes(0x95, 0, 0, 0), verze), quint8(whole ? 0x95 : 9));
}

void TstVersions::unknownVersionKeepsFormats() {
    for (int verze : {0, 455, 999}) {
        const TypSettings t =
            nastav_typ(verze, Tisiciny, QStringLiteral("888,88L 888,88"), QStringLiteral("888,88"), 0x01);
        QVERIFY(!t.known);
        QCOMPARE(int(t.BCas), 3);
        QCOMPARE(int(t.pocetB_Uvod), 5);
        QCOMPARE(t.maxTime, 999999);
        QCOMPARE(t.formatU, QStringLiteral("888,88L 888,88"));
        QCOMPARE(t.formatS, QStringLiteral("888,88"));
        QVERIFY(!t.formatOffered);
        QCOMPARE(t.format, int(Setiny));
        QVERIFY(!t.lblNCasShown);
        QCOMPARE(t.greetingBytes, 3);
        QCOMPARE(t.settingsFrameBytes, 1);
        QCOMPARE(t.lblFormat, QStringLiteral("Formát času: 888,88"));
    }
    // At program start the texts are empty: "Formát času: " alone.
    QCOMPARE(nastav_typ(999, 0, {}, {}, 0).lblFormat, QStringLiteral("Formát času: "));
    // The decoder keeps the texts of the previous version across an unknown one.
    Decoder d;
    d.nastavTyp(457, Tisiciny);
    const TypSettings& t = d.nastavTyp(999, Tisiciny);
    QCOMPARE(t.formatS, QStringLiteral("88,888"));
    QCOMPARE(t.formatU, QStringLiteral("88,888L 88,888"));
    QCOMPARE(int(d.BCas()), 3);
    QCOMPARE(d.format(), int(Setiny));
}

void TstVersions::lblFormat() {
    QCOMPARE(lblFormatText(0x08, QStringLiteral("U"), QStringLiteral("S")), QStringLiteral("Formát času: U"));
    QCOMPARE(lblFormatText(0xF7, QStringLiteral("U"), QStringLiteral("S")), QStringLiteral("Formát času: S"));
}

void TstVersions::settings_data() {
    QTest::addColumn<int>("verze");
    QTest::addColumn<int>("n0");
    QTest::addColumn<int>("n1");
    QTest::addColumn<QString>("draha"); // "-" unchanged
    QTest::addColumn<int>("mode");      // -1 unchanged
    QTest::addColumn<int>("n");
    QTest::addColumn<bool>("attack");
    QTest::addColumn<QString>("priprava");
    QTest::addColumn<QString>("terce"); // "-" unchanged
    QTest::addColumn<QString>("format");

    const int L = int(MeasureMode::Lanes), A1 = int(MeasureMode::OneAttack),
              A2 = int(MeasureMode::TwoAttacks);
    QTest::newRow("0x0A") << 466 << 0x0A << 0xA1 << "Jeden útok" << A1 << 2 << true << "0:00"
                          << "rozepínací"
                          << "Formát času: 888,888L 888,888";
    QTest::newRow("0x0C") << 466 << 0x0C << 0xA2 << "Dva útoky" << A2 << 4 << true << "0:00"
                          << "spínací"
                          << "Formát času: 888,888L 888,888";
    QTest::newRow("0x03") << 454 << 0x03 << 0xA0 << "Tři dráhy" << L << 3 << false << "0:00"
                          << "-"
                          << "Formát času: 888,88";
    QTest::newRow("0xB2") << 456 << 0xB2 << 0xA1 << "Dvě dráhy" << L << 2 << false << "3:30"
                          << "rozepínací"
                          << "Formát času: 888,888";
    QTest::newRow("0x01") << 458 << 0x01 << 0x00 << "Jedna dráha" << L << 1 << false << "0:00"
                          << "-"
                          << "Formát času: 888,888";
    QTest::newRow("0x54") << 463 << 0x54 << 0xA3 << "Čtyři dráhy" << L << 4 << false << "5:00"
                          << "-"
                          << "Formát času: 88,888";
    QTest::newRow("0xF4") << 468 << 0xF4 << 0xA2 << "Čtyři dráhy" << L << 4 << false << "7:30"
                          << "spínací"
                          << "Formát času: 188,888";
    // Mode values outside the table leave the mode text and mode.
    for (int low : {0, 5, 6, 7, 8, 9, 11, 13, 14, 15})
        QTest::addRow("low %d", low) << 462 << low << 0xA1 << "-" << -1 << (low & 7) << bool(low & 8)
                                     << "0:00"
                                     << "rozepínací"
                                     << ((low & 8) ? "Formát času: 888,88L 888,88" : "Formát času: 888,88");
    // The settings byte 0xAA (an edge case of the decoder): two times, attack bit, 2:30.
    QTest::newRow("0xAA") << 466 << 0xAA << 0xA1 << "Jeden útok" << A1 << 2 << true << "2:30"
                          << "rozepínací"
                          << "Formát času: 888,888L 888,888";
    // Version 467 reads its minutes from nast[1]; nast[1] = 0x12 is not a target type.
    QTest::newRow("467 12:30") << 467 << 0x8C << 0x12 << "Dva útoky" << A2 << 4 << true << "12:30"
                               << "-"
                               << "Formát času: 888,888L 888,888";
    QTest::newRow("467 0xA1") << 467 << 0x71 << 0xA1 << "Jedna dráha" << L << 1 << false << "101:00"
                              << "rozepínací"
                              << "Formát času: 888,888";
}

void TstVersions::settings() {
    QFETCH(int, verze);
    QFETCH(int, n0);
    QFETCH(int, n1);
    QFETCH(QString, draha);
    QFETCH(int, mode);
    QFETCH(int, n);
    QFETCH(bool, attack);
    QFETCH(QString, priprava);
    QFETCH(QString, terce);
    QFETCH(QString, format);
    const TypSettings t = nastav_typ(verze, 0, {}, {}, 0);
    const SettingsOutcome o = Nastav_uPC({quint8(n0), quint8(n1), 0}, verze, t.formatU, t.formatS);
    QCOMPARE(testlink::opt(o.lblDraha), draha == u"-" ? QStringLiteral("-") : u'"' + draha + u'"');
    QCOMPARE(o.mode ? int(*o.mode) : -1, mode);
    QCOMPARE(o.n, n);
    QCOMPARE(o.attack, attack);
    QCOMPARE(o.lblPriprava, priprava);
    QCOMPARE(o.pripravaS, priprava.endsWith(u"30") ? 30 : 0);
    QCOMPARE(o.pripravaM, priprava.section(u':', 0, 0).toInt());
    QCOMPARE(testlink::opt(o.lblTerce), terce == u"-" ? QStringLiteral("-") : u'"' + terce + u'"');
    QCOMPARE(o.lblFormat, format);
    QCOMPARE(o.verze, verze);
    QCOMPARE(int(o.nast[0]), n0);
}

void TstVersions::settings467() {
    // Bits 4 to 6 of nast[0] do not count for 467; for 466 they do.
    const Nast nast{0xF1, 0x05, 0xAE};
    QCOMPARE(Nastav_uPC(nast, 467, {}, {}).lblPriprava, QStringLiteral("5:30"));
    QCOMPARE(Nastav_uPC(nast, 466, {}, {}).lblPriprava, QStringLiteral("7:30"));
}

void TstVersions::lblNCasVisibility_data() {
    QTest::addColumn<int>("verze");
    QTest::addColumn<int>("n2");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<QString>("text");
    for (int v : {466, 467, 468}) {
        QTest::addRow("%d AE", v) << v << 0xAE << true << "\"čas: ano\"";
        QTest::addRow("%d AC", v) << v << 0xAC << true << "\"čas: ne\"";
        QTest::addRow("%d other", v) << v << 0xAD << true << "-";
    }
    for (int v : {454, 456, 457, 458, 462, 463, 999})
        QTest::addRow("%d AE hidden", v) << v << 0xAE << false << "-";
}

void TstVersions::lblNCasVisibility() {
    QFETCH(int, verze);
    QFETCH(int, n2);
    QFETCH(bool, visible);
    QFETCH(QString, text);
    const SettingsOutcome o = Nastav_uPC({0x01, 0xA1, quint8(n2)}, verze, {}, {});
    QCOMPARE(o.lblNCasVisible, visible);
    QCOMPARE(testlink::opt(o.lblNCas), text);
}

void TstVersions::greeting_data() {
    QTest::addColumn<int>("verze");
    QTest::addColumn<QByteArray>("in");
    QTest::addColumn<int>("n0");
    QTest::addColumn<int>("n1");
    QTest::addColumn<int>("n2");
    QTest::addColumn<int>("consumed");
    // Five bytes waiting for 454/456/457/462/463: three read, two left for the decoder.
    for (int v : {454, 456, 457, 462, 463})
        QTest::addRow("%d five bytes", v)
            << v << bytes({0x03, 0x77, 0x01, 0xAA, 0xAB}) << 0x03 << 0xA1 << 0x55 << 3;
    QTest::newRow("458 third byte 02") << 458 << bytes({0x0C, 0x99, 0x02}) << 0x0C << 0xA2 << 0x55 << 3;
    QTest::newRow("458 already A-ored") << 458 << bytes({0x01, 0x00, 0xA1}) << 0x01 << 0xA1 << 0x55 << 3;
    QTest::newRow("468 example") << 468 << bytes({0x01, 0x0A, 0xA1, 0xAE}) << 0x0A << 0xA1 << 0xAE << 4;
    QTest::newRow("466") << 466 << bytes({0xFF, 0x04, 0xA2, 0xAC, 0xAA}) << 0x04 << 0xA2 << 0xAC << 4;
    QTest::newRow("467 no OR") << 467 << bytes({0x00, 0x8C, 0x12, 0xAE}) << 0x8C << 0x12 << 0xAE << 4;
    QTest::newRow("unknown like 454") << 999 << bytes({0x02, 0x00, 0x02}) << 0x02 << 0xA2 << 0x55 << 3;
}

void TstVersions::greeting() {
    QFETCH(int, verze);
    QFETCH(QByteArray, in);
    QFETCH(int, n0);
    QFETCH(int, n1);
    QFETCH(int, n2);
    QFETCH(int, consumed);
    const Greeting g = parseGreeting(verze, in, Nast{0x11, 0x22, 0x55});
    QCOMPARE(int(g.nast[0]), n0);
    QCOMPARE(int(g.nast[1]), n1);
    QCOMPARE(int(g.nast[2]), n2);
    QCOMPARE(g.consumed, consumed);
}

void TstVersions::greetingFourthByteMissing() {
    const Greeting g = parseGreeting(466, bytes({0x01, 0x0A, 0xA1}), Nast{0, 0, 0xAC});
    QCOMPARE(g.consumed, 3);
    QCOMPARE(int(g.nast[2]), 0xAC); // keeps its value
    QCOMPARE(int(g.nast[0]), 0x0A);
}

// The greeting through the decoder: settings applied, then the leftovers decoded as usual.
void TstVersions::decoderGreetingLeftovers() {
    testlink::Recorder r;
    Decoder d(&r);
    d.nastavTyp(454, Tisiciny);
    const QByteArray in = bytes({0x52, 0x00, 0x02, 0xAA, 0xAB});
    const int used = d.applyGreeting(in);
    QCOMPARE(used, 3);
    d.feed(QByteArrayView(in).sliced(used));
    QCOMPARE(r.ev, QStringList({"settings 52 A2 00 Dvě dráhy 5:00 spínací", "reset", "start"}));
    QCOMPARE(r.settings[0].lblDraha.value(), QStringLiteral("Dvě dráhy"));
    QCOMPARE(r.settings[0].lblPriprava, QStringLiteral("5:00"));
    QCOMPARE(r.settings[0].lblTerce.value(), QStringLiteral("spínací"));
    QCOMPARE(r.settings[0].lblFormat, QStringLiteral("Formát času: 888,88"));
    QCOMPARE(d.mode(), MeasureMode::Lanes);
    QCOMPARE(d.n(), 2);
}

// "--version V" on the command line: V as a radio button names it, by number or by caption; only
// the versions stopky can be set to.
void TstVersions::versionArgument_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("given");
    QTest::addColumn<int>("verze");
    QTest::newRow("none") << QStringList{"stopky", "--port", "/dev/pts/4"} << false << 0;
    QTest::newRow("number") << QStringList{"stopky", "--port", "/dev/pts/4", "--version", "468"} << true
                            << 468;
    QTest::newRow("with =") << QStringList{"stopky", "--version=457"} << true << 457;
    QTest::newRow("caption") << QStringList{"stopky", "--version", "4,66"} << true << 466;
    QTest::newRow("caption with =") << QStringList{"stopky", "--version=4,54"} << true << 454;
    QTest::newRow("zapisnik's own 490") << QStringList{"stopky", "--version", "490"} << true << 0;
    QTest::newRow("unknown number") << QStringList{"stopky", "--version", "465"} << true << 0;
    QTest::newRow("not a number") << QStringList{"stopky", "--version", "4.68"} << true << 0;
    QTest::newRow("value missing") << QStringList{"stopky", "--version"} << true << 0;
    QTest::newRow("empty with =") << QStringList{"stopky", "--version="} << true << 0;
    QTest::newRow("program name only") << QStringList{"--version"} << false << 0;
}

void TstVersions::versionArgument() {
    QFETCH(QStringList, args);
    QFETCH(bool, given);
    QFETCH(int, verze);
    const VersionArgument a = stopky::versionArgument(args);
    QCOMPARE(a.given, given);
    QCOMPARE(a.verze, verze);
}

QTEST_APPLESS_MAIN(TstVersions)
#include "tst_versions.moc"
