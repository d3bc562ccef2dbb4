// The fire-brigades panel and the start-list panel against the real server,
// worked through the window's controls.

#include "TestDb.h"
#include "ZapFixture.h"
#include "data/Tdm_QX.h"
#include "ui/Ovladace.h"
#include "ui/TfrmQX.h"

#include <QCheckBox>
#include <QComboBox>
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
    QString text;
    QString detail;
};
QList<Box> g_boxes;
} // namespace

class TstZapPanely : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void brigades();
    void brigadesWithoutDistrict();
    void startList();
    void startListEditKeepsTimes();
    void startListFailedSave();
    void settingsPanel();
    void settingsSaved();

private:
    std::unique_ptr<TfrmQX> open();
    static void chooseCompetition(StringGrid* souteze);
    QString competition(const QByteArray& name);

    std::unique_ptr<TestDb> db_;
    std::unique_ptr<Tdm_QX> dm_;
    QTemporaryDir config_;
};

void TstZapPanely::initTestCase() {
    QString why;
    if (TestDb::shouldSkip(&why)) QSKIP(qPrintable("No MariaDB server (MYSQL_UNIX_PORT unset): " + why));
    QVERIFY(config_.isValid());
    qputenv("QX_CONFIG_DIR", config_.path().toUtf8());
    TfrmQX::messageBoxSeam = [](QMessageBox& box) { g_boxes.append({box.text(), box.detailedText()}); };
    db_ = std::make_unique<TestDb>("panely");
}

void TstZapPanely::init() {
    g_boxes.clear();
    if (db_)
        for (const char* t : {"soutezeqx", "katqx", "obceqx", "druzstvaqx"})
            db_->exec(QByteArray("DELETE FROM ") + t);
    dm_ = std::make_unique<Tdm_QX>();
}

void TstZapPanely::cleanupTestCase() {
    dm_.reset();
    db_.reset();
}

std::unique_ptr<TfrmQX> TstZapPanely::open() {
    auto frm = std::make_unique<TfrmQX>(*dm_);
    frm->show();
    return frm;
}

void TstZapPanely::chooseCompetition(StringGrid* souteze) {
    clickRow(souteze, 1);
    QTest::mouseDClick(souteze->viewport(), Qt::LeftButton, {},
                       souteze->visualRect(souteze->model()->index(0, 0)).center());
}

QString TstZapPanely::competition(const QByteArray& name) {
    db_->exec("INSERT INTO soutezeqx (nazev_souteze, datum) VALUES ('" + name + "', '20210905')");
    return QString::fromLatin1(db_->value("SELECT id FROM soutezeqx WHERE nazev_souteze='" + name + "'"));
}

