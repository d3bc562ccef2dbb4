// The texts Qt itself puts into the programs' windows: message box buttons, the details button
// and the edit boxes' context menu. With the Czech translations installed none of them is left
// in English, whatever language the system runs in.

#include "locale/CzechTranslations.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString plain(QString text) {
    text.remove(u'&');
    text.replace(QStringLiteral("..."), QStringLiteral("…"));
    return text.trimmed();
}

} // namespace

class TestTranslations : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void qtTextsAreCzech_data();
    void qtTextsAreCzech();
    void missingFilesLeaveTheProgramRunning();
};

void TestTranslations::initTestCase() {
    qputenv("LANGUAGE", "en");
    qputenv("LC_ALL", "C");
    QVERIFY2(qx::installCzechTranslations(*qApp), "qtbase_cs.qm not found (package qt6-translations-l10n)");
}

void TestTranslations::qtTextsAreCzech_data() {
    QTest::addColumn<QString>("english"); // Qt's own text, as it would show untranslated
    // ("OK" stays "OK" in Czech.)
    for (const char* t : {"Show Details...", "Cancel", "Yes", "No", "&Undo", "&Redo", "Cu&t", "&Copy",
                          "&Paste", "Delete", "Select All"})
        QTest::newRow(t) << QString::fromLatin1(t);
}

void TestTranslations::qtTextsAreCzech() {
    QFETCH(QString, english);

    // Everything a message box with details and an edit box's context menu show.
    QMessageBox box(QMessageBox::Critical, QStringLiteral("stopky"), QStringLiteral("Chyba"),
                    QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
    box.setDetailedText(QStringLiteral("podrobnosti"));
    QStringList shown;
    for (const QPushButton* b : box.findChildren<QPushButton*>())
        shown << plain(b->text());
    QLineEdit edit;
    edit.setText(QStringLiteral("text"));
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    for (const QAction* a : menu->actions())
        if (!a->isSeparator()) shown << plain(a->text().section(u'\t', 0, 0));

    QVERIFY(shown.size() >= 12);
    QVERIFY2(!shown.contains(plain(english)), qPrintable(shown.join(u", ")));
}

// Without the files the programs still start, with Qt's English texts.
void TestTranslations::missingFilesLeaveTheProgramRunning() {
    QTemporaryDir empty;
    QVERIFY(empty.isValid());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("qtbase_cs.qm"));
    QVERIFY(!qx::installCzechTranslations(*qApp, empty.path()));
}

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
