// The measurement panel in the window against the real server: entering it, times arriving from
// the timer console (also while another panel is shown), the entry check, saving with the
// list-entry rule, placings, the next teams and "actual.txt", splits, a bad stored time, the
// "pdf" button in both views, and the received entries kept over a restart in their journal.

#include "TestDb.h"
#include "ZapFixture.h"
#include "data/Tdm_QX.h"
#include "measurement/OknoHistorie.h"
#include "measurement/PanelMereni.h"
#include "measurement/ZaznamPrijatych.h"
#include "messages/ActualFile.h"
#include "messages/Messages.h"
#include "ui/TfrmQX.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace qx;
using namespace zapfix;

namespace {
QStringList g_boxes;
QStringList g_opened;
} // namespace

class TstZapMereni : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDb> db_;
    std::unique_ptr<Tdm_QX> dm_;
    QTemporaryDir dir_;
    QByteArray soutez_;

    // A window with the competition chosen and the measurement panel entered, device 4.54 in
    // one-attack mode.
    std::unique_ptr<TfrmQX> otevri() {
        auto frm = std::make_unique<TfrmQX>(*dm_);
        frm->show();
        frm->zpravaOdStopek(AM_Nast, 454, 10);
        auto* souteze = frm->findChild<StringGrid*>(u"SG_souteze"_qs);
        doubleClickRow(souteze, 1);
        frm->SB_mereni->click();
        return frm;
    }
    QByteArray radek(const char* nazev) {
        return db_->value(
            "SELECT CONCAT_WS('|', cas1R, cas1C, celkem, pozice) FROM druzstvaqx WHERE nazev_dr='" +
            QByteArray(nazev) + "'");
    }

