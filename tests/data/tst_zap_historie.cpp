// The history of stored values against the real server: a save and a recomputation leave their
// records in zmenyqx with the old and new value, the cause and the computer, in the transaction of
// the change itself (a save that fails anywhere leaves neither the change nor a record); the
// program creates the table when it is missing and saves on without it; nested transactions.

#include "TestDb.h"
#include "data/Historie.h"
#include "data/Tdm_QX.h"
#include "measurement/MereniDataDb.h"
#include "measurement/MereniSluzba.h"

#include <QtTest>

#include <memory>

using namespace qx;

class TstZapHistorie : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void ulozeniAPrepocet();
    void nezdareneUlozeni_data();
    void nezdareneUlozeni();
    void chybejiciTabulka();
    void tabulkuNelzeZalozit();
    void vnoreneTransakce();

private:
    // The records as "team column old>new cause", oldest first.
    QList<QByteArray> zaznamy() {
        return db_->column("SELECT CONCAT(id_druzstva, ' ', sloupec, ' ', stara, '>', nova, ' ', pricina) "
                           "FROM zmenyqx ORDER BY id");
    }
    MereniKontext kontext() const {
        MereniKontext k;
        k.idSoutez = QString::fromLatin1(soutez_);
        k.nast = 10;
        k.verze = 454;
        return k;
    }
    QByteArray tym(const char* nazev) {
        return db_->value("SELECT id FROM druzstvaqx WHERE nazev_dr='" + QByteArray(nazev) + "'");
    }

    std::unique_ptr<TestDb> db_;
    QByteArray soutez_;
};

void TstZapHistorie::initTestCase() {
    QString why;
    if (TestDb::shouldSkip(&why)) QSKIP(qPrintable("No MariaDB server (MYSQL_UNIX_PORT unset): " + why));
    db_ = std::make_unique<TestDb>("historie");
}

void TstZapHistorie::cleanupTestCase() {
    db_.reset();
}

// One competition: Lhota 17,00 placed 1., Planá without a time, Řečice 18,00 placed 2.
void TstZapHistorie::init() {
    db_->exec("DROP TRIGGER IF EXISTS zadne_poradi");
    db_->exec("DELETE FROM druzstvaqx");
    db_->exec("DELETE FROM soutezeqx");
    db_->exec("DROP TABLE IF EXISTS zmenyqx");
    db_->loadSchema(); // the history table as the schema script makes it
    db_->exec("INSERT INTO soutezeqx (nazev_souteze) VALUES ('Pohár')");
    soutez_ = db_->value("SELECT MAX(id) FROM soutezeqx");
    db_->exec("INSERT INTO druzstvaqx (id_soutez, poradi, nazev_dr, tym, kategorie, cas1C, celkem, pozice) "
              "VALUES (" +
              soutez_ + ", '1', 'Lhota', 'A', 'muži', '17,00', '017,00', '1.'), (" + soutez_ +
              ", '2', 'Planá', 'B', 'muži', '', '', ''), (" + soutez_ +
              ", '3', 'Řečice', 'A', 'ženy', '18,00', '018,00', '2.')");
}

