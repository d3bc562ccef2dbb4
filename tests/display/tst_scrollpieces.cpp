// The scrolling line's text in pieces: the pieces make up the text, stay short, never split a
// character, lie side by side, and a frame finds exactly the pieces in view, however long the
// text.

#include "display/scrollpieces.h"

#include <QTest>
#include <QTextBoundaryFinder>

using namespace stopky;

namespace {

// A font of fixed width: 30 pixels per UTF-16 unit (any width function serves the cutting).
qreal fixedAdvance(QStringView s) {
    return qreal(s.size()) * 30;
}

// One with fractions: 30.3 pixels per unit.
qreal fractionalAdvance(QStringView s) {
    return qreal(s.size()) * 30.3;
}

QString longText(int length) {
    const QString words = QStringLiteral("SDH Horní Lhota, SDH Dolní Lhota, SDH Velké Meziříčí – ");
    QString t;
    while (t.size() < length)
        t += words;
    t.truncate(length);
    return t;
}

int graphemes(QStringView s) {
    QTextBoundaryFinder f(QTextBoundaryFinder::Grapheme, s.toString());
    int n = 0;
    while (f.toNextBoundary() > 0)
        ++n;
    return n;
}

} // namespace

class TstScrollPieces : public QObject {
    Q_OBJECT
private slots:
    void piecesMakeUpTheText_data();
    void piecesMakeUpTheText();
    void visiblePieces_data();
    void visiblePieces();
};

void TstScrollPieces::piecesMakeUpTheText_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("short") << QStringLiteral("Připraví se: SDH Lhota");
    QTest::newRow("1000 characters") << longText(1000);
    QTest::newRow("10000 characters") << longText(10000);
    QTest::newRow("no spaces") << QString(100, u'x');
    // Signs outside the BMP and letters with combining accents are never split.
    QTest::newRow("surrogate pairs") << QStringLiteral("\U0001F692").repeated(70);
    QTest::newRow("combining accents") << QStringLiteral("e\u0301").repeated(70);
}

void TstScrollPieces::piecesMakeUpTheText() {
    QFETCH(QString, text);
    ScrollPieces p;
    p.setText(text, fixedAdvance);
    QString joined;
    int x = 0;
    for (const ScrollPieces::Piece& piece : p.pieces()) {
        const QStringView s = QStringView(text).mid(piece.start, piece.length);
        QCOMPARE(piece.start, joined.size());
        QVERIFY(piece.length > 0);
        QVERIFY(graphemes(s) <= ScrollPieces::kMaxPieceChars);
        QVERIFY(!s.front().isLowSurrogate());
        QVERIFY(!s.back().isHighSurrogate());
        QVERIFY(s.front().category() != QChar::Mark_NonSpacing);
        QCOMPARE(piece.x, x);
        QCOMPARE(piece.width, qRound(fixedAdvance(s)));
        x += piece.width;
        joined += s;
    }
    QCOMPARE(joined, text);
    QCOMPARE(p.width(), qRound(fixedAdvance(text)));

    // With fractional widths every piece stands where the whole text would put it (rounded),
    // not drifting by the rounding of the pieces before it.
    ScrollPieces f;
    f.setText(text, fractionalAdvance);
    for (const ScrollPieces::Piece& piece : f.pieces())
        QCOMPARE(piece.x, qRound(fractionalAdvance(QStringView(text).left(piece.start))));
    // Long runs of words are cut after a space.
    if (text.contains(u' ') && p.pieces().size() > 1) {
        const ScrollPieces::Piece& first = p.pieces().first();
        QVERIFY(text.at(first.start + first.length - 1).isSpace());
    }
}

void TstScrollPieces::visiblePieces_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("left"); // -scroll
    QTest::addColumn<int>("width");
    QTest::newRow("entering from the right") << 1000 << -700 << 800;
    QTest::newRow("at the start") << 1000 << 0 << 800;
    QTest::newRow("in the middle of 1000") << 1000 << 15000 << 800;
    QTest::newRow("in the middle of 10000") << 10000 << 150000 << 800;
    QTest::newRow("near the end of 10000") << 10000 << 299500 << 800;
    QTest::newRow("past the end") << 50 << 5000 << 800;
    QTest::newRow("not yet in") << 50 << -900 << 800;
    QTest::newRow("wide display") << 10000 << 42000 << 3840;
}

void TstScrollPieces::visiblePieces() {
    QFETCH(int, length);
    QFETCH(int, left);
    QFETCH(int, width);
    ScrollPieces p;
    p.setText(longText(length), fixedAdvance);
    const auto [first, last] = p.visible(left, width);
    // Exactly the pieces that cross [left, left + width).
    for (qsizetype i = 0; i < p.pieces().size(); ++i) {
        const ScrollPieces::Piece& piece = p.pieces().at(i);
        const bool crosses = piece.x < left + width && piece.x + piece.width > left;
        QCOMPARE(i >= first && i < last, crosses);
    }
    // However long the text, a frame draws no more than the view's width holds.
    const int shortest = 30 * ScrollPieces::kMaxPieceChars / 2;
    QVERIFY(last - first <= width / shortest + 2);
}

QTEST_APPLESS_MAIN(TstScrollPieces)
#include "tst_scrollpieces.moc"
