// The backup against the real server: a competition written to its file, its data then changed,
// deleted and spoiled, and the file put back with the mariadb client gives every column of every
// row back as it was, while other competitions keep their own state; only the newest backups are
// kept; an unknown competition is told.

#include "TestDb.h"
#include "data/Tdm_QX.h"
#include "zaloha/Zaloha.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace qx;

class TstZalohaDb : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void obnoveni_data();
    void obnoveni();
    void jenNejnovejsi();
    void neznamaSoutez();

private:
    // Every column of the rows, one text per row, by id: read independently of the backup.
    QList<QByteArray> radky(const QByteArray& tabulka, const QByteArray& podminka) {
        const QList<QByteArray> sloupce =
            db_->column("SELECT COLUMN_NAME FROM information_schema.COLUMNS WHERE TABLE_SCHEMA='" +
                        db_->name() + "' AND TABLE_NAME='" + tabulka + "' ORDER BY ORDINAL_POSITION");
        QByteArray vyraz;
        for (const QByteArray& s : sloupce)
            vyraz += (vyraz.isEmpty() ? "" : ", ") + ("HEX(`" + s + "`)");
        return db_->column("SELECT CONCAT_WS('|', " + vyraz + ") FROM " + tabulka + " WHERE " + podminka +
                           " ORDER BY id");
    }
    // Runs the mariadb client on the file as an operator restores it.
    void obnov(const QString& soubor) {
        QProcess p;
        p.setStandardInputFile(soubor);
        QStringList args{QStringLiteral("-uroot"), QString::fromLatin1(db_->name())};
        // The client takes its socket from the option only, not from the environment.
        if (const QString socket = qEnvironmentVariable("MYSQL_UNIX_PORT"); !socket.isEmpty())
            args.prepend(QStringLiteral("--socket=") + socket);
        p.start(QStringLiteral("mariadb"), args);
        QVERIFY(p.waitForFinished(60000));
        QVERIFY2(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0,
                 p.readAllStandardError().constData());
    }

    std::unique_ptr<TestDb> db_;
    QTemporaryDir dir_;
};

void TstZalohaDb::initTestCase() {
    QString why;
    if (TestDb::shouldSkip(&why)) QSKIP(qPrintable("No MariaDB server (MYSQL_UNIX_PORT unset): " + why));
    QVERIFY(dir_.isValid());
    db_ = std::make_unique<TestDb>("zaloha");
}

void TstZalohaDb::cleanupTestCase() {
    db_.reset();
}

// What happens to the data between the backup and its restore.
void TstZalohaDb::obnoveni_data() {
    QTest::addColumn<QList<QByteArray>>("zmeny"); // statements; ID stands for the competition's id
    QTest::newRow("times, results and names changed") << QList<QByteArray>{
        "UPDATE druzstvaqx SET cas1C='99,99', celkem='', pozice='', M1='x' WHERE id_soutez=ID",
        "UPDATE soutezeqx SET nazev_souteze='jiná', datum='' WHERE id=ID"};
    QTest::newRow("rows deleted and added") << QList<QByteArray>{
        "DELETE FROM druzstvaqx WHERE id_soutez=ID AND poradi='2'",
        "INSERT INTO druzstvaqx (id_soutez, poradi, nazev_dr) VALUES (ID, '9', 'Navíc')"};
    QTest::newRow("competition deleted") << QList<QByteArray>{"DELETE FROM druzstvaqx WHERE id_soutez=ID",
                                                              "DELETE FROM soutezeqx WHERE id=ID"};
}