void TstZapHistorie::ulozeniAPrepocet() {
    Tdm_QX dm;
    MereniDataDb data(dm);
    QVERIFY(data.pripravHistorii());
    MereniSluzba s(data);
    const QByteArray lhota = tym("Lhota"), plana = tym("Planá"), recice = tym("Řečice");

    s.save_cas(kontext(), plana.toLongLong(), "17,53L 17,50", Pricina::Ulozeni);
    QCOMPARE(
        db_->value("SELECT CONCAT(cas1R, ' ', cas1C, ' ', celkem, ' ', pozice) FROM druzstvaqx WHERE id=" +
                   plana),
        QByteArray("17,53L 17,50 017,50 2."));
    QCOMPARE(zaznamy(), (QList<QByteArray>{plana + " cas1R >17,53L ulozeni", plana + " cas1C >17,50 ulozeni",
                                           plana + " celkem >017,50 ulozeni", plana + " pozice >2. ulozeni",
                                           recice + " pozice 2.>3. prepocet"}));
    // Every record names the competition and this computer.
    QCOMPARE(db_->column("SELECT DISTINCT CONCAT(id_soutez, ' ', pocitac) FROM zmenyqx"),
             QList<QByteArray>{soutez_ + ' ' + nazevPocitace().toUtf8()});

    // A typed correction, then a recomputation after another computer changed a stored time.
    db_->exec("DELETE FROM zmenyqx");
    s.save_cas(kontext(), lhota.toLongLong(), "18,50", Pricina::Rucne);
    db_->exec("UPDATE druzstvaqx SET cas1C='16,00' WHERE id=" + recice);
    s.zmena_nast(kontext());
    QCOMPARE(zaznamy(), (QList<QByteArray>{
                            lhota + " cas1C 17,00>18,50 rucne", lhota + " celkem 017,00>018,50 rucne",
                            lhota + " pozice 1.>3. rucne", plana + " pozice 2.>1. prepocet",
                            recice + " pozice 3.>2. prepocet", plana + " pozice 1.>2. prepocet",
                            recice + " celkem 018,00>016,00 prepocet", recice + " pozice 2.>1. prepocet"}));

    // The team's history as the window gets it: oldest first, with the team's description.
    const QList<ZaznamZmeny> h = s.historie(recice.toLongLong());
    QCOMPARE(h.size(), 3);
    QCOMPARE(h[1].sloupec, QString("celkem"));
    QCOMPARE(h[1].stara, QString("018,00"));
    QCOMPARE(h[1].nova, QString("016,00"));
    QCOMPARE(h[1].pricina, Pricina::Prepocet);
    QCOMPARE(h[1].druzstvo, QString("Řečice (A) - ženy"));
    QVERIFY(h[1].cas.isValid());
    QVERIFY(h[0].id < h[1].id);
    QCOMPARE(historieSouteze(dm, soutez_.toLongLong()).size(), 8);
}

// A save that fails leaves no record and no part of the change: when the time itself is refused,
// and when the time is written but the placings after it are refused.
void TstZapHistorie::nezdareneUlozeni_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("spoust"); // a trigger refuses every change of a placing
    QTest::newRow("time too long") << "17,53L 18,0123456789012345678901" << false;
    QTest::newRow("placings refused") << "17,53L 17,50" << true;
}

void TstZapHistorie::nezdareneUlozeni() {
    QFETCH(QString, text);
    QFETCH(bool, spoust);
    if (spoust)
        db_->exec(
            "CREATE TRIGGER zadne_poradi BEFORE UPDATE ON druzstvaqx FOR EACH ROW "
            "IF NEW.pozice <> OLD.pozice THEN SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT='refused'; END IF");
    Tdm_QX dm;
    MereniDataDb data(dm);
    MereniSluzba s(data);
    const QByteArray plana = tym("Planá");
    QVERIFY_THROWS_EXCEPTION(DbError, s.save_cas(kontext(), plana.toLongLong(), text, Pricina::Ulozeni));
    QCOMPARE(
        db_->value("SELECT CONCAT('[', cas1R, cas1C, celkem, pozice, ']') FROM druzstvaqx WHERE id=" + plana),
        QByteArray("[]"));
    QCOMPARE(db_->value("SELECT pozice FROM druzstvaqx WHERE nazev_dr='Řečice'"), QByteArray("2."));
    QCOMPARE(zaznamy().size(), 0);
}

