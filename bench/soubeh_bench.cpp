// Several computers on one server: how soon one sees another's change, and what watching costs.
// Prints figures; asserts nothing.
//
//   MYSQL_UNIX_PORT=… [QX_DB_TCP_PORT=…] bench_soubeh [rounds]     (default 10)
//
// Needs a MariaDB server (scripts/mariadb.sh); with QX_DB_TCP_PORT the two clients connect over TCP
// to 127.0.0.1 as two computers would, otherwise through the socket. Works in a database of its
// own, dropped at the end.
//
// Measured:
//   - refresh delay: client A stores a start-list entry at a random moment; client B checks the
//     change counters every TfrmQX::kIntervalZmen ms on its event loop, as the window does, and
//     on a change reads the start list again. The delay runs from A's commit to B's list holding
//     the new value (median and worst over the rounds);
//   - the check itself: statements and time per check (median over 2,000 checks in a row), and
//     what one watching client sends the server per second at the window's interval;
//   - a save with its counter beside the same save without it (the cost of the counter on a write).

#include "PoSiti.h"
#include "TestDb.h"
#include "data/Tdm_QX.h"
#include "ui/TfrmQX.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace qx;

namespace {

using testdb::poSiti;

qint64 dotazu(Tdm_QX& dm) {
    const QList<qint64> v = dm.readAll<qint64>("SHOW SESSION STATUS LIKE 'Questions'",
                                               [](const SQLQuery& q) { return q.AsInteger("Value"); });
    return v.value(0);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

Druzstvo zapis(int kolo) {
    return Druzstvo{QStringLiteral("1"),   QStringLiteral("Chýnov"), QStringLiteral("Tábor"),
                    QString::number(kolo), QStringLiteral("Muži"),   QStringLiteral("L")};
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int kol = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    QString why;
    if (!TestDb::serverAnswers(&why)) {
        std::fprintf(stderr, "bench_soubeh: no MariaDB server (set MYSQL_UNIX_PORT): %s\n", qPrintable(why));
        return 1;
    }
    try {
        TestDb db("bench_soubeh");
        db.exec("INSERT INTO soutezeqx (id,nazev_souteze,datum) VALUES (7,'Benchmark','20240512')");
        QByteArray radky;
        for (int i = 1; i <= 60; ++i)
            radky += (i > 1 ? "," : "") +
                     ("(7,'" + QByteArray::number(i) + "','SDH " + QByteArray::number(i) + "','Muži')");
        db.exec("INSERT INTO druzstvaqx (id_soutez,poradi,nazev_dr,kategorie) VALUES " + radky);
        const qint64 id = db.value("SELECT MIN(id) FROM druzstvaqx").toLongLong();

        Tdm_QX a(poSiti()), b(poSiti());
        std::printf("two clients on %s, a start list of 60 entries, check every %d ms, %d rounds\n",
                    qPrintable(a.settings().server()), TfrmQX::kIntervalZmen, kol);

        // Refresh delay.
        QList<DruzstvoRadek> listinaB = b.load_listina(7, {});
        b.zkontroluj_zmeny(7);
        std::vector<double> zpozdeni;
        QElapsedTimer odZapisu;
        int kolo = 0;
        QTimer kontrola;
        kontrola.setInterval(TfrmQX::kIntervalZmen);
        QObject::connect(&kontrola, &QTimer::timeout, [&] {
            if (!b.zkontroluj_zmeny(7).soutez) return;
            listinaB = b.load_listina(7, {});
            if (listinaB.first().tym != QString::number(kolo)) return;
            zpozdeni.push_back(double(odZapisu.nsecsElapsed()) / 1e6);
            if (int(zpozdeni.size()) == kol) {
                QCoreApplication::quit();
                return;
            }
            // The next write at a random moment of the check interval.
            QTimer::singleShot(int(QRandomGenerator::global()->bounded(TfrmQX::kIntervalZmen)), [&] {
                ++kolo;
                a.save_listina(id, 7, zapis(kolo));
                odZapisu.start();
            });
        });
        kontrola.start();
        QTimer::singleShot(300, [&] {
            ++kolo;
            a.save_listina(id, 7, zapis(kolo));
            odZapisu.start();
        });
        QCoreApplication::exec();
        std::printf("refresh delay (A's commit -> B's list): median %.0f ms, worst %.0f ms\n",
                    median(zpozdeni), *std::max_element(zpozdeni.begin(), zpozdeni.end()));

        // The check.
        constexpr int kKontrol = 2000;
        std::vector<double> us;
        us.reserve(kKontrol);
        const qint64 pred = dotazu(b);
        for (int i = 0; i < kKontrol; ++i) {
            QElapsedTimer t;
            t.start();
            b.zkontroluj_zmeny(7);
            us.push_back(double(t.nsecsElapsed()) / 1e3);
        }
        const double prikazu = double(dotazu(b) - pred - 1) / kKontrol;
        std::printf("one check: %.1f statement(s), median %.0f us, worst %.0f us; one watching client: "
                    "%.1f statement(s) per second\n",
                    prikazu, median(us), *std::max_element(us.begin(), us.end()),
                    prikazu * 1000.0 / TfrmQX::kIntervalZmen);

        // A save with the counter beside the bare statement.
        constexpr int kUlozeni = 300;
        std::vector<double> s, bez;
        qint64 q0 = dotazu(a);
        for (int i = 0; i < kUlozeni; ++i) {
            QElapsedTimer t;
            t.start();
            a.save_listina(*a.nacti_druzstvo(id), zapis(i));
            s.push_back(double(t.nsecsElapsed()) / 1e3);
        }
        const double sPrikazu = double(dotazu(a) - q0 - 1) / kUlozeni;
        q0 = dotazu(a);
        for (int i = 0; i < kUlozeni; ++i) {
            QElapsedTimer t;
            t.start();
            a.exec(a.SQLQuery_kat, "UPDATE druzstvaqx SET tym='" + QByteArray::number(i) +
                                       "' WHERE id=" + QByteArray::number(id));
            bez.push_back(double(t.nsecsElapsed()) / 1e3);
        }
        const double bezPrikazu = double(dotazu(a) - q0 - 1) / kUlozeni;
        std::printf("save of an entry as seen, with its counter, in one transaction: median %.0f us, %.1f "
                    "statements (its own read of the row included)\n",
                    median(s), sPrikazu);
        std::printf("the bare UPDATE in autocommit:                               median %.0f us, %.1f "
                    "statements\n",
                    median(bez), bezPrikazu);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_soubeh: %s\n", e.what());
        return 1;
    }
    return 0;
}
