// The LED window: controls, layout with real fonts, split rows, START banner, keys, closing and
// the scrolling line's frame demand.

#include "display/TfrmLED.h"
#include "display/TimeRecord.h"
#include "display/clockwidget.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace stopky;

class TstLedWindow : public QObject {
    Q_OBJECT
private slots:
    void controlsUnderTheirNames();
    void layoutWithRealFonts();
    void textsWaitForShowing();
    void splitRows();
    void mezicasFromTheConsole();
    void startBanner();
    void keysGoToConsole();
    void closeHidesAndReleases();
    void scrollingLine();
    void longScrollingText_data();
    void longScrollingText();
    void bounds();
};

namespace {
struct Rig {
    std::int64_t mono = 0;
    FrameClock frames{nullptr, [this] { return mono; }};
    TfrmLED led{&frames};
};

// The row font by trying every size from 1 up, as the rule states it.
int rowSizeByScan(int W, int H, int teamHeight, const QString& longest) {
    int s = 1;
    while (true) {
        const QSize t = TfrmLED::measure(QStringLiteral("000,000"), s);
        const QSize n = TfrmLED::measure(longest, s);
        ++s;
        if (t.width() + n.width() > W - 30 || (H - 25 - teamHeight - 80) / 4 < t.height()) break;
    }
    return std::max(1, s - 5);
}

const std::array<QString, 4> kNames{QStringLiteral("Rozdělovač"), QStringLiteral("Koš"),
                                    QStringLiteral("Terč"), QStringLiteral("Cíl!")};
} // namespace

void TstLedWindow::controlsUnderTheirNames() {
    Rig r;
    for (const char* name : {"lblSDH", "lblM0", "lblM1", "lblM2", "lblMR", "lblCas0", "lblCas1", "lblCas2",
                             "lblCas3", "lblpom", "pnlStart"})
        QVERIFY2(r.led.findChild<QLabel*>(QString::fromLatin1(name)), name);
    QVERIFY(r.led.findChild<QWidget*>(QStringLiteral("DXDraw")));
    QTimer* t = r.led.findChild<QTimer*>(QStringLiteral("tmrStart"));
    QVERIFY(t);
    QCOMPARE(t->interval(), 5000);
    QVERIFY(!t->isActive());
    QVERIFY(r.led.isWindow());
    QVERIFY(!r.led.isVisible());
    QCOMPARE(r.led.palette().color(QPalette::Window), QColor(Qt::black));
    QCOMPARE(r.led.pnlStart->text(), QStringLiteral("START"));
}

void TstLedWindow::layoutWithRealFonts() {
    Rig r;
    r.led.setTexts(QString(25, QLatin1Char('W')), kNames);
    r.led.resize(462, 328);
    r.led.show();
    QVERIFY(QTest::qWaitForWindowExposed(&r.led));
    QCOMPARE(r.led.lblSDH->font().pointSize(), 70);
    QVERIFY(r.led.lblSDH->isVisible());
    r.led.setTexts(QString(26, QLatin1Char('W')), kNames);
    QCOMPARE(r.led.lblSDH->font().pointSize(), 35);
    QCOMPARE(r.led.lblSDH->geometry(),
             QRect(0, 0, r.led.frameGeometry().width(), QFontMetrics(r.led.lblSDH->font()).height()));

    int last = 0;
    for (const QSize size : {QSize(462, 328), QSize(700, 500), QSize(1024, 768), QSize(1920, 1080)}) {
        r.led.resize(size);
        QCOMPARE(r.led.size(), size);
        const auto& L = r.led.layout();
        // The real font's sizes grow steadily enough for the quick search to agree with the scan.
        QCOMPARE(L.rowPointSize, rowSizeByScan(r.led.frameGeometry().width(), r.led.frameGeometry().height(),
                                               r.led.lblSDH->height(), kNames[0]));
        QVERIFY(L.rowPointSize >= last);
        last = L.rowPointSize;
        // Rows one below the other, above the scrolling line, which fits in the window.
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(r.led.lblCas[i]->geometry().top(), r.led.lblSDH->height() + i * r.led.lblCas0->height());
            QCOMPARE(r.led.lblM[i]->font().pointSize(), L.rowPointSize);
        }
        QCOMPARE(r.led.DXDraw->geometry().top(), r.led.lblCas3->geometry().bottom() + 1);
        QVERIFY(r.led.DXDraw->geometry().bottom() < size.height());
        QCOMPARE(r.led.DXDraw->height(), 80);
        // The name column is as wide as the longest name at the row font.
        const QFontMetrics fm(r.led.lblM0->font());
        QCOMPARE(r.led.lblM0->width(), fm.horizontalAdvance(kNames[0]));
        QCOMPARE(r.led.lblCas0->x(), r.led.lblM0->width() + 20);
        QVERIFY(r.led.lblCas0->geometry().right() < size.width());
    }
    QVERIFY(last > 20);
}

