// The results pages in a real browser: headless Chromium driven over its DevTools protocol (a
// WebSocket on a loopback port), the server in-process on another loopback port. A new placing
// published by the window appears in the open page without a reload, and at 360 px wide no page
// needs horizontal scrolling, long names included.

#include "web/Stranky.h"
#include "web/WebServer.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWebSocket>

using namespace qx;

namespace {

constexpr int kCekani = 20000; // ms to wait for the browser to do a step

DruzstvoRadek druzstvo(qint64 id, const QString& nazev, const QString& kat) {
    DruzstvoRadek r;
    r.id = id;
    r.poradi = QString::number(id - 10);
    r.nazev_dr = nazev;
    r.nazev_okresu = QStringLiteral("Rychnov nad Kněžnou");
    r.tym = QStringLiteral("A");
    r.kategorie = kat;
    return r;
}

VysledekRadek vysledek(const DruzstvoRadek& d, const QString& pozice, const QString& cas) {
    return VysledekRadek{pozice, d.nazev_dr, d.nazev_okresu, d.tym, d.kategorie, cas, d.id};
}

// A competition with long names (one without a place to break) and three saved results.
VstupSnimku vstup() {
    VstupSnimku v;
    v.soutez = QStringLiteral("Memoriál Jana Nováka a Josefa Dvořáka, Velká cena Podkrkonoší");
    v.listina = {druzstvo(11, QStringLiteral("Lhota pod Libčany"), QStringLiteral("muži")),
                 druzstvo(12, QStringLiteral("SDHBorovnicenadOrlicíKostelecOpočno"), QStringLiteral("ženy")),
                 druzstvo(13, QStringLiteral("Dub"), QStringLiteral("muži nad 35 let")),
                 druzstvo(14, QStringLiteral("Les"), QStringLiteral("muži")),
                 druzstvo(15, QStringLiteral("Háj ve Slezsku"), QStringLiteral("ženy"))};
    v.vysledky = {vysledek(v.listina[2], QStringLiteral("1."), QStringLiteral("16,20")),
                  vysledek(v.listina[1], QStringLiteral("1."), QStringLiteral("18,01")),
                  vysledek(v.listina[0], QStringLiteral("2."), QStringLiteral("NP")),
                  vysledek(v.listina[3], QString(), QString()), vysledek(v.listina[4], QString(), QString())};
    v.ulozene = {13, 12, 11};
    v.idAkt = 14;
    v.radek1 = QStringLiteral("Les (A) - muži");
    v.radek2 = QStringLiteral("Připraví se: Háj ve Slezsku - ženy");
    v.aktualniTym = v.radek1;
    v.prijateCasy = {QStringLiteral("15,30L 17,53"), QStringLiteral("NP 19,02")};
    return v;
}

// Headless Chromium with its DevTools endpoint on a loopback port, one page attached.
class Prohlizec {
public:
    ~Prohlizec() { zavri(); }

