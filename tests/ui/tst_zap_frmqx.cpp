// The main window and the competitions panel against the real server: start-up
// (also with the server unreachable), tool-bar states, the competition and
// category registers worked through the window's controls.

#include "TestDb.h"
#include "ZapFixture.h"
#include "data/Registers.h"
#include "data/Tdm_QX.h"
#include "ui/TfrmQX.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <memory>

using namespace qx;
using namespace zapfix;

namespace {

struct Box {
    QMessageBox::Icon icon;
    QString text;
    QString detail;
};
QList<Box> g_boxes;

} // namespace

class TstZapFrmQX : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void startupFailure_data();
    void startupFailure();
    void startupState();
    void startupReadsSettingsFile();
    void unreadableSettingsFileKept();
    void startupUpgradesSchema();
    void competitionLifecycle();
    void gridSizesAndOrder();
    void namesRoundTrip();
    void storedTextsNotCut_data();
    void storedTextsNotCut();
    void longSplitTitleKept();
    void dateReadBackIgnoresLocale_data();
    void dateReadBackIgnoresLocale();
    void missingValuesShownNotReplaced();
    void storedDateKept_data();
    void storedDateKept();
    void newModeOffersRegisterValuesOnly_data();
    void newModeOffersRegisterValuesOnly();
    void typedListTextIsSaved_data();
    void typedListTextIsSaved();
    void emptyRows();
    void categories();
    void navigation();
    void clickOnCurrentRowShowsItAnew_data();
    void clickOnCurrentRowShowsItAnew();
    void failedSaveKeepsFields();

private:
    std::unique_ptr<TfrmQX> open();
    QByteArray countOf(const QByteArray& where);

    std::unique_ptr<TestDb> db_;
    std::unique_ptr<Tdm_QX> dm_;
    QTemporaryDir config_;
};

void TstZapFrmQX::initTestCase() {
    QString why;
    if (TestDb::shouldSkip(&why)) QSKIP(qPrintable("No MariaDB server (MYSQL_UNIX_PORT unset): " + why));
    QVERIFY(config_.isValid());
    qputenv("QX_CONFIG_DIR", config_.path().toUtf8());
    QApplication::setApplicationName(u"zapisnik"_qs);
    TfrmQX::messageBoxSeam = [](QMessageBox& box) {
        g_boxes.append({box.icon(), box.text(), box.detailedText()});
    };
    db_ = std::make_unique<TestDb>("ui");
}

void TstZapFrmQX::init() {
    g_boxes.clear();
    QFile::remove(config_.filePath(u"qx_db.ini"_qs));
    if (db_) {
        for (const char* t : {"soutezeqx", "katqx", "obceqx", "druzstvaqx"})
            db_->exec(QByteArray("DELETE FROM ") + t);
    }
    dm_ = std::make_unique<Tdm_QX>();
}

void TstZapFrmQX::cleanup() {
    dm_.reset();
    QLocale::setDefault(QLocale::c());
}

void TstZapFrmQX::cleanupTestCase() {
    dm_.reset();
    db_.reset();
}

std::unique_ptr<TfrmQX> TstZapFrmQX::open() {
    auto frm = std::make_unique<TfrmQX>(*dm_);
    frm->show();
    return frm;
}

QByteArray TstZapFrmQX::countOf(const QByteArray& where) {
    return db_->value("SELECT COUNT(*) FROM soutezeqx WHERE " + where);
}

void TstZapFrmQX::startupFailure_data() {
    QTest::addColumn<QByteArray>("database");
    QTest::addColumn<QByteArray>("socket");
    QTest::addColumn<QString>("detail");
    QTest::addColumn<QString>("server");
    const QString test = qEnvironmentVariable("MYSQL_UNIX_PORT");
    QTest::newRow("server not running")
        << QByteArray() << QByteArray("/nonexistent/qx/mysqld.sock") << u"/nonexistent/qx/mysqld.sock"_qs
        << u"/nonexistent/qx/mysqld.sock"_qs;
    QTest::newRow("database missing")
        << QByteArray("qxt_no_such_db") << QByteArray() << u"qxt_no_such_db"_qs << test;
    QTest::newRow("tables missing") << QByteArray("empty") << QByteArray() << u"doesn't exist"_qs << test;
}

void TstZapFrmQX::startupFailure() {
    QFETCH(QByteArray, database);
    QFETCH(QByteArray, socket);
    QFETCH(QString, detail);
    QFETCH(QString, server);
    std::unique_ptr<TestDb> empty;
    ConnectionSettings s = ConnectionSettings::fromEnvironment();
    if (database == "empty") {
        empty = std::make_unique<TestDb>("uiempty", false);
        database = empty->name();
    }
    if (!database.isEmpty()) s.database = database;
    s.unixSocket = socket;
    Tdm_QX dm(s);

    bool enteredEventLoop = false;
    QTimer::singleShot(0, qApp, [&] {
        enteredEventLoop = true;
        QCoreApplication::quit();
    });
    const int rc = runZapisnik(dm);
    QCOMPARE(rc, 1);
    QVERIFY2(!enteredEventLoop, "the program went on after the database message");

    QCOMPARE(g_boxes.size(), 1);
    // Which server and database were tried, and how the program's own server is started; no
    // package of another system.
    const QString text = g_boxes[0].text;
    QVERIFY2(text.startsWith(u"Program se nemůže připojit k databázi "_qs), qPrintable(text));
    QVERIFY2(text.contains(server), qPrintable(text));
    QVERIFY2(text.contains(QString::fromUtf8(s.database)), qPrintable(text));
    QVERIFY2(text.contains(u"„bash scripts/run.sh“"_qs), qPrintable(text));
    QVERIFY2(text.contains(u"„bash scripts/mariadb.sh start SLOŽKA“"_qs), qPrintable(text));
    QVERIFY2(!text.contains(u"PHPEasy"_qs), qPrintable(text));
    QCOMPARE(g_boxes[0].icon, QMessageBox::NoIcon);
    QVERIFY2(g_boxes[0].detail.contains(detail), qPrintable(g_boxes[0].detail));
    QCoreApplication::processEvents(); // the pending timer, now harmless
}

