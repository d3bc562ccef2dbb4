// The edit boxes' typing limit: characters, not UTF-16 units, and only what the operator types,
// pastes or drops; a text the program sets is kept whole.

#include "ui/Ovladace.h"

#include <QtTest>

using namespace qx::ovladace;

class TstZapOvladace : public QObject {
    Q_OBJECT
private slots:
    void programTextKeptWhole_data();
    void programTextKeptWhole();
    void typingLimited_data();
    void typingLimited();
    void listTypingLimited();
};

namespace {

const QString kEmoji = QStringLiteral("\U0001F692"); // a fire engine: two UTF-16 units

QString times(const QString& s, int n) {
    QString out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

// Types each character of text as one key press carrying it.
void typeText(QWidget* w, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text[i].isHighSurrogate() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, text.mid(i, n), Qt::NoModifier);
        i += n - 1;
    }
}

} // namespace

void TstZapOvladace::programTextKeptWhole_data() {
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("text");
    QTest::newRow("split title longer than its box") << 8 << u"Vystřik proudu"_qs;
    QTest::newRow("name of an older database") << 60 << times(u"Sbor dobrovolných hasičů "_qs, 4).left(80);
    QTest::newRow("sixty emoji") << 60 << times(kEmoji, 60);
    QTest::newRow("emoji at the limit's UTF-16 middle") << 3 << u"ab"_qs + kEmoji + u"c"_qs;
}

void TstZapOvladace::programTextKeptWhole() {
    QFETCH(int, limit);
    QFETCH(QString, text);
    QWidget parent;
    QLineEdit* e = edit(&parent, "e", 0, 0, 100, limit);
    QCOMPARE(limitZnaku(e), limit);
    e->setText(text);
    QCOMPARE(e->text(), text);
    QVERIFY(e->hasAcceptableInput());
    // Editing it and undoing the edit gives it back whole.
    parent.show();
    e->setFocus();
    e->setCursorPosition(int(text.size()));
    QTest::keyClick(e, Qt::Key_Backspace);
    e->undo();
    QCOMPARE(e->text(), text);
}

void TstZapOvladace::typingLimited_data() {
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<int>("backspaces");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("after");
    QTest::newRow("typing stops at the limit")
        << 5 << QString() << 0 << 0 << u"abcdefg"_qs << QString() << u"abcde"_qs;
    QTest::newRow("an emoji counts once")
        << 3 << QString() << 0 << 0 << times(kEmoji, 4) << QString() << times(kEmoji, 3);
    QTest::newRow("a paste is cut to the whole characters that fit")
        << 4 << u"ab"_qs << 2 << 0 << QString() << times(kEmoji, 3) << u"ab"_qs + times(kEmoji, 2);
    QTest::newRow("a paste in the middle keeps the rest")
        << 5 << u"abcd"_qs << 2 << 0 << QString() << u"XYZ"_qs << u"abXcd"_qs;
    QTest::newRow("a paste that begins like the text after it")
        << 3 << u"a"_qs + kEmoji << 1 << 0 << QString() << kEmoji + u"b"_qs << u"a"_qs + kEmoji + kEmoji;
    QTest::newRow("a stored over-long text may be edited, not grown")
        << 5 << u"abcdefghij"_qs << 10 << 1 << u"xy"_qs << QString() << u"abcdefghix"_qs;
    QTest::newRow("an emptied box has the limit again")
        << 3 << u"abcdefghij"_qs << 10 << 10 << u"abcdef"_qs << QString() << u"abc"_qs;
    QTest::newRow("a full box takes nothing more")
        << 2 << u"ab"_qs << 1 << 0 << u"x"_qs << u"yz"_qs << u"ab"_qs;
}

void TstZapOvladace::typingLimited() {
    QFETCH(int, limit);
    QFETCH(QString, before);
    QFETCH(int, cursor);
    QFETCH(int, backspaces);
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QWidget parent;
    QLineEdit* e = edit(&parent, "e", 0, 0, 100, limit);
    parent.show();
    e->setFocus();
    e->setText(before);
    e->setCursorPosition(cursor);
    for (int i = 0; i < backspaces; ++i)
        QTest::keyClick(e, Qt::Key_Backspace);
    typeText(e, typed);
    if (!pasted.isEmpty()) e->insert(pasted); // what a paste or a drop does
    QTEST(e->text(), "after");
}

// The lists that take typing have the same limit on their text.
void TstZapOvladace::listTypingLimited() {
    QWidget parent;
    QComboBox* cb = comboSPsanim(&parent, "cb", 0, 0, 100, 3);
    cb->addItems({u"Sbor dobrovolných hasičů"_qs});
    cb->setCurrentIndex(0);
    QCOMPARE(cb->currentText(), u"Sbor dobrovolných hasičů"_qs);
    parent.show();
    cb->setCurrentIndex(-1);
    cb->lineEdit()->setFocus();
    typeText(cb->lineEdit(), kEmoji + u"abc"_qs);
    QCOMPARE(cb->currentText(), kEmoji + u"ab"_qs);
}

QTEST_MAIN(TstZapOvladace)
#include "tst_zap_ovladace.moc"
