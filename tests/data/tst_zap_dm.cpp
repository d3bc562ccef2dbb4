// The data module against the real server: connection, statement objects,
// text bytes on utf8mb4 and latin1 tables, schema upgrade, the register
// operations and the start-up widening of results.

#include "TestDb.h"
#include "data/Registers.h"
#include "data/Tdm_QX.h"
#include "device/DeviceVersions.h"
#include "measurement/Casy.h"
#include "measurement/Vysledky.h"

#include <QtTest>

#include <memory>

using namespace qx;

namespace {
// The rows as the cells the register grids show, in the grids' column order.
QList<QStringList> cells(const QList<SoutezRadek>& rows) {
    QList<QStringList> out;
    for (const SoutezRadek& r : rows)
        out.append({r.nazev, FormatDateTime_QX(r.datum), r.cas, QString::number(r.id), r.okres, r.misto,
                    r.telefon, r.web});
    return out;
}
QList<QStringList> cells(const QList<KategorieRadek>& rows) {
    QList<QStringList> out;
    for (const KategorieRadek& r : rows)
        out.append({r.nazev, r.zkratka, QString::number(r.id)});
    return out;
}
QList<QStringList> cells(const QList<DruzstvoRadek>& rows) {
    QList<QStringList> out;
    for (const DruzstvoRadek& r : rows)
        out.append(
            {r.poradi, r.nazev_dr, r.nazev_okresu, r.tym, r.kategorie, r.draha, QString::number(r.id)});
    return out;
}
std::optional<qint64> id(const QString& text) {
    return text.toLongLong();
}
} // namespace

class TstZapDm : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void connectionFailures();
    void errorMessages_data();
    void errorMessages();
    void sessionModeIgnoresServerDefault();
    void droppedConnectionReopens();
    void textBytesRoundTrip_data();
    void textBytesRoundTrip();
    void statementObjects();
    void numbers_data();
    void numbers();
    void keysAreIntegers();

    void upgradeAddsSplitColumnsOnce();
    void upgradeLeavesOtherErrorsAlone();

    void competitions();
    void categories();
    void categoryLookAlikes_data();
    void categoryLookAlikes();
    void districtsAndPlaces();
    void startList();
    void startListSaveAndDelete();
    void municipalities();
    void widenResults();

private:
    std::unique_ptr<TestDb> db_;
};

void TstZapDm::initTestCase() {
    QString why;
    if (TestDb::shouldSkip(&why)) QSKIP(qPrintable("No MariaDB server (MYSQL_UNIX_PORT unset): " + why));
    db_ = std::make_unique<TestDb>("dm");
}

void TstZapDm::cleanupTestCase() {
    db_.reset();
}

void TstZapDm::connectionFailures() {
    {
        ConnectionSettings s;
        s.database = db_->name() + "_missing";
        Tdm_QX dm(s);
        try {
            dm.load_okres();
            QFAIL("a missing database must raise an error");
        } catch (const DbError& e) {
            QCOMPARE(e.code(), 1049u); // unknown database
            QVERIFY(e.text().contains(QString::fromLatin1(s.database)));
        }
        QVERIFY(!dm.connected());
    }
    {
        ConnectionSettings s = ConnectionSettings::fromEnvironment();
        s.unixSocket = "/nonexistent/qx/mysqld.sock";
        Tdm_QX dm(s);
        bool raised = false;
        try {
            cells(dm.load_souteze());
        } catch (const DbError& e) {
            raised = true;
            QVERIFY2(e.code() == 2002u, qPrintable(e.text())); // cannot connect through the socket
        }
        QVERIFY(raised);
        QVERIFY(!dm.connected());
    }
    {
        // Once the server answers, the next statement connects.
        Tdm_QX dm;
        QVERIFY(dm.load_okres().size() > 0);
    }
}