void TstZapFrmQX::startupState() {
    auto frm = open();
    QCOMPARE(frm->objectName(), u"TfrmQX"_qs);
    QCOMPARE(frm->windowTitle(), u"Časomíry QX"_qs);
    QVERIFY(g_boxes.isEmpty());

    FIND(QPushButton, soutez, "SB_soutez");
    FIND(QPushButton, kat, "SB_kat");
    FIND(QPushButton, listina, "SB_listina");
    FIND(QPushButton, nast, "SB_nast");
    FIND(QPushButton, mereni, "SB_mereni");
    FIND(QPushButton, pdf, "SB_export");
    QCOMPARE(soutez->text(), u"Soutěže"_qs);
    QCOMPARE(mereni->text(), u"Měření"_qs);
    QVERIFY(soutez->isChecked());
    for (QPushButton* b : {kat, listina, nast, mereni})
        QVERIFY(!b->isChecked());
    QVERIFY(soutez->isEnabled() && kat->isEnabled() && nast->isEnabled());
    QVERIFY(!listina->isEnabled());
    QVERIFY(!mereni->isEnabled());
    QVERIFY(!pdf->isEnabled());
    QVERIFY(!pdf->isCheckable());

    FIND(QFrame, pSoutez, "pnl_soutez");
    QVERIFY(pSoutez->isVisible());
    for (const char* p : {"pnl_kat", "pnl_tym", "pnl_listina", "pnl_nast", "pnl_mereni"}) {
        auto* w = frm->findChild<QFrame*>(QString::fromLatin1(p));
        QVERIFY2(w && !w->isVisible(), p);
    }
    FIND(QLabel, casomira, "lbl_casomira");
    QCOMPARE(casomira->text(), u"Časomíra není připojena. Disciplínu vyberte na záložce Nastavení!"_qs);

    FIND(StringGrid, grid, "SG_souteze");
    QCOMPARE(grid->RowCount(), 14);
    QCOMPARE(grid->Cells(0, 0), u"Název soutěže"_qs);
    QCOMPARE(grid->Cells(1, 0), u"Datum"_qs);
    QCOMPARE(grid->Cells(2, 0), u"Čas"_qs);
    QCOMPARE(grid->columnWidth(0), 261);
    QVERIFY(grid->isColumnHidden(3) && grid->isColumnHidden(7) && !grid->isColumnHidden(2));
    QCOMPARE(grid->rowHeight(0), 15);
    FIND(StringGrid, sgKat, "SG_kat");
    QCOMPARE(sgKat->RowCount(), 7);
    QCOMPARE(sgKat->Cells(0, 0), u"Název kategorie"_qs);
    FIND(StringGrid, sgListina, "SG_listina");
    QCOMPARE(sgListina->RowCount(), 15);
    QCOMPARE(sgListina->Cells(4, 0), u"Kat."_qs);
    FIND(StringGrid, sgMereni, "SG_mereni");
    QCOMPARE(sgMereni->Cells(5, 0), u"Čas"_qs);
    QCOMPARE(sgMereni->columnWidth(1), 154);

    // An empty register: only "Nová soutěž", the disabled delete and the grid.
    FIND(QPushButton, smazat, "btn_soutez_smazat");
    QVERIFY(!smazat->isEnabled());
    FIND(QComboBox, okres, "CB_soutez_okres");
    QVERIFY(!okres->isVisible());
    FIND(QLabel, lblOkres, "lbl_soutez_okres");
    QCOMPARE(lblOkres->text(), u"Vyberte okres konání soutěže:"_qs);
    FIND(QFrame, detail, "pnl_soutez_detail");
    QVERIFY(!detail->isVisible());
    QCOMPARE(okres->count(), 78);
    QCOMPARE(okres->itemText(0), QString());
    QCOMPARE(okres->itemText(1), u"Benešov"_qs);
    QCOMPARE(okres->currentIndex(), -1);
    FIND(QComboBox, tymOkres, "CB_tym_okres");
    QCOMPARE(tymOkres->count(), 77);
    FIND(QComboBox, listinaOkres, "CB_listina_okres");
    QCOMPARE(listinaOkres->count(), 78);
    FIND(QDateEdit, datum, "edt_soutez_datum");
    QCOMPARE(datum->date(), QDate(2017, 12, 25));

    // Settings without qx_db.ini.
    FIND(QLineEdit, poradatel, "edtPoradatel");
    QCOMPARE(poradatel->text(), QString());
    FIND(QComboBox, mezicas, "CB_mezicas");
    QCOMPARE(mezicas->currentText(), u"Ne"_qs);
    FIND(QLineEdit, m1, "edtM1nast");
    FIND(QLineEdit, m2, "edtM2nast");
    FIND(QLineEdit, m3, "edtM3Nast");
    FIND(QLineEdit, m4, "edtM4Nast");
    QCOMPARE(QStringList({m1->text(), m2->text(), m3->text(), m4->text()}),
             QStringList({u"Koš"_qs, u"Voda"_qs, u"Vys."_qs, u"Tla."_qs}));
    QCOMPARE(frm->verze, 466);
    QCOMPARE(frm->nast, 170);
    QCOMPARE(frm->poradi, 1);
    QVERIFY(frm->id_soutez.isEmpty());
}

void TstZapFrmQX::startupReadsSettingsFile() {
    QFile f(config_.filePath(u"qx_db.ini"_qs));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(
        "[Poradatel]\nP1=SDH Horní Ves\n[Mezicas]\nM1=0\n[Oznac_mezi]\nM1=Koš\nM2=Voda\nM3=Výš.\nM4=Proud\n");
    f.close();
    {
        auto frm = open();
        FIND(QLineEdit, poradatel, "edtPoradatel");
        QCOMPARE(poradatel->text(), u"SDH Horní Ves"_qs);
        FIND(QComboBox, mezicas, "CB_mezicas");
        QCOMPARE(mezicas->currentText(), u"Ano"_qs);
        FIND(QLineEdit, m3, "edtM3Nast");
        QCOMPARE(m3->text(), u"Výš."_qs);
    }
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("[Mezicas]\nM1=3\n");
    f.close();
    auto frm = open();
    FIND(QComboBox, mezicas, "CB_mezicas");
    QCOMPARE(mezicas->currentIndex(), -1);
}

// A qx_db.ini that is there but cannot be read is named once at start-up; "Uložit" then leaves it
// as it was and says why.
void TstZapFrmQX::unreadableSettingsFileKept() {
    const QString path = config_.filePath(u"qx_db.ini"_qs);
    const QByteArray content("[Poradatel]\0P1=SDH\n", 19);
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    auto frm = open();
    QCOMPARE(g_boxes.size(), 1);
    QVERIFY2(g_boxes[0].text.startsWith(u"Soubor nastavení „%1“ nelze přečíst"_qs.arg(path)),
             qPrintable(g_boxes[0].text));
    FIND(QLineEdit, m1, "edtM1nast");
    QCOMPARE(m1->text(), u"Koš"_qs);
    FIND(QPushButton, ulozit, "btNPoradatel");
    ulozit->click();
    QCOMPARE(g_boxes.size(), 2);
    QVERIFY2(g_boxes[1].text.contains(u"zůstává, jak byl"_qs), qPrintable(g_boxes[1].text));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), content);
}

