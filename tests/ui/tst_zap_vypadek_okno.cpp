// The window through a database outage mid-competition, against a server of the test's own over
// TCP loopback: the server is stopped (or its process stalled) while times arrive from the timer
// console and the operator saves a typed time. No box opens; one notice names the server and what
// failed; the typed text and every received entry stay; once the server is back the kept save is
// stored without retyping. And the connection dialog from the start-up failure of a wrong
// password: tried, saved (owner-only file), and the program starts.

#include "TestDb.h"
#include "TestServer.h"
#include "ZapFixture.h"
#include "data/Tdm_QX.h"
#include "measurement/PanelMereni.h"
#include "measurement/ZaznamPrijatych.h"
#include "messages/Messages.h"
#include "ui/DialogSpojeni.h"
#include "ui/QxDbIni.h"
#include "ui/TfrmQX.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace qx;
using namespace zapfix;

namespace {
QStringList g_boxes;
std::function<void(QMessageBox&)> g_onBox;
} // namespace

class TstZapVypadekOkno : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::unique_ptr<TestServer> server_;
    std::unique_ptr<TestDb> db_;
    QByteArray soutez_;

    ConnectionSettings tcp() const {
        ConnectionSettings s;
        s.host = "127.0.0.1";
        s.port = server_->port();
        s.database = db_->name();
        s.readTimeout = 3;
        s.writeTimeout = 3;
        return s;
    }
    // A window with the competition chosen and the measurement panel entered, device 4.54 in
    // one-attack mode; the watcher tries the server often.
    std::unique_ptr<TfrmQX> otevri(Tdm_QX& dm) {
        auto frm = std::make_unique<TfrmQX>(dm);
        frm->hlidacSpojeni().setInterval(200);
        frm->show();
        frm->zpravaOdStopek(AM_Nast, 454, 10);
        doubleClickRow(frm->findChild<StringGrid*>(u"SG_souteze"_qs), 1);
        frm->SB_mereni->click();
        return frm;
    }
    // A finished attack from the timer console: one entry of the time box.
    static void pokus(TfrmQX& frm, int levy, int pravy) {
        frm.zpravaOdStopek(AM_Cas1, 0, levy);
        frm.zpravaOdStopek(AM_Cas2, 0, pravy);
    }
    QByteArray radek(const char* nazev) {
        return db_->value("SELECT CONCAT_WS('|', cas1R, cas1C) FROM druzstvaqx WHERE nazev_dr='" +
                          QByteArray(nazev) + "'");
    }
    // After a restart of the server the test's own connection fails once, then opens anew.
    void probud() {
        try {
            db_->value("SELECT 1");
        } catch (const std::exception&) {
        }
    }
    // Waits until the window has its connection back (the watcher's try runs in the background).
    static bool obnoveno(TfrmQX& frm) {
        QElapsedTimer t;
        t.start();
        while (frm.vypadekTrva() && t.elapsed() < 60000)
            QTest::qWait(50);
        return !frm.vypadekTrva();
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        qputenv("QX_CONFIG_DIR", dir_.filePath(u"config"_qs).toUtf8());
        qputenv("XDG_RUNTIME_DIR", dir_.path().toUtf8());
        QVERIFY(QDir::setCurrent(dir_.path()));
        TfrmQX::messageBoxSeam = [](QMessageBox& box) {
            g_boxes.append(box.text());
            if (g_onBox) g_onBox(box);
        };
        server_ = std::make_unique<TestServer>(dir_.filePath(u"db"_qs));
        QString why;
        QVERIFY2(server_->start(&why), qPrintable(why));
        qputenv("MYSQL_UNIX_PORT", server_->socket());
        db_ = std::make_unique<TestDb>("vypadek");
        QVERIFY2(server_->exec("CREATE USER 'qx'@'127.0.0.1' IDENTIFIED BY 'Spravne-heslo-7'", &why),
                 qPrintable(why));
        QVERIFY2(server_->exec("GRANT ALL ON " + db_->name() + ".* TO 'qx'@'127.0.0.1'", &why),
                 qPrintable(why));
    }
    void init() {
        g_boxes.clear();
        g_onBox = nullptr;
        probud();
        // Each case starts with an empty time box: no entries kept in the journal by the one before.
        QFile::remove(
            QDir(qEnvironmentVariable("QX_CONFIG_DIR")).filePath(qx::ZaznamPrijatych::nazevSouboru()));
        db_->exec("DELETE FROM soutezeqx");
        db_->exec("DELETE FROM druzstvaqx");
        db_->exec("INSERT INTO soutezeqx (nazev_souteze, nazev_okresu, nazev_obce, datum) VALUES "
                  "('Memoriál Jana Šťastného', 'Tábor', 'Chýnov', '20250614')");
        soutez_ = db_->value("SELECT id FROM soutezeqx");
        db_->exec(
            "INSERT INTO druzstvaqx (id_soutez, poradi, nazev_dr, tym, kategorie, cas1R, cas1C) VALUES (" +
            soutez_ + ", '1', 'Chýnov', 'A', 'Muži', '', ''), (" + soutez_ +
            ", '2', 'Dírná', '', 'Muži', '16,50L', '17,00')");
    }
    void cleanupTestCase() {
        db_.reset();
        server_.reset();
    }

    // The server stops mid-competition (stopped outright, or its process stalled) and comes back.
    void outageMidCompetition_data() {
        QTest::addColumn<bool>("stalled");
        QTest::newRow("server stopped and started again") << false;
        QTest::newRow("server process stalled and continued") << true;
    }
    void outageMidCompetition() {
        QFETCH(bool, stalled);
        Tdm_QX dm(tcp());
        auto frm = otevri(dm);
        PanelMereni* p = frm->pnl_mereni;
        QCOMPARE(p->lbl_mereni_tym->text(), u"Chýnov (A) - Muži"_qs);
        // The five attacks the console sends, with the entry each one makes.
        struct Pokus {
            int levy, pravy;
            QString zaznam;
        };
        const QList<Pokus> casy{{1753, 1601, u"17,53L 16,01"_qs},
                                {1812, 1744, u"18,12L 17,44"_qs},
                                {1690, 1702, u"16,90L 17,02"_qs},
                                {2011, 1999, u"20,11L 19,99"_qs},
                                {1580, 1620, u"15,80L 16,20"_qs}};
        // Two attacks arrive, the operator types the time to store.
        for (int i = 0; i < 2; ++i)
            pokus(*frm, casy[i].levy, casy[i].pravy);
        QLineEdit* box = p->CB_mereni_cas->lineEdit();
        box->clear();
        QTest::keyClicks(box, u"NP 18,01"_qs);

        if (stalled)
            server_->pause();
        else
            QVERIFY(server_->stop());
        pokus(*frm, casy[2].levy, casy[2].pravy);
        QElapsedTimer t;
        t.start();
        p->btn_mereni_ulozit->click(); // fails: the server is away
        const qint64 ulozeni = t.elapsed();
        t.restart();
        pokus(*frm, casy[3].levy, casy[3].pravy);
        p->btn_mereni_next->click();           // another action meanwhile
        frm->zpravaOdStopek(AM_Nast, 454, 10); // the console's settings again: the panel reloads
        const qint64 dalsi = t.elapsed();
        qInfo() << "the failed save held the window" << ulozeni << "ms; the next actions" << dalsi << "ms";

        QVERIFY2(g_boxes.isEmpty(), qPrintable(g_boxes.join(u'\n')));
        QVERIFY(frm->vypadekTrva());
        QVERIFY(frm->pnl_spojeni->isVisible());
        const QString notice = frm->lbl_spojeni->text();
        QVERIFY2(notice.contains(u"127.0.0.1:%1 (uživatel root)"_qs.arg(server_->port())),
                 qPrintable(notice));
        QVERIFY2(notice.contains(stalled ? u"neodpověděl včas (do 3 s)"_qs : u"se přerušilo"_qs) ||
                     (!stalled && notice.contains(u"není dostupný"_qs)),
                 qPrintable(notice));
        QVERIFY2(notice.endsWith(u"Zkouším znovu…"_qs), qPrintable(notice));
        QVERIFY(frm->btn_spojeni_nastavit->isVisible());
        QCOMPARE(box->text(), u"NP 18,01"_qs);
        QVERIFY(p->maCekajiciUlozeni());
        QCOMPARE(p->lbl_mereni_tym->text(), u"Chýnov (A) - Muži"_qs);
        pokus(*frm, casy[4].levy, casy[4].pravy);

        if (stalled) {
            server_->resume();
        } else {
            QString why;
            QVERIFY2(server_->start(&why), qPrintable(why));
        }
        QVERIFY(obnoveno(*frm));
        probud();
        QVERIFY2(g_boxes.isEmpty(), qPrintable(g_boxes.join(u'\n')));
        QCOMPARE(radek("Chýnov"), QByteArray("NP|18,01"));
        QVERIFY(!p->maCekajiciUlozeni());
        QCOMPARE(frm->lbl_spojeni->text(),
                 u"Spojení s databází obnoveno. Čas uložen po obnovení spojení."_qs);
        QVERIFY(!frm->btn_spojeni_nastavit->isVisible());

        // Every attack received is still in the time box's list, in its order.
        QStringList ocekavane;
        for (const Pokus& c : casy)
            ocekavane << c.zaznam;
        const QStringList zustalo = p->prijateCasy();
        qsizetype preziti = 0;
        for (const QString& c : ocekavane)
            preziti += zustalo.contains(c) ? 1 : 0;
        const qsizetype ztraceno = ocekavane.size() - preziti;
        qInfo().noquote() << QStringLiteral("received %1, survived %2, lost %3")
                                 .arg(ocekavane.size())
                                 .arg(preziti)
                                 .arg(ztraceno);
        QCOMPARE(zustalo, ocekavane);
        QCOMPARE(ztraceno, 0);
    }

    // The password changes on the server while the program runs: the next action says so in a box
    // that opens the dialog; the settings view shows the connection and opens the same dialog.
    void passwordChangedWhileRunning() {
        QString why;
        QVERIFY2(server_->exec("CREATE USER 'zapis'@'127.0.0.1' IDENTIFIED BY 'Prvni-heslo-1'", &why),
                 qPrintable(why));
        QVERIFY2(server_->exec("GRANT ALL ON " + db_->name() + ".* TO 'zapis'@'127.0.0.1'", &why),
                 qPrintable(why));
        ConnectionSettings s = tcp();
        s.user = "zapis";
        s.password = "Prvni-heslo-1";
        Tdm_QX dm(s);
        auto frm = std::make_unique<TfrmQX>(dm);
        frm->show();
        QVERIFY(!frm->startupFailed());

        frm->SB_nast->click();
        QVERIFY(frm->pnl_nast_spojeni->isVisible());
        QCOMPARE(frm->lbl_nast_spojeni->text(),
                 u"Databáze %1 na serveru 127.0.0.1:%2, uživatel zapis"_qs.arg(QString::fromUtf8(db_->name()))
                     .arg(server_->port()));
        int otevreno = 0;
        TfrmQX::dialogSeam = [&otevreno](QDialog& d) {
            ++otevreno;
            auto& dlg = static_cast<DialogSpojeni&>(d);
            // The dialog opens with the connection in use, the password hidden.
            if (dlg.edt_uzivatel->text() != u"zapis"_qs || dlg.edt_heslo->echoMode() != QLineEdit::Password)
                return int(QDialog::Accepted); // fails below: the settings would change
            dlg.btn_zrusit->click();
            return dlg.result();
        };
        frm->btn_nast_spojeni->click();
        QCOMPARE(otevreno, 1);
        QCOMPARE(dm.settings().password, QByteArray("Prvni-heslo-1"));

        QVERIFY2(server_->exec("ALTER USER 'zapis'@'127.0.0.1' IDENTIFIED BY 'Druhe-heslo-2'", &why),
                 qPrintable(why));
        dm.disconnect(); // as after the server's idle time-out: the next statement logs in anew
        g_onBox = [](QMessageBox& box) {
            if (auto* b = box.findChild<QPushButton*>(u"btn_chyba_nastavit"_qs)) b->click();
        };
        TfrmQX::dialogSeam = [](QDialog& d) {
            auto& dlg = static_cast<DialogSpojeni&>(d);
            dlg.edt_heslo->setText(u"Druhe-heslo-2"_qs);
            dlg.btn_ulozit->click();
            return dlg.result();
        };
        frm->SB_soutez->click();
        TfrmQX::dialogSeam = [](QDialog& d) { return d.exec(); };
        QCOMPARE(g_boxes.size(), 1);
        QVERIFY2(
            g_boxes[0].startsWith(
                u"Databázový server 127.0.0.1:%1 (uživatel zapis) odmítl přihlášení"_qs.arg(server_->port())),
            qPrintable(g_boxes[0]));
        QVERIFY(!frm->pnl_spojeni->isVisible()); // no outage: nothing to wait for
        QCOMPARE(dm.settings().password, QByteArray("Druhe-heslo-2"));
        g_boxes.clear();
        frm->SB_kat->click();
        QVERIFY2(g_boxes.isEmpty(), qPrintable(g_boxes.join(u'\n')));
        QCOMPARE(readDatabazeIni(qxDbIniPath()).password, QByteArray("Druhe-heslo-2"));
        QFile::remove(qxDbIniPath());
    }

    // A wrong password at start-up: the failure box says so and offers the dialog; tried there with
    // the wrong and then the right password and saved, the program starts with it.
    void wrongPasswordFixedInDialog() {
        ConnectionSettings s = tcp();
        s.user = "qx";
        s.password = "Spatne-heslo-3";
        Tdm_QX dm(s);
        g_onBox = [](QMessageBox& box) {
            auto* b = box.findChild<QPushButton*>(u"btn_db_failure_nastavit"_qs);
            QVERIFY(b);
            QCOMPARE(b->text(), u"Nastavit připojení…"_qs);
            b->click();
        };
        QStringList vysledky;
        TfrmQX::dialogSeam = [&vysledky](QDialog& d) {
            auto& dlg = static_cast<DialogSpojeni&>(d);
            QSignalSpy tried(&dlg, &DialogSpojeni::vyzkouseno);
            for (const QString& heslo : {u"Jine-spatne"_qs, u"Spravne-heslo-7"_qs}) {
                dlg.edt_heslo->setText(heslo);
                dlg.btn_vyzkouset->click();
                if (!tried.wait(30000)) return int(QDialog::Rejected);
                vysledky << dlg.lbl_vysledek->text();
            }
            dlg.btn_ulozit->click();
            return dlg.result();
        };
        auto frm = std::make_unique<TfrmQX>(dm);
        TfrmQX::dialogSeam = [](QDialog& d) { return d.exec(); };

        QCOMPARE(g_boxes.size(), 1);
        QVERIFY2(g_boxes[0].contains(u"odmítl přihlášení"_qs), qPrintable(g_boxes[0]));
        QVERIFY2(!g_boxes[0].contains(u"Spatne-heslo-3"_qs), qPrintable(g_boxes[0]));
        QCOMPARE(vysledky.size(), 2);
        QVERIFY2(vysledky[0].contains(u"odmítl přihlášení"_qs), qPrintable(vysledky[0]));
        QVERIFY2(vysledky[1].startsWith(u"Spojení funguje"_qs), qPrintable(vysledky[1]));
        QVERIFY(!frm->startupFailed());
        QCOMPARE(dm.settings().password, QByteArray("Spravne-heslo-7"));
        QCOMPARE(column(frm->SG_souteze, 0), QStringList{u"Memoriál Jana Šťastného"_qs});
        const QString ini = qxDbIniPath();
        QCOMPARE(readDatabazeIni(ini).user, QByteArray("qx"));
        QCOMPARE(readDatabazeIni(ini).password, QByteArray("Spravne-heslo-7"));
        QCOMPARE(QFile::permissions(ini) & ~(QFile::ReadUser | QFile::WriteUser),
                 QFile::ReadOwner | QFile::WriteOwner);
        QFile::remove(ini);
    }
};

QTEST_MAIN(TstZapVypadekOkno)
#include "tst_zap_vypadek_okno.moc"