void TstZapDm::errorMessages_data() {
    QTest::addColumn<int>("failure");
    QTest::addColumn<int>("operace");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("detail");
    const int pripojeni = int(DbError::Operace::Pripojeni);
    const int cteni = int(DbError::Operace::Cteni);
    const int zapis = int(DbError::Operace::Zapis);
    // %1: the server tried and the user.
    QTest::newRow("no server")
        << 0 << pripojeni
        << u"Databázový server %1 není dostupný: neběží, jeho adresa není známa, nebo k "
           u"němu nevede síť."_qs
        << u"Databáze hlásí (chyba 2002): "_qs;
    QTest::newRow("database missing")
        << 1 << pripojeni << u"Nepodařilo se připojit k databázi na serveru %1."_qs
        << u"Databáze hlásí (chyba 1049): "_qs;
    QTest::newRow("query on a missing table")
        << 2 << cteni << u"Nepodařilo se načíst data z databáze."_qs << u"Databáze hlásí (chyba 1146): "_qs;
    QTest::newRow("insert into a missing table")
        << 3 << zapis << u"Nepodařilo se uložit změnu do databáze."_qs << u"Databáze hlásí (chyba 1146): "_qs;
    QTest::newRow("stored value not a number")
        << 4 << cteni << u"Nepodařilo se načíst data z databáze."_qs << u"'abc' není platná"_qs;
    QTest::newRow("bad key") << 5 << int(DbError::Operace::Jina) << u"'1 x' není platný klíč záznamu."_qs
                             << QString();
}

// Every failure says in Czech what failed; the server's own text goes to the details.
void TstZapDm::errorMessages() {
    QFETCH(int, failure);
    ConnectionSettings s = ConnectionSettings::fromEnvironment();
    if (failure == 0) s.unixSocket = "/nonexistent/qx/mysqld.sock";
    if (failure == 1) s.database = db_->name() + "_missing";
    Tdm_QX dm(s);
    try {
        switch (failure) {
        case 0:
        case 1:
            dm.load_okres();
            break;
        case 2:
            dm.open(dm.SQLQuery_kat, "SELECT * FROM no_such_table");
            break;
        case 3:
            dm.exec(dm.SQLQuery_kat, "INSERT INTO no_such_table (a) VALUES (1)");
            break;
        case 4:
            dm.open(dm.SQLQuery_kat, "SELECT 'abc' AS id");
            dm.SQLQuery_kat.AsInteger("id");
            break;
        case 5:
            Tdm_QX::key(u"1 x"_qs);
            break;
        }
        QFAIL("expected an error");
    } catch (const DbError& e) {
        QTEST(int(e.operace()), "operace");
        QFETCH(QString, message);
        if (message.contains(u"%1"_qs))
            message = message.arg(s.server() + u" (uživatel "_qs + QString::fromUtf8(s.user) + u')');
        QCOMPARE(e.zprava(), message);
        QFETCH(QString, detail);
        if (detail.isEmpty())
            QVERIFY2(e.podrobnosti().isEmpty(), qPrintable(e.podrobnosti()));
        else
            QVERIFY2(e.podrobnosti().startsWith(detail), qPrintable(e.podrobnosti()));
        // The server's own text stays whole in the details.
        if (e.code() != 0) QVERIFY2(e.podrobnosti().endsWith(e.text()), qPrintable(e.podrobnosti()));
    }
}

void TstZapDm::sessionModeIgnoresServerDefault() {
    const QByteArray global = db_->value("SELECT @@GLOBAL.sql_mode");
    db_->exec("SET GLOBAL sql_mode='ANSI_QUOTES,NO_BACKSLASH_ESCAPES'");
    Tdm_QX dm; // connects now, under the hostile default
    const QString name = u"Sbor \"Hasiči\" \\ z '"_qs;
    try {
        dm.save_kat(std::nullopt, name, u"x\"\\"_qs);
    } catch (...) {
        db_->exec("SET GLOBAL sql_mode='" + global + "'");
        throw;
    }
    db_->exec("SET GLOBAL sql_mode='" + global + "'");
    QCOMPARE(db_->value("SELECT kategorie FROM katqx WHERE zkratka='x\"\\\\'"), name.toUtf8());
    db_->exec("DELETE FROM katqx");
}

void TstZapDm::droppedConnectionReopens() {
    Tdm_QX dm;
    dm.open(dm.SQLQuery_kat, "SELECT CONNECTION_ID() AS id");
    const QByteArray first = dm.SQLQuery_kat.AsBytes("id");
    db_->exec("KILL " + first);
    // The next statement runs on a new session that again passes bytes
    // unchanged and keeps double-quoted texts as strings.
    const QStringList okresy = dm.load_okres();
    QCOMPARE(okresy.size(), 77);
    dm.open(dm.SQLQuery_kat, "SELECT CONNECTION_ID() AS id, @@SESSION.character_set_client AS cs, "
                             "@@SESSION.sql_mode AS mode");
    QVERIFY(dm.SQLQuery_kat.AsBytes("id") != first);
    QCOMPARE(dm.SQLQuery_kat.AsBytes("cs"), QByteArray("binary"));
    QVERIFY(!dm.SQLQuery_kat.AsBytes("mode").contains("ANSI_QUOTES"));
    QCOMPARE(dm.load_obce(u"\"Cheb\""_qs), QStringList());
}