void TstZapFrmQX::startupUpgradesSchema() {
    db_->exec("ALTER TABLE druzstvaqx DROP M1, DROP M2, DROP M3, DROP M4");
    db_->exec("INSERT INTO druzstvaqx (id_soutez, poradi, celkem) VALUES (1, '1', '17,53')");
    const QByteArray cols = "SELECT COUNT(*) FROM information_schema.COLUMNS WHERE TABLE_SCHEMA='" +
                            db_->name() +
                            "' AND TABLE_NAME='druzstvaqx' AND COLUMN_NAME IN ('M1','M2','M3','M4')";
    QCOMPARE(db_->value(cols), QByteArray("0"));
    auto frm = open();
    QVERIFY(g_boxes.isEmpty());
    QCOMPARE(db_->value(cols), QByteArray("4"));
    QCOMPARE(db_->value("SELECT CONCAT(celkem, '|', M1, M4, '|') FROM druzstvaqx"), QByteArray("0017,53||"));
}

void TstZapFrmQX::competitionLifecycle() {
    db_->exec(
        "INSERT INTO obceqx (nazev_okresu, nazev_obce) VALUES ('Tábor', 'Bechyně'), ('Tábor', 'Chýnov'), "
        "('Písek', 'Mirotice')");
    auto frm = open();
    FIND(QPushButton, nova, "SB_soutez_nova");
    FIND(QPushButton, ulozit, "btn_soutez_ulozit");
    FIND(QPushButton, smazat, "btn_soutez_smazat");
    FIND(QComboBox, okres, "CB_soutez_okres");
    FIND(QComboBox, misto, "cb_soutez_misto");
    FIND(QFrame, detail, "pnl_soutez_detail");
    FIND(QLineEdit, nazev, "edt_soutez_nazev");
    FIND(QDateEdit, datum, "edt_soutez_datum");
    FIND(QLineEdit, cas, "edt_soutez_cas");
    FIND(QLineEdit, tel, "edt_soutez_tel");
    FIND(QLineEdit, web, "edt_soutez_web");
    FIND(StringGrid, grid, "SG_souteze");
    FIND(QPushButton, listina, "SB_listina");
    FIND(QPushButton, mereni, "SB_mereni");

    // New competition: the fields appear once a district is chosen.
    QTest::mouseClick(nova, Qt::LeftButton);
    QVERIFY(nova->isChecked());
    QCOMPARE(ulozit->text(), u"Vložit"_qs);
    QVERIFY(okres->isVisible());
    QVERIFY(!detail->isVisible());
    choose(okres, u"Tábor"_qs);
    QVERIFY(detail->isVisible());
    QCOMPARE(misto->count(), 2);
    QCOMPARE(misto->itemText(0), u"Bechyně"_qs);
    QCOMPARE(misto->currentIndex(), -1);
    QVERIFY(nazev->text().isEmpty());

    nazev->setText(u"Pohár starosty"_qs);
    choose(misto, u"Chýnov"_qs);
    datum->setDate(QDate(2021, 9, 5));
    QTest::keyClicks(cas, u"9:30"_qs);
    QTest::keyClicks(tel, u"603123456"_qs);
    QTest::keyClicks(web, u"www.sdh-chynov.cz"_qs);
    QTest::mouseClick(ulozit, Qt::LeftButton);
    QVERIFY(g_boxes.isEmpty());
    QCOMPARE(
        countOf(
            "nazev_souteze='Pohár starosty' AND nazev_okresu='Tábor' AND nazev_obce='Chýnov' AND "
            "datum='20210905' AND cas='9:30' AND telefon='603123456' AND web_poradatele='www.sdh-chynov.cz'"),
        QByteArray("1"));
    QVERIFY(!nova->isChecked());
    QCOMPARE(ulozit->text(), u"Uložit"_qs);
    QCOMPARE(grid->Cells(0, 1), u"Pohár starosty"_qs);
    QCOMPARE(grid->Cells(1, 1), u"5.9.2021"_qs);
    const QString id = grid->Cells(3, 1);

    // Edit mode shows the row; a change is written back to that row only.
    clickRow(grid, 1);
    QCOMPARE(nazev->text(), u"Pohár starosty"_qs);
    QCOMPARE(okres->currentText(), u"Tábor"_qs);
    QCOMPARE(misto->currentText(), u"Chýnov"_qs);
    QCOMPARE(datum->date(), QDate(2021, 9, 5));
    QVERIFY(smazat->isEnabled());
    nazev->setText(u"Pohár starosty obce"_qs);
    choose(misto, u"Bechyně"_qs);
    QTest::mouseClick(ulozit, Qt::LeftButton);
    QVERIFY(g_boxes.isEmpty());
    QCOMPARE(countOf("id=" + id.toUtf8() +
                     " AND nazev_souteze='Pohár starosty obce' AND nazev_obce='Bechyně' AND "
                     "datum='20210905'"),
             QByteArray("1"));
    QCOMPARE(countOf("1"), QByteArray("1"));

    // Choosing it: caption and "Listina"; "Měření" only with entries.
    doubleClickRow(grid, 1);
    QCOMPARE(frm->windowTitle(), u"Časomíry QX - Pohár starosty obce"_qs);
    QCOMPARE(frm->id_soutez, id);
    QCOMPARE(frm->nazev_souteze, u"Pohár starosty obce"_qs);
    QCOMPARE(frm->datum_souteze, u"5.9.2021"_qs);
    QCOMPARE(frm->cas_souteze, u"9:30"_qs);
    QVERIFY(listina->isEnabled());
    QVERIFY(!mereni->isEnabled());
    db_->exec("INSERT INTO druzstvaqx (id_soutez, poradi, nazev_dr) VALUES (" + id.toUtf8() +
              ", '1', 'Chýnov')");
    doubleClickRow(grid, 1);
    QVERIFY(mereni->isEnabled());
    FIND(StringGrid, sgListina, "SG_listina");
    QCOMPARE(sgListina->Cells(1, 1), u"Chýnov"_qs);

    // Deleting it leaves the choice and "Listina" as they were.
    clickRow(grid, 1);
    QTest::mouseClick(smazat, Qt::LeftButton);
    QVERIFY(g_boxes.isEmpty());
    QCOMPARE(countOf("1"), QByteArray("0"));
    QCOMPARE(grid->Cells(0, 1), QString());
    QCOMPARE(grid->RowCount(), 14);
    QVERIFY(!smazat->isEnabled());
    QVERIFY(!detail->isVisible());
    QCOMPARE(frm->windowTitle(), u"Časomíry QX - Pohár starosty obce"_qs);
    QVERIFY(listina->isEnabled());
    QCOMPARE(db_->value("SELECT COUNT(*) FROM druzstvaqx"), QByteArray("1"));
}

