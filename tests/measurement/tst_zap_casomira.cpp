// What zapisnik makes of the timer console's announcement AM_Nast: status line, mode, discipline
// list and split row. Pure rules, no window, no database.

#include "measurement/Casomira.h"

#include <QTest>

class TstZapCasomira : public QObject {
    Q_OBJECT
private slots:
    // The status line and mode for AM_Nast: known modes, version 490, and a settings byte that is
    // not a mode leaving the mode as it was (0: no device answer, before the first greeting or after
    // the console lost its port).
    void amNastTable_data() {
        QTest::addColumn<int>("verze");
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("nastBefore");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("nastAfter");
        QTest::addColumn<bool>("disciplina");
        QTest::addColumn<bool>("splits");
        QTest::newRow("one attack") << 466 << 0x0A << 170 << "Verze časomíry - QX 4.66, jeden útok" << 10
                                    << false << true;
        QTest::newRow("two attacks, high bits")
            << 468 << 0xBC << 10 << "Verze časomíry - QX 4.68, dva útoky" << 12 << false << false;
        QTest::newRow("three lanes") << 454 << 0x03 << 10 << "Verze časomíry - QX 4.54, tři dráhy" << 3
                                     << false << false;
        QTest::newRow("no device yet")
            << 458 << 0 << 2 << "Časomíra je spuštěna, zařízení zatím neodpovědělo (verze QX 4.58)" << 2
            << false << false;
        QTest::newRow("console's start-up version, no device")
            << 454 << 0 << 170 << "Časomíra je spuštěna, zařízení zatím neodpovědělo (verze QX 4.54)" << 170
            << false << false;
        QTest::newRow("not a mode") << 466 << 0x09 << 10
                                    << "Časomíra je spuštěna, zařízení zatím neodpovědělo (verze QX 4.66)"
                                    << 10 << false << true;
        // The console lost its port (settings value -1): the mode and the split row stay.
        QTest::newRow("port lost") << 468 << -1 << 10 << "Časomíra odpojena (verze QX 4.68)" << 10 << false
                                   << true;
        QTest::newRow("490 keeps the mode")
            << 490 << 0x02 << 12 << "Verze časomíry - QX 4.90" << 12 << true << false;
        QTest::newRow("490 before its device")
            << 490 << 0 << 10 << "Časomíra je spuštěna, zařízení zatím neodpovědělo (verze QX 4.90)" << 10
            << true << true;
        QTest::newRow("463 has no text")
            << 463 << 0x01 << 10 << "Verze časomíry - , jedna dráha" << 1 << false << false;
        // A number the table does not know is shown as it came.
        QTest::newRow("unknown number")
            << 471 << 0x01 << 10 << "Verze časomíry - 471, jedna dráha" << 1 << false << false;
        QTest::newRow("unknown number, no device yet")
            << 999 << 0 << 12 << "Časomíra je spuštěna, zařízení zatím neodpovědělo (verze 999)" << 12
            << false << false;
        QTest::newRow("version 0") << 0 << 0x0A << 170 << "Verze časomíry - 0, jeden útok" << 10 << false
                                   << true;
    }
    void amNastTable() {
        QFETCH(int, verze);
        QFETCH(int, byte);
        QFETCH(int, nastBefore);
        const qx::CasomiraStav s = qx::amNast(verze, byte, uint8_t(nastBefore));
        QTEST(s.lbl_casomira, "text");
        QTEST(int(s.nast), "nastAfter");
        QTEST(s.disciplinaEnabled, "disciplina");
        QTEST(s.splitRowShown, "splits");
    }
};

QTEST_APPLESS_MAIN(TstZapCasomira)
#include "tst_zap_casomira.moc"