void TstZapDm::textBytesRoundTrip_data() {
    QTest::addColumn<QByteArray>("charset");
    QTest::addColumn<QString>("text");
    const QList<QPair<const char*, QString>> texts{
        {"czech", u"Žďár nad Sázavou – ŘÍČKY, ůň"_qs},
        {"double quote", u"SDH \"Horní\" Ves"_qs},
        {"backslash", u"C:\\cesta\\"_qs},
        {"apostrophe", u"O'Brien's"_qs},
        {"trailing backslash before quote", u"x\\\" OR 1=1 -- "_qs},
        {"percent and underscore", u"100%_"_qs},
        {"newline and tab", u"a\nb\tc"_qs},
    };
    for (const char* cs : {"utf8mb4", "latin1"})
        for (const auto& [label, text] : texts)
            QTest::addRow("%s %s", cs, label) << QByteArray(cs) << text;
}

void TstZapDm::textBytesRoundTrip() {
    QFETCH(QByteArray, charset);
    QFETCH(QString, text);
    // A table of an older installation may be latin1: the UTF-8 bytes go in
    // and come out unchanged there too.
    TestDb db("rt" + charset, false);
    db.exec(
        "CREATE TABLE katqx (id INT AUTO_INCREMENT PRIMARY KEY, kategorie VARCHAR(120) NOT NULL DEFAULT '', "
        "zkratka VARCHAR(20) NOT NULL DEFAULT '') DEFAULT CHARSET=" +
        charset);
    db.exec("CREATE TABLE obceqx (nazev_okresu VARCHAR(120) NOT NULL DEFAULT '', nazev_obce VARCHAR(120) NOT "
            "NULL "
            "DEFAULT '') DEFAULT CHARSET=" +
            charset);
    Tdm_QX dm;
    dm.save_kat(std::nullopt, text, u"ř\"'\\"_qs);
    QCOMPARE(db.value("SELECT HEX(kategorie) FROM katqx"), text.toUtf8().toHex().toUpper());
    const QList<QStringList> rows = cells(dm.load_kat());
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][0], text);
    QCOMPARE(rows[0][1], u"ř\"'\\"_qs);

    // Compared in a WHERE clause: only the exact name matches.
    db.exec("INSERT INTO obceqx VALUES (UNHEX('" + text.toUtf8().toHex() + "'), 'A'), ('jiny', 'B')");
    QCOMPARE(dm.load_obce(text), QStringList{u"A"_qs});

    // The look-alike test finds the row by the same text.
    dm.save_kat(id(rows[0][2]), text + u"ě"_qs, QString());
    QCOMPARE(cells(dm.load_kat())[0][0], text + u"ě"_qs);
    QCOMPARE(dm.kategorie_shodna(text + u"ě"_qs, std::nullopt), std::optional<QString>(text + u"ě"_qs));
    dm.delete_kat(*id(rows[0][2]));
    QVERIFY(cells(dm.load_kat()).isEmpty());
}

void TstZapDm::statementObjects() {
    db_->exec("INSERT INTO katqx (kategorie, zkratka) VALUES ('A', 'a'), ('B', 'b'), ('C', '')");
    Tdm_QX dm;
    SQLQuery& q = dm.SQLQuery_kat;
    dm.open(q, "SELECT * FROM katqx WHERE 1 ORDER BY kategorie ASC");
    QCOMPARE(q.RecordCount(), 3);
    // The whole result is on the client: statements on the other object run
    // while it is walked, and the walk still sees every row.
    QStringList seen;
    for (; !q.Eof(); q.Next()) {
        seen << q.AsString("KATEGORIE");
        dm.exec(dm.SQLQuery_mereni, "UPDATE katqx SET zkratka=\"z\" WHERE id=" + q.AsBytes("id"));
    }
    QCOMPARE(seen, (QStringList{u"A"_qs, u"B"_qs, u"C"_qs}));
    QCOMPARE(db_->column("SELECT DISTINCT zkratka FROM katqx"), QList<QByteArray>{"z"});

    dm.open(q, "SELECT * FROM katqx WHERE kategorie=\"none\"");
    QCOMPARE(q.RecordCount(), 0);
    QVERIFY(q.Eof());
    QVERIFY_THROWS_EXCEPTION(DbError, q.AsString("kategorie"));

    dm.open(q, "SELECT * FROM katqx WHERE 1");
    QVERIFY_THROWS_EXCEPTION(DbError, q.AsString("no_such_column"));
    try {
        dm.exec(q, "SELECT * FROM no_such_table");
        QFAIL("expected an error");
    } catch (const DbError& e) {
        QCOMPARE(e.code(), 1146u);
    }
    db_->exec("DELETE FROM katqx");
}