void TstZapFrmQX::gridSizesAndOrder() {
    QByteArray values;
    for (int i = 0; i < 20; ++i) {
        const QDate d = QDate(2019, 1, 1).addDays(i * 37);
        values += (i ? ", " : "") + QByteArray("('S") + QByteArray::number(i) + "', '" +
                  d.toString(u"yyyyMMdd"_qs).toLatin1() + "')";
    }
    db_->exec("INSERT INTO soutezeqx (nazev_souteze, datum) VALUES " + values);
    auto frm = open();
    FIND(StringGrid, grid, "SG_souteze");
    QCOMPARE(grid->RowCount(), 21);
    for (int r = 1; r <= 20; ++r) {
        QCOMPARE(grid->Cells(0, r), u"S"_qs + QString::number(20 - r));
        const QDate d = QDate(2019, 1, 1).addDays((20 - r) * 37);
        QCOMPARE(grid->Cells(1, r), u"%1.%2.%3"_qs.arg(d.day()).arg(d.month()).arg(d.year()));
        QCOMPARE(grid->rowHeight(r - 1), 15);
    }
    QCOMPARE(grid->Cells(1, 20), u"1.1.2019"_qs);
}

void TstZapFrmQX::namesRoundTrip() {
    const QString name = u"Memoriál \"Jana\" \\ O'Brien ŘŽ"_qs;
    const QString web = u"C:\\web\\\"x\""_qs;
    auto frm = open();
    FIND(QPushButton, nova, "SB_soutez_nova");
    FIND(QComboBox, okres, "CB_soutez_okres");
    FIND(QLineEdit, nazev, "edt_soutez_nazev");
    FIND(QLineEdit, edtWeb, "edt_soutez_web");
    FIND(QPushButton, ulozit, "btn_soutez_ulozit");
    FIND(StringGrid, grid, "SG_souteze");
    nova->click();
    choose(okres, u"Žďár nad Sázavou"_qs);
    nazev->setText(name);
    edtWeb->setText(web);
    ulozit->click();
    QVERIFY(g_boxes.isEmpty());
    QCOMPARE(db_->value("SELECT HEX(nazev_souteze) FROM soutezeqx"), name.toUtf8().toHex().toUpper());
    QCOMPARE(db_->value("SELECT HEX(web_poradatele) FROM soutezeqx"), web.toUtf8().toHex().toUpper());
    QCOMPARE(grid->Cells(0, 1), name);
    clickRow(grid, 1);
    QCOMPARE(nazev->text(), name);
    QCOMPARE(edtWeb->text(), web);
    QCOMPARE(okres->currentText(), u"Žďár nad Sázavou"_qs);
    ulozit->click(); // an unchanged save keeps every byte
    QCOMPARE(db_->value("SELECT HEX(nazev_souteze) FROM soutezeqx"), name.toUtf8().toHex().toUpper());
}

void TstZapFrmQX::storedTextsNotCut_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("column");
    QString emoji;
    for (int i = 0; i < 60; ++i)
        emoji += QStringLiteral("\U0001F692");
    QTest::newRow("sixty emoji") << emoji << QByteArray();
    QTest::newRow("eighty characters of an older database")
        << u"Memoriál Jana Nováka a Josefa Dvořáka, pohár starosty obce, noční soutěž 2021"_qs.leftJustified(
               80, u'!', true)
        << QByteArray("VARCHAR(100)");
}

// A stored name longer than its box, or with characters outside the basic plane, is shown whole
// and an unchanged save writes back every byte.
void TstZapFrmQX::storedTextsNotCut() {
    QFETCH(QString, name);
    QFETCH(QByteArray, column);
    if (!column.isEmpty())
        db_->exec("ALTER TABLE soutezeqx MODIFY nazev_souteze " + column + " NOT NULL DEFAULT ''");
    const auto restore = qScopeGuard([&] {
        if (column.isEmpty()) return;
        db_->exec("DELETE FROM soutezeqx");
        db_->exec("ALTER TABLE soutezeqx MODIFY nazev_souteze VARCHAR(60) NOT NULL DEFAULT ''");
    });
    db_->exec("INSERT INTO soutezeqx (nazev_souteze, nazev_okresu, datum) VALUES (UNHEX('" +
              name.toUtf8().toHex() + "'), 'Cheb', '20210905')");
    auto frm = open();
    FIND(StringGrid, grid, "SG_souteze");
    FIND(QLineEdit, nazev, "edt_soutez_nazev");
    FIND(QPushButton, ulozit, "btn_soutez_ulozit");
    clickRow(grid, 1);
    QCOMPARE(nazev->text(), name);
    ulozit->click();
    QVERIFY(g_boxes.isEmpty());
    QCOMPARE(db_->value("SELECT HEX(nazev_souteze) FROM soutezeqx"), name.toUtf8().toHex().toUpper());
}

// A split title of the settings file longer than its box is shown whole and saved back whole.
void TstZapFrmQX::longSplitTitleKept() {
    const QString path = config_.filePath(u"qx_db.ini"_qs);
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(u"[Oznac_mezi]\nM1=Výstřik proudu\n"_qs.toUtf8());
    }
    auto frm = open();
    FIND(QLineEdit, m1, "edtM1nast");
    FIND(QPushButton, ulozit, "btNPoradatel");
    QCOMPARE(m1->text(), u"Výstřik proudu"_qs);
    ulozit->click();
    QVERIFY(g_boxes.isEmpty());
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    QVERIFY2(text.contains(u"M1=Výstřik proudu\n"_qs), qPrintable(text));
}

void TstZapFrmQX::dateReadBackIgnoresLocale_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QDate>("date");
    QTest::newRow("single digits") << QByteArray("20210905") << QDate(2021, 9, 5);
    QTest::newRow("day above 12") << QByteArray("20211231") << QDate(2021, 12, 31);
    QTest::newRow("day and month swap-able") << QByteArray("20200102") << QDate(2020, 1, 2);
}

void TstZapFrmQX::dateReadBackIgnoresLocale() {
    QFETCH(QByteArray, stored);
    QFETCH(QDate, date);
    // A locale whose short date is month/day/two-digit year.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    db_->exec("INSERT INTO soutezeqx (nazev_souteze, nazev_okresu, datum) VALUES ('A', 'Cheb', '" + stored +
              "')");
    auto frm = open();
    FIND(StringGrid, grid, "SG_souteze");
    FIND(QDateEdit, datum, "edt_soutez_datum");
    FIND(QPushButton, ulozit, "btn_soutez_ulozit");
    clickRow(grid, 1);
    QCOMPARE(datum->date(), date);
    ulozit->click();
    QVERIFY(g_boxes.isEmpty());
    QCOMPARE(db_->value("SELECT datum FROM soutezeqx"), stored);
}

