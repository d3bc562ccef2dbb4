// Which server the data module connects to, as the operator is told when it cannot: the socket
// of "localhost" by the client library's own order, or host and port.

#include "data/Tdm_QX.h"

#include <mariadb_version.h>

#include <QtTest>

using namespace qx;

class TstZapSpojeni : public QObject {
    Q_OBJECT
private slots:
    void server_data();
    void server();
};

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
    const auto set = [](const char* name, const QByteArray& value) {
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value);
    };
    set("MYSQL_UNIX_PORT", envSocket);
    set("MYSQL_TCP_PORT", envPort);
    ConnectionSettings s;
    s.host = host;
    s.unixSocket = socket;
    QTEST(s.server(), "server");
}

QTEST_APPLESS_MAIN(TstZapSpojeni)
#include "tst_zap_spojeni.moc"