private slots:
    void initTestCase() {
        QString why;
        if (TestDb::shouldSkip(&why)) QSKIP(qPrintable(why));
        QVERIFY(dir_.isValid());
        qputenv("QX_CONFIG_DIR", dir_.path().toUtf8());
        qputenv("XDG_RUNTIME_DIR", dir_.path().toUtf8());
        QVERIFY(QDir::setCurrent(dir_.path()));
        TfrmQX::messageBoxSeam = [](QMessageBox& box) { g_boxes.append(box.text()); };
        TfrmQX::openPdfSeam = [](const QString& path) { g_opened.append(path); };
        db_ = std::make_unique<TestDb>("mereni");
    }
    void init() {
        g_boxes.clear();
        g_opened.clear();
        // Each test starts with an empty time box: no entries left by the one before.
        QFile::remove(dir_.filePath(ZaznamPrijatych::nazevSouboru()));
        db_->exec("DELETE FROM soutezeqx");
        db_->exec("DELETE FROM druzstvaqx");
        db_->exec("INSERT INTO soutezeqx (nazev_souteze, nazev_okresu, nazev_obce, datum) VALUES "
                  "('Memoriál Jana Šťastného', 'Tábor', 'Chýnov', '20250614')");
        soutez_ = db_->value("SELECT id FROM soutezeqx");
        // Five teams in start order; Dírná has a stored result already.
        db_->exec(
            "INSERT INTO druzstvaqx (id_soutez, poradi, nazev_dr, tym, kategorie, cas1R, cas1C) VALUES (" +
            soutez_ + ", '1', 'Chýnov', 'A', 'Muži', '', ''), (" + soutez_ +
            ", '2', 'Dírná', '', 'Muži', '16,50L', '17,00'), (" + soutez_ +
            ", '3', 'Žár', '', 'Ženy', '', ''), (" + soutez_ + ", '4', 'Řípec', '', 'Muži', '', ''), (" +
            soutez_ + ", '5', 'Hroby', '', 'Ženy', '', '')");
        dm_ = std::make_unique<Tdm_QX>();
    }
    void cleanupTestCase() {
        dm_.reset();
        db_.reset();
    }

    void enteringShowsTeamResultsAndNextTeams() {
        auto frm = otevri();
        PanelMereni* p = frm->pnl_mereni;
        QVERIFY(p->isVisible());
        QVERIFY(frm->SB_export->isEnabled());
        QCOMPARE(p->lbl_mereni_soutez->text(), u"Memoriál Jana Šťastného"_qs);
        QCOMPARE(p->lbl_mereni_tym->text(), u"Chýnov (A) - Muži"_qs);
        QCOMPARE(p->lbl_mereni_poradi->text(), QString());
        QCOMPARE(p->lbl_mereni_pripravi->text(), u"Připraví se: Dírná - Muži, Žár - Ženy, Řípec - Muži"_qs);
        QVERIFY(!p->btn_mereni_prev->isEnabled());
        QVERIFY(p->btn_mereni_next->isEnabled());
        QCOMPARE(p->CB_mereni_cas->currentText(), u" "_qs); // attack, no time stored: a single space
        // The stored time got its result and placing on entry.
        QCOMPARE(radek("Dírná"), QByteArray("16,50L|17,00|017,00|1."));
        QCOMPARE(column(p->SG_mereni, 0), QStringList{u"1."_qs});
        QCOMPARE(column(p->SG_mereni, 1), QStringList{u"Dírná"_qs});
        QCOMPARE(column(p->SG_mereni, 5), QStringList{u"17,00"_qs});
        const ActualReadResult a = readActualFile();
        QVERIFY(a.ok);
        QCOMPARE(a.line1, u"Chýnov (A) - Muži"_qs);
        QCOMPARE(a.line2, u"Připraví se: Dírná - Muži, Žár - Ženy, Řípec - Muži"_qs);

        // To the end of the list and back.
        for (int i = 0; i < 4; ++i)
            p->btn_mereni_next->click();
        QCOMPARE(frm->poradi, 5);
        QCOMPARE(p->lbl_mereni_tym->text(), u"Hroby () - Ženy"_qs);
        QVERIFY(!p->btn_mereni_next->isEnabled());
        QCOMPARE(p->lbl_mereni_pripravi->text(), QString());
        QCOMPARE(readActualFile().line2, QString());
        p->btn_mereni_prev->click();
        QCOMPARE(p->lbl_mereni_tym->text(), u"Řípec () - Muži"_qs);
        QCOMPARE(p->lbl_mereni_pripravi->text(), u"Připraví se: Hroby - Ženy"_qs);
    }

    // A run measured while the operator looks at another panel is kept; picked and saved, it
    // places the team at once and leaves the list.
    void receivedTimeSavedAndPlaced() {
        auto frm = otevri();
        PanelMereni* p = frm->pnl_mereni;
        frm->SB_nast->click();
        QVERIFY(!p->isVisible());
        frm->zpravaOdStopek(AM_Cas1, 0, 1753);
        frm->zpravaOdStopek(AM_Cas2, 0, 1601);
        frm->zpravaOdStopek(AM_Cas1, 6, 1823); // a relay lane: appended at once
        frm->SB_mereni->click();
        QCOMPARE(p->CB_mereni_cas->count(), 2);
        QCOMPARE(p->CB_mereni_cas->itemText(0), u"17,53L 16,01"_qs);
        QCOMPARE(p->CB_mereni_cas->itemText(1), u"1 18,23"_qs);

        choose(p->CB_mereni_cas, u"17,53L 16,01"_qs);
        QVERIFY(p->btn_mereni_ulozit->isEnabled());
        p->btn_mereni_ulozit->click();
        QVERIFY2(g_boxes.isEmpty(), qPrintable(g_boxes.join(u'\n')));
        QCOMPARE(radek("Chýnov"), QByteArray("17,53L|16,01|016,01|1."));
        QCOMPARE(radek("Dírná"), QByteArray("16,50L|17,00|017,00|2."));
        QCOMPARE(p->lbl_mereni_poradi->text(), u"1. místo"_qs);
        QCOMPARE(column(p->SG_mereni, 1), (QStringList{u"Chýnov"_qs, u"Dírná"_qs}));
        QCOMPARE(p->CB_mereni_cas->count(), 1); // the saved attack entry left the list
        QCOMPARE(p->CB_mereni_cas->itemText(0), u"1 18,23"_qs);
        QCOMPARE(readActualFile().line1, u"Chýnov (A) - Muži - 1. místo"_qs);
    }

    void entryCheckAndEnter() {
        auto frm = otevri();
        PanelMereni* p = frm->pnl_mereni;
        QLineEdit* box = p->CB_mereni_cas->lineEdit();
        box->clear();
        QTest::keyClicks(box, u"17,53 18,01"_qs); // no target letter
        QVERIFY(!p->btn_mereni_ulozit->isEnabled());
        QCOMPARE(box->palette().color(QPalette::Text), QColor(Qt::red));
        box->clear();
        QTest::keyClicks(box, u"NP 18,01"_qs);
        QVERIFY(p->btn_mereni_ulozit->isEnabled());
        QCOMPARE(box->palette().color(QPalette::Text), QColor(Qt::black));
        QTest::keyClick(box, Qt::Key_Return); // released Enter saves
        QCOMPARE(radek("Chýnov"), QByteArray("NP|18,01|018,01|2."));
        // A typed time removes nothing from the list.
        QCOMPARE(p->CB_mereni_cas->count(), 0);
        // An empty box clears the phase's time.
        box->clear();
        p->btn_mereni_ulozit->click();
        QCOMPARE(radek("Chýnov"), QByteArray("|||"));
    }

    void splits() {
        auto frm = otevri();
        PanelMereni* p = frm->pnl_mereni;
        QVERIFY(p->btnMezi->isVisible()); // one attack
        frm->zpravaOdStopek(AM_Mezi, 0, 0);
        QVERIFY(!p->btnMezi->isEnabled()); // four empty fields
        frm->zpravaOdStopek(AM_Mezi, 1, 512);
        frm->zpravaOdStopek(AM_Mezi, 2, 788);
        frm->zpravaOdStopek(AM_Mezi, 3, 1205);
        QVERIFY(!p->btnMezi->isEnabled());
        frm->zpravaOdStopek(AM_Mezi, 4, 1499);
        QCOMPARE(p->edtM4->text(), u"14,99"_qs);
        QVERIFY(p->btnMezi->isEnabled());
        p->btnMezi->click();
        QCOMPARE(db_->value("SELECT CONCAT_WS('|', M1, M2, M3, M4) FROM druzstvaqx WHERE nazev_dr='Chýnov'"),
                 QByteArray("5,12|7,88|12,05|14,99"));
        frm->zpravaOdStopek(AM_Nast, 454, 12); // two attacks: no split row
        QVERIFY(!p->btnMezi->isVisible());
    }

    // One unreadable stored time: that team stays without a result, the others are placed, and
    // one message names it.
    void badStoredTime() {
        db_->exec("UPDATE druzstvaqx SET cas1R='15,00P', cas1C='15,5x' WHERE nazev_dr='Žár'");
        db_->exec("UPDATE druzstvaqx SET cas1R='18,00L', cas1C='18,50' WHERE nazev_dr='Hroby'");
        auto frm = otevri();
        QCOMPARE(radek("Dírná"), QByteArray("16,50L|17,00|017,00|1."));
        QCOMPARE(radek("Hroby"), QByteArray("18,00L|18,50|018,50|2."));
        QCOMPARE(radek("Žár"), QByteArray("15,00P|15,5x||"));
        QVERIFY(!g_boxes.isEmpty());
        QVERIFY2(g_boxes.last().contains(u"Žár"_qs) && g_boxes.last().contains(u"15,5x"_qs),
                 qPrintable(g_boxes.last()));
    }

    // Every entry of the time box's list is in the journal before it is shown; a window started
    // again (after a crash: nothing more is written on the way out) shows the same list, with the
    // arrival time as the tooltip, and the entry a save takes leaves the journal too.
    void receivedEntriesSurviveRestart() {
        const QString soubor = dir_.filePath(ZaznamPrijatych::nazevSouboru());
        auto frm = otevri();
        frm->zpravaOdStopek(AM_Cas1, 0, 1753);
        frm->zpravaOdStopek(AM_Cas2, 0, 1601);
        frm->zpravaOdStopek(AM_Cas1, 6, 1823);
        frm->zpravaOdStopek(AM_Cas1, 7, 1907);
        QCOMPARE(frm->pnl_mereni->prijateCasy(),
                 (QStringList{u"17,53L 16,01"_qs, u"1 18,23"_qs, u"2 19,07"_qs}));
        {
            ZaznamPrijatych z(dir_.path());
            QStringList texty;
            for (const PrijatyCas& c : z.nacti())
                texty << c.text;
            QCOMPARE(texty, frm->pnl_mereni->prijateCasy());
        }
        frm.reset();

        frm = otevri();
        PanelMereni* p = frm->pnl_mereni;
        QCOMPARE(p->prijateCasy(), (QStringList{u"17,53L 16,01"_qs, u"1 18,23"_qs, u"2 19,07"_qs}));
        QCOMPARE(p->CB_mereni_cas->currentText(), u" "_qs); // the team's own time, as before
        const QString tip = p->CB_mereni_cas->itemData(1, Qt::ToolTipRole).toString();
        QVERIFY2(tip.startsWith(u"Přijato "_qs) &&
                     tip.endsWith(p->zaznam().cekajici().at(1).prijato.toString(u"H:mm:ss"_qs)),
                 qPrintable(tip));

        choose(p->CB_mereni_cas, u"17,53L 16,01"_qs);
        p->btn_mereni_ulozit->click();
        QVERIFY2(g_boxes.isEmpty(), qPrintable(g_boxes.join(u'\n')));
        QCOMPARE(radek("Chýnov"), QByteArray("17,53L|16,01|016,01|1."));
        QCOMPARE(p->prijateCasy(), (QStringList{u"1 18,23"_qs, u"2 19,07"_qs}));
        frm.reset();

        frm = otevri();
        QCOMPARE(frm->pnl_mereni->prijateCasy(), (QStringList{u"1 18,23"_qs, u"2 19,07"_qs}));
        QVERIFY(QFileInfo(soubor).size() > 0);
    }

    // A journal folder that cannot be written: one box tells it, without waiting for the
    // operator, and the times keep coming into the list.
    void journalThatCannotBeWritten() {
        QFile blocker(dir_.filePath(u"v-ceste"_qs));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        qputenv("QX_CONFIG_DIR", blocker.fileName().toUtf8());
        auto frm = otevri();
        qputenv("QX_CONFIG_DIR", dir_.path().toUtf8());
        frm->zpravaOdStopek(AM_Cas2, 0, 1601);
        frm->zpravaOdStopek(AM_Cas2, 0, 1705);
        PanelMereni* p = frm->pnl_mereni;
        QCOMPARE(p->prijateCasy(), (QStringList{u"16,01"_qs, u"17,05"_qs}));
        const QList<QMessageBox*> boxy = p->findChildren<QMessageBox*>(u"zaznamChybaBox"_qs);
        QCOMPARE(boxy.size(), 1);
        QVERIFY(boxy[0]->isVisible());
        QVERIFY(!boxy[0]->isModal());
        QCOMPARE(boxy[0]->text(), u"Přijaté časy nelze zapsat do záznamu."_qs);
        QVERIFY2(boxy[0]->informativeText().contains(blocker.fileName()),
                 qPrintable(boxy[0]->informativeText()));
        QVERIFY2(g_boxes.isEmpty(), qPrintable(g_boxes.join(u'\n')));
    }

    void pdfFromBothViews() {
        auto frm = otevri();
        frm->SB_export->click();
        QVERIFY2(g_boxes.isEmpty(), qPrintable(g_boxes.join(u'\n')));
        const QString soubor = QDir::current().absoluteFilePath(u"export.pdf"_qs);
        QCOMPARE(g_opened, QStringList{soubor});
        QProcess p;
        p.start(u"pdftotext"_qs, {soubor, u"-"_qs});
        QVERIFY(p.waitForFinished(30000));
        QString text = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(text.contains(u"Umístění"_qs) && text.contains(u"Dírná"_qs), qPrintable(text));
        QVERIFY(!text.contains(u"Hroby"_qs)); // no result: not in the results list

        frm->SB_listina->click();
        frm->SB_export->click();
        p.start(u"pdftotext"_qs, {soubor, u"-"_qs});
        QVERIFY(p.waitForFinished(30000));
        text = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(text.contains(u"Hroby"_qs) && !text.contains(u"Umístění"_qs), qPrintable(text));

        // The chosen competition deleted meanwhile: nothing is exported, and the operator is told.
        QFile::remove(soubor);
        db_->exec("DELETE FROM soutezeqx");
        frm->SB_export->click();
        QVERIFY(!QFile::exists(soubor));
        QCOMPARE(g_boxes.size(), 1);
    }

    // A typed time is recorded as a manual entry and a picked one as a saved entry; "Historie"
    // opens the team's changes beside the window, a double click on a result row that team's.
    void historyOfTheTeam() {
        auto frm = otevri();
        PanelMereni* p = frm->pnl_mereni;
        const QByteArray chynov = db_->value("SELECT id FROM druzstvaqx WHERE nazev_dr='Chýnov'");
        QLineEdit* box = p->CB_mereni_cas->lineEdit();
        box->clear();
        QTest::keyClicks(box, u"NP 18,01"_qs);
        p->btn_mereni_ulozit->click();
        frm->zpravaOdStopek(AM_Cas1, 0, 1753);
        frm->zpravaOdStopek(AM_Cas2, 0, 1601);
        choose(p->CB_mereni_cas, u"17,53L 16,01"_qs);
        p->btn_mereni_ulozit->click();
        QVERIFY2(g_boxes.isEmpty(), qPrintable(g_boxes.join(u'\n')));
        const QList<QByteArray> zaznamy = db_->column(
            "SELECT CONCAT(sloupec, ' ', stara, '>', nova, ' ', pricina) FROM zmenyqx WHERE id_druzstva=" +
            chynov + " ORDER BY id");
        QCOMPARE(zaznamy, (QList<QByteArray>{"cas1R >NP rucne", "cas1C >18,01 rucne", "celkem >018,01 rucne",
                                             "pozice >2. rucne", "cas1R NP>17,53L ulozeni",
                                             "cas1C 18,01>16,01 ulozeni", "celkem 018,01>016,01 ulozeni",
                                             "pozice 2.>1. ulozeni"}));

        p->btn_mereni_historie->click();
        auto* okno = p->findChild<OknoHistorie*>();
        QVERIFY(okno);
        QVERIFY(okno->isVisible());
        QVERIFY(!okno->isModal());
        QCOMPARE(okno->tabulka->rowCount(), 8);
        QCOMPARE(okno->tabulka->item(0, 1)->text(), u"1. kolo – terč"_qs);
        QCOMPARE(okno->tabulka->item(0, 2)->text(), u"—"_qs);
        QCOMPARE(okno->tabulka->item(0, 3)->text(), u"NP"_qs);
        QCOMPARE(okno->tabulka->item(0, 4)->text(), u"ruční zadání"_qs);
        QCOMPARE(okno->tabulka->item(7, 4)->text(), u"uložení času"_qs);
        okno->close();

        // Dírná, second in the results grid: its placing moved when Chýnov was placed.
        doubleClickRow(p->SG_mereni, 2);
        OknoHistorie* dirna = nullptr;
        for (OknoHistorie* o : p->findChildren<OknoHistorie*>()) {
            if (o->windowTitle().contains(u"Dírná"_qs)) dirna = o;
        }
        QVERIFY(dirna);
        QStringList priciny;
        for (int r = 0; r < dirna->tabulka->rowCount(); ++r)
            priciny << dirna->tabulka->item(r, 4)->text();
        QCOMPARE(priciny.last(), u"přepočet"_qs);
        QCOMPARE(dirna->tabulka->item(dirna->tabulka->rowCount() - 1, 3)->text(), u"2."_qs);
    }

    // The backup of the chosen competition goes to the folder of qx_db.ini; a failed interval
    // backup shows in the status strip instead of a box, and the next success clears it.
    void backupOfTheCompetition() {
        auto frm = otevri();
        QVERIFY(frm->zalohaTimer->isActive());
        QCOMPARE(frm->zalohaTimer->interval(), 5 * 60 * 1000);
        QFile ini(dir_.filePath(u"qx_db.ini"_qs));
        const auto nastav = [&](const QString& slozka) {
            QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
            ini.write("[Zaloha]\nSlozka=" + slozka.toUtf8() + "\nPocet=2\n");
            ini.close();
        };
        QFile prekazka(dir_.filePath(u"soubor"_qs));
        QVERIFY(prekazka.open(QIODevice::WriteOnly));
        prekazka.close();

        nastav(dir_.filePath(u"soubor/zalohy"_qs)); // a file is in the way
        for (int i = 0; i < 2; ++i) {
            const std::optional<ZapisZalohy> z = frm->zalohuj(TfrmQX::Zaloha::Interval);
            QVERIFY(z && !z->ok);
        }
        QVERIFY(g_boxes.isEmpty());
        QVERIFY(frm->lbl_zaloha->isVisible());
        QVERIFY(frm->lbl_zaloha->toolTip().contains(u"Složku záloh"_qs));

        nastav(dir_.filePath(u"usb"_qs));
        const std::optional<ZapisZalohy> z = frm->zalohuj(TfrmQX::Zaloha::Interval);
        QVERIFY(z && z->ok);
        QVERIFY(!frm->lbl_zaloha->isVisible());
        QCOMPARE(QFileInfo(z->soubor).absolutePath(), QDir(dir_.filePath(u"usb"_qs)).absolutePath());
        QFile f(z->soubor);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains("'Memoriál Jana Šťastného'"));

        // On demand the outcome is told.
        QVERIFY(frm->zalohuj(TfrmQX::Zaloha::NaPozadani)->ok);
        QCOMPARE(g_boxes.size(), 1);
        QVERIFY(g_boxes[0].startsWith(u"Záloha soutěže je uložena"_qs));
        QVERIFY(QFile::remove(ini.fileName()));
    }
};

QTEST_MAIN(TstZapMereni)
#include "tst_zap_mereni.moc"