void TstZapFrmQX::storedDateKept_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("shown"); // in the grid and in the date box
    QTest::newRow("a day") << QByteArray("20210905") << u"5.9.2021"_qs;
    QTest::newRow("month 13") << QByteArray("20251301") << u"20251301"_qs;
    QTest::newRow("letters") << QByteArray("abc") << u"abc"_qs;
    QTest::newRow("an early year") << QByteArray("17000101") << u"1.1.1700"_qs;
    QTest::newRow("empty") << QByteArray() << QString();
}

// A save without a new date writes back exactly the stored date, readable or not; an unreadable
// one is shown as it is, never replaced by today's or the previous row's date.
void TstZapFrmQX::storedDateKept() {
    QFETCH(QByteArray, stored);
    QFETCH(QString, shown);
    db_->exec("INSERT INTO soutezeqx (nazev_souteze, datum) VALUES ('Jiná', '20190601'), ('Tato', '" +
              stored + "')");
    auto frm = open();
    FIND(StringGrid, grid, "SG_souteze");
    FIND(QDateEdit, datum, "edt_soutez_datum");
    FIND(QLineEdit, nazev, "edt_soutez_nazev");
    FIND(QPushButton, ulozit, "btn_soutez_ulozit");
    FIND(QPushButton, nova, "SB_soutez_nova");
    const int row = column(grid, 0).indexOf(u"Tato"_qs) + 1;
    QVERIFY(row > 0);
    QCOMPARE(grid->Cells(1, row), shown);
    clickRow(grid, row == 1 ? 2 : 1); // the other competition first
    clickRow(grid, row);
    QCOMPARE(datum->text(), shown.isEmpty() ? u"bez data"_qs : shown);
    nazev->setText(u"Tato upravená"_qs);
    ulozit->click();
    QVERIFY(g_boxes.isEmpty());
    QCOMPARE(db_->value("SELECT datum FROM soutezeqx WHERE nazev_souteze='Tato upravená'"), stored);

    // A date the operator picks is saved.
    clickRow(grid, column(grid, 0).indexOf(u"Tato upravená"_qs) + 1);
    datum->setDate(QDate(2022, 5, 1));
    ulozit->click();
    QCOMPARE(db_->value("SELECT datum FROM soutezeqx WHERE nazev_souteze='Tato upravená'"),
             QByteArray("20220501"));
    QCOMPARE(db_->value("SELECT datum FROM soutezeqx WHERE nazev_souteze='Jiná'"), QByteArray("20190601"));

    // A new competition after a row without a readable date is given today's date.
    db_->exec("UPDATE soutezeqx SET datum='" + stored + "' WHERE nazev_souteze='Tato upravená'");
    frm->load_souteze();
    clickRow(grid, column(grid, 0).indexOf(u"Tato upravená"_qs) + 1);
    nova->click();
    QCOMPARE(datum->date(), qx::datumUlozene(QString::fromLatin1(stored)).isValid()
                                ? qx::datumUlozene(QString::fromLatin1(stored))
                                : QDate::currentDate());
}

void TstZapFrmQX::missingValuesShownNotReplaced() {
    db_->exec("INSERT INTO obceqx (nazev_okresu, nazev_obce) VALUES ('Cheb', 'Aš')");
    db_->exec("INSERT INTO soutezeqx (nazev_souteze, nazev_okresu, nazev_obce, datum) VALUES "
              "('Starý okres', 'Okres Gottwaldov', 'Gottwaldov', '20200601'), "
              "('Stará obec', 'Cheb', 'Zaniklá ves', '20200501'), ('Běžná', 'Cheb', 'Aš', '20200401')");
    auto frm = open();
    FIND(StringGrid, grid, "SG_souteze");
    FIND(QComboBox, okres, "CB_soutez_okres");
    FIND(QComboBox, misto, "cb_soutez_misto");
    FIND(QPushButton, ulozit, "btn_soutez_ulozit");

    clickRow(grid, 1);
    QCOMPARE(okres->currentText(), u"Okres Gottwaldov"_qs);
    QCOMPARE(misto->currentText(), u"Gottwaldov"_qs);
    ulozit->click();
    QCOMPARE(countOf("nazev_okresu='Okres Gottwaldov' AND nazev_obce='Gottwaldov'"), QByteArray("1"));

    clickRow(grid, 2);
    QCOMPARE(okres->currentText(), u"Cheb"_qs);
    QCOMPARE(okres->count(), 78); // the stand-in of the previous row is gone
    QCOMPARE(misto->currentText(), u"Zaniklá ves"_qs);
    ulozit->click();
    QCOMPARE(countOf("nazev_souteze='Stará obec' AND nazev_obce='Zaniklá ves'"), QByteArray("1"));

    clickRow(grid, 3);
    QCOMPARE(misto->currentText(), u"Aš"_qs);
    QCOMPARE(misto->count(), 1);
}

void TstZapFrmQX::newModeOffersRegisterValuesOnly_data() {
    QTest::addColumn<QString>("view");
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QString>("nova");
    QTest::addColumn<QString>("okres");
    QTest::addColumn<QStringList>("lists");
    QTest::addColumn<QStringList>("stored");
    QTest::newRow("competition") << u"SB_soutez"_qs << u"SG_souteze"_qs << u"SB_soutez_nova"_qs
                                 << u"CB_soutez_okres"_qs
                                 << QStringList{u"CB_soutez_okres"_qs, u"cb_soutez_misto"_qs}
                                 << QStringList{u"Okres Gottwaldov"_qs, u"Gottwaldov"_qs};
    QTest::newRow("start-list entry")
        << u"SB_listina"_qs << u"SG_listina"_qs << u"SB_listina_novy_tym"_qs << u"CB_listina_okres"_qs
        << QStringList{u"CB_listina_okres"_qs, u"CB_listina_nazevSDH"_qs, u"CB_listina_kat"_qs}
        << QStringList{u"Okres X"_qs, u"Zaniklá ves"_qs, u"Stará kategorie"_qs};
}

