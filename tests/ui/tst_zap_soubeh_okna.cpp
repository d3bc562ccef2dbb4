// Two zapisnik windows on one server, each with its own connection (over TCP on the loopback when
// the test server listens there): what one stores appears in the other's visible start list, the
// other's half-typed fields stay, and a save over the other's change asks the operator.

#include "PoSiti.h"
#include "TestDb.h"
#include "ZapFixture.h"
#include "data/Tdm_QX.h"
#include "measurement/MereniDataDb.h"
#include "measurement/MereniSluzba.h"
#include "measurement/PanelMereni.h"
#include "messages/Messages.h"
#include "ui/PanelListina.h"
#include "ui/PanelTym.h"
#include "ui/TfrmQX.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <memory>

using namespace qx;
using namespace zapfix;

namespace {

using testdb::poSiti;

// The boxes shown, and the button the operator presses in a conflict box.
QStringList g_boxy;
QString g_volba;

} // namespace

class TstZapSoubehOkna : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void zmenaJinehoSeZobrazi();
    void rozepsanaPoleZustanou();
    void obceJinehoSeZobrazi();
    void ulozeniPresZmenuJineho_data();
    void ulozeniPresZmenuJineho();
    void mereniZustaneMistni();
    void casPresCasJineho();

private:
    // A window on its own connection with the competition chosen and the start list shown.
    std::unique_ptr<TfrmQX> okno(std::unique_ptr<Tdm_QX>& dm);
    // The timing computer: device 4.54 in one-attack mode, the measurement panel shown.
    std::unique_ptr<TfrmQX> casomira(std::unique_ptr<Tdm_QX>& dm);
    // The other computer stores a time of team `id` as the timing window would.
    void ulozCas(qint64 id, const QString& cas);

    std::unique_ptr<TestDb> db_;
    std::unique_ptr<Tdm_QX> dmA_, dmB_;
    QTemporaryDir config_;
};

void TstZapSoubehOkna::initTestCase() {
    QString why;
    if (TestDb::shouldSkip(&why)) QSKIP(qPrintable("No MariaDB server (MYSQL_UNIX_PORT unset): " + why));
    QVERIFY(config_.isValid());
    qputenv("QX_CONFIG_DIR", config_.path().toUtf8());
    TfrmQX::messageBoxSeam = [](QMessageBox& box) {
        g_boxy.append(box.text());
        for (QAbstractButton* b : box.buttons()) {
            if (b->text() == g_volba) b->click();
        }
    };
    db_ = std::make_unique<TestDb>("soubehokna");
}

void TstZapSoubehOkna::init() {
    g_boxy.clear();
    for (const char* t : {"soutezeqx", "katqx", "obceqx", "druzstvaqx"})
        db_->exec(QByteArray("DELETE FROM ") + t);
    db_->exec("INSERT INTO soutezeqx (id,nazev_souteze,datum) VALUES (7,'Pohár','20260502')");
    db_->exec("INSERT INTO katqx (kategorie,zkratka) VALUES ('Muži','M')");
    db_->exec(
        "INSERT INTO obceqx (nazev_okresu,nazev_obce) VALUES ('Tábor','Chýnov'), ('Tábor','Ratibořice')");
    db_->exec("INSERT INTO druzstvaqx (id,id_soutez,poradi,nazev_dr,nazev_okresu,tym,kategorie,draha) VALUES "
              "(11,7,'1','Chýnov','Tábor','A','Muži','L'), (12,7,'2','Ratibořice','Tábor','A','Muži','P')");
}

void TstZapSoubehOkna::cleanup() {
    dmA_.reset();
    dmB_.reset();
}

void TstZapSoubehOkna::cleanupTestCase() {
    db_.reset();
}

std::unique_ptr<TfrmQX> TstZapSoubehOkna::okno(std::unique_ptr<Tdm_QX>& dm) {
    dm = std::make_unique<Tdm_QX>(poSiti());
    auto frm = std::make_unique<TfrmQX>(*dm);
    frm->show();
    [&] {
        FIND(StringGrid, souteze, "SG_souteze");
        doubleClickRow(souteze, 1);
        FIND(QPushButton, listina, "SB_listina");
        listina->click();
    }();
    return frm;
}

std::unique_ptr<TfrmQX> TstZapSoubehOkna::casomira(std::unique_ptr<Tdm_QX>& dm) {
    auto frm = okno(dm);
    frm->zpravaOdStopek(AM_Nast, 454, 10);
    frm->SB_mereni->click();
    return frm;
}

void TstZapSoubehOkna::ulozCas(qint64 id, const QString& cas) {
    MereniDataDb data(*dmA_);
    MereniKontext ctx;
    ctx.idSoutez = u"7"_qs;
    ctx.nast = 10;
    ctx.verze = 454;
    MereniSluzba(data).save_cas(ctx, id, cas);
}