void TstZapDm::numbers_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::newRow("comma") << QByteArray("018,01") << true << 18.01;
    QTest::newRow("three decimals") << QByteArray("0017,530") << true << 17.53;
    QTest::newRow("integer") << QByteArray("12") << true << 12.0;
    QTest::newRow("dot is no separator") << QByteArray("18.01") << false << 0.0;
    QTest::newRow("empty") << QByteArray("") << false << 0.0;
    QTest::newRow("text") << QByteArray("NP") << false << 0.0;
}

void TstZapDm::numbers() {
    QFETCH(QByteArray, stored);
    QFETCH(bool, ok);
    QFETCH(double, value);
    db_->exec("INSERT INTO druzstvaqx (id_soutez, celkem, poradi) VALUES (999, '" + stored + "', '7')");
    Tdm_QX dm;
    dm.open(dm.SQLQuery_kat, "SELECT * FROM druzstvaqx WHERE id_soutez=999");
    QCOMPARE(dm.SQLQuery_kat.AsInteger("poradi"), 7);
    QCOMPARE(dm.SQLQuery_kat.AsInteger("id_soutez"), 999);
    // Stored times are read as integer thousandths, never through a double.
    const std::optional<qint64> read = ctiCas(dm.SQLQuery_kat.AsAscii("celkem"));
    QCOMPARE(read.has_value(), ok);
    if (ok) QCOMPARE(double(*read) / 1000.0, value);
    db_->exec("DELETE FROM druzstvaqx");
}

void TstZapDm::keysAreIntegers() {
    db_->exec("INSERT INTO soutezeqx (nazev_souteze, datum) VALUES ('A', '20200101'), ('B', '20200102')");
    Tdm_QX dm;
    for (const QString& bad : {u""_qs, u"1 OR 1=1"_qs, u"1;DELETE FROM soutezeqx"_qs, u"x"_qs})
        QVERIFY_THROWS_EXCEPTION(DbError, Tdm_QX::key(bad)); // keys come from text only through key()
    QCOMPARE(db_->value("SELECT COUNT(*) FROM soutezeqx"), QByteArray("2"));
    db_->exec("DELETE FROM soutezeqx");
}

void TstZapDm::upgradeAddsSplitColumnsOnce() {
    TestDb db("upg", false);
    // The start-list table as an older installation created it: no M1..M4.
    db.exec("CREATE TABLE druzstvaqx (id INT AUTO_INCREMENT PRIMARY KEY, id_soutez INT NOT NULL DEFAULT 0, "
            "poradi VARCHAR(5) NOT NULL DEFAULT '', celkem VARCHAR(20) NOT NULL DEFAULT '') DEFAULT "
            "CHARSET=latin1");
    db.exec("INSERT INTO druzstvaqx (id_soutez, poradi) VALUES (1, '1')");
    Tdm_QX dm;
    QVERIFY(dm.upgrade_schema());
    const QByteArray cols = "SELECT COLUMN_NAME FROM information_schema.COLUMNS WHERE TABLE_SCHEMA='" +
                            db.name() +
                            "' AND TABLE_NAME='druzstvaqx' AND COLUMN_NAME LIKE 'M_' ORDER BY COLUMN_NAME";
    QCOMPARE(db.column(cols), (QList<QByteArray>{"M1", "M2", "M3", "M4"}));
    QCOMPARE(db.value("SELECT CONCAT('[', M1, M2, M3, M4, ']') FROM druzstvaqx"), QByteArray("[]"));
    db.exec("INSERT INTO druzstvaqx (id_soutez, poradi) VALUES (1, '2')");
    QCOMPARE(db.value("SELECT COUNT(*) FROM druzstvaqx WHERE M1='' AND M4=''"), QByteArray("2"));

    // The second start only probes.
    Tdm_QX again;
    QVERIFY(!again.upgrade_schema());
    QCOMPARE(again.SQLQuery_kat.sql(), QByteArray("SELECT M1 FROM druzstvaqx WHERE 1 LIMIT 1"));
    QCOMPARE(db.column(cols).size(), 4);

    // The installed schema already has the columns.
    Tdm_QX fresh;
    QVERIFY(!fresh.upgrade_schema());
}