// A stored value gone from its register is shown for its own row, but never offered to a new one.
void TstZapFrmQX::newModeOffersRegisterValuesOnly() {
    QFETCH(QString, view);
    QFETCH(QString, grid);
    QFETCH(QString, nova);
    QFETCH(QString, okres);
    QFETCH(QStringList, lists);
    QFETCH(QStringList, stored);
    db_->exec("INSERT INTO obceqx (nazev_okresu, nazev_obce) VALUES ('Cheb', 'Aš')");
    db_->exec("INSERT INTO katqx (kategorie, zkratka) VALUES ('Muži', 'M')");
    db_->exec("INSERT INTO soutezeqx (nazev_souteze, nazev_okresu, nazev_obce, datum) VALUES "
              "('Starý okres', 'Okres Gottwaldov', 'Gottwaldov', '20200601')");
    db_->exec("INSERT INTO druzstvaqx (id_soutez, poradi, nazev_dr, nazev_okresu, kategorie) SELECT id, '1', "
              "'Zaniklá ves', 'Okres X', 'Stará kategorie' FROM soutezeqx");
    auto frm = open();
    FIND(StringGrid, souteze, "SG_souteze");
    doubleClickRow(souteze, 1);
    auto* toggle = frm->findChild<QPushButton*>(view);
    auto* sg = frm->findChild<StringGrid*>(grid);
    auto* novy = frm->findChild<QPushButton*>(nova);
    auto* cbOkres = frm->findChild<QComboBox*>(okres);
    QVERIFY(toggle && sg && novy && cbOkres);
    QList<QComboBox*> cbs;
    for (const QString& name : lists) {
        cbs << frm->findChild<QComboBox*>(name);
        QVERIFY2(cbs.last(), qPrintable(name));
    }
    const auto offered = [&] {
        QStringList out;
        for (QComboBox* cb : cbs)
            for (const QString& value : stored)
                if (cb->findText(value) >= 0) out << cb->objectName() + u": "_qs + value;
        return out;
    };
    toggle->click();
    clickRow(sg, 1);
    for (int i = 0; i < cbs.size(); ++i)
        QCOMPARE(cbs[i]->currentText(), stored[i]);

    novy->click();
    QCOMPARE(offered(), QStringList());
    choose(cbOkres, u"Cheb"_qs);
    QCOMPARE(offered(), QStringList());
    QCOMPARE(cbOkres->count(), 78);

    // Back in edit mode the row shows its stored values again.
    novy->click();
    clickRow(sg, 1);
    for (int i = 0; i < cbs.size(); ++i)
        QCOMPARE(cbs[i]->currentText(), stored[i]);
    QVERIFY(g_boxes.isEmpty());
}

void TstZapFrmQX::typedListTextIsSaved_data() {
    QTest::addColumn<QString>("view");
    QTest::addColumn<QString>("nova");
    QTest::addColumn<QString>("okres");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("save");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("place of a competition")
        << u"SB_soutez"_qs << u"SB_soutez_nova"_qs << u"CB_soutez_okres"_qs << u"cb_soutez_misto"_qs
        << u"btn_soutez_ulozit"_qs << QByteArray("SELECT nazev_obce FROM soutezeqx ORDER BY id DESC LIMIT 1");
    QTest::newRow("brigade of an entry")
        << u"SB_listina"_qs << u"SB_listina_novy_tym"_qs << u"CB_listina_okres"_qs
        << u"CB_listina_nazevSDH"_qs << u"btn_listina_ulozit"_qs
        << QByteArray("SELECT nazev_dr FROM druzstvaqx");
    QTest::newRow("category of an entry")
        << u"SB_listina"_qs << u"SB_listina_novy_tym"_qs << u"CB_listina_okres"_qs << u"CB_listina_kat"_qs
        << u"btn_listina_ulozit"_qs << QByteArray("SELECT kategorie FROM druzstvaqx");
}

// The place, brigade and category lists take typed text, which is what is saved; the lists marked
// for choosing only stay closed to typing.
void TstZapFrmQX::typedListTextIsSaved() {
    QFETCH(QString, view);
    QFETCH(QString, nova);
    QFETCH(QString, okres);
    QFETCH(QString, list);
    QFETCH(QString, save);
    QFETCH(QByteArray, stored);
    db_->exec("INSERT INTO obceqx (nazev_okresu, nazev_obce) VALUES ('Cheb', 'Aš'), ('Cheb', 'Skalná')");
    db_->exec("INSERT INTO katqx (kategorie, zkratka) VALUES ('Muži', 'M')");
    db_->exec("INSERT INTO soutezeqx (nazev_souteze, datum) VALUES ('Pohár', '20210905')");
    auto frm = open();
    FIND(StringGrid, souteze, "SG_souteze");
    doubleClickRow(souteze, 1);
    for (const char* closed : {"CB_soutez_okres", "CB_listina_okres", "CB_tym_okres"}) {
        auto* cb = frm->findChild<QComboBox*>(QString::fromLatin1(closed));
        QVERIFY2(cb && !cb->isEditable(), closed);
    }
    auto* toggle = frm->findChild<QPushButton*>(view);
    auto* novy = frm->findChild<QPushButton*>(nova);
    auto* cbOkres = frm->findChild<QComboBox*>(okres);
    auto* cb = frm->findChild<QComboBox*>(list);
    auto* ulozit = frm->findChild<QPushButton*>(save);
    QVERIFY(toggle && novy && cbOkres && cb && ulozit);
    toggle->click();
    novy->click();
    choose(cbOkres, u"Cheb"_qs);
    QVERIFY(cb->isEditable());
    // A typed text that begins like an entry of the list stays as typed.
    cb->lineEdit()->setFocus();
    QTest::keyClicks(cb->lineEdit(), u"Sk"_qs);
    QCOMPARE(cb->currentText(), u"Sk"_qs);
    QTest::keyClicks(cb->lineEdit(), u"alna Ves"_qs);
    QTest::keyClick(cb->lineEdit(), Qt::Key_Return);
    QCOMPARE(cb->currentText(), u"Skalna Ves"_qs);
    QCOMPARE(cb->findText(u"Skalna Ves"_qs), -1); // not added to the register's entries
    ulozit->click();
    QVERIFY(g_boxes.isEmpty());
    QCOMPARE(db_->value(stored), QByteArray("Skalna Ves"));
}

void TstZapFrmQX::emptyRows() {
    db_->exec("INSERT INTO soutezeqx (nazev_souteze, datum, nazev_okresu) VALUES ('A', '20200101', 'Cheb'), "
              "('', '20190101', '')");
    auto frm = open();
    FIND(StringGrid, grid, "SG_souteze");
    FIND(QPushButton, smazat, "btn_soutez_smazat");
    FIND(QFrame, detail, "pnl_soutez_detail");
    FIND(QPushButton, listina, "SB_listina");
    doubleClickRow(grid, 1);
    const QString chosen = frm->id_soutez;
    QVERIFY(!chosen.isEmpty());
    // A competition saved without a name: an empty row, neither deletable nor choosable.
    clickRow(grid, 2);
    QVERIFY(!smazat->isEnabled());
    QVERIFY(!detail->isVisible());
    doubleClickRow(grid, 2);
    QCOMPARE(frm->id_soutez, chosen);
    QCOMPARE(frm->windowTitle(), u"Časomíry QX - A"_qs);
    // A row below the last competition.
    doubleClickRow(grid, 5);
    QCOMPARE(frm->id_soutez, chosen);
    QVERIFY(listina->isEnabled());
}