void TstZapPanely::brigades() {
    db_->exec(
        "INSERT INTO obceqx (nazev_okresu, nazev_obce) VALUES ('Tábor', 'Chýnov'), ('Tábor', 'Bechyně'), "
        "('Písek', 'Mirotice')");
    auto frm = open();
    FIND(QPushButton, kat, "SB_kat");
    FIND(QComboBox, okres, "CB_tym_okres");
    FIND(QComboBox, smazatCB, "CB_tym_smazat");
    FIND(QLineEdit, novy, "edt_tym_novy");
    FIND(QPushButton, smazat, "SB_tym_smazat");
    FIND(QPushButton, vlozit, "SB_tym_novy");
    const auto red = [&] { return novy->palette().color(QPalette::Text) == QColor(Qt::red); };
    const auto black = [&] { return novy->palette().color(QPalette::Text) == QColor(Qt::black); };
    kat->click();
    QVERIFY(okres->isVisible() && okres->currentIndex() == -1);
    QVERIFY(!smazat->isEnabled() && !vlozit->isEnabled());

    choose(okres, u"Tábor"_qs);
    QCOMPARE(smazatCB->count(), 2);
    QCOMPARE(smazatCB->itemText(0), u"Bechyně"_qs);
    QCOMPARE(smazatCB->currentIndex(), -1);

    // The duplicate check while typing.
    novy->setText(u"Chýno"_qs);
    QVERIFY(black() && vlozit->isEnabled());
    QTest::keyClicks(novy, u"v"_qs);
    QVERIFY(red());
    QVERIFY(!vlozit->isEnabled());
    QTest::keyClick(novy, Qt::Key_Backspace);
    QTest::keyClicks(novy, u"w"_qs);
    QVERIFY(black() && vlozit->isEnabled());
    novy->clear();
    QVERIFY(black() && !vlozit->isEnabled());
    // The same name in another district is no duplicate; switching back to
    // the district that has it checks the name again.
    QTest::keyClicks(novy, u"Mirotice"_qs);
    QVERIFY(black() && vlozit->isEnabled());
    choose(okres, u"Písek"_qs);
    QVERIFY(red() && !vlozit->isEnabled());
    choose(okres, u"Tábor"_qs);
    QVERIFY(black() && vlozit->isEnabled());

    // Insert: the edit empties, the button is disabled, the name is offered for deletion.
    novy->setText(u"Sezimovo \"Ústí\""_qs);
    vlozit->click();
    QVERIFY(g_boxes.isEmpty());
    QVERIFY(novy->text().isEmpty() && !vlozit->isEnabled() && black());
    QCOMPARE(db_->value(
                 "SELECT COUNT(*) FROM obceqx WHERE nazev_okresu='Tábor' AND nazev_obce='Sezimovo \"Ústí\"'"),
             QByteArray("1"));
    QCOMPARE(smazatCB->count(), 3);
    QVERIFY(smazatCB->findText(u"Sezimovo \"Ústí\""_qs) >= 0);
    novy->setText(u"Sezimovo \"Ústí\""_qs);
    QVERIFY(red() && !vlozit->isEnabled());
    novy->clear();

    // Delete: the name goes from the list and the table, nothing is chosen,
    // the button keeps its state; pressed again it deletes nothing.
    choose(smazatCB, u"Chýnov"_qs);
    QVERIFY(smazat->isEnabled());
    smazat->click();
    QVERIFY(g_boxes.isEmpty());
    QCOMPARE(smazatCB->findText(u"Chýnov"_qs), -1);
    QCOMPARE(smazatCB->currentIndex(), -1);
    QVERIFY(smazat->isEnabled());
    QCOMPARE(db_->value("SELECT COUNT(*) FROM obceqx WHERE nazev_obce='Chýnov'"), QByteArray("0"));
    smazat->click();
    QCOMPARE(db_->value("SELECT COUNT(*) FROM obceqx"), QByteArray("3"));
    QCOMPARE(smazatCB->count(), 2);
}

void TstZapPanely::brigadesWithoutDistrict() {
    auto frm = open();
    FIND(QLineEdit, novy, "edt_tym_novy");
    FIND(QPushButton, vlozit, "SB_tym_novy");
    frm->SB_kat->click();
    QTest::keyClicks(novy, u"Bez okresu"_qs);
    QVERIFY(vlozit->isEnabled());
    vlozit->click();
    QVERIFY(g_boxes.isEmpty());
    QCOMPARE(db_->value("SELECT CONCAT('[', nazev_okresu, ']', nazev_obce) FROM obceqx"),
             QByteArray("[]Bez okresu"));
    QTest::keyClicks(novy, u"Bez okresu"_qs);
    QVERIFY(!vlozit->isEnabled());

    // A failed insert shows the database error and keeps the name.
    novy->setText(u"Nová obec"_qs);
    db_->exec("RENAME TABLE obceqx TO obceqx_pryc");
    vlozit->click();
    db_->exec("RENAME TABLE obceqx_pryc TO obceqx");
    QCOMPARE(g_boxes.size(), 1);
    QCOMPARE(g_boxes[0].text, u"Nepodařilo se uložit změnu do databáze."_qs);
    QVERIFY2(g_boxes[0].detail.contains(u"obceqx"_qs), qPrintable(g_boxes[0].detail));
    QCOMPARE(novy->text(), u"Nová obec"_qs);
    QVERIFY(vlozit->isEnabled());
}

