// The results server in-process on a loopback port: the known paths, escaping of hostile names,
// bad requests refused, the limits on connections and request size, update streams, and nothing
// served while it is off.

#include "web/Stranky.h"
#include "web/WebServer.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTest>

using namespace qx;

namespace {

struct Odpoved {
    int status = 0; // 0: no answer
    QByteArray hlavicky;
    QByteArray telo;
    bool zavreno = false;
};

// Reads one response: the status line, the headers and Content-Length bytes of body (waits up to
// five seconds, then takes what came).
Odpoved precti(QTcpSocket& s) {
    Odpoved o;
    QByteArray data;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 5000) {
        if (s.bytesAvailable() == 0 && !s.waitForReadyRead(100)) {
            if (s.state() != QAbstractSocket::ConnectedState) {
                o.zavreno = true;
                break;
            }
        }
        data += s.readAll();
        const qsizetype konec = data.indexOf("\r\n\r\n");
        if (konec < 0) continue;
        o.hlavicky = data.left(konec);
        const qsizetype cl = o.hlavicky.toLower().indexOf("content-length:");
        if (cl < 0) break;
        const qsizetype eol = o.hlavicky.indexOf("\r\n", cl);
        const qint64 delka = o.hlavicky.mid(cl + 15, eol < 0 ? -1 : eol - cl - 15).trimmed().toLongLong();
        if (data.size() - konec - 4 >= delka) break;
    }
    data += s.readAll();
    const qsizetype konec = data.indexOf("\r\n\r\n");
    if (data.startsWith("HTTP/1.1 ")) o.status = data.mid(9, 3).toInt();
    if (konec >= 0) {
        o.hlavicky = data.left(konec);
        o.telo = data.mid(konec + 4);
    }
    return o;
}

Odpoved posli(quint16 port, const QByteArray& pozadavek) {
    QTcpSocket s;
    s.connectToHost(QHostAddress::LocalHost, port);
    if (!s.waitForConnected(2000)) return {};
    s.write(pozadavek);
    s.flush();
    return precti(s);
}

QByteArray get(const QByteArray& cesta) {
    return "GET " + cesta + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
}

Snimek snimek(const QString& nazev) {
    Snimek s;
    s.soutez = QStringLiteral("Pohár <b>obce</b>");
    s.radek1 = nazev + QStringLiteral(" (A) - muži");
    s.aktualniTym = s.radek1;
    s.kategorie = {SnimekKategorie{
        QStringLiteral("muži"),
        {SnimekVysledek{QStringLiteral("1."), nazev, QStringLiteral("Okres"), QStringLiteral("A"),
                        QStringLiteral("muži"), QStringLiteral("16,20"), 5}}}};
    s.startovka = {SnimekStart{QStringLiteral("1"), nazev, QStringLiteral("Okres"), QStringLiteral("A"),
                               QStringLiteral("muži")}};
    return s;
}

const QString kZly = QStringLiteral("<img src=x onerror=alert(1)>");

} // namespace

class TstWebServer : public QObject {
    Q_OBJECT
private slots:
    void cesty_data();
    void cesty();
    void odmitnutePozadavky_data();
    void odmitnutePozadavky();
    void prilisVelkyPozadavekSeNevyridi();
    void limitSpojeni();
    void prouduDostanouKazdySnimek();
    void pomalyOdberatelJeOdpojen();
    void vypnutyServerNicNeslouzi();
};

void TstWebServer::cesty_data() {
    QTest::addColumn<QByteArray>("cesta");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("typ");
    QTest::addColumn<QString>("obsahuje");
    QTest::newRow("výsledky") << QByteArray("/") << 200 << QByteArray("text/html") << QStringLiteral("16,20");
    QTest::newRow("startovka") << QByteArray("/startovka") << 200 << QByteArray("text/html")
                               << QStringLiteral("Startovní listina");
    QTest::newRow("hlasatel") << QByteArray("/hlasatel") << 200 << QByteArray("text/html")
                              << QStringLiteral("Připraví se");
    QTest::newRow("json") << QByteArray("/vysledky.json") << 200 << QByteArray("application/json")
                          << QStringLiteral("\"vysledek\": \"16,20\"");
    QTest::newRow("dotaz se nepočítá")
        << QByteArray("/?x=1") << 200 << QByteArray("text/html") << QStringLiteral("16,20");
    QTest::newRow("neznámá") << QByteArray("/admin") << 404 << QByteArray("text/plain") << QString();
    QTest::newRow("soubor mimo") << QByteArray("/../../etc/passwd") << 404 << QByteArray("text/plain")
                                 << QString();
    QTest::newRow("proud neznámé stránky")
        << QByteArray("/udalosti?stranka=x") << 404 << QByteArray("text/plain") << QString();
}