void TstZalohaDb::obnoveni() {
    QFETCH(QList<QByteArray>, zmeny);
    db_->exec(
        "INSERT INTO soutezeqx (nazev_souteze, nazev_okresu, nazev_obce, datum, cas, telefon, "
        "web_poradatele) "
        "VALUES ('Pohár \\\\ \"Žďáru\" a O''Brien', 'Žďár nad Sázavou', 'Křižánky', '20250614', '9:00', "
        "'777123456', 'https://sdh.example/ř')");
    const QByteArray id = db_->value("SELECT MAX(id) FROM soutezeqx");
    db_->exec("INSERT INTO soutezeqx (nazev_souteze) VALUES ('Jiná soutěž')");
    const QByteArray jina = db_->value("SELECT MAX(id) FROM soutezeqx");
    db_->exec(
        "INSERT INTO druzstvaqx (id_soutez, poradi, nazev_dr, nazev_okresu, tym, kategorie, draha, cas1R, "
        "cas1C, cas2R, cas2C, cas1S, cas2S, celkem, pozice, M1, M2, M3, M4) VALUES (" +
        id +
        ", '1', 'Štěpánov', 'Žďár nad Sázavou', 'A', 'Muži', '1', '17,53L', '18,01', 'NP', '19,00', "
        "'0,10', '0,20', '018,01', '1.', '4,20', 'Koš\\\\Voda', 'a''b', 'řádek\\nnový'), (" +
        id +
        ", '2', 'Řečice \"B\"', '', 'B', 'Ženy', '', '', '', '', '', '', '', '', '', '', '', '', ''), (" +
        jina +
        ", '1', 'Jinde', '', '', '', '', '', '17,00', '', '', '', '', '017,00', '1.', '', '', '', '')");
    const QList<QByteArray> soutezPred = radky("soutezeqx", "id=" + id);
    const QList<QByteArray> druzstvaPred = radky("druzstvaqx", "id_soutez=" + id);
    QCOMPARE(druzstvaPred.size(), 2);

    Tdm_QX dm;
    const ZapisZalohy z = zalohuj(dm, id.toLongLong(), dir_.filePath("obnoveni"), 10);
    QVERIFY2(z.ok, qPrintable(z.chyba));
    QVERIFY(QFileInfo(z.soubor).fileName().startsWith("soutez-" + QString::fromLatin1(id) + "-"));

    for (QByteArray sql : zmeny)
        db_->exec(sql.replace("ID", id));
    db_->exec("UPDATE druzstvaqx SET cas1C='16,00' WHERE id_soutez=" + jina); // after the backup: stays
    const QList<QByteArray> jinaPred = radky("druzstvaqx", "id_soutez=" + jina);

    obnov(z.soubor);
    QCOMPARE(radky("soutezeqx", "id=" + id), soutezPred);
    QCOMPARE(radky("druzstvaqx", "id_soutez=" + id), druzstvaPred);
    QCOMPARE(radky("druzstvaqx", "id_soutez=" + jina), jinaPred);
    QCOMPARE(db_->value("SELECT nazev_souteze FROM soutezeqx WHERE id=" + jina), QByteArray("Jiná soutěž"));
    // The file is readable UTF-8 text.
    QFile f(z.soubor);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().contains("'Štěpánov'"));
}

// Every backup of a competition is a new file; only the newest N stay, by their time.
void TstZalohaDb::jenNejnovejsi() {
    db_->exec("INSERT INTO soutezeqx (nazev_souteze) VALUES ('Pět záloh')");
    const qint64 id = db_->value("SELECT MAX(id) FROM soutezeqx").toLongLong();
    const QString slozka = dir_.filePath("pocet");
    Tdm_QX dm;
    const QDateTime t0(QDate(2026, 6, 14), QTime(9, 0));
    QStringList jmena;
    for (int i = 0; i < 5; ++i) {
        const ZapisZalohy z = zalohuj(dm, id, slozka, 3, t0.addSecs(300 * i));
        QVERIFY2(z.ok, qPrintable(z.chyba));
        jmena << QFileInfo(z.soubor).fileName();
    }
    QCOMPARE(QDir(slozka).entryList(QDir::Files, QDir::Name), jmena.mid(2));
}

void TstZalohaDb::neznamaSoutez() {
    Tdm_QX dm;
    const ZapisZalohy z = zalohuj(dm, 987654, dir_.filePath("nic"), 3);
    QVERIFY(!z.ok);
    QCOMPARE(z.chyba, QString("Soutěž 987654 v databázi není."));
    QVERIFY(!QDir(dir_.filePath("nic")).exists());
}

QTEST_GUILESS_MAIN(TstZalohaDb)
#include "tst_zaloha_db.moc"
