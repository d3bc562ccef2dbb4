// Window places from qx.ini that lie off every screen are brought back onto the primary one;
// places from which a usable part of the window can be seen stay.

#include "display/placement.h"

#include <QTest>

using namespace stopky;

class TstPlacement : public QObject {
    Q_OBJECT
private slots:
    void placeOnScreen_data();
    void placeOnScreen();
};

void TstPlacement::placeOnScreen_data() {
    QTest::addColumn<QRect>("stored");
    QTest::addColumn<QList<QRect>>("screens"); // the first is the primary one
    QTest::addColumn<QRect>("placed");

    const QList<QRect> laptop{QRect(0, 0, 1280, 800)};
    const QList<QRect> withProjector{QRect(0, 0, 1280, 800), QRect(1280, 0, 1920, 1080)};
    QTest::newRow("default place") << QRect(0, 10, 462, 328) << laptop << QRect(0, 10, 462, 328);
    QTest::newRow("on the projector")
        << QRect(1930, 10, 462, 328) << withProjector << QRect(1930, 10, 462, 328);
    QTest::newRow("projector unplugged: right edge of the primary")
        << QRect(1930, 10, 462, 328) << laptop << QRect(818, 10, 462, 328);
    QTest::newRow("above and left of everything")
        << QRect(-5000, -3000, 462, 328) << laptop << QRect(0, 0, 462, 328);
    QTest::newRow("below the primary") << QRect(100, 900, 462, 328) << laptop << QRect(100, 472, 462, 328);
    QTest::newRow("partly out, a usable part seen")
        << QRect(1000, 700, 462, 328) << laptop << QRect(1000, 700, 462, 328);
    QTest::newRow("a sliver only (30 px)") << QRect(1250, 10, 462, 328) << laptop << QRect(818, 10, 462, 328);
    QTest::newRow("LED window larger than the primary")
        << QRect(1280, 0, 1920, 1080) << laptop << QRect(0, 0, 1280, 800);
    QTest::newRow("primary not at the origin")
        << QRect(0, 0, 462, 328) << QList<QRect>{QRect(1920, 0, 1280, 800)} << QRect(1920, 0, 462, 328);
    QTest::newRow("no screen known") << QRect(5000, 10, 462, 328) << QList<QRect>{}
                                     << QRect(5000, 10, 462, 328);
}

void TstPlacement::placeOnScreen() {
    QFETCH(QRect, stored);
    QFETCH(QList<QRect>, screens);
    QFETCH(QRect, placed);
    QCOMPARE(stopky::placeOnScreen(stored, screens, screens.value(0)), placed);
}

QTEST_APPLESS_MAIN(TstPlacement)
#include "tst_placement.moc"
