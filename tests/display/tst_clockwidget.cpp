// The running clock's surface and the frame clock, driven by an injected monotonic clock.

#include "display/TimeRecord.h"
#include "display/clockwidget.h"

#include <QSignalSpy>
#include <QTest>

using namespace stopky;

class TstClockWidget : public QObject {
    Q_OBJECT
private slots:
    void textsPerVersion_data();
    void textsPerVersion();
    void limit_data();
    void limit();
    void framesOnlyWhileNeeded();
    void textX_data();
    void textX();
};

namespace {
struct Rig {
    std::int64_t mono = 10'000;
    FrameClock frames{nullptr, [this] { return mono; }};
    RunClock clock{[this] { return mono; }, [] { return QDateTime::currentDateTime(); }};
    QWidget panel;
    ClockWidget widget{&frames, &clock, &panel};
};
} // namespace

void TstClockWidget::textsPerVersion_data() {
    QTest::addColumn<int>("verze");
    QTest::addColumn<int>("format");
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<QString>("text");
    QTest::newRow("466 thousandths") << 466 << int(Tisiciny) << qint64(5042) << "5,042";
    QTest::newRow("466 hundredths") << 466 << int(Setiny) << qint64(5042) << "5,04";
    QTest::newRow("454 whatever the choice") << 454 << int(Tisiciny) << qint64(5042) << "5,04";
    QTest::newRow("463 cut, never rounded") << 463 << int(Tisiciny) << qint64(5049) << "5,04";
    QTest::newRow("458 long") << 458 << int(Tisiciny) << qint64(123007) << "123,007";
}

void TstClockWidget::textsPerVersion() {
    QFETCH(int, verze);
    QFETCH(int, format);
    QFETCH(qint64, ms);
    QFETCH(QString, text);
    Rig r;
    r.widget.setVersion(verze, format);
    QSignalSpy changed(&r.widget, &ClockWidget::textChanged);
    r.widget.startRun();
    QCOMPARE(r.widget.text(), QStringLiteral("0,000")); // until the first frame
    QCOMPARE(changed.count(), 1);
    QVERIFY(r.widget.isVisibleTo(&r.panel));
    r.mono += ms;
    r.frames.tick();
    QCOMPARE(r.widget.text(), text);
    QCOMPARE(changed.last().at(0).toString(), text);
    QVERIFY(r.widget.running());
}

void TstClockWidget::limit_data() {
    QTest::addColumn<int>("verze");
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("maxTime");
    QTest::addColumn<QString>("text");
    QTest::newRow("457 thousandths") << 457 << int(Tisiciny) << 99999 << "99,999";
    QTest::newRow("457 hundredths") << 457 << int(Setiny) << 99999 << "99,99";
    QTest::newRow("468") << 468 << int(Tisiciny) << 199999 << "199,999";
    QTest::newRow("466 default limit") << 466 << int(Tisiciny) << 999999 << "999,999";
    QTest::newRow("454 default limit") << 454 << int(Setiny) << 999999 << "999,99";
}

void TstClockWidget::limit() {
    QFETCH(int, verze);
    QFETCH(int, format);
    QFETCH(int, maxTime);
    QFETCH(QString, text);
    Rig r;
    r.widget.setVersion(verze, format);
    r.widget.setMaxTime(maxTime);
    QSignalSpy limitSpy(&r.widget, &ClockWidget::limitReached);
    r.widget.startRun();
    r.mono += maxTime; // the limit itself still runs on
    r.frames.tick();
    QVERIFY(r.widget.running());
    QCOMPARE(limitSpy.count(), 0);
    r.mono += 1;
    r.frames.tick();
    QCOMPARE(limitSpy.count(), 1);
    QVERIFY(!r.widget.running());
    QCOMPARE(r.widget.text(), text);
    QVERIFY(!r.widget.isVisibleTo(&r.panel));
    QVERIFY(!r.frames.active());
    // Later frames (the scrolling text may still tick) change nothing.
    r.mono += 5000;
    r.frames.tick();
    QCOMPARE(r.widget.text(), text);
    QCOMPARE(limitSpy.count(), 1);
}

void TstClockWidget::framesOnlyWhileNeeded() {
    Rig r;
    r.widget.setVersion(466, Tisiciny);
    QVERIFY(!r.frames.active());
    r.widget.startRun();
    QVERIFY(r.frames.active());
    QVERIFY(r.frames.interval() >= 2 && r.frames.interval() <= 100);
    // A second user keeps the timer alive after the clock stops.
    int other = 0;
    r.frames.setNeeded(&other, true);
    r.widget.stopRun(true);
    QVERIFY(r.frames.active());
    QVERIFY(!r.widget.isVisibleTo(&r.panel));
    r.frames.setNeeded(&other, false);
    QVERIFY(!r.frames.active());
    // A version or format change stops the clock without hiding the surface.
    r.widget.startRun();
    r.mono += 1234;
    r.frames.tick();
    r.widget.stopRun(false);
    QVERIFY(r.widget.isVisibleTo(&r.panel));
    QVERIFY(!r.frames.active());
    QCOMPARE(r.widget.text(), QStringLiteral("1,234"));
    // Every start announces "0,000", also when the last run stopped on it.
    QSignalSpy changed(&r.widget, &ClockWidget::textChanged);
    r.widget.startRun();
    r.widget.stopRun();
    r.widget.startRun();
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.last().at(0).toString(), QStringLiteral("0,000"));
    r.widget.stopRun();
    // The real timer ticks while needed.
    r.widget.startRun();
    QSignalSpy frameSpy(&r.frames, &FrameClock::frame);
    QTRY_VERIFY(frameSpy.count() >= 2);
    r.widget.stopRun();
}

void TstClockWidget::textX_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("x");
    QTest::newRow("123,456") << "123,456" << 64;
    QTest::newRow("12,345") << "12,345" << 89;
    QTest::newRow("123,45") << "123,45" << 89;
    QTest::newRow("1,234") << "1,234" << 114;
    QTest::newRow("1,23") << "1,23" << 139;
}

void TstClockWidget::textX() {
    QFETCH(QString, text);
    QFETCH(int, x);
    QCOMPARE(ClockWidget::textX(text), x);
}

QTEST_MAIN(TstClockWidget)
#include "tst_clockwidget.moc"
