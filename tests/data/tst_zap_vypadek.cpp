// The data module against a server of the test's own over TCP loopback: a refused login, a closed
// port and an unknown host each give their own Czech message naming the server and the user; a
// server stopped and started again, and one whose process is stopped (SIGSTOP) and continued, end
// the statement with a message, and the next statement works once the server is back. The
// connection is encrypted when the server offers TLS, and plain when it does not.

#include "TestServer.h"
#include "data/Tdm_QX.h"

#include <mysql.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

#include <memory>

using namespace qx;

class TstZapVypadek : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::unique_ptr<TestServer> server_;
    QStringList tls_; // the start script's TLS variables, when openssl made a certificate

    ConnectionSettings tcp(const QByteArray& user = "root", const QByteArray& password = {}) const {
        ConnectionSettings s;
        s.host = "127.0.0.1";
        s.port = server_->port();
        s.user = user;
        s.password = password;
        s.database = "qxv";
        return s;
    }
    static qint64 pocet(Tdm_QX& dm) {
        SQLQuery q(dm);
        dm.open(q, "SELECT COUNT(*) AS n FROM t");
        return q.AsInteger("n");
    }
    // The failure of one statement; fails the test when it succeeds.
    static std::optional<DbError> selhani(Tdm_QX& dm) {
        try {
            pocet(dm);
        } catch (const DbError& e) {
            qInfo().noquote() << e.zprava() << "|" << e.podrobnosti();
            return e;
        }
        return std::nullopt;
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        server_ = std::make_unique<TestServer>(dir_.filePath(u"db"_qs));
        QString why;
        QVERIFY2(server_->start(&why), qPrintable(why));
        for (const QByteArray& sql :
             {QByteArray("CREATE DATABASE qxv"), QByteArray("CREATE TABLE qxv.t (id INT)"),
              QByteArray("INSERT INTO qxv.t VALUES (1), (2), (3)"),
              QByteArray("CREATE USER 'qx'@'127.0.0.1' IDENTIFIED BY 'Spravne-heslo-7'"),
              QByteArray("GRANT ALL ON qxv.* TO 'qx'@'127.0.0.1'")})
            QVERIFY2(server_->exec(sql, &why), qPrintable(why + u" in: "_qs + QString::fromLatin1(sql)));
        // A self-signed certificate for the restart with TLS.
        QProcess openssl;
        openssl.start(u"openssl"_qs,
                      {u"req"_qs, u"-x509"_qs, u"-newkey"_qs, u"rsa:2048"_qs, u"-nodes"_qs, u"-keyout"_qs,
                       dir_.filePath(u"key.pem"_qs), u"-out"_qs, dir_.filePath(u"cert.pem"_qs), u"-days"_qs,
                       u"1"_qs, u"-subj"_qs, u"/CN=127.0.0.1"_qs});
        if (openssl.waitForFinished(60000) && openssl.exitCode() == 0)
            tls_ = {u"QX_DB_SSL_CERT="_qs + dir_.filePath(u"cert.pem"_qs),
                    u"QX_DB_SSL_KEY="_qs + dir_.filePath(u"key.pem"_qs)};
    }
    void cleanupTestCase() { server_.reset(); }

    void rightPasswordConnects() {
        Tdm_QX dm(tcp("qx", "Spravne-heslo-7"));
        QCOMPARE(pocet(dm), 3);
    }

    void connectFailures_data() {
        QTest::addColumn<QByteArray>("host");
        QTest::addColumn<int>("port"); // -1: the server's own
        QTest::addColumn<int>("druh");
        QTest::addColumn<QString>("says");
        QTest::newRow("wrong password") << QByteArray("127.0.0.1") << -1 << int(DbError::Druh::Pristup)
                                        << u"odmítl přihlášení: špatné jméno uživatele nebo heslo"_qs;
        QTest::newRow("closed port") << QByteArray("127.0.0.1") << int(TestServer::freePort())
                                     << int(DbError::Druh::Nedostupny) << u"není dostupný"_qs;
        QTest::newRow("unknown host") << QByteArray("neexistuje.invalid") << -1
                                      << int(DbError::Druh::Nedostupny) << u"není dostupný"_qs;
    }
    void connectFailures() {
        QFETCH(QByteArray, host);
        QFETCH(int, port);
        QFETCH(QString, says);
        ConnectionSettings s = tcp("qx", "Spatne-heslo-3");
        s.host = host;
        if (port >= 0) s.port = unsigned(port);
        Tdm_QX dm(s);
        const std::optional<DbError> e = selhani(dm);
        QVERIFY(e);
        QTEST(int(e->druh()), "druh");
        QVERIFY2(e->zprava().contains(says), qPrintable(e->zprava()));
        QVERIFY2(e->zprava().contains(s.server() + u" (uživatel qx)"_qs), qPrintable(e->zprava()));
        QVERIFY2(e->podrobnosti().contains(u"(chyba %1)"_qs.arg(e->code())), qPrintable(e->podrobnosti()));
        for (const QString& shown : {e->zprava(), e->podrobnosti()})
            QVERIFY2(!shown.contains(u"Spatne-heslo-3"_qs), qPrintable(shown));
        QVERIFY(!dm.connected());
    }

    // The server stops under an open connection (as when the network drops, the connection is
    // gone), then comes back with TLS: the statement in between fails with the outage's message,
    // the next one after the return works, encrypted.
    void serverStoppedAndBack() {
        Tdm_QX dm(tcp());
        QCOMPARE(pocet(dm), 3);
        QCOMPARE(mysql_get_ssl_cipher(dm.SQLConn()), nullptr); // no TLS offered: plain
        QVERIFY(server_->stop());
        const std::optional<DbError> e = selhani(dm);
        QVERIFY(e);
        QVERIFY2(e->vypadek(), qPrintable(e->zprava()));
        QVERIFY2(e->zprava().contains(u"127.0.0.1:%1 (uživatel root)"_qs.arg(server_->port())),
                 qPrintable(e->zprava()));
        QVERIFY(!zkusSpojeni(dm.settings()));

        QString why;
        QVERIFY2(server_->start(&why, tls_), qPrintable(why));
        QVERIFY(zkusSpojeni(dm.settings()));
        QCOMPARE(pocet(dm), 3);
        if (tls_.isEmpty()) QSKIP("openssl made no certificate: TLS not tried");
        const char* cipher = mysql_get_ssl_cipher(dm.SQLConn());
        QVERIFY2(cipher, "the server offers TLS, the connection is plain");
        qInfo() << "TLS cipher" << cipher;
    }

    // A stalled server (its process stopped) ends the statement after the read time-out with its
    // own message; continued, it answers the next statement.
    void stalledServer() {
        ConnectionSettings s = tcp();
        s.readTimeout = 2;
        s.writeTimeout = 2;
        Tdm_QX dm(s);
        QCOMPARE(pocet(dm), 3);
        server_->pause();
        QElapsedTimer t;
        t.start();
        const std::optional<DbError> e = selhani(dm);
        const qint64 ms = t.elapsed();
        server_->resume();
        qInfo() << "stalled statement ended after" << ms << "ms with a read time-out of 2 s";
        QVERIFY(e);
        QCOMPARE(int(e->druh()), int(DbError::Druh::CasVyprsel));
        QVERIFY2(e->zprava().contains(u"neodpověděl včas (do 2 s)"_qs), qPrintable(e->zprava()));
        QCOMPARE(pocet(dm), 3);
    }
};

QTEST_GUILESS_MAIN(TstZapVypadek)
#include "tst_zap_vypadek.moc"