void TstZapDm::upgradeLeavesOtherErrorsAlone() {
    TestDb db("upgerr", false); // no start-list table at all
    Tdm_QX dm;
    try {
        dm.upgrade_schema();
        QFAIL("a missing table is an error, not a missing column");
    } catch (const DbError& e) {
        QCOMPARE(e.code(), 1146u);
    }
    QCOMPARE(dm.SQLQuery_kat.sql(), QByteArray("SELECT M1 FROM druzstvaqx WHERE 1 LIMIT 1"));
}

void TstZapDm::competitions() {
    Tdm_QX dm;
    QVERIFY(cells(dm.load_souteze()).isEmpty());
    Soutez s{u"Memoriál \"Jana\" \\ 1"_qs,
             u"Žďár nad Sázavou"_qs,
             u"Nové Město"_qs,
             u"20210905"_qs,
             u"9:30"_qs,
             u"603123456"_qs,
             u"www.sdh.cz"_qs};
    dm.save_soutez(std::nullopt, s);
    QCOMPARE(db_->value("SELECT datum FROM soutezeqx"), QByteArray("20210905"));
    QList<QStringList> rows = cells(dm.load_souteze());
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].size(), 8);
    QCOMPARE(rows[0][0], s.nazev);
    QCOMPARE(rows[0][1], u"5.9.2021"_qs);
    QCOMPARE(rows[0][2], s.cas);
    QCOMPARE(rows[0][4], s.okres);
    QCOMPARE(rows[0][5], s.misto);
    QCOMPARE(rows[0][6], s.telefon);
    QCOMPARE(rows[0][7], s.web);
    const QString id = rows[0][3];
    QCOMPARE(id.toUtf8(), db_->value("SELECT id FROM soutezeqx"));

    // Newest first.
    dm.save_soutez(std::nullopt, Soutez{u"Později"_qs, {}, {}, u"20220102"_qs, {}, {}, {}});
    dm.save_soutez(std::nullopt, Soutez{u"Dříve"_qs, {}, {}, u"20201231"_qs, {}, {}, {}});
    rows = cells(dm.load_souteze());
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0][0], u"Později"_qs);
    QCOMPARE(rows[1][0], s.nazev);
    QCOMPARE(rows[2][0], u"Dříve"_qs);
    QCOMPARE(rows[2][1], u"31.12.2020"_qs);

    // Update changes only that row.
    s.nazev = u"Přejmenovaná's"_qs;
    s.datum = u"20211015"_qs;
    s.misto = QString();
    dm.save_soutez(id.toLongLong(), s);
    rows = cells(dm.load_souteze());
    QCOMPARE(rows[1][0], s.nazev);
    QCOMPARE(rows[1][1], u"15.10.2021"_qs);
    QCOMPARE(rows[1][5], QString());
    QCOMPARE(rows[1][3], id);
    QCOMPARE(rows[0][0], u"Později"_qs);

    // Delete leaves the start list alone.
    db_->exec("INSERT INTO druzstvaqx (id_soutez, poradi) VALUES (" + id.toUtf8() + ", '1')");
    dm.delete_soutez(id.toLongLong());
    rows = cells(dm.load_souteze());
    QCOMPARE(rows.size(), 2);
    for (const QStringList& r : rows)
        QVERIFY(r[3] != id);
    QCOMPARE(db_->value("SELECT COUNT(*) FROM druzstvaqx WHERE id_soutez=" + id.toUtf8()), QByteArray("1"));
    db_->exec("DELETE FROM soutezeqx");
    db_->exec("DELETE FROM druzstvaqx");
}