void TstZapPanely::startList() {
    db_->exec(
        "INSERT INTO obceqx (nazev_okresu, nazev_obce) VALUES ('Tábor', 'Chýnov'), ('Tábor', 'Bechyně'), "
        "('Tábor', 'Planá'), ('Písek', 'Mirotice')");
    db_->exec("INSERT INTO katqx (kategorie, zkratka) VALUES ('Muži', 'M'), ('Ženy', 'Ž')");
    const QString id = competition("Pohár");
    auto frm = open();
    FIND(StringGrid, souteze, "SG_souteze");
    FIND(QPushButton, listina, "SB_listina");
    FIND(QPushButton, mereni, "SB_mereni");
    FIND(QPushButton, pdf, "SB_export");
    FIND(QPushButton, nast, "SB_nast");
    FIND(QComboBox, nastKat, "CB_nast_kat");
    FIND(QPushButton, novy, "SB_listina_novy_tym");
    FIND(QPushButton, smazat, "btn_listina_smazat_tym");
    FIND(QLabel, lblOkres, "lbl_listina_okres");
    FIND(QComboBox, okres, "CB_listina_okres");
    FIND(QFrame, detail, "pnl_listina_detail");
    FIND(QLineEdit, poradi, "edt_listina_poradi");
    FIND(QComboBox, sdh, "CB_listina_nazevSDH");
    FIND(QLineEdit, tym, "edt_listina_tym");
    FIND(QComboBox, kat, "CB_listina_kat");
    FIND(QLineEdit, draha, "edt_listina_draha");
    FIND(QPushButton, ulozit, "btn_listina_ulozit");
    FIND(StringGrid, grid, "SG_listina");

    chooseCompetition(souteze);
    QCOMPARE(frm->id_soutez, id);
    listina->click();
    QCOMPARE(lblOkres->text(), u"Vyberte okres družstva:"_qs);
    // No entries yet: title row and 14 empty rows, nothing to delete, fields hidden.
    QVERIFY(pdf->isEnabled());
    QCOMPARE(grid->RowCount(), 15);
    QVERIFY(!smazat->isEnabled());
    QVERIFY(!lblOkres->isVisible() && !okres->isVisible() && !detail->isVisible());
    QVERIFY(!mereni->isEnabled());
    QCOMPARE(ulozit->text(), u"Uložit"_qs);

    // Entries are made in new-entry mode; the settings category is offered.
    nast->click();
    choose(nastKat, u"Ženy"_qs);
    listina->click();
    novy->click();
    QCOMPARE(ulozit->text(), u"Vložit"_qs);
    QVERIFY(okres->isVisible() && !detail->isVisible());
    choose(okres, u"Tábor"_qs);
    QVERIFY(detail->isVisible());
    QCOMPARE(kat->currentText(), u"Ženy"_qs);
    QCOMPARE(sdh->count(), 3);
    QCOMPARE(sdh->currentIndex(), -1);
    nast->click();
    choose(nastKat, QString());
    listina->click();
    QVERIFY(novy->isChecked()); // leaving the view keeps the mode
    QCOMPARE(kat->currentIndex(), 0);

    struct Entry {
        QString poradi, sdh, tym, kat, draha;
    };
    const QList<Entry> entries{{u"10"_qs, u"Chýnov"_qs, u"A"_qs, u"Muži"_qs, u"1"_qs},
                               {u"2"_qs, u"Bechyně"_qs, QString(), u"Ženy"_qs, QString()},
                               {u"1"_qs, u"Planá"_qs, u"B"_qs, u"Muži"_qs, u"2"_qs},
                               {u"3"_qs, u"Chýnov"_qs, u"B"_qs, u"Ženy"_qs, QString()},
                               {u"x"_qs, u"Bechyně"_qs, u"C"_qs, u"Muži"_qs, QString()}};
    for (const Entry& e : entries) {
        if (!novy->isChecked()) novy->click();
        choose(okres, u"Tábor"_qs);
        QVERIFY(poradi->text().isEmpty() && tym->text().isEmpty() && draha->text().isEmpty());
        QTest::keyClicks(poradi, e.poradi);
        choose(sdh, e.sdh);
        QTest::keyClicks(tym, e.tym);
        choose(kat, e.kat);
        QTest::keyClicks(draha, e.draha);
        ulozit->click();
        QVERIFY(g_boxes.isEmpty());
        QVERIFY(!novy->isChecked());
        QCOMPARE(ulozit->text(), u"Uložit"_qs);
        QVERIFY(mereni->isEnabled()); // from the first saved entry on
    }
    QCOMPARE(db_->value("SELECT COUNT(*) FROM druzstvaqx WHERE id_soutez=" + id.toLatin1() +
                        " AND nazev_okresu='Tábor'"),
             QByteArray("5"));
    // Numeric start order; a start order that is not a number sorts as 0.
    QCOMPARE(column(grid, 0), (QStringList{u"x"_qs, u"1"_qs, u"2"_qs, u"3"_qs, u"10"_qs}));
    QCOMPARE(column(grid, 1),
             (QStringList{u"Bechyně"_qs, u"Planá"_qs, u"Bechyně"_qs, u"Chýnov"_qs, u"Chýnov"_qs}));
    QCOMPARE(grid->Cells(2, 2), u"Tábor"_qs);
    QCOMPARE(grid->Cells(3, 2), u"B"_qs);
    QCOMPARE(grid->Cells(4, 2), u"Muži"_qs);
    QCOMPARE(grid->Cells(5, 2), u"2"_qs);

    // Edit mode shows the clicked row.
    clickRow(grid, 2);
    QVERIFY(smazat->isEnabled() && detail->isVisible());
    QCOMPARE(poradi->text(), u"1"_qs);
    QCOMPARE(okres->currentText(), u"Tábor"_qs);
    QCOMPARE(sdh->currentText(), u"Planá"_qs);
    QCOMPARE(tym->text(), u"B"_qs);
    QCOMPARE(kat->currentText(), u"Muži"_qs);
    QCOMPARE(draha->text(), u"2"_qs);
    clickRow(grid, 8);
    QVERIFY(!smazat->isEnabled() && !detail->isVisible() && !okres->isVisible());

    // The settings category filters the list and switches "Měření".
    nast->click();
    choose(nastKat, u"Ženy"_qs);
    listina->click();
    QCOMPARE(column(grid, 0), (QStringList{u"2"_qs, u"3"_qs}));
    QCOMPARE(grid->RowCount(), 15);
    // A new entry of another category is stored, but not listed.
    novy->click();
    choose(okres, u"Písek"_qs);
    QCOMPARE(kat->currentText(), u"Ženy"_qs);
    QTest::keyClicks(poradi, u"4"_qs);
    choose(sdh, u"Mirotice"_qs);
    choose(kat, u"Muži"_qs);
    ulozit->click();
    QCOMPARE(column(grid, 0), (QStringList{u"2"_qs, u"3"_qs}));
    QCOMPARE(db_->value("SELECT COUNT(*) FROM druzstvaqx"), QByteArray("6"));

    // Deleting the category's last entries disables "Měření".
    for (int n = 2; n > 0; --n) {
        clickRow(grid, 1);
        smazat->click();
        QVERIFY(g_boxes.isEmpty());
        QCOMPARE(column(grid, 0).size(), n - 1);
        QCOMPARE(mereni->isEnabled(), n > 1);
    }
    QCOMPARE(db_->value("SELECT COUNT(*) FROM druzstvaqx WHERE kategorie='Ženy'"), QByteArray("0"));
    // All categories again: the list has entries and "Měření" is back.
    nast->click();
    choose(nastKat, QString());
    QVERIFY(mereni->isEnabled());
    QCOMPARE(column(grid, 0), (QStringList{u"x"_qs, u"1"_qs, u"4"_qs, u"10"_qs}));
    // With no competition chosen the category changes nothing else.
    frm->id_soutez.clear();
    choose(nastKat, u"Ženy"_qs);
    QVERIFY(mereni->isEnabled());
    QCOMPARE(column(grid, 0).size(), 4);
    QVERIFY(g_boxes.isEmpty());
}