// A database without the history table: the first save creates it; when it disappears while the
// program runs, times are still saved (without a history) and nothing fails.
void TstZapHistorie::chybejiciTabulka() {
    db_->exec("DROP TABLE zmenyqx");
    Tdm_QX dm;
    MereniDataDb data(dm);
    MereniSluzba s(data);
    const QByteArray plana = tym("Planá");
    s.save_cas(kontext(), plana.toLongLong(), "17,53L 17,50", Pricina::Ulozeni);
    QCOMPARE(data.historieVedena(), std::optional<bool>(true));
    QCOMPARE(zaznamy().size(), 5);

    db_->exec("DROP TABLE zmenyqx");
    s.save_cas(kontext(), plana.toLongLong(), "NP 19,00", Pricina::Rucne);
    QCOMPARE(db_->value("SELECT CONCAT(cas1R, ' ', cas1C, ' ', celkem) FROM druzstvaqx WHERE id=" + plana),
             QByteArray("NP 19,00 019,00"));
    QCOMPARE(data.historieVedena(), std::optional<bool>(false));
    QCOMPARE(s.historie(plana.toLongLong()), QList<ZaznamZmeny>());
    // Without the table the trail of a competition is empty, not an error.
    QCOMPARE(historieSouteze(dm, soutez_.toLongLong()).size(), 0);
}

// A user who may change the rows but not create tables: the history cannot be kept, the operator
// is told why, and times are saved all the same.
void TstZapHistorie::tabulkuNelzeZalozit() {
    db_->exec("DROP TABLE zmenyqx");
    const QByteArray uzivatel = "qxt_bez_ddl_" + QByteArray::number(QCoreApplication::applicationPid());
    db_->exec("CREATE USER '" + uzivatel + "'@'localhost'");
    db_->exec("GRANT SELECT, INSERT, UPDATE, DELETE ON `" + db_->name() + "`.* TO '" + uzivatel +
              "'@'localhost'");
    {
        ConnectionSettings nastaveni = ConnectionSettings::fromEnvironment();
        nastaveni.user = uzivatel;
        Tdm_QX dm(nastaveni);
        MereniDataDb data(dm);
        QString chyba;
        QVERIFY(!data.pripravHistorii(&chyba));
        QVERIFY2(chyba.startsWith("Tabulku historie změn (zmenyqx) se nepodařilo založit"),
                 qPrintable(chyba));
        QVERIFY2(chyba.contains("1142"), qPrintable(chyba)); // the server's reason: command denied
        MereniSluzba s(data);
        const QByteArray plana = tym("Planá");
        s.save_cas(kontext(), plana.toLongLong(), "17,53L 17,50", Pricina::Ulozeni);
        QCOMPARE(
            db_->value("SELECT CONCAT(cas1C, ' ', celkem, ' ', pozice) FROM druzstvaqx WHERE id=" + plana),
            QByteArray("17,50 017,50 2."));
    }
    db_->exec("DROP USER '" + uzivatel + "'@'localhost'");
    QCOMPARE(db_->value("SELECT COUNT(*) FROM information_schema.TABLES WHERE TABLE_SCHEMA='" + db_->name() +
                        "' AND TABLE_NAME='zmenyqx'"),
             QByteArray("0"));
}

// A transaction begun inside another joins it: only the outermost commit stores, a rollback
// anywhere takes everything back.
void TstZapHistorie::vnoreneTransakce() {
    Tdm_QX dm;
    const auto vloz = [&](const char* nazev) {
        dm.exec(dm.SQLQuery_mereni,
                "INSERT INTO druzstvaqx (id_soutez, nazev_dr) VALUES (" + soutez_ + ", '" + nazev + "')");
    };
    dm.begin();
    vloz("vnejsi");
    dm.begin();
    vloz("vnitrni");
    dm.commit();
    dm.rollback();
    QCOMPARE(db_->value("SELECT COUNT(*) FROM druzstvaqx WHERE nazev_dr IN ('vnejsi', 'vnitrni')"),
             QByteArray("0"));

    dm.begin();
    vloz("vnejsi");
    dm.begin();
    vloz("vnitrni");
    dm.commit();
    // Another connection does not see the rows before the outer commit.
    QCOMPARE(db_->value("SELECT COUNT(*) FROM druzstvaqx WHERE nazev_dr IN ('vnejsi', 'vnitrni')"),
             QByteArray("0"));
    dm.commit();
    QCOMPARE(db_->value("SELECT COUNT(*) FROM druzstvaqx WHERE nazev_dr IN ('vnejsi', 'vnitrni')"),
             QByteArray("2"));
}

QTEST_GUILESS_MAIN(TstZapHistorie)
#include "tst_zap_historie.moc"
