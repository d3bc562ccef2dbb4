// zapisnik --serve PORT as the operator starts it: the program comes up with the results server
// on at that port (GET / answers with the page) and remembers it in qx_db.ini; a bad port is
// refused before any window opens.

#include "TestDb.h"
#include "ui/QxDbIni.h"

#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

namespace {

quint16 volnyPort() {
    QTcpServer s;
    if (!s.listen(QHostAddress::LocalHost, 0)) return 0;
    return s.serverPort();
}

// The status line and body of GET / on loopback; empty when nothing answers.
QByteArray get(quint16 port) {
    QTcpSocket s;
    s.connectToHost(QHostAddress::LocalHost, port);
    if (!s.waitForConnected(1000)) return {};
    s.write("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    QByteArray data;
    while (s.waitForReadyRead(3000))
        data += s.readAll();
    return data + s.readAll();
}

} // namespace

class TstZapServe : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDb> db_;
    QTemporaryDir dir_;

    QProcessEnvironment prostredi() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QX_CONFIG_DIR"), dir_.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir_.path());
        return env;
    }

private slots:
    void initTestCase() {
        QString why;
        if (TestDb::shouldSkip(&why)) QSKIP(qPrintable(why));
        QVERIFY(dir_.isValid());
        db_ = std::make_unique<TestDb>("serve");
    }
    void cleanupTestCase() { db_.reset(); }

    void serve() {
        const quint16 port = volnyPort();
        QVERIFY(port > 0);
        QProcess p;
        p.setProcessEnvironment(prostredi());
        p.setWorkingDirectory(dir_.path());
        p.start(QStringLiteral(QX_ZAPISNIK), {QStringLiteral("--serve"), QString::number(port)});
        QVERIFY(p.waitForStarted(10000));
        QByteArray odpoved;
        QVERIFY(QTest::qWaitFor(
            [&] {
                odpoved = get(port);
                return !odpoved.isEmpty() || p.state() == QProcess::NotRunning;
            },
            30000));
        QVERIFY2(odpoved.startsWith("HTTP/1.1 200"), odpoved.left(200).constData());
        QVERIFY(odpoved.contains("text/html"));
        QVERIFY(odpoved.contains("<main id=\"obsah\">"));
        const qx::WebIni ini = qx::readWebIni(dir_.filePath(QStringLiteral("qx_db.ini")));
        QVERIFY(ini.zapnuto);
        QCOMPARE(ini.port, int(port));
        p.terminate();
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(get(port), QByteArray());
    }

    void spatnyPort_data() {
        QTest::addColumn<QStringList>("argumenty");
        QTest::newRow("bez čísla") << QStringList{QStringLiteral("--serve")};
        QTest::newRow("nula") << QStringList{QStringLiteral("--serve"), QStringLiteral("0")};
        QTest::newRow("příliš velké") << QStringList{QStringLiteral("--serve"), QStringLiteral("65536")};
        QTest::newRow("text") << QStringList{QStringLiteral("--serve"), QStringLiteral("web")};
    }
    void spatnyPort() {
        QFETCH(QStringList, argumenty);
        QProcess p;
        p.setProcessEnvironment(prostredi());
        p.start(QStringLiteral(QX_ZAPISNIK), argumenty);
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("--serve")));
    }
};

QTEST_GUILESS_MAIN(TstZapServe)
#include "tst_zap_serve.moc"
