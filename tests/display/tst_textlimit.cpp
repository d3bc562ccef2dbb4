// The typing limit of the console's edit boxes: only what the operator types is limited, and
// lengths count characters, not UTF-16 units.

#include "display/textlimit.h"

#include <QTest>

using namespace stopky;

namespace {
const QString fire = QStringLiteral("\U0001F692"); // one character, two UTF-16 units
}

class TstTextLimit : public QObject {
    Q_OBJECT
private slots:
    void characters_data();
    void characters();
    void typing_data();
    void typing();
};

void TstTextLimit::characters_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("Czech letters") << QStringLiteral("Žďár") << 4;
    QTest::newRow("outside the BMP") << QStringLiteral("a") + fire + fire << 3;
    QTest::newRow("lone surrogate") << QString(QChar(0xD83D)) << 1;
}

void TstTextLimit::characters() {
    QFETCH(QString, text);
    QFETCH(int, count);
    QCOMPARE(characterCount(text), count);
}

void TstTextLimit::typing_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cursorAfter");

    const QString x24(24, u'x');
    const QString long40 = QStringLiteral("Sbor dobrovolných hasičů Horní Dolní 123");
    QTest::newRow("within the limit")
        << QStringLiteral("SD") << QStringLiteral("SDH") << 3 << 25 << QStringLiteral("SDH") << 3;
    QTest::newRow("the 25th character") << x24 << x24 + u'y' << 25 << 25 << x24 + u'y' << 25;
    QTest::newRow("the 26th character is refused")
        << x24 + u'y' << x24 + QStringLiteral("yz") << 26 << 25 << x24 + u'y' << 25;
    QTest::newRow("typed in the middle, refused")
        << x24 + u'y' << QStringLiteral("xxQ") + x24.mid(2) + u'y' << 3 << 25 << x24 + u'y' << 2;
    QTest::newRow("paste cut to fit")
        << QStringLiteral("SDH ") << QStringLiteral("SDH Horní Dolní Lhota u Brna-venkov") << 35 << 25
        << QStringLiteral("SDH Horní Dolní Lhota u B") << 25;
    QTest::newRow("paste into the middle, cut to fit")
        << QStringLiteral("ab") << QStringLiteral("a0123456789b") << 11 << 5 << QStringLiteral("a012b") << 4;
    QTest::newRow("characters outside the BMP count once")
        << QString() << fire.repeated(25) << 50 << 25 << fire.repeated(25) << 50;
    QTest::newRow("never half a character")
        << fire.repeated(24) << fire.repeated(26) << 52 << 25 << fire.repeated(25) << 50;
    QTest::newRow("a longer program text is edited")
        << long40 << QString(long40).remove(0, 5) << 0 << 25 << QString(long40).remove(0, 5) << 0;
    QTest::newRow("a longer program text does not grow")
        << long40 << long40 + u'!' << 41 << 25 << long40 << 40;
    QTest::newRow("a longer program text, selection replaced")
        << long40 << QString(long40).replace(0, 4, QStringLiteral("SDH")) << 3 << 25
        << QString(long40).replace(0, 4, QStringLiteral("SDH")) << 3;
    QTest::newRow("split caption, limit 20") << QString(19, u'k') << QString(19, u'k') + QStringLiteral("óó")
                                             << 21 << 20 << QString(19, u'k') + QStringLiteral("ó") << 20;
}

void TstTextLimit::typing() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(int, cursor);
    QFETCH(int, limit);
    QFETCH(QString, text);
    QFETCH(int, cursorAfter);
    const TypedText r = limitTyped(before, after, cursor, limit);
    QCOMPARE(r.text, text);
    QCOMPARE(r.cursor, cursorAfter);
}

QTEST_APPLESS_MAIN(TstTextLimit)
#include "tst_textlimit.moc"