void TstLedWindow::textsWaitForShowing() {
    Rig r;
    r.led.setTexts(QStringLiteral("SDH Lhota"), kNames);
    QVERIFY(r.led.lblSDH->text().isEmpty()); // hidden: no layout
    r.led.show();
    QCOMPARE(r.led.lblSDH->text(), QStringLiteral("SDH Lhota"));
    r.led.hide();
    r.led.setTexts(QStringLiteral("SDH Ves"), kNames);
    QCOMPARE(r.led.lblSDH->text(), QStringLiteral("SDH Lhota"));
    r.led.show();
    QCOMPARE(r.led.lblSDH->text(), QStringLiteral("SDH Ves"));
}

void TstLedWindow::splitRows() {
    Rig r;
    r.led.show();
    SplitTimes s;
    s.mezicas(15000, Setiny, kNames);
    s.mezicas(22500, Setiny, kNames);
    r.led.showSplits(s);
    QCOMPARE(r.led.lblM0->text(), kNames[0]);
    QCOMPARE(r.led.lblCas0->text(), QStringLiteral("15,00"));
    QCOMPARE(r.led.lblCas1->property("tag").toLongLong(), 2250);
    QVERIFY(r.led.lblM2->text().isEmpty());
    QVERIFY(r.led.lblCas3->text().isEmpty());
    s.mezicas(30000, Setiny, kNames);
    r.led.showSplits(s);
    QCOMPARE(r.led.lblMR->text(), kNames[3]);
    QCOMPARE(r.led.lblCas3->text(), QStringLiteral("7,50"));

    QLabel c0, c1, c2, cr;
    showConsoleSplits(s, {&c0, &c1, &c2, &cr});
    QCOMPARE(cr.text(), QStringLiteral("Cíl!: 7,50"));
    QVERIFY(!cr.isHidden());

    r.led.clearRows();
    for (int i = 0; i < 4; ++i) {
        QVERIFY(r.led.lblM[i]->text().isEmpty());
        QVERIFY(r.led.lblCas[i]->text().isEmpty());
    }
    showConsoleSplits(SplitTimes(), {&c0, &c1, &c2, &cr});
    QVERIFY(c0.isHidden() && cr.isHidden());
}

void TstLedWindow::mezicasFromTheConsole() {
    Rig r;
    std::int64_t mono = 0;
    RunClock clock([&] { return mono; }, [] { return QDateTime::currentDateTime(); });
    SplitTimes s;
    QLabel c0, c1, c2, cr;
    const std::array<QLabel*, 4> console{&c0, &c1, &c2, &cr};
    r.led.show();
    // Before the start nothing is taken.
    QVERIFY(mezicas(s, clock, Setiny, kNames, &r.led, console).isEmpty());
    QVERIFY(!s.row(0).taken());
    clock.start();
    QList<SplitTimes::AmMezi> sent;
    for (const std::int64_t at : {12346, 15000, 22500}) {
        mono = at;
        sent += mezicas(s, clock, Setiny, kNames, &r.led, console);
    }
    QCOMPARE(sent, (QList<SplitTimes::AmMezi>{{1, 1235}, {2, 1500}, {3, 2250}, {4, 750}}));
    QCOMPARE(r.led.lblCas0->text(), QStringLiteral("12,35"));
    QCOMPARE(r.led.lblCas3->text(), QStringLiteral("7,50"));
    QCOMPARE(c0.text(), kNames[0] + QStringLiteral(": 12,35"));
    QVERIFY(!cr.isHidden());
    // A fourth press: nothing sent, nothing changed.
    mono = 30000;
    QVERIFY(mezicas(s, clock, Tisiciny, kNames, &r.led, console).isEmpty());
    QCOMPARE(r.led.lblCas3->text(), QStringLiteral("7,50"));
    // After the clock stopped (end of run, limit) the space bar takes nothing either.
    s.clear();
    clock.stop();
    QVERIFY(mezicas(s, clock, Setiny, kNames, &r.led, console).isEmpty());
}