    // Starts the browser and attaches to its page; false with `chyba` set when it does not come up.
    bool spust(const QString& program, QString& chyba) {
        if (!profil_.isValid()) {
            chyba = QStringLiteral("dočasná složka profilu");
            return false;
        }
        proces_.setProgram(program);
        proces_.setArguments({QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
                              QStringLiteral("--disable-gpu"),
                              QStringLiteral("--disable-background-networking"),
                              QStringLiteral("--disable-component-update"), QStringLiteral("--disable-sync"),
                              QStringLiteral("--no-first-run"), QStringLiteral("--no-default-browser-check"),
                              QStringLiteral("--user-data-dir=") + profil_.path(),
                              QStringLiteral("--remote-debugging-address=127.0.0.1"),
                              QStringLiteral("--remote-debugging-port=0"),
                              QStringLiteral("--window-size=360,740"), QStringLiteral("about:blank")});
        proces_.setProcessChannelMode(QProcess::MergedChannels);
        proces_.start();
        if (!proces_.waitForStarted(kCekani)) {
            chyba = QStringLiteral("prohlížeč se nespustil: ") + proces_.errorString();
            return false;
        }
        // The browser writes its port into the profile once it listens.
        const QString soubor = profil_.filePath(QStringLiteral("DevToolsActivePort"));
        int port = 0;
        (void)QTest::qWaitFor(
            [&] {
                QFile f(soubor);
                if (f.open(QIODevice::ReadOnly)) port = f.readLine().trimmed().toInt();
                return port > 0 || proces_.state() == QProcess::NotRunning;
            },
            kCekani);
        if (port <= 0) {
            chyba = QStringLiteral("prohlížeč neotevřel ladicí port: ") +
                    QString::fromLocal8Bit(proces_.readAll());
            return false;
        }
        // The page target and its WebSocket.
        QNetworkAccessManager nam;
        QNetworkReply* r =
            nam.get(QNetworkRequest(QUrl(QStringLiteral("http://127.0.0.1:%1/json/list").arg(port))));
        (void)QTest::qWaitFor([r] { return r->isFinished(); }, kCekani);
        QString ws;
        for (const QJsonValue& t : QJsonDocument::fromJson(r->readAll()).array())
            if (t[QStringLiteral("type")].toString() == QLatin1String("page"))
                ws = t[QStringLiteral("webSocketDebuggerUrl")].toString();
        r->deleteLater();
        if (!ws.startsWith(QLatin1String("ws://127.0.0.1:"))) {
            chyba = QStringLiteral("prohlížeč nemá stránku na loopbacku: ") + ws;
            return false;
        }
        QObject::connect(&socket_, &QWebSocket::textMessageReceived, [this](const QString& zprava) {
            const QJsonObject o = QJsonDocument::fromJson(zprava.toUtf8()).object();
            if (o.contains(QStringLiteral("id"))) odpovedi_.insert(o[QStringLiteral("id")].toInt(), o);
        });
        socket_.open(QUrl(ws));
        if (!QTest::qWaitFor([this] { return socket_.state() == QAbstractSocket::ConnectedState; },
                             kCekani)) {
            chyba = QStringLiteral("WebSocket prohlížeče: ") + socket_.errorString();
            return false;
        }
        return true;
    }

    // One DevTools command; its "result", or an object with "chyba" when it failed or timed out.
    QJsonObject prikaz(const QString& metoda, const QJsonObject& parametry = {}) {
        const int id = ++posledniId_;
        socket_.sendTextMessage(
            QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("id"), id},
                                                        {QStringLiteral("method"), metoda},
                                                        {QStringLiteral("params"), parametry}})
                                  .toJson(QJsonDocument::Compact)));
        if (!QTest::qWaitFor([&] { return odpovedi_.contains(id); }, kCekani))
            return {{QStringLiteral("chyba"), QStringLiteral("bez odpovědi na ") + metoda}};
        const QJsonObject o = odpovedi_.take(id);
        if (o.contains(QStringLiteral("error")))
            return {{QStringLiteral("chyba"), QString::fromUtf8(QJsonDocument(o).toJson())}};
        return o[QStringLiteral("result")].toObject();
    }

    // The value of a JavaScript expression in the page (undefined on an error).
    QJsonValue hodnota(const QString& vyraz) {
        const QJsonObject v =
            prikaz(QStringLiteral("Runtime.evaluate"),
                   {{QStringLiteral("expression"), vyraz}, {QStringLiteral("returnByValue"), true}});
        if (v.contains(QStringLiteral("chyba")) || v.contains(QStringLiteral("exceptionDetails")))
            return QJsonValue(QJsonValue::Undefined);
        return v[QStringLiteral("result")].toObject()[QStringLiteral("value")];
    }

    // Waits until the expression is true in the page.
    bool dockej(const QString& vyraz) {
        return QTest::qWaitFor([&] { return hodnota(vyraz).toBool(); }, kCekani);
    }

    // Closes the browser the orderly way (all its helper processes end and the profile can be
    // removed), then by signal if it does not end.
    void zavri() {
        if (socket_.state() == QAbstractSocket::ConnectedState) {
            socket_.sendTextMessage(QStringLiteral(R"({"id":0,"method":"Browser.close"})"));
            socket_.flush();
            (void)QTest::qWaitFor([this] { return proces_.state() == QProcess::NotRunning; }, 10000);
            socket_.abort();
        }
        if (proces_.state() != QProcess::NotRunning) {
            proces_.terminate();
            if (!proces_.waitForFinished(5000)) {
                proces_.kill();
                proces_.waitForFinished(5000);
            }
        }
    }