void TstZapPanely::startListEditKeepsTimes() {
    const QString id = competition("Memoriál");
    db_->exec(
        "INSERT INTO druzstvaqx (id_soutez, poradi, nazev_dr, nazev_okresu, tym, kategorie, draha, cas1R, "
        "cas1C, "
        "cas2R, cas2C, cas1S, cas2S, celkem, pozice, M1, M2, M3, M4) VALUES (" +
        id.toLatin1() +
        ", '1', 'Zaniklá ves', 'Okres X', 'A', 'Muži', '3', '17,53L', '18,20', 'NP', 'NP', '20,00', '21,50', "
        "'0018,20', '1.', '5,10', '9,20', '12,00', '16,00')");
    const QByteArray measured =
        "SELECT CONCAT_WS('|', cas1R, cas1C, cas2R, cas2C, cas1S, cas2S, celkem, pozice, M1, "
        "M2, M3, M4) FROM druzstvaqx";
    const QByteArray before = db_->value(measured);
    auto frm = open();
    FIND(StringGrid, souteze, "SG_souteze");
    FIND(StringGrid, grid, "SG_listina");
    FIND(QLineEdit, poradi, "edt_listina_poradi");
    FIND(QLineEdit, tym, "edt_listina_tym");
    FIND(QComboBox, okres, "CB_listina_okres");
    FIND(QComboBox, sdh, "CB_listina_nazevSDH");
    FIND(QPushButton, ulozit, "btn_listina_ulozit");
    chooseCompetition(souteze);
    frm->SB_listina->click();
    clickRow(grid, 1);
    // District, brigade and category missing from their lists are shown as stored.
    QCOMPARE(okres->currentText(), u"Okres X"_qs);
    QCOMPARE(sdh->currentText(), u"Zaniklá ves"_qs);
    poradi->setText(u"7"_qs);
    tym->setText(u"B"_qs);
    ulozit->click();
    QVERIFY(g_boxes.isEmpty());
    QCOMPARE(
        db_->value(
            "SELECT CONCAT_WS('|', poradi, nazev_dr, nazev_okresu, tym, kategorie, draha) FROM druzstvaqx"),
        u"7|Zaniklá ves|Okres X|B|Muži|3"_qs.toUtf8());
    QCOMPARE(db_->value(measured), before);
    QCOMPARE(grid->Cells(0, 1), u"7"_qs);
}