void TstZapDm::categories() {
    Tdm_QX dm;
    dm.save_kat(std::nullopt, u"Ženy"_qs, u"Ž"_qs);
    dm.save_kat(std::nullopt, u"Muži"_qs, u"M"_qs);
    dm.save_kat(std::nullopt, u"Muži"_qs, u"M2"_qs);
    dm.save_kat(std::nullopt, u"Dorost"_qs, u"D"_qs);
    QList<QStringList> rows = cells(dm.load_kat());
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows[0][0], u"Dorost"_qs);
    QCOMPARE(rows[3][0], u"Ženy"_qs);
    QCOMPARE(rows[3][1], u"Ž"_qs);

    dm.save_kat(id(rows[0][2]), u"Dorostenky"_qs, u"DK"_qs);
    rows = cells(dm.load_kat());
    QCOMPARE(rows[0], (QStringList{u"Dorostenky"_qs, u"DK"_qs, rows[0][2]}));

    // Deleting removes the one row by its key: neither its namesake nor its look-alikes.
    db_->exec("INSERT INTO katqx (kategorie, zkratka) VALUES ('MUŽI', 'MV'), ('Muži ', 'MM')");
    const QByteArray first = db_->value("SELECT id FROM katqx WHERE zkratka='M'");
    dm.delete_kat(first.toLongLong());
    QCOMPARE(db_->column("SELECT zkratka FROM katqx ORDER BY zkratka"),
             (QList<QByteArray>{"DK", "M2", "MM", "MV", "Ž"}));
    db_->exec("DELETE FROM katqx");
}

void TstZapDm::categoryLookAlikes_data() {
    QTest::addColumn<QString>("nazev");
    QTest::addColumn<bool>("ownRowExcepted");
    QTest::addColumn<QString>("found");
    QTest::newRow("the same name") << u"Muži"_qs << false << u"Muži"_qs;
    QTest::newRow("other case") << u"MUŽI"_qs << false << u"Muži"_qs;
    QTest::newRow("blank at the end") << u"Muži  "_qs << false << u"Muži"_qs;
    QTest::newRow("own row excepted") << u"muži"_qs << true << QString();
    QTest::newRow("other accents") << u"Muzi"_qs << false << QString();
    QTest::newRow("blank at the start") << u" Muži"_qs << false << QString();
    QTest::newRow("quote") << u"Muži \"A\""_qs << false << QString();
}

// The database, not the program, decides which names it takes for one another.
void TstZapDm::categoryLookAlikes() {
    QFETCH(QString, nazev);
    QFETCH(bool, ownRowExcepted);
    QFETCH(QString, found);
    db_->exec("INSERT INTO katqx (kategorie, zkratka) VALUES ('Muži', 'M')");
    const qint64 own = db_->value("SELECT id FROM katqx").toLongLong();
    Tdm_QX dm;
    const std::optional<QString> shodna =
        dm.kategorie_shodna(nazev, ownRowExcepted ? std::optional<qint64>(own) : std::nullopt);
    db_->exec("DELETE FROM katqx");
    QCOMPARE(shodna.value_or(QString()), found);
    QCOMPARE(shodna.has_value(), !found.isEmpty());
}

void TstZapDm::districtsAndPlaces() {
    Tdm_QX dm;
    const QStringList okresy = dm.load_okres();
    QCOMPARE(okresy.size(), 77);
    QCOMPARE(okresy.first(), u"Benešov"_qs);
    QCOMPARE(okresy.last(), u"Žďár nad Sázavou"_qs);
    // Czech order: Č after C, Ch after H.
    QVERIFY(okresy.indexOf(u"Česká Lípa"_qs) > okresy.indexOf(u"Bruntál"_qs));
    QVERIFY(okresy.indexOf(u"Cheb"_qs) > okresy.indexOf(u"Hradec Králové"_qs));

    db_->exec("INSERT INTO obceqx (nazev_okresu, nazev_obce) VALUES ('Cheb', 'Skalná'), ('Cheb', 'Aš'), "
              "('Cheb \"X\"', 'Jinde'), ('Tábor', 'Bechyně')");
    QCOMPARE(dm.load_obce(u"Cheb"_qs), (QStringList{u"Aš"_qs, u"Skalná"_qs}));
    QCOMPARE(dm.load_obce(u"Cheb \"X\""_qs), QStringList{u"Jinde"_qs});
    QVERIFY(dm.load_obce(QString()).isEmpty());
    db_->exec("DELETE FROM obceqx");
}

