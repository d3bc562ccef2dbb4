// Layout arithmetic of the LED window, with a synthetic font so that it needs no screen.

#include "display/ledlayout.h"

#include <QTest>

using namespace stopky;
using namespace stopky::ledlayout;

namespace {
// A font whose characters are 2/3 of the point size wide and whose line is 3/2 of it high
// (plus one pixel); an empty text is one line high and has no width.
QSize fakeMeasure(const QString& text, int pt) {
    return {static_cast<int>(text.size()) * pt * 2 / 3, pt * 3 / 2 + 1};
}

Input input(int w, int h, const QString& team = QStringLiteral("SDH Horní Dolní"),
            std::array<QString, 4> names = {QStringLiteral("Koš"), QStringLiteral("Rozdělovač"),
                                            QStringLiteral("Terč"), QStringLiteral("Rozdíl")}) {
    Input in;
    in.width = w;
    in.height = h;
    in.teamName = team;
    in.rowNames = names;
    return in;
}

bool fits(const Input& in, int teamHeight, int pt) {
    const QString longest = compute(in, fakeMeasure).longestName;
    const QSize t = fakeMeasure(kTimeSample, pt);
    return t.width() + fakeMeasure(longest, pt).width() <= in.width - 30 &&
           (in.height - 25 - teamHeight - 80) / 4 >= t.height();
}
} // namespace

class TstLedLayout : public QObject {
    Q_OBJECT
private slots:
    void teamName_data();
    void teamName();
    void rowFontIsThreeBelowTheLargestFit_data();
    void rowFontIsThreeBelowTheLargestFit();
    void growingWindowGrowsRowsAboveScrollLine();
    void nameColumnWidth();
    void windowTooSmall();
};

void TstLedLayout::teamName_data() {
    QTest::addColumn<QString>("team");
    QTest::addColumn<int>("pointSize");
    QTest::newRow("25 characters") << QString(25, QLatin1Char('x')) << 70;
    QTest::newRow("26 characters") << QString(26, QLatin1Char('x')) << 35;
    QTest::newRow("empty") << QString() << 70;
    QTest::newRow("25 with diacritics") << QStringLiteral("Žďár nad Sázavou-Ústí 1234").left(25) << 70;
    // Characters, not UTF-16 units: 24 letters and one sign outside the BMP are 25 characters.
    QTest::newRow("25 with a sign outside the BMP")
        << QString(24, QLatin1Char('x')) + QStringLiteral("\U0001F692") << 70;
}

void TstLedLayout::teamName() {
    QFETCH(QString, team);
    QFETCH(int, pointSize);
    const Result r = compute(input(800, 600, team), fakeMeasure);
    QCOMPARE(r.teamPointSize, pointSize);
    const int Hn = fakeMeasure(team, pointSize).height();
    QCOMPARE(r.team, QRect(0, 0, 800, Hn));
    QCOMPARE(r.startBanner, QRect(0, Hn, 800, 120));
    QCOMPARE(r.names[0].top(), Hn);
    QCOMPARE(r.times[0].top(), Hn);
}

void TstLedLayout::rowFontIsThreeBelowTheLargestFit_data() {
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::newRow("default 462x328, height limits") << 462 << 328;
    QTest::newRow("wide and low, height limits") << 1600 << 400;
    QTest::newRow("narrow and tall, width limits") << 300 << 1200;
    QTest::newRow("full HD") << 1920 << 1080;
}

void TstLedLayout::rowFontIsThreeBelowTheLargestFit() {
    QFETCH(int, w);
    QFETCH(int, h);
    const Input in = input(w, h);
    const Result r = compute(in, fakeMeasure);
    const int Hn = r.team.height();
    // The largest fitting size is three points above the chosen one; one more does not fit.
    QVERIFY(fits(in, Hn, r.rowPointSize + 3));
    QVERIFY(!fits(in, Hn, r.rowPointSize + 4));
}

void TstLedLayout::growingWindowGrowsRowsAboveScrollLine() {
    int lastWide = 0, lastTall = 0;
    for (int step = 0; step < 40; ++step) {
        const Input wide = input(300 + 40 * step, 900);  // width limits first, then height
        const Input tall = input(1400, 328 + 30 * step); // height limits first, then width
        for (const Input& in : {wide, tall}) {
            const Result r = compute(in, fakeMeasure);
            // Four rows, one below the other, then the 80-pixel scrolling line, all inside H - 25.
            for (int i = 0; i < 4; ++i) {
                QCOMPARE(r.names[i].top(), r.team.height() + i * r.times[0].height());
                QCOMPARE(r.times[i].top(), r.names[i].top());
                QCOMPARE(r.times[i].height(), fakeMeasure(kTimeSample, r.rowPointSize).height());
            }
            QCOMPARE(r.scrollLine.top(), r.names[3].bottom() + 1);
            QCOMPARE(r.scrollLine.height(), 80);
            QCOMPARE(r.scrollLine.width(), in.width);
            QVERIFY2(r.scrollLine.bottom() + 1 <= in.height - 25, qPrintable(QString::number(step)));
            QVERIFY(r.times[0].right() < in.width - 10);
        }
        const int wideSize = compute(wide, fakeMeasure).rowPointSize;
        const int tallSize = compute(tall, fakeMeasure).rowPointSize;
        QVERIFY(wideSize >= lastWide);
        QVERIFY(tallSize >= lastTall);
        lastWide = wideSize;
        lastTall = tallSize;
    }
    // The rows did grow in both directions until the other limit held them.
    QVERIFY(lastWide > compute(input(300, 900), fakeMeasure).rowPointSize);
    QVERIFY(lastTall > compute(input(1400, 328), fakeMeasure).rowPointSize);
}

void TstLedLayout::nameColumnWidth() {
    const Input in = input(900, 700, QStringLiteral("T"),
                           {QStringLiteral("Rozdělovač"), QStringLiteral("Koš"), QStringLiteral("Terč"),
                            QStringLiteral("Cíl!")});
    const Result r = compute(in, fakeMeasure);
    QCOMPARE(r.longestName, QStringLiteral("Rozdělovač"));
    const int Wn = fakeMeasure(QStringLiteral("Rozdělovač"), r.rowPointSize).width();
    const int Wt = fakeMeasure(kTimeSample, r.rowPointSize).width();
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(r.names[i].left(), 10);
        QCOMPARE(r.names[i].width(), Wn);
        QCOMPARE(r.times[i].left(), Wn + 20);
        QCOMPARE(r.times[i].width(), Wt);
    }
    // Of equally long names the first one sizes the column.
    const Result tie = compute(
        input(900, 700, {}, {QStringLiteral("ab"), QStringLiteral("WWW"), QStringLiteral("iii"), QString()}),
        fakeMeasure);
    QCOMPARE(tie.longestName, QStringLiteral("WWW"));
}

void TstLedLayout::windowTooSmall() {
    // Too small for any size: the rows take size 1 rather than a size below it.
    const Result r = compute(input(40, 120), fakeMeasure);
    QCOMPARE(r.rowPointSize, 1);
    QVERIFY(r.times[0].height() > 0);
}

QTEST_APPLESS_MAIN(TstLedLayout)
#include "tst_ledlayout.moc"