void TstWebServer::cesty() {
    QFETCH(QByteArray, cesta);
    QFETCH(int, status);
    QFETCH(QByteArray, typ);
    QFETCH(QString, obsahuje);
    WebServer server;
    server.zverejni(snimek(kZly));
    QVERIFY(server.spust(QHostAddress::LocalHost, 0));
    const Odpoved o = posli(server.port(), get(cesta));
    QCOMPARE(o.status, status);
    QVERIFY2(o.hlavicky.toLower().contains("content-type: " + typ), o.hlavicky.constData());
    const QString telo = QString::fromUtf8(o.telo);
    QVERIFY(telo.contains(obsahuje));
    // A hostile name is served escaped, never as markup.
    if (typ == "text/html") {
        QVERIFY(!telo.contains(kZly));
        QVERIFY(telo.contains(escapujHtml(kZly)));
        QVERIFY(!telo.contains(QStringLiteral("<b>obce</b>")));
    }
}

void TstWebServer::odmitnutePozadavky_data() {
    QTest::addColumn<QByteArray>("pozadavek");
    QTest::addColumn<int>("status"); // 0: closed without an answer
    QTest::newRow("POST") << QByteArray("POST / HTTP/1.1\r\nHost: a\r\nContent-Length: 3\r\n\r\nabc") << 405;
    QTest::newRow("PUT") << QByteArray("PUT /vysledky.json HTTP/1.1\r\nHost: a\r\nContent-Length: 0\r\n\r\n")
                         << 405;
    QTest::newRow("DELETE") << QByteArray("DELETE / HTTP/1.1\r\nHost: a\r\n\r\n") << 405;
    QByteArray hlavicky = "GET / HTTP/1.1\r\nHost: a\r\n";
    for (int i = 0; i < 60; ++i)
        hlavicky += "X-H" + QByteArray::number(i) + ": 1\r\n";
    QTest::newRow("mnoho hlaviček") << hlavicky + "\r\n" << 431;
    QTest::newRow("nesmysl") << QByteArray("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03garbage\r\n\r\n", 27)
                             << 0;
}

void TstWebServer::odmitnutePozadavky() {
    QFETCH(QByteArray, pozadavek);
    QFETCH(int, status);
    WebLimity l;
    l.necinnostMs = 500;
    WebServer server(l);
    server.zverejni(snimek(QStringLiteral("Lhota")));
    QVERIFY(server.spust(QHostAddress::LocalHost, 0));
    const Odpoved o = posli(server.port(), pozadavek);
    QCOMPARE(o.status, status);
    QVERIFY(!o.telo.contains("Lhota"));
    // The server goes on serving.
    QCOMPARE(posli(server.port(), get("/")).status, 200);
}

void TstWebServer::prilisVelkyPozadavekSeNevyridi() {
    WebLimity l;
    l.necinnostMs = 500;
    l.maxPozadavek = 4096;
    WebServer server(l);
    QVERIFY(server.spust(QHostAddress::LocalHost, 0));
    QTcpSocket s;
    s.connectToHost(QHostAddress::LocalHost, server.port());
    QVERIFY(s.waitForConnected(2000));
    s.write("GET / HTTP/1.1\r\nHost: a\r\nX-Velka: " + QByteArray(64 * 1024, 'a') + "\r\n\r\n");
    const Odpoved o = precti(s);
    QCOMPARE(o.status, 0);
    QTRY_COMPARE(s.state(), QAbstractSocket::UnconnectedState);
    QTRY_COMPARE(server.pocetSpojeni(), 0);
}