void TstZapDm::startList() {
    db_->exec(
        "INSERT INTO druzstvaqx (id_soutez, poradi, nazev_dr, nazev_okresu, tym, kategorie, draha) VALUES "
        "(5, '10', 'C', 'Cheb', 'A', 'Muži', '1'), (5, '2', 'B', 'Cheb', '', 'Ženy', ''), "
        "(5, '1', 'Aš', 'Cheb', 'B', 'Muži', '2'), (6, '1', 'Jinde', '', '', 'Muži', '')");
    Tdm_QX dm;
    QList<QStringList> rows = cells(dm.load_listina(5, QString()));
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0][0], u"1"_qs);
    QCOMPARE(rows[1][0], u"2"_qs);
    QCOMPARE(rows[2][0], u"10"_qs);
    QCOMPARE(rows[0].mid(0, 6), (QStringList{u"1"_qs, u"Aš"_qs, u"Cheb"_qs, u"B"_qs, u"Muži"_qs, u"2"_qs}));
    rows = cells(dm.load_listina(5, u"Muži"_qs));
    QCOMPARE(rows.size(), 2);
    QVERIFY(cells(dm.load_listina(7, QString())).isEmpty());
    // A start order that is not a number sorts as 0, ahead of 1.
    db_->exec("INSERT INTO druzstvaqx (id_soutez, poradi, nazev_dr) VALUES (5, 'x', 'Bez čísla')");
    rows = cells(dm.load_listina(5, QString()));
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows[0][1], u"Bez čísla"_qs);
    QCOMPARE(rows[3][0], u"10"_qs);
    db_->exec("DELETE FROM druzstvaqx");
}

void TstZapDm::startListSaveAndDelete() {
    Tdm_QX dm;
    const Druzstvo d{u"3"_qs, u"Horní \"Ves\""_qs, u"Cheb"_qs, u"A"_qs, u"Muži"_qs, u"L1"_qs};
    dm.save_listina(std::nullopt, 7, d);
    QCOMPARE(dm.SQLQuery_kat.sql(),
             u"INSERT INTO  druzstvaqx (id_soutez,poradi,nazev_dr,nazev_okresu,tym,kategorie,draha) VALUES "
             u"(7, \"3\", \"Horní \\\"Ves\\\"\", \"Cheb\", \"A\", \"Muži\", \"L1\")"_qs.toUtf8());
    const QByteArray id = db_->value("SELECT id FROM druzstvaqx");
    // Columns the insert does not name start empty.
    QCOMPARE(
        db_->value(
            "SELECT CONCAT('|', cas1R, cas1C, cas2R, cas2C, cas1S, cas2S, celkem, pozice, M1, M2, M3, M4, "
            "'|') FROM druzstvaqx"),
        QByteArray("||"));
    QList<QStringList> rows = cells(dm.load_listina(7, QString()));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0], (QStringList{u"3"_qs, d.nazev_dr, u"Cheb"_qs, u"A"_qs, u"Muži"_qs, u"L1"_qs,
                                   QString::fromLatin1(id)}));

    // An edit of a measured entry keeps its times, result, placing and splits.
    db_->exec("UPDATE druzstvaqx SET cas1R='17,53L', cas1C='18,20', cas2C='19,01', cas1S='20,00', "
              "celkem='0018,20', "
              "pozice='1.', M1='5,10', M4='16,00' WHERE id=" +
              id);
    const QByteArray measured =
        "SELECT CONCAT_WS('|', cas1R, cas1C, cas2R, cas2C, cas1S, cas2S, celkem, pozice, M1, "
        "M2, M3, M4) FROM druzstvaqx";
    const QByteArray before = db_->value(measured);
    const Druzstvo e{u"4"_qs, u"Aš"_qs, u"Cheb"_qs, QString(), u"Ženy"_qs, QString()};
    dm.save_listina(id.toLongLong(), 7, e);
    QCOMPARE(
        dm.SQLQuery_kat.sql(),
        u"UPDATE druzstvaqx SET id_soutez=7, poradi=\"4\", nazev_dr=\"Aš\", nazev_okresu=\"Cheb\", tym=\"\", "
        u"kategorie=\"Ženy\", draha=\"\" WHERE id="_qs.toUtf8() +
            id);
    QCOMPARE(db_->value(measured), before);
    QCOMPARE(db_->value("SELECT CONCAT_WS('|', poradi, nazev_dr, kategorie) FROM druzstvaqx"),
             u"4|Aš|Ženy"_qs.toUtf8());

    // Keys travel as integers only.
    QVERIFY_THROWS_EXCEPTION(DbError, Tdm_QX::key(u"1 OR 1=1"_qs));
    QVERIFY_THROWS_EXCEPTION(DbError, Tdm_QX::key(u"7; DROP TABLE x"_qs));
    QVERIFY_THROWS_EXCEPTION(DbError, Tdm_QX::key(QString()));
    QCOMPARE(db_->value("SELECT COUNT(*) FROM druzstvaqx"), QByteArray("1"));

    dm.delete_listina(id.toLongLong());
    QCOMPARE(dm.SQLQuery_kat.sql(), "DELETE FROM druzstvaqx WHERE id=" + id);
    QCOMPARE(db_->value("SELECT COUNT(*) FROM druzstvaqx"), QByteArray("0"));
}