// One window stores an entry; the other's start list shows it at its next check, driven by its
// own timer (the delay is printed) and by a direct call alike. The current row stays.
void TstZapSoubehOkna::zmenaJinehoSeZobrazi() {
    auto a = okno(dmA_);
    auto b = okno(dmB_);
    StringGrid* gridB = b->pnl_listina->SG_listina;
    clickRow(gridB, 2);
    b->kontrolaZmen(); // its first check: the counters as they are now

    QElapsedTimer t;
    t.start();
    dmA_->save_listina(*dmA_->nacti_druzstvo(11),
                       Druzstvo{u"1"_qs, u"Chýnov"_qs, u"Tábor"_qs, u"B"_qs, u"Muži"_qs, u"L2"_qs});
    QTRY_COMPARE(gridB->Cells(3, 1), u"B"_qs);
    qInfo("the other window's start list showed the change after %lld ms (check every %d ms)",
          static_cast<long long>(t.elapsed()), TfrmQX::kIntervalZmen);
    QCOMPARE(gridB->Row(), 2);
    QCOMPARE(b->pnl_listina->edt_listina_poradi->text(), u"2"_qs); // its fields show row 2 still

    // Without waiting for the timer: the check itself reloads.
    dmA_->save_listina(*dmA_->nacti_druzstvo(12),
                       Druzstvo{u"2"_qs, u"Ratibořice"_qs, u"Tábor"_qs, u"C"_qs, u"Muži"_qs, u"P"_qs});
    b->kontrolaZmen();
    QCOMPARE(column(gridB, 3), (QStringList{u"B"_qs, u"C"_qs}));
    // Untouched fields follow the stored entry.
    QCOMPARE(b->pnl_listina->edt_listina_tym->text(), u"C"_qs);
    QVERIFY(g_boxy.isEmpty());
}

namespace {
QStringList polozky(const QComboBox* c) {
    QStringList p;
    for (int i = 0; i < c->count(); ++i)
        p << c->itemText(i);
    return p;
}
} // namespace

// A municipality added by another computer appears in the brigades' list of the district shown;
// the one chosen there stays chosen.
void TstZapSoubehOkna::obceJinehoSeZobrazi() {
    auto a = okno(dmA_);
    auto b = okno(dmB_);
    b->SB_kat->click();
    QComboBox* okres = b->pnl_tym->CB_tym_okres;
    okres->setCurrentIndex(okres->findText(u"Tábor"_qs));
    b->pnl_tym->CB_tym_okresChange();
    const QStringList predtim = polozky(b->pnl_tym->CB_tym_smazat);
    QVERIFY(!predtim.contains(u"Nová Ves"_qs));
    QComboBox* smazat = b->pnl_tym->CB_tym_smazat;
    if (smazat->count() > 1) smazat->setCurrentIndex(smazat->count() - 1);
    const QString zvolena = smazat->currentText();
    b->kontrolaZmen();

    dmA_->insert_obec(u"Tábor"_qs, u"Nová Ves"_qs);
    QTRY_VERIFY(polozky(smazat).contains(u"Nová Ves"_qs));
    QCOMPARE(smazat->currentText(), zvolena);
    QVERIFY(g_boxy.isEmpty());
}

// The operator of one window is typing into the entry that the other window changes: the list
// shows the change, the typed fields stay as typed.
void TstZapSoubehOkna::rozepsanaPoleZustanou() {
    auto a = okno(dmA_);
    auto b = okno(dmB_);
    PanelListina* pB = b->pnl_listina;
    clickRow(pB->SG_listina, 1);
    b->kontrolaZmen();
    pB->edt_listina_tym->setText(u"X"_qs);

    dmA_->save_listina(*dmA_->nacti_druzstvo(11),
                       Druzstvo{u"1"_qs, u"Chýnov"_qs, u"Tábor"_qs, u"A"_qs, u"Muži"_qs, u"L2"_qs});
    b->kontrolaZmen();
    QCOMPARE(pB->SG_listina->Cells(5, 1), u"L2"_qs);
    QCOMPARE(pB->edt_listina_tym->text(), u"X"_qs);
    QCOMPARE(pB->edt_listina_draha->text(), u"L"_qs); // as shown when the typing began
    QCOMPARE(pB->SG_listina->Row(), 1);
}

void TstZapSoubehOkna::ulozeniPresZmenuJineho_data() {
    QTest::addColumn<QString>("volba");
    QTest::addColumn<QByteArray>("ulozeno"); // tym and draha stored afterwards
    QTest::addColumn<QString>("poleTym");    // the team field afterwards
    QTest::newRow("přepsat mým") << u"Přepsat mým"_qs << QByteArray("XL") << u"X"_qs;
    QTest::newRow("ponechat uložené") << u"Ponechat uložené"_qs << QByteArray("AL2") << u"A"_qs;
}