void TstLedWindow::startBanner() {
    Rig r;
    r.led.show();
    r.led.showStartBanner();
    QVERIFY(r.led.pnlStart->isVisible());
    QVERIFY(r.led.tmrStart->isActive());
    QCOMPARE(r.led.tmrStart->interval(), 5000);
    QCOMPARE(r.led.pnlStart->geometry(),
             QRect(0, r.led.lblSDH->height(), r.led.frameGeometry().width(), 120));
    // The reset byte hides it at once.
    r.led.hideStartBanner();
    QVERIFY(!r.led.pnlStart->isVisible());
    QVERIFY(!r.led.tmrStart->isActive());
    // The timer hides it by itself (a short interval stands in for the 5 s) and stops.
    r.led.tmrStart->setInterval(30);
    r.led.showStartBanner();
    QVERIFY(r.led.pnlStart->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!r.led.pnlStart->isVisible(), 2000);
    QVERIFY(!r.led.tmrStart->isActive());
}

void TstLedWindow::keysGoToConsole() {
    Rig r;
    QList<int> keys;
    r.led.onKeyDown = [&](int key, Qt::KeyboardModifiers) { keys << key; };
    r.led.show();
    QTest::keyClick(&r.led, Qt::Key_Space);
    QTest::keyClick(&r.led, Qt::Key_A);
    QCOMPARE(keys, (QList<int>{Qt::Key_Space, Qt::Key_A}));
    QCOMPARE(int(Qt::Key_Space), 32);
}

void TstLedWindow::closeHidesAndReleases() {
    Rig r;
    QSignalSpy closed(&r.led, &TfrmLED::closedByUser);
    r.led.show();
    QVERIFY(r.led.close());
    QVERIFY(!r.led.isVisible());
    QCOMPARE(closed.count(), 1);
    // Hiding it from the console is no close.
    r.led.show();
    r.led.hide();
    QCOMPARE(closed.count(), 1);
}

void TstLedWindow::scrollingLine() {
    Rig r;
    r.led.resize(600, 400);
    r.led.show();
    QVERIFY(!r.frames.active()); // nothing moves yet: no timer
    QVERIFY(!r.led.DXDraw->isVisible());

    QLineEdit edtText;
    watchScrollFocus(&edtText, &r.led);
    edtText.setText(QStringLiteral("Vítejte na soutěži"));
    QFocusEvent out(QEvent::FocusOut);
    QCoreApplication::sendEvent(&edtText, &out);
    QVERIFY(r.led.scroller().moving());
    QCOMPARE(r.led.scroller().Scrolly(), QStringLiteral("Vítejte na soutěži"));
    QCOMPARE(r.led.scroller().scroll(), r.led.DXDraw->width());
    QVERIFY(r.led.DXDraw->isVisible());
    QVERIFY(r.frames.active());

    r.mono += 1000;
    r.frames.tick();
    QCOMPARE(r.led.scroller().scroll(), r.led.DXDraw->width() - 60);

    // Hidden window: no frames needed; shown again: frames again.
    r.led.hide();
    QVERIFY(!r.frames.active());
    r.led.show();
    QVERIFY(r.frames.active());

    QFocusEvent in(QEvent::FocusIn);
    QCoreApplication::sendEvent(&edtText, &in);
    QVERIFY(!r.led.scroller().moving());
    QVERIFY(!r.led.DXDraw->isVisible());
    QVERIFY(!r.frames.active());

    // zapisnik refills the text while the console window is inactive (no focus events).
    r.led.restartScroll(QStringLiteral("Další: SDH Ves"));
    QVERIFY(r.led.scroller().moving());
    QVERIFY(r.led.DXDraw->isVisible());
    // The version set-up stops it and keeps the last frame.
    r.led.haltScroll();
    QVERIFY(!r.led.scroller().moving());
    QVERIFY(r.led.DXDraw->isVisible());
    QVERIFY(!r.frames.active());
}