void TstWebServer::limitSpojeni() {
    WebLimity l;
    l.maxSpojeni = 3;
    WebServer server(l);
    QVERIFY(server.spust(QHostAddress::LocalHost, 0));
    std::vector<std::unique_ptr<QTcpSocket>> drzene;
    for (int i = 0; i < 3; ++i) {
        drzene.push_back(std::make_unique<QTcpSocket>());
        drzene.back()->connectToHost(QHostAddress::LocalHost, server.port());
        QVERIFY(drzene.back()->waitForConnected(2000));
    }
    QTRY_COMPARE(server.pocetSpojeni(), 3);
    QCOMPARE(posli(server.port(), get("/")).status, 503);
    drzene.clear();
    QTRY_COMPARE(server.pocetSpojeni(), 0);
    QCOMPARE(posli(server.port(), get("/")).status, 200);
}

void TstWebServer::prouduDostanouKazdySnimek() {
    WebServer server;
    server.zverejni(snimek(QStringLiteral("Lhota")));
    QVERIFY(server.spust(QHostAddress::LocalHost, 0));
    QTcpSocket s;
    s.connectToHost(QHostAddress::LocalHost, server.port());
    QVERIFY(s.waitForConnected(2000));
    s.write(get("/udalosti?stranka=vysledky"));
    QByteArray prijato;
    QTRY_VERIFY((prijato += s.readAll()).contains("Lhota"));
    QVERIFY(prijato.startsWith("HTTP/1.1 200"));
    QVERIFY(prijato.toLower().contains("content-type: text/event-stream"));
    QVERIFY(prijato.contains("retry: 1000"));
    QCOMPARE(server.pocetOdberatelu(), 1);
    server.zverejni(snimek(kZly));
    QTRY_VERIFY((prijato += s.readAll()).contains(escapujHtml(kZly).toUtf8()));
    QVERIFY(!prijato.contains(kZly.toUtf8()));
    QVERIFY(prijato.contains("id: 2\n"));
    s.disconnectFromHost();
    QTRY_COMPARE(server.pocetOdberatelu(), 0);
}

void TstWebServer::pomalyOdberatelJeOdpojen() {
    WebLimity l;
    l.maxNeodeslano = 64 * 1024;
    WebServer server(l);
    QVERIFY(server.spust(QHostAddress::LocalHost, 0));
    // A client that asks for the stream and then reads nothing.
    QTcpSocket s;
    s.setReadBufferSize(1);
    s.connectToHost(QHostAddress::LocalHost, server.port());
    QVERIFY(s.waitForConnected(2000));
    s.write(get("/udalosti?stranka=startovka"));
    s.flush();
    QTRY_COMPARE(server.pocetOdberatelu(), 1);
    Snimek velky;
    for (int i = 0; i < 2000; ++i)
        velky.startovka.append(
            SnimekStart{QString::number(i), QStringLiteral("Sbor dobrovolných hasičů %1").arg(i),
                        QStringLiteral("Okres"), QStringLiteral("A"), QStringLiteral("muži")});
    // Each update is far over the kernel's buffers: the server's own buffer grows, and the
    // stream is closed instead of growing further.
    for (int i = 0; i < 40 && server.pocetOdberatelu() > 0; ++i) {
        server.zverejni(velky);
        QTest::qWait(50);
    }
    QCOMPARE(server.pocetOdberatelu(), 0);
    // The server itself is unaffected.
    QCOMPARE(posli(server.port(), get("/vysledky.json")).status, 200);
}

void TstWebServer::vypnutyServerNicNeslouzi() {
    WebServer server;
    QVERIFY(server.spust(QHostAddress::LocalHost, 0));
    const quint16 port = server.port();
    QCOMPARE(posli(port, get("/")).status, 200);
    server.zastav();
    QVERIFY(!server.bezi());
    QTcpSocket s;
    s.connectToHost(QHostAddress::LocalHost, port);
    QVERIFY(!s.waitForConnected(1000) || !s.waitForReadyRead(500));
}

QTEST_GUILESS_MAIN(TstWebServer)
#include "tst_web_server.moc"
