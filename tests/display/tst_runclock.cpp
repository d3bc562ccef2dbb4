// The run clock and the scrolling line's model, both driven by injected time.

#include "display/runclock.h"
#include "display/scroller.h"

#include <QTest>

#include <cmath>

using namespace stopky;

class TstRunClock : public QObject {
    Q_OBJECT
private slots:
    void elapsedIgnoresWallClockSteps();
    void limit_data();
    void limit();
    void scrollSpeedIndependentOfFrameRate_data();
    void scrollSpeedIndependentOfFrameRate();
    void scrollWrapsAfterThirtyFivePixelsPerCharacter();
    void scrollStopAndRestart();
};

void TstRunClock::elapsedIgnoresWallClockSteps() {
    std::int64_t mono = 1'000'000;
    QDateTime wall(QDate(2026, 6, 13), QTime(10, 15, 30, 250));
    RunClock c([&] { return mono; }, [&] { return wall; });
    QVERIFY(!c.running());
    c.start();
    QVERIFY(c.running());
    QCOMPARE(c.startQX(), QDateTime(QDate(2026, 6, 13), QTime(10, 15, 30, 250)));
    mono += 5042;
    wall = wall.addSecs(-3600); // a time synchronisation moves the wall clock back an hour
    QCOMPARE(c.elapsedMs(), std::int64_t(5042));
    QCOMPARE(c.frame().ms, std::int64_t(5042));
    QCOMPARE(c.startQX(), QDateTime(QDate(2026, 6, 13), QTime(10, 15, 30, 250)));
    // A new start restarts the count from zero, also while running.
    mono += 700;
    c.start();
    mono += 12;
    QCOMPARE(c.elapsedMs(), std::int64_t(12));
    QCOMPARE(c.startQX(), wall);
}

void TstRunClock::limit_data() {
    QTest::addColumn<int>("maxTime");
    QTest::addColumn<qint64>("at");
    QTest::addColumn<qint64>("shown");
    QTest::addColumn<bool>("stops");
    QTest::newRow("999999 reached runs on") << 999999 << qint64(999999) << qint64(999999) << false;
    QTest::newRow("999999 passed") << 999999 << qint64(1000000) << qint64(999999) << true;
    QTest::newRow("457/463 passed") << 99999 << qint64(100000) << qint64(99999) << true;
    QTest::newRow("457/463 far past after a stalled frame")
        << 99999 << qint64(250000) << qint64(99999) << true;
    QTest::newRow("468 below") << 199999 << qint64(150000) << qint64(150000) << false;
    QTest::newRow("468 passed") << 199999 << qint64(200000) << qint64(199999) << true;
}

void TstRunClock::limit() {
    QFETCH(int, maxTime);
    QFETCH(qint64, at);
    QFETCH(qint64, shown);
    QFETCH(bool, stops);
    std::int64_t mono = 0;
    RunClock c([&] { return mono; }, [] { return QDateTime(); });
    c.setMaxTime(maxTime);
    c.start();
    mono = at;
    const RunClock::Frame f = c.frame();
    QCOMPARE(f.ms, shown);
    QCOMPARE(f.limitReached, stops);
    QCOMPARE(c.running(), !stops);
    if (stops) QVERIFY(!c.frame().limitReached); // reported once
}

void TstRunClock::scrollSpeedIndependentOfFrameRate_data() {
    QTest::addColumn<double>("hz");
    QTest::newRow("60 Hz") << 60.0;
    QTest::newRow("30 Hz") << 30.0;
    QTest::newRow("144 Hz") << 144.0;
    QTest::newRow("7 Hz, a loaded machine") << 7.0;
}

void TstRunClock::scrollSpeedIndependentOfFrameRate() {
    QFETCH(double, hz);
    Scroller s;
    s.setWidth(1000);
    s.restart(QStringLiteral("Vítejte"), 500);
    QCOMPARE(s.scroll(), 1000);
    std::int64_t t = 500;
    for (int i = 1; t < 500 + 5000; ++i) {
        t = 500 + std::llround(i * 1000.0 / hz);
        s.advance(t);
    }
    // 60 px per second: about 300 px in 5 s, whatever the frame rate (the first frame moves by
    // whole pixels, so within half a pixel).
    const double expected = 1000 - 60.0 * (t - 500) / 1000.0;
    QVERIFY2(std::abs(s.position() - expected) <= 0.5, qPrintable(QString::number(s.position())));

    // At 60 Hz every frame moves the text by exactly one pixel, also with frame times rounded to
    // whole milliseconds (16, 17, 17, ...) and a restart between two frames.
    Scroller one;
    one.setWidth(500);
    one.restart(QStringLiteral("x"), 7);
    int prev = one.scroll();
    for (int i = 1; i <= 120; ++i) {
        one.advance(static_cast<double>(std::llround(i * 1000.0 / 60.0)));
        QCOMPARE(prev - one.scroll(), 1);
        prev = one.scroll();
    }
    QCOMPARE(one.scroll(), 380);
}

void TstRunClock::scrollWrapsAfterThirtyFivePixelsPerCharacter() {
    Scroller s;
    s.setWidth(200);
    s.restart(QStringLiteral("0123456789"), 0);
    // 550 px to reach -350: still drawn there.
    s.advance(9166); // 549.96 px
    QCOMPARE(s.scroll(), -350);
    s.advance(9200); // 552 px: past -351, the text enters again from the right edge
    QVERIFY2(s.scroll() >= 198 && s.scroll() <= 200, qPrintable(QString::number(s.scroll())));
    // A long pause (window hidden, machine suspended) keeps the text within its path.
    s.advance(9200 + 3'600'000);
    QVERIFY(s.scroll() >= -350 && s.scroll() <= 200);
    // The width in force at the wrap is the one the text re-enters at.
    Scroller w;
    w.setWidth(100);
    w.restart(QStringLiteral("ab"), 0);
    w.setWidth(640);
    w.advance(3000); // 180 px: 100 - 180 = -80 < -70
    QVERIFY(w.scroll() > 600);
}

void TstRunClock::scrollStopAndRestart() {
    Scroller s;
    s.setWidth(300);
    s.restart(QStringLiteral("Prvni"), 0);
    s.advance(1000);
    QCOMPARE(s.scroll(), 240);
    s.stop();
    QVERIFY(!s.moving());
    s.advance(5000);
    QCOMPARE(s.scroll(), 240);
    // Restart: new text from the right edge, moving from the restart's moment (not from the stop).
    s.restart(QStringLiteral("Druhy"), 7000);
    QCOMPARE(s.Scrolly(), QStringLiteral("Druhy"));
    QCOMPARE(s.scroll(), 300);
    s.advance(7500);
    QCOMPARE(s.scroll(), 270);
}

QTEST_APPLESS_MAIN(TstRunClock)
#include "tst_runclock.moc"