void TstZapFrmQX::categories() {
    auto frm = open();
    FIND(QPushButton, kat, "SB_kat");
    FIND(QPushButton, nova, "SB_kat_nova");
    FIND(QPushButton, ulozit, "btn_kat_ulozit");
    FIND(QPushButton, smazat, "btn_kat_smazat");
    FIND(QLineEdit, nazev, "edt_kat_nazev");
    FIND(QLineEdit, zkr, "edt_kat_zkr");
    FIND(StringGrid, grid, "SG_kat");
    FIND(QComboBox, nastKat, "CB_nast_kat");
    FIND(QComboBox, listinaKat, "CB_listina_kat");

    const auto add = [&](const QString& n, const QString& z) {
        nova->click();
        QCOMPARE(ulozit->text(), u"Vložit"_qs);
        QVERIFY(nazev->isVisible() && nazev->text().isEmpty());
        nazev->setText(n);
        zkr->setText(z);
        ulozit->click();
        QVERIFY(!nova->isChecked());
        QCOMPARE(ulozit->text(), u"Uložit"_qs);
    };
    kat->click();
    QVERIFY(!nazev->isVisible()); // empty grid row: only the buttons and the grid
    add(u"Muži \"A\""_qs, u"M"_qs);
    add(u"Ženy"_qs, u"Ž"_qs);
    QVERIFY(g_boxes.isEmpty());
    QCOMPARE(db_->value("SELECT COUNT(*) FROM katqx"), QByteArray("2"));
    QCOMPARE(grid->Cells(0, 1), u"Muži \"A\""_qs);
    QCOMPARE(grid->Cells(0, 2), u"Ženy"_qs);
    QCOMPARE(nastKat->count(), 3);
    QCOMPARE(listinaKat->itemText(2), u"Ženy"_qs);

    // The settings category stays chosen across reloads while its name exists.
    choose(nastKat, u"Ženy"_qs);
    add(u"Dorost"_qs, u"D"_qs);
    QCOMPARE(nastKat->currentText(), u"Ženy"_qs);
    QCOMPARE(grid->Cells(0, 1), u"Dorost"_qs);

    // Rename "Ženy": the settings list no longer shows it.
    clickRow(grid, 3);
    QCOMPARE(nazev->text(), u"Ženy"_qs);
    QVERIFY(smazat->isEnabled());
    nazev->setText(u"Ženy 35+"_qs);
    ulozit->click();
    QCOMPARE(db_->value("SELECT kategorie FROM katqx WHERE zkratka='Ž'"), u"Ženy 35+"_qs.toUtf8());
    QCOMPARE(nastKat->currentIndex(), -1);

    // Deleting removes the chosen row only, not the rows the database takes for the same name.
    db_->exec("INSERT INTO katqx (kategorie, zkratka) VALUES ('DOROST', 'D2'), ('Dorost ', 'D3')");
    frm->load_kat();
    const auto rowOf = [&](const QString& name) {
        for (int r = 1; r < grid->RowCount(); ++r)
            if (grid->Cells(0, r) == name) return r;
        return -1;
    };
    clickRow(grid, rowOf(u"Dorost"_qs));
    QCOMPARE(nazev->text(), u"Dorost"_qs);
    smazat->click();
    QVERIFY(g_boxes.isEmpty());
    QCOMPARE(db_->column("SELECT zkratka FROM katqx WHERE kategorie='Dorost' ORDER BY zkratka"),
             (QList<QByteArray>{"D2", "D3"}));
    QCOMPARE(grid->RowCount(), 7);

    // A new or renamed category whose name the database takes for another one's is refused with
    // a message; the fields stay for a correction.
    nova->click();
    nazev->setText(u"ženy 35+  "_qs);
    zkr->setText(u"Ž2"_qs);
    ulozit->click();
    QCOMPARE(g_boxes.size(), 1);
    QCOMPARE(g_boxes[0].icon, QMessageBox::Critical);
    QVERIFY2(g_boxes[0].text.contains(u"„ženy 35+  “"_qs) && g_boxes[0].text.contains(u"„Ženy 35+“"_qs),
             qPrintable(g_boxes[0].text));
    QVERIFY(nova->isChecked());
    QCOMPARE(ulozit->text(), u"Vložit"_qs);
    QCOMPARE(nazev->text(), u"ženy 35+  "_qs);
    QCOMPARE(zkr->text(), u"Ž2"_qs);
    QCOMPARE(db_->value("SELECT COUNT(*) FROM katqx"), QByteArray("4"));
    nova->click();

    clickRow(grid, rowOf(u"Muži \"A\""_qs));
    nazev->setText(u"Dorost"_qs);
    ulozit->click();
    QCOMPARE(g_boxes.size(), 2);
    QCOMPARE(nazev->text(), u"Dorost"_qs);
    QCOMPARE(db_->value("SELECT COUNT(*) FROM katqx WHERE kategorie='Muži \"A\"'"), QByteArray("1"));

    // Its own name in other letters is no conflict; nor is a row kept under its own name while
    // older look-alikes of it exist.
    clickRow(grid, rowOf(u"Muži \"A\""_qs));
    nazev->setText(u"MUŽI \"A\""_qs);
    ulozit->click();
    clickRow(grid, rowOf(u"DOROST"_qs));
    zkr->setText(u"DX"_qs);
    ulozit->click();
    QCOMPARE(g_boxes.size(), 2);
    QCOMPARE(db_->value("SELECT CAST(kategorie AS BINARY) FROM katqx WHERE zkratka='M'"),
             u"MUŽI \"A\""_qs.toUtf8());
    QCOMPARE(db_->value("SELECT CAST(kategorie AS BINARY) FROM katqx WHERE zkratka='DX'"),
             QByteArray("DOROST"));
}