void TstZapPanely::startListFailedSave() {
    const QString id = competition("Pohár");
    db_->exec("INSERT INTO obceqx (nazev_okresu, nazev_obce) VALUES ('Cheb', 'Aš')");
    auto frm = open();
    FIND(StringGrid, souteze, "SG_souteze");
    FIND(QPushButton, novy, "SB_listina_novy_tym");
    FIND(QComboBox, okres, "CB_listina_okres");
    FIND(QComboBox, sdh, "CB_listina_nazevSDH");
    FIND(QLineEdit, poradi, "edt_listina_poradi");
    FIND(QPushButton, ulozit, "btn_listina_ulozit");
    FIND(QPushButton, mereni, "SB_mereni");
    chooseCompetition(souteze);
    frm->SB_listina->click();
    novy->click();
    choose(okres, u"Cheb"_qs);
    QTest::keyClicks(poradi, u"1"_qs);
    choose(sdh, u"Aš"_qs);
    db_->exec("RENAME TABLE druzstvaqx TO druzstvaqx_pryc");
    ulozit->click();
    db_->exec("RENAME TABLE druzstvaqx_pryc TO druzstvaqx");
    QCOMPARE(g_boxes.size(), 1);
    QCOMPARE(g_boxes[0].text, u"Nepodařilo se uložit změnu do databáze."_qs);
    QVERIFY2(g_boxes[0].detail.contains(u"druzstvaqx"_qs), qPrintable(g_boxes[0].detail));
    QVERIFY(novy->isChecked());
    QCOMPARE(poradi->text(), u"1"_qs);
    QCOMPARE(sdh->currentText(), u"Aš"_qs);
    QVERIFY(!mereni->isEnabled());
    ulozit->click();
    QCOMPARE(g_boxes.size(), 1);
    QCOMPARE(db_->value("SELECT CONCAT(id_soutez, poradi, nazev_dr) FROM druzstvaqx"),
             (id + u"1Aš"_qs).toUtf8());
    QVERIFY(mereni->isEnabled());
}

void TstZapPanely::settingsPanel() {
    db_->exec("INSERT INTO katqx (kategorie, zkratka) VALUES ('Muži', 'M'), ('Ženy', 'Ž')");
    auto frm = open();
    FIND(QPushButton, nast, "SB_nast");
    FIND(QFrame, panel, "pnl_nast");
    FIND(QComboBox, kat, "CB_nast_kat");
    FIND(QComboBox, kolo, "CB_nast_kolo");
    FIND(QComboBox, vysledny, "CB_nast_cas");
    FIND(QCheckBox, stafeta, "CB_nast_stafeta");
    FIND(QComboBox, disciplina, "CB_nast_disciplina");
    FIND(QComboBox, format, "CBFormat");
    FIND(QComboBox, mezicas, "CB_mezicas");
    FIND(QLineEdit, poradatel, "edtPoradatel");
    FIND(QPushButton, ulozit, "btNPoradatel");
    QCOMPARE(panel->size(), QSize(409, 156));
    QCOMPARE(kat->count(), 3);
    QCOMPARE(kat->currentIndex(), -1);
    QCOMPARE(kolo->currentText(), u"1. kolo"_qs);
    QCOMPARE(vysledny->count(), 4);
    QCOMPARE(vysledny->currentText(), QString());
    QVERIFY(!stafeta->isChecked());
    QCOMPARE(stafeta->text(), u"štafeta"_qs);
    QCOMPARE(disciplina->currentText(), u"útok"_qs);
    QVERIFY(disciplina->isEnabled()); // before any device
    QCOMPARE(format->currentText(), u"setiny"_qs);
    QCOMPARE(format->itemText(1), u"tisíciny"_qs);
    QCOMPARE(mezicas->count(), 2);
    QCOMPARE(qx::ovladace::limitZnaku(poradatel), 55);
    QCOMPARE(ulozit->text(), u"Uložit"_qs);

    // The result mode only for the second phase; back in the first it is emptied.
    nast->click();
    QVERIFY(!vysledny->isEnabled());
    choose(kolo, u"2. kolo"_qs);
    QVERIFY(vysledny->isEnabled());
    QCOMPARE(vysledny->currentText(), QString());
    choose(vysledny, u"finálový"_qs);
    choose(format, u"tisíciny"_qs); // another change action keeps the mode
    QCOMPARE(vysledny->currentText(), u"finálový"_qs);
    choose(kolo, u"1. kolo"_qs);
    QVERIFY(!vysledny->isEnabled());
    QCOMPARE(vysledny->currentText(), QString());

    // The discipline sets the measurement mode.
    QCOMPARE(frm->nast, 170);
    choose(disciplina, u"štafeta"_qs);
    QCOMPARE(frm->nast, 1);
    choose(disciplina, u"útok"_qs);
    QCOMPARE(frm->nast, 10);
    QVERIFY(g_boxes.isEmpty());
}