// The half-typed entry is saved after the other window's change: the box names what the other
// stored, and the operator's choice decides.
void TstZapSoubehOkna::ulozeniPresZmenuJineho() {
    QFETCH(QString, volba);
    QFETCH(QByteArray, ulozeno);
    QFETCH(QString, poleTym);
    g_volba = volba;
    auto a = okno(dmA_);
    auto b = okno(dmB_);
    PanelListina* pB = b->pnl_listina;
    clickRow(pB->SG_listina, 1);
    pB->edt_listina_tym->setText(u"X"_qs);
    dmA_->save_listina(*dmA_->nacti_druzstvo(11),
                       Druzstvo{u"1"_qs, u"Chýnov"_qs, u"Tábor"_qs, u"A"_qs, u"Muži"_qs, u"L2"_qs});
    pB->btn_listina_ulozit->click();
    QCOMPARE(g_boxy.size(), 1);
    QVERIFY2(g_boxy.first().startsWith(u"Jiný počítač mezitím uložil: "_qs), qPrintable(g_boxy.first()));
    QVERIFY2(g_boxy.first().contains(u"L2"_qs), qPrintable(g_boxy.first()));
    QCOMPARE(db_->value("SELECT CONCAT(tym,draha) FROM druzstvaqx WHERE id=11"), ulozeno);
    QCOMPARE(pB->edt_listina_tym->text(), poleTym);
}

// The other computer stores a time of another team while the timing window holds received times
// and a half-typed time: its results grid shows the new result; its current team, time box and
// received times stay.
void TstZapSoubehOkna::mereniZustaneMistni() {
    auto a = okno(dmA_);
    auto b = casomira(dmB_);
    PanelMereni* p = b->pnl_mereni;
    QCOMPARE(p->id_akt(), 11);
    b->zpravaOdStopek(AM_Cas1, 0, 1753);
    b->zpravaOdStopek(AM_Cas2, 0, 1601);
    QCOMPARE(p->CB_mereni_cas->count(), 1);
    p->CB_mereni_cas->setEditText(u"17,53L 16,0"_qs);
    const QString tym = p->lbl_mereni_tym->text();
    b->kontrolaZmen();

    ulozCas(12, u"16,50L 17,00"_qs);
    b->kontrolaZmen();
    QCOMPARE(column(p->SG_mereni, 1).value(0), u"Ratibořice"_qs);
    QCOMPARE(column(p->SG_mereni, 5).value(0), u"17,00"_qs);
    QCOMPARE(p->id_akt(), 11);
    QCOMPARE(p->lbl_mereni_tym->text(), tym);
    QCOMPARE(p->CB_mereni_cas->currentText(), u"17,53L 16,0"_qs);
    QCOMPARE(p->CB_mereni_cas->count(), 1);
    QCOMPARE(p->CB_mereni_cas->itemText(0), u"17,53L 16,01"_qs);

    // The other team's time is no conflict for this team's save.
    choose(p->CB_mereni_cas, u"17,53L 16,01"_qs);
    p->btn_mereni_ulozit->click();
    QVERIFY2(g_boxy.isEmpty(), qPrintable(g_boxy.join(u'\n')));
    QCOMPARE(db_->value("SELECT CONCAT_WS('|',cas1C,pozice) FROM druzstvaqx WHERE id=11"), "16,01|1."_qba);
    QCOMPARE(db_->value("SELECT CONCAT_WS('|',cas1C,pozice) FROM druzstvaqx WHERE id=12"), "17,00|2."_qba);
}

// The other computer stored a time of the timing window's current team meanwhile: the timing
// window's save asks, and "Ponechat uložené" keeps the other's time and the received times.
void TstZapSoubehOkna::casPresCasJineho() {
    g_volba = u"Ponechat uložené"_qs;
    auto a = okno(dmA_);
    auto b = casomira(dmB_);
    PanelMereni* p = b->pnl_mereni;
    b->zpravaOdStopek(AM_Cas1, 0, 1753);
    b->zpravaOdStopek(AM_Cas2, 0, 1601);
    ulozCas(11, u"18,00L 19,00"_qs);
    choose(p->CB_mereni_cas, u"17,53L 16,01"_qs);
    p->btn_mereni_ulozit->click();
    QCOMPARE(g_boxy.size(), 1);
    QVERIFY2(g_boxy.first().contains(u"19,00"_qs), qPrintable(g_boxy.first()));
    QCOMPARE(db_->value("SELECT cas1C FROM druzstvaqx WHERE id=11"), "19,00"_qba);
    QCOMPARE(p->CB_mereni_cas->currentText(), u"18,00L 19,00"_qs); // the stored time is shown
    QCOMPARE(p->CB_mereni_cas->count(), 1);                        // the received time is kept

    // Now that the stored time is shown, a new save is the operator's decision over it.
    choose(p->CB_mereni_cas, u"17,53L 16,01"_qs);
    p->btn_mereni_ulozit->click();
    QCOMPARE(g_boxy.size(), 1);
    QCOMPARE(db_->value("SELECT cas1C FROM druzstvaqx WHERE id=11"), "16,01"_qba);
}

QTEST_MAIN(TstZapSoubehOkna)
#include "tst_zap_soubeh_okna.moc"
