// Which server the data module connects to, as the operator is told when it cannot: the socket
// of "localhost" by the client library's own order, or host and port; the environment's QX_DB_*
// over the settings file's values; the Czech message of each kind of connection failure, which
// names the server and the user and never the password.

#include "data/Tdm_QX.h"

#include <mariadb_version.h>

#include <QtTest>

#include <errmsg.h>

using namespace qx;

class TstZapSpojeni : public QObject {
    Q_OBJECT
private slots:
    void server_data();
    void server();
    void environment_data();
    void environment();
    void messages_data();
    void messages();
};

namespace {

void setEnv(const char* name, const QByteArray& value) {
    if (value.isEmpty())
        qunsetenv(name);
    else
        qputenv(name, value);
}

// Every variable of the connection, unset.
void clearEnv() {
    for (const char* name : {"QX_DB_HOST", "QX_DB_PORT", "QX_DB_USER", "QX_DB_PASSWORD", "QX_DB_NAME",
                             "QX_DB_SOCKET", "MYSQL_UNIX_PORT", "MYSQL_TCP_PORT"})
        qunsetenv(name);
}

} // namespace

void TstZapSpojeni::server_data() {
    QTest::addColumn<QByteArray>("host");
    QTest::addColumn<QByteArray>("socket");
    QTest::addColumn<QByteArray>("envSocket");
    QTest::addColumn<QByteArray>("envPort");
    QTest::addColumn<QString>("server");
    QTest::newRow("socket given") << QByteArray("localhost") << QByteArray("/a/mysqld.sock")
                                  << QByteArray("/env/mysqld.sock") << QByteArray() << u"/a/mysqld.sock"_qs;
    QTest::newRow("socket from MYSQL_UNIX_PORT")
        << QByteArray("localhost") << QByteArray() << QByteArray("/env/mysqld.sock") << QByteArray("3307")
        << u"/env/mysqld.sock"_qs;
    QTest::newRow("library default socket") << QByteArray("localhost") << QByteArray() << QByteArray()
                                            << QByteArray() << QStringLiteral(MARIADB_UNIX_ADDR);
    QTest::newRow("host with MYSQL_TCP_PORT")
        << QByteArray("db.local") << QByteArray() << QByteArray("/env/mysqld.sock") << QByteArray("3307")
        << u"db.local:3307"_qs;
    QTest::newRow("host with the default port")
        << QByteArray("127.0.0.1") << QByteArray() << QByteArray() << QByteArray("x") << u"127.0.0.1:3306"_qs;
}

void TstZapSpojeni::server() {
    QFETCH(QByteArray, host);
    QFETCH(QByteArray, socket);
    QFETCH(QByteArray, envSocket);
    QFETCH(QByteArray, envPort);
    clearEnv();
    setEnv("MYSQL_UNIX_PORT", envSocket);
    setEnv("MYSQL_TCP_PORT", envPort);
    ConnectionSettings s;
    s.host = host;
    s.unixSocket = socket;
    QTEST(s.server(), "server");
}

// The settings file's values (or the defaults) with the environment over them. `env` holds
// NAME=value pairs; "NAME=" sets the variable empty.
void TstZapSpojeni::environment_data() {
    QTest::addColumn<bool>("fromFile");
    QTest::addColumn<QStringList>("env");
    QTest::addColumn<QString>("expected"); // host|port|user|password|database|socket
    QTest::newRow("defaults") << false << QStringList() << u"localhost|0|root||myqx|"_qs;
    QTest::newRow("file values kept") << true << QStringList() << u"db.local|3307|qx|tajne|souteze|"_qs;
    QTest::newRow("environment over the file")
        << true
        << QStringList{u"QX_DB_HOST=10.0.0.5"_qs,       u"QX_DB_PORT=3310"_qs,  u"QX_DB_USER=zapis"_qs,
                       u"QX_DB_PASSWORD=jiné heslo"_qs, u"QX_DB_NAME=qxt_1"_qs, u"QX_DB_SOCKET=/s/my.sock"_qs}
        << u"10.0.0.5|3310|zapis|jiné heslo|qxt_1|/s/my.sock"_qs;
    QTest::newRow("database name alone, as the tests set it")
        << false << QStringList{u"QX_DB_NAME=qxt_mereni_7"_qs} << u"localhost|0|root||qxt_mereni_7|"_qs;
    QTest::newRow("empty variables keep the file, an empty password counts")
        << true << QStringList{u"QX_DB_HOST="_qs, u"QX_DB_USER="_qs, u"QX_DB_PASSWORD="_qs}
        << u"db.local|3307|qx||souteze|"_qs;
    QTest::newRow("port that is no number")
        << true << QStringList{u"QX_DB_PORT=abc"_qs} << u"db.local|3307|qx|tajne|souteze|"_qs;
    QTest::newRow("port out of range")
        << true << QStringList{u"QX_DB_PORT=70000"_qs} << u"db.local|3307|qx|tajne|souteze|"_qs;
}