// A long scrolling text is drawn where it stands, deep into it as well, as the whole text drawn
// at once would look (the pieces join without seams), and the line is never left blank.
void TstLedWindow::longScrollingText_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("seconds"); // how long it has scrolled
    QTest::newRow("50 characters, entering") << 50 << 5;
    QTest::newRow("2000 characters, at its start") << 2000 << 20;
    QTest::newRow("2000 characters, deep in it") << 2000 << 600;
    QTest::newRow("10000 characters, deep in it") << 10000 << 3000;
}

void TstLedWindow::longScrollingText() {
    QFETCH(int, length);
    QFETCH(int, seconds);
    QString text;
    while (text.size() < length)
        text += QStringLiteral("Připraví se: SDH Horní Lhota, SDH Dolní Lhota, SDH Velké Meziříčí – ");
    text.truncate(length);

    Rig r;
    r.led.resize(800, 400);
    r.led.show();
    QVERIFY(QTest::qWaitForWindowExposed(&r.led));
    r.led.restartScroll(text);
    r.mono += qint64(seconds) * 1000;
    r.frames.tick();
    const int x = r.led.scroller().scroll();

    const QImage shown = r.led.DXDraw->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QImage whole(shown.size(), QImage::Format_RGB32);
    whole.setDevicePixelRatio(shown.devicePixelRatio());
    whole.fill(Qt::black);
    {
        QPainter p(&whole);
        QFont f(QStringLiteral("Arial"));
        f.setBold(true);
        f.setPointSize(50);
        p.setFont(f);
        p.setPen(QColor(0, 255, 255));
        p.drawText(QRect(x, 0, 1 << 22, whole.height()), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                   text);
    }
    int aqua = 0;
    int differ = 0;
    for (int yy = 0; yy < shown.height(); ++yy) {
        for (int xx = 0; xx < shown.width(); ++xx) {
            const QRgb a = shown.pixel(xx, yy);
            const QRgb b = whole.pixel(xx, yy);
            if (qBlue(a) > 200 && qGreen(a) > 200 && qRed(a) < 60) ++aqua;
            if (qAbs(qGreen(a) - qGreen(b)) > 64) ++differ;
        }
    }
    // What is held rendered is what the line shows and a piece on either side, whatever the
    // length of the text.
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPointSize(50);
    const int piece = ScrollPieces::kMaxPieceChars * QFontMetrics(font).maxWidth();
    QVERIFY2(r.led.DXDraw->heldWidth() <= r.led.DXDraw->width() + 2 * piece,
             qPrintable(QString::number(r.led.DXDraw->heldWidth())));
    const int pixels = shown.width() * shown.height();
    if (x < r.led.DXDraw->width() - 50) QVERIFY2(aqua > pixels / 50, qPrintable(QString::number(aqua)));
    QVERIFY2(differ <= pixels / 100,
             qPrintable(QStringLiteral("%1 of %2 pixels differ").arg(differ).arg(pixels)));
}

void TstLedWindow::bounds() {
    Rig r;
    r.led.setLedBounds(QRect(450, 10, 462, 328));
    QCOMPARE(r.led.ledBounds(), QRect(450, 10, 462, 328)); // not shown: read back as set
    r.led.show();
    QVERIFY(QTest::qWaitForWindowExposed(&r.led));
    r.led.setLedBounds(QRect(100, 50, 800, 600));
    QTRY_COMPARE(r.led.ledBounds().size(), QSize(800, 600));
}

QTEST_MAIN(TstLedWindow)
#include "tst_ledwindow.moc"