void TstZapPanely::settingsSaved() {
    const QString path = config_.filePath(u"qx_db.ini"_qs);
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[Jine]\nKlic=hodnota\n[Poradatel]\nP1=Staré\n");
    }
    {
        auto frm = open();
        FIND(QLineEdit, poradatel, "edtPoradatel");
        FIND(QComboBox, mezicas, "CB_mezicas");
        FIND(QLineEdit, m1, "edtM1nast");
        FIND(QLineEdit, m3, "edtM3Nast");
        FIND(QLineEdit, m4, "edtM4Nast");
        FIND(QPushButton, ulozit, "btNPoradatel");
        QCOMPARE(poradatel->text(), u"Staré"_qs);
        QCOMPARE(m1->text(), u"Koš"_qs);
        QCOMPARE(qx::ovladace::limitZnaku(m4), 8);
        poradatel->setText(u"SDH Kořenov \"Dolní\""_qs);
        choose(mezicas, u"Ano"_qs);
        m3->setText(u"Výstřik"_qs);
        ulozit->click();
        QVERIFY(g_boxes.isEmpty());
    }
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    f.close();
    QVERIFY2(text.contains(u"Klic=hodnota"_qs), qPrintable(text));
    {
        auto frm = open();
        FIND(QLineEdit, poradatel, "edtPoradatel");
        FIND(QComboBox, mezicas, "CB_mezicas");
        FIND(QLineEdit, m1, "edtM1nast");
        FIND(QLineEdit, m2, "edtM2nast");
        FIND(QLineEdit, m3, "edtM3Nast");
        FIND(QLineEdit, m4, "edtM4Nast");
        FIND(QPushButton, ulozit, "btNPoradatel");
        QCOMPARE(poradatel->text(), u"SDH Kořenov \"Dolní\""_qs);
        QCOMPARE(mezicas->currentText(), u"Ano"_qs);
        QCOMPARE(QStringList({m1->text(), m2->text(), m3->text(), m4->text()}),
                 QStringList({u"Koš"_qs, u"Voda"_qs, u"Výstřik"_qs, u"Tla."_qs}));
        // An empty organiser's name is written as an empty value.
        poradatel->clear();
        ulozit->click();
        QVERIFY(g_boxes.isEmpty());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(f.readAll()).contains(u"[Poradatel]\nP1=\n"_qs));
        f.close();

        // A settings folder that cannot be written: the error is shown and
        // the controls keep their values.
        QTemporaryFile blocker;
        QVERIFY(blocker.open());
        qputenv("QX_CONFIG_DIR", blocker.fileName().toUtf8());
        poradatel->setText(u"Neuloženo"_qs);
        ulozit->click();
        qputenv("QX_CONFIG_DIR", config_.path().toUtf8());
        QCOMPARE(g_boxes.size(), 1);
        QCOMPARE(poradatel->text(), u"Neuloženo"_qs);
    }
    auto frm = open();
    FIND(QLineEdit, poradatel, "edtPoradatel");
    QCOMPARE(poradatel->text(), QString());
}

QTEST_MAIN(TstZapPanely)
#include "tst_zap_panely.moc"
