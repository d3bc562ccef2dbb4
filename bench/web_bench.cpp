// Results server: 200 clients on loopback hold the live results page's update stream; each
// published snapshot is timed until every client has it (median and worst over the rounds), and
// the window's side of a save (building the snapshot and handing it over) is timed with no client
// and with 200 connected. Prints figures, asserts nothing.

#include "web/Snimek.h"
#include "web/WebServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

using namespace qx;
using Hodiny = std::chrono::steady_clock;

namespace {

constexpr int kKlientu = 200;
constexpr int kKol = 30;

VstupSnimku vstup(int kolo) {
    VstupSnimku v;
    v.soutez = QStringLiteral("Pohár starosty");
    for (int i = 0; i < 60; ++i) {
        DruzstvoRadek r;
        r.id = i + 1;
        r.poradi = QString::number(i + 1);
        r.nazev_dr = QStringLiteral("SDH Obec %1").arg(i);
        r.nazev_okresu = QStringLiteral("Okres");
        r.tym = QStringLiteral("A");
        r.kategorie = i % 2 ? QStringLiteral("ženy") : QStringLiteral("muži");
        v.listina.append(r);
        if (i < kolo + 10)
            v.vysledky.append(VysledekRadek{QStringLiteral("%1.").arg(i + 1), r.nazev_dr, r.nazev_okresu,
                                            r.tym, r.kategorie,
                                            QStringLiteral("%1,%2").arg(16 + i).arg(kolo % 100), r.id});
    }
    v.idAkt = 20;
    v.radek1 = QStringLiteral("SDH Obec 19 (A) - ženy");
    v.radek2 = QStringLiteral("Připraví se: SDH Obec 20 - muži");
    return v;
}

// The clients, on a thread of their own: each reads its stream and notes when an event with the
// awaited id arrives.
class Klienti : public QObject {
public:
    std::atomic<int> prislo{0};
    std::atomic<qint64> posledniNs{0};
    QByteArray cekanyId;

    void pripoj(quint16 port) {
        for (int i = 0; i < kKlientu; ++i) {
            auto* s = new QTcpSocket(this);
            s->connectToHost(QHostAddress::LocalHost, port);
            s->write("GET /udalosti?stranka=vysledky HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
            connect(s, &QTcpSocket::readyRead, this, [this, s] {
                const QByteArray data = s->readAll();
                if (!cekanyId.isEmpty() && data.contains(cekanyId)) {
                    ++prislo;
                    posledniNs = Hodiny::now().time_since_epoch().count();
                }
            });
        }
    }
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The window's side of a save: build the snapshot and hand it over, in ms.
std::vector<double> casyUlozeni(WebServer& server, int pocet) {
    std::vector<double> ms;
    for (int i = 0; i < pocet; ++i) {
        QElapsedTimer t;
        t.start();
        server.zverejni(sestavSnimek(vstup(i)));
        ms.push_back(t.nsecsElapsed() / 1e6);
        QCoreApplication::processEvents();
        QThread::msleep(20);
    }
    return ms;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    WebLimity l;
    l.maxSpojeni = kKlientu + 10;
    WebServer server(l);
    if (!server.spust(QHostAddress::LocalHost, 0)) {
        std::fprintf(stderr, "server se nespustil\n");
        return 1;
    }
    server.zverejni(sestavSnimek(vstup(0)));

    const std::vector<double> bez = casyUlozeni(server, kKol);

    QThread vlakno;
    vlakno.start();
    auto* klienti = new Klienti;
    klienti->moveToThread(&vlakno);
    QMetaObject::invokeMethod(
        klienti, [klienti, &server] { klienti->pripoj(server.port()); }, Qt::BlockingQueuedConnection);
    QElapsedTimer cekani;
    cekani.start();
    while (server.pocetOdberatelu() < kKlientu && cekani.elapsed() < 10000)
        QThread::msleep(10);
    std::printf("klientů s otevřeným proudem: %d\n", server.pocetOdberatelu());

    std::vector<double> doruceni;
    for (int k = 0; k < kKol; ++k) {
        const quint64 id = server.posledni().verze + 1;
        QMetaObject::invokeMethod(
            klienti,
            [klienti, id] {
                klienti->prislo = 0;
                klienti->cekanyId = "id: " + QByteArray::number(id) + "\n";
            },
            Qt::BlockingQueuedConnection);
        const auto start = Hodiny::now();
        server.zverejni(sestavSnimek(vstup(k)));
        QElapsedTimer t;
        t.start();
        while (klienti->prislo < kKlientu && t.elapsed() < 5000)
            QThread::msleep(1);
        const double ms = (klienti->posledniNs.load() - start.time_since_epoch().count()) / 1e6;
        doruceni.push_back(klienti->prislo == kKlientu ? ms : 5000.0);
    }
    const std::vector<double> s200 = casyUlozeni(server, kKol);

    std::printf("uložení → všech %d klientů aktualizováno: medián %.1f ms, nejhorší %.1f ms (%d kol)\n",
                kKlientu, median(doruceni), *std::max_element(doruceni.begin(), doruceni.end()), kKol);
    std::printf("okno při uložení (snímek + předání): bez klientů medián %.3f ms, nejhorší %.3f ms\n",
                median(bez), *std::max_element(bez.begin(), bez.end()));
    std::printf("okno při uložení (snímek + předání): s %d klienty medián %.3f ms, nejhorší %.3f ms\n",
                kKlientu, median(s200), *std::max_element(s200.begin(), s200.end()));
    QMetaObject::invokeMethod(
        klienti, [klienti] { delete klienti; }, Qt::BlockingQueuedConnection);
    vlakno.quit();
    vlakno.wait();
    server.zastav();
    return 0;
}