private:
    QTemporaryDir profil_; // a fresh profile for every run
    QProcess proces_;
    QWebSocket socket_;
    QHash<int, QJsonObject> odpovedi_;
    int posledniId_ = 0;
};

QString chromium() {
    for (const char* jmeno : {"chromium", "chromium-browser"})
        if (const QString p = QStandardPaths::findExecutable(QLatin1String(jmeno)); !p.isEmpty()) return p;
    return QFile::exists(QStringLiteral("/usr/bin/chromium")) ? QStringLiteral("/usr/bin/chromium")
                                                              : QString();
}

} // namespace

class TstWebProhlizec : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void zmenaBezNacteni();
    void bezVodorovnehoPosunu_data();
    void bezVodorovnehoPosunu();

private:
    QString url(const QString& cesta) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.port()).arg(cesta);
    }
    // Opens a page and waits until its update stream is connected.
    bool otevri(const QString& cesta);

    WebServer server_;
    Prohlizec prohlizec_;
};

void TstWebProhlizec::initTestCase() {
    const QString program = chromium();
    if (program.isEmpty())
        QSKIP("Chromium není nainstalován (balík chromium), zkouška ve skutečném prohlížeči se vynechává.");
    QString chyba;
    QVERIFY2(server_.spust(QHostAddress::LocalHost, 0, &chyba), qPrintable(chyba));
    server_.zverejni(sestavSnimek(vstup()));
    QVERIFY2(prohlizec_.spust(program, chyba), qPrintable(chyba));
    // A phone's screen: 360 CSS pixels wide, the page's viewport tag honoured.
    const QJsonObject o = prohlizec_.prikaz(QStringLiteral("Emulation.setDeviceMetricsOverride"),
                                            {{QStringLiteral("width"), 360},
                                             {QStringLiteral("height"), 740},
                                             {QStringLiteral("deviceScaleFactor"), 2},
                                             {QStringLiteral("mobile"), true}});
    QVERIFY2(!o.contains(QStringLiteral("chyba")), qPrintable(o[QStringLiteral("chyba")].toString()));
    QVERIFY(!prohlizec_.prikaz(QStringLiteral("Page.enable")).contains(QStringLiteral("chyba")));
}

void TstWebProhlizec::cleanupTestCase() {
    prohlizec_.zavri();
    server_.zastav();
}

bool TstWebProhlizec::otevri(const QString& cesta) {
    const QJsonObject o =
        prohlizec_.prikaz(QStringLiteral("Page.navigate"), {{QStringLiteral("url"), url(cesta)}});
    if (o.contains(QStringLiteral("chyba")) || o.contains(QStringLiteral("errorText"))) {
        qWarning() << "Page.navigate:" << o;
        return false;
    }
    if (prohlizec_.dockej(QStringLiteral("document.readyState === 'complete' && "
                                         "document.getElementById('spojeni').textContent === "
                                         "'Stránka se obnovuje sama.'")))
        return true;
    qWarning() << "stránka"
               << prohlizec_.hodnota(
                      QStringLiteral("location.href + ' | ' + document.readyState + ' | ' + "
                                     "(document.getElementById('spojeni') || {}).textContent"));
    return false;
}