void TstZapSpojeni::environment() {
    QFETCH(bool, fromFile);
    QFETCH(QStringList, env);
    clearEnv();
    for (const QString& pair : env) {
        const qsizetype eq = pair.indexOf(u'=');
        qputenv(pair.left(eq).toLatin1().constData(), pair.mid(eq + 1).toUtf8());
    }
    ConnectionSettings base;
    if (fromFile) {
        base.host = "db.local";
        base.port = 3307;
        base.user = "qx";
        base.password = "tajne";
        base.database = "souteze";
    }
    const ConnectionSettings s = ConnectionSettings::fromEnvironment(base);
    clearEnv();
    const QString got = QStringList{QString::fromUtf8(s.host),     QString::number(s.port),
                                    QString::fromUtf8(s.user),     QString::fromUtf8(s.password),
                                    QString::fromUtf8(s.database), QString::fromUtf8(s.unixSocket)}
                            .join(u'|');
    QTEST(got, "expected");
}

// Each kind of failure has its own sentence; the server's text and number stay in the details.
void TstZapSpojeni::messages_data() {
    QTest::addColumn<unsigned>("code");
    QTest::addColumn<int>("operace");
    QTest::addColumn<unsigned>("vyprselPo");
    QTest::addColumn<int>("druh");
    QTest::addColumn<bool>("vypadek");
    QTest::addColumn<QString>("message");
    const QString kde = u"db.local:3307 (uživatel zapis)"_qs;
    const int pripojeni = int(DbError::Operace::Pripojeni);
    QTest::newRow("wrong password")
        << 1045u << pripojeni << 0u << int(DbError::Druh::Pristup) << false
        << u"Databázový server %1 odmítl přihlášení: špatné jméno uživatele nebo heslo, nebo uživatel nemá "
           u"přístup k databázi. Opravte je v nastavení připojení."_qs.arg(kde);
    QTest::newRow("refused") << unsigned(CR_CONN_HOST_ERROR) << pripojeni << 0u
                             << int(DbError::Druh::Nedostupny) << true
                             << u"Databázový server %1 není dostupný: neběží, jeho adresa není známa, nebo k "
                                u"němu nevede síť."_qs.arg(kde);
    QTest::newRow("unknown host")
        << unsigned(CR_UNKNOWN_HOST) << pripojeni << 0u << int(DbError::Druh::Nedostupny) << true
        << u"Databázový server %1 není dostupný: neběží, jeho adresa není známa, nebo "
           u"k němu nevede síť."_qs.arg(kde);
    QTest::newRow("gone during a query")
        << unsigned(CR_SERVER_LOST) << int(DbError::Operace::Zapis) << 0u << int(DbError::Druh::Odpojeno)
        << true
        << u"Spojení s databázovým serverem %1 se přerušilo: server byl zastaven, nebo vypadla síť."_qs.arg(
               kde);
    QTest::newRow("gone before a query")
        << unsigned(CR_SERVER_GONE_ERROR) << int(DbError::Operace::Cteni) << 0u
        << int(DbError::Druh::Odpojeno) << true
        << u"Spojení s databázovým serverem %1 se přerušilo: server byl zastaven, nebo vypadla síť."_qs.arg(
               kde);
    QTest::newRow("statement ran out its wait")
        << unsigned(CR_SERVER_LOST) << int(DbError::Operace::Cteni) << 10u << int(DbError::Druh::CasVyprsel)
        << true
        << u"Databázový server %1 neodpověděl včas (do 10 s): server je zastavený nebo přetížený."_qs.arg(
               kde);
    QTest::newRow("encrypted statement ran out its wait")
        << unsigned(CR_SSL_CONNECTION_ERROR) << int(DbError::Operace::Cteni) << 10u
        << int(DbError::Druh::CasVyprsel) << true
        << u"Databázový server %1 neodpověděl včas (do 10 s): server je zastavený nebo přetížený."_qs.arg(
               kde);
    QTest::newRow("handshake ran out its wait")
        << unsigned(CR_SERVER_LOST) << pripojeni << 5u << int(DbError::Druh::CasVyprsel) << true
        << u"Databázový server %1 neodpověděl včas (do 5 s): server je zastavený nebo přetížený."_qs.arg(kde);
    QTest::newRow("unknown database") << 1049u << pripojeni << 0u << int(DbError::Druh::Jiny) << false
                                      << u"Nepodařilo se připojit k databázi na serveru %1."_qs.arg(kde);
    QTest::newRow("missing table") << 1146u << int(DbError::Operace::Cteni) << 0u << int(DbError::Druh::Jiny)
                                   << false << u"Nepodařilo se načíst data z databáze."_qs;
}

void TstZapSpojeni::messages() {
    QFETCH(unsigned, code);
    QFETCH(int, operace);
    QFETCH(unsigned, vyprselPo);
    clearEnv();
    ConnectionSettings s;
    s.host = "db.local";
    s.port = 3307;
    s.user = "zapis";
    s.password = "Tajne-heslo-42";
    const QString serverText = u"the server's own text"_qs;
    DbError e(code, serverText, DbError::Operace(operace));
    e.spojeni(s, vyprselPo);
    QTEST(int(e.druh()), "druh");
    QTEST(e.vypadek(), "vypadek");
    QTEST(e.zprava(), "message");
    QCOMPARE(e.podrobnosti(), u"Databáze hlásí (chyba %1): %2"_qs.arg(code).arg(serverText));
    for (const QString& shown : {e.zprava(), e.podrobnosti(), s.server()})
        QVERIFY2(!shown.contains(u"Tajne-heslo-42"_qs), qPrintable(shown));
}

QTEST_APPLESS_MAIN(TstZapSpojeni)
#include "tst_zap_spojeni.moc"