void TstZapDm::municipalities() {
    Tdm_QX dm;
    const QString obec = u"Horní \"Ves\" \\ Ř"_qs;
    QVERIFY(!dm.obec_existuje(u"Cheb"_qs, obec));
    QCOMPARE(dm.SQLQuery_kat.sql(),
             "SELECT * FROM obceqx WHERE nazev_okresu=\"Cheb\" and nazev_obce=" + dm.quoted(obec));
    dm.insert_obec(u"Cheb"_qs, obec);
    QCOMPARE(dm.SQLQuery_kat.sql(),
             "INSERT INTO  obceqx (nazev_okresu,nazev_obce) VALUES (\"Cheb\", " + dm.quoted(obec) + ")");
    QCOMPARE(db_->value("SELECT HEX(nazev_obce) FROM obceqx"), obec.toUtf8().toHex().toUpper());
    QVERIFY(dm.obec_existuje(u"Cheb"_qs, obec));
    QVERIFY(!dm.obec_existuje(u"Tábor"_qs, obec)); // the same name in another district
    QVERIFY(!dm.obec_existuje(u"Cheb"_qs, u"Horní \"Ves\""_qs));
    // Two places that differ only by an accent are two places.
    dm.insert_obec(u"Tábor"_qs, u"Chýnov"_qs);
    QVERIFY(!dm.obec_existuje(u"Tábor"_qs, u"Chynov"_qs));
    dm.delete_obec(u"Tábor"_qs, u"Chýnov"_qs);

    // An empty district is a district like any other.
    dm.insert_obec(QString(), u"Bez okresu"_qs);
    QVERIFY(dm.obec_existuje(QString(), u"Bez okresu"_qs));
    QCOMPARE(dm.load_obce(QString()), QStringList{u"Bez okresu"_qs});

    dm.insert_obec(u"Tábor"_qs, obec);
    dm.delete_obec(u"Cheb"_qs, obec);
    QCOMPARE(dm.SQLQuery_kat.sql(),
             "DELETE FROM obceqx WHERE nazev_okresu=\"Cheb\" and nazev_obce=" + dm.quoted(obec));
    QVERIFY(!dm.obec_existuje(u"Cheb"_qs, obec));
    QVERIFY(dm.obec_existuje(u"Tábor"_qs, obec)); // only the pair is deleted
    db_->exec("DELETE FROM obceqx");
}

void TstZapDm::widenResults() {
    db_->exec("INSERT INTO druzstvaqx (id_soutez, celkem) VALUES (1, '17,53'), (1, '017,53'), (2, ''), "
              "(2, '0017,530'), (3, '1017,53')");
    Tdm_QX dm;
    QCOMPARE(qx::deviceVersion(466).resultWidth(), 7);
    QCOMPARE(qx::deviceVersion(454).resultWidth(), 6);
    change_des(dm, 466);
    QCOMPARE(db_->column("SELECT celkem FROM druzstvaqx ORDER BY id"),
             (QList<QByteArray>{"0017,53", "0017,53", "", "0017,530", "1017,53"}));
    db_->exec("UPDATE druzstvaqx SET celkem='7,5' WHERE id_soutez=3");
    change_des(dm, 490);
    QCOMPARE(db_->value("SELECT celkem FROM druzstvaqx WHERE id_soutez=3"), QByteArray("0007,5"));
    db_->exec("DELETE FROM druzstvaqx");
}

QTEST_GUILESS_MAIN(TstZapDm)
#include "tst_zap_dm.moc"