// A time saved in the window: the open results page shows the new placing and its result by
// itself, the page never loaded again (a mark set in it stays).
void TstWebProhlizec::zmenaBezNacteni() {
    QVERIFY(otevri(QStringLiteral("/")));
    QCOMPARE(
        prohlizec_.hodnota(QStringLiteral("document.querySelector('tr[data-id=\"13\"] td.poz').textContent"))
            .toString(),
        QStringLiteral("1."));
    QVERIFY(
        prohlizec_.hodnota(QStringLiteral("document.querySelector('tr[data-id=\"14\"]') === null")).toBool());
    QVERIFY(prohlizec_.hodnota(QStringLiteral("window.znackaZkousky = 'stejná stránka'; true")).toBool());

    // Les runs 15,55 and goes ahead of Dub; the grid re-ranks.
    VstupSnimku v = vstup();
    v.vysledky[3].pozice = QStringLiteral("1.");
    v.vysledky[3].cas = QStringLiteral("15,55");
    v.vysledky[0].pozice = QStringLiteral("2.");
    v.vysledky[2].pozice = QStringLiteral("3.");
    v.vysledky.move(3, 0); // the grid in its new order
    v.ulozene.prepend(14);
    v.aktualniUmisteni = QStringLiteral("1. místo");
    server_.zverejni(sestavSnimek(v));

    QVERIFY(prohlizec_.dockej(QStringLiteral("document.querySelector('tr[data-id=\"14\"]') !== null")));
    QCOMPARE(
        prohlizec_.hodnota(QStringLiteral("document.querySelector('tr[data-id=\"14\"] td.poz').textContent"))
            .toString(),
        QStringLiteral("1."));
    QCOMPARE(
        prohlizec_.hodnota(QStringLiteral("document.querySelector('tr[data-id=\"14\"] td.cas').textContent"))
            .toString(),
        QStringLiteral("15,55"));
    QCOMPARE(
        prohlizec_.hodnota(QStringLiteral("document.querySelector('tr[data-id=\"13\"] td.poz').textContent"))
            .toString(),
        QStringLiteral("2."));
    // Les is first in the men's table now.
    QCOMPARE(
        prohlizec_.hodnota(QStringLiteral("document.querySelector('table.vysledky tbody tr').dataset.id"))
            .toString(),
        QStringLiteral("14"));
    QCOMPARE(prohlizec_.hodnota(QStringLiteral("window.znackaZkousky")).toString(),
             QStringLiteral("stejná stránka"));
}

void TstWebProhlizec::bezVodorovnehoPosunu_data() {
    QTest::addColumn<QString>("cesta");
    QTest::newRow("výsledky") << QStringLiteral("/");
    QTest::newRow("startovka") << QStringLiteral("/startovka");
    QTest::newRow("hlasatel") << QStringLiteral("/hlasatel");
}

void TstWebProhlizec::bezVodorovnehoPosunu() {
    QFETCH(QString, cesta);
    server_.zverejni(sestavSnimek(vstup()));
    QVERIFY(otevri(cesta));
    // The window is what a phone shows, so the width check below means something.
    QCOMPARE(prohlizec_.hodnota(QStringLiteral("window.innerWidth")).toInt(), 360);
    // The long names are on the page.
    QVERIFY(prohlizec_.hodnota(QStringLiteral("document.body.textContent.includes('Velká cena Podkrkonoší')"))
                .toBool());
    const int sirka = prohlizec_.hodnota(QStringLiteral("document.documentElement.scrollWidth")).toInt();
    QVERIFY2(sirka > 0 && sirka <= 360, qPrintable(QStringLiteral("scrollWidth %1").arg(sirka)));
}

QTEST_GUILESS_MAIN(TstWebProhlizec)
#include "tst_web_prohlizec.moc"