void TstZapFrmQX::navigation() {
    db_->exec("INSERT INTO soutezeqx (nazev_souteze, datum) VALUES ('A', '20200101')");
    auto frm = open();
    FIND(QPushButton, soutez, "SB_soutez");
    FIND(QPushButton, kat, "SB_kat");
    FIND(QPushButton, listina, "SB_listina");
    FIND(QPushButton, nast, "SB_nast");
    FIND(QPushButton, pdf, "SB_export");
    FIND(QFrame, pKat, "pnl_kat");
    FIND(QFrame, pTym, "pnl_tym");
    FIND(QFrame, pSoutez, "pnl_soutez");
    FIND(QFrame, pListina, "pnl_listina");
    FIND(QFrame, pNast, "pnl_nast");
    FIND(StringGrid, grid, "SG_souteze");
    FIND(QComboBox, kolo, "CB_nast_kolo");
    FIND(QComboBox, vysledny, "CB_nast_cas");

    QTest::mouseClick(kat, Qt::LeftButton);
    QVERIFY(kat->isChecked() && !soutez->isChecked());
    QVERIFY(pKat->isVisible() && pTym->isVisible() && !pSoutez->isVisible());
    QVERIFY(!pdf->isEnabled());
    QTest::mouseClick(kat, Qt::LeftButton); // pressing the toggle that is down keeps it down
    QVERIFY(kat->isChecked());

    // Settings: the result mode only for the second phase.
    QTest::mouseClick(nast, Qt::LeftButton);
    QVERIFY(pNast->isVisible() && !pKat->isVisible());
    QVERIFY(!vysledny->isEnabled());
    QCOMPARE(vysledny->currentIndex(), 0);
    choose(kolo, u"2. kolo"_qs);
    QVERIFY(vysledny->isEnabled());
    choose(vysledny, u"součet"_qs);
    QTest::mouseClick(nast, Qt::LeftButton);
    QCOMPARE(vysledny->currentText(), u"součet"_qs);
    choose(kolo, u"1. kolo"_qs);
    QVERIFY(!vysledny->isEnabled());
    QCOMPARE(vysledny->currentIndex(), 0);

    QTest::mouseClick(soutez, Qt::LeftButton);
    doubleClickRow(grid, 1);
    QVERIFY(pSoutez->isVisible()); // choosing does not switch the view
    QVERIFY(!pdf->isEnabled());
    QTest::mouseClick(listina, Qt::LeftButton);
    QVERIFY(pListina->isVisible() && !pSoutez->isVisible());
    QVERIFY(pdf->isEnabled());
    QTest::mouseClick(kat, Qt::LeftButton);
    QVERIFY(!pdf->isEnabled());
}

void TstZapFrmQX::clickOnCurrentRowShowsItAnew_data() {
    QTest::addColumn<QString>("view");
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("stored");
    QTest::newRow("competitions") << u"SB_soutez"_qs << u"SG_souteze"_qs << u"edt_soutez_nazev"_qs
                                  << u"Pohár"_qs;
    QTest::newRow("categories") << u"SB_kat"_qs << u"SG_kat"_qs << u"edt_kat_nazev"_qs << u"Muži"_qs;
    QTest::newRow("start list") << u"SB_listina"_qs << u"SG_listina"_qs << u"edt_listina_tym"_qs << u"A"_qs;
}

// Typed changes last until the next click on a row, also on the row that is current already.
void TstZapFrmQX::clickOnCurrentRowShowsItAnew() {
    QFETCH(QString, view);
    QFETCH(QString, grid);
    QFETCH(QString, field);
    QFETCH(QString, stored);
    db_->exec(
        "INSERT INTO soutezeqx (nazev_souteze, nazev_okresu, datum) VALUES ('Pohár', 'Cheb', '20210905')");
    db_->exec("INSERT INTO katqx (kategorie, zkratka) VALUES ('Muži', 'M')");
    db_->exec("INSERT INTO druzstvaqx (id_soutez, poradi, nazev_dr, nazev_okresu, tym) SELECT id, '1', 'Aš', "
              "'Cheb', 'A' FROM soutezeqx");
    auto frm = open();
    FIND(StringGrid, souteze, "SG_souteze");
    doubleClickRow(souteze, 1); // the chosen competition opens the start list
    auto* toggle = frm->findChild<QPushButton*>(view);
    auto* sg = frm->findChild<StringGrid*>(grid);
    auto* edt = frm->findChild<QLineEdit*>(field);
    QVERIFY(toggle && sg && edt);
    toggle->click();
    clickRow(sg, 1);
    QCOMPARE(edt->text(), stored);
    edt->setText(u"přepsáno"_qs);
    clickRow(sg, 1);
    QCOMPARE(edt->text(), stored);
    // The keyboard moves to another row and back, one refresh each.
    edt->setText(u"přepsáno"_qs);
    QTest::keyClick(sg, Qt::Key_Down);
    QCOMPARE(sg->Row(), 2);
    QTest::keyClick(sg, Qt::Key_Up);
    QCOMPARE(edt->text(), stored);
    QVERIFY(g_boxes.isEmpty());
}

void TstZapFrmQX::failedSaveKeepsFields() {
    auto frm = open();
    FIND(QPushButton, nova, "SB_soutez_nova");
    FIND(QComboBox, okres, "CB_soutez_okres");
    FIND(QLineEdit, nazev, "edt_soutez_nazev");
    FIND(QPushButton, ulozit, "btn_soutez_ulozit");
    nova->click();
    choose(okres, u"Cheb"_qs);
    nazev->setText(u"Nebude uložena"_qs);
    db_->exec("RENAME TABLE soutezeqx TO soutezeqx_pryc");
    ulozit->click();
    db_->exec("RENAME TABLE soutezeqx_pryc TO soutezeqx");
    // What failed, in Czech; the server's own text in the details.
    QCOMPARE(g_boxes.size(), 1);
    QCOMPARE(g_boxes[0].icon, QMessageBox::Critical);
    QCOMPARE(g_boxes[0].text, u"Nepodařilo se uložit změnu do databáze."_qs);
    QVERIFY2(g_boxes[0].detail.contains(u"soutezeqx"_qs), qPrintable(g_boxes[0].detail));
    QVERIFY2(g_boxes[0].detail.contains(u"1146"_qs), qPrintable(g_boxes[0].detail));
    QVERIFY(nova->isChecked());
    QCOMPARE(nazev->text(), u"Nebude uložena"_qs);
    QCOMPARE(ulozit->text(), u"Vložit"_qs);
    ulozit->click(); // the table is back: the same fields are saved now
    QCOMPARE(g_boxes.size(), 1);
    QCOMPARE(countOf("nazev_souteze='Nebude uložena' AND nazev_okresu='Cheb'"), QByteArray("1"));

    // A failed read says so.
    nova->click();
    db_->exec("RENAME TABLE obceqx TO obceqx_pryc");
    choose(okres, u"Cheb"_qs);
    db_->exec("RENAME TABLE obceqx_pryc TO obceqx");
    QCOMPARE(g_boxes.size(), 2);
    QCOMPARE(g_boxes[1].text, u"Nepodařilo se načíst data z databáze."_qs);
    QVERIFY2(g_boxes[1].detail.contains(u"obceqx"_qs), qPrintable(g_boxes[1].detail));
}

QTEST_MAIN(TstZapFrmQX)
#include "tst_zap_frmqx.moc"
