// Entering the measurement panel and saving a time, on the database, for 50, 500 and 2,000 teams
// of one competition (one attack, first phase, three categories, attack times with ties and some
// teams without a time): the measurement service (MereniSluzba on MereniDataDb) beside the same
// work done statement by statement, one read and one write per team, in autocommit. Prints
// figures; asserts nothing.
//
//   MYSQL_UNIX_PORT=… bench_mereni [repetitions]     (default 5)
//
// Needs a MariaDB server (scripts/mariadb.sh); works in a database of its own, dropped at the end.
//
// Measured, each as the best and the median of the repetitions in milliseconds, with the number
// of statements sent to the server (its Questions counter):
//   - entry: what entering the panel does (load_mereni_poradi, load_mereni 0, then the refresh's
//     zmena_nast, which ends with the ranking and load_mereni 0), once from a state where every
//     stored result and placing is stale (all of them emptied beforehand, so all are written) and
//     once in the steady state (nothing changed since the last entry);
//   - save: a time stored for the team in the middle of the start list, which had none, up to the
//     placing shown (save_cas, then load_mereni 0), placing it in the middle of the field.
// Finally both procedures' stored results and placings are compared row by row.

#include "TestDb.h"
#include "data/Tdm_QX.h"
#include "measurement/Casy.h"
#include "measurement/MereniDataDb.h"
#include "measurement/MereniSluzba.h"
#include "measurement/Poradi.h"
#include "measurement/Vypocet.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

using namespace qx;

namespace {

const QStringList kKategorie{QStringLiteral("muži"), QStringLiteral("ženy"), QStringLiteral("dorost")};
const QString kUlozeny = QStringLiteral("21,500L 25,000"); // the saved time: in the middle of the field

// The start list of `pocet` teams: final times of 16 to 34 s in thousandths (version 466), every
// tenth team on the time of the team before it, one in twenty without a time.
void vytvor(TestDb& db, Tdm_QX& dm, const QByteArray& soutez, int pocet) {
    db.exec("DELETE FROM druzstvaqx");
    QRandomGenerator nahoda(466);
    qint64 predchozi = 0;
    QByteArray sql;
    for (int i = 1; i <= pocet; ++i) {
        qint64 cas = 16000 + qint64(nahoda.bounded(18000));
        if (i % 10 == 0) cas = predchozi;
        predchozi = cas;
        const bool bezCasu = nahoda.bounded(20) == 0;
        const QString terc = QStringLiteral("%1,%2%3")
                                 .arg(cas / 1000 - 1)
                                 .arg(cas % 1000, 3, 10, QLatin1Char('0'))
                                 .arg(QChar(i % 2 ? u'L' : u'P'));
        const QString cil = QStringLiteral("%1,%2").arg(cas / 1000).arg(cas % 1000, 3, 10, QLatin1Char('0'));
        sql += QByteArray(sql.isEmpty() ? "" : ", ") + "(" + soutez + ", '" + QByteArray::number(i) + "', " +
               dm.quoted(QStringLiteral("SDH Horní Újezd %1").arg(i)) + ", " +
               dm.quoted(QStringLiteral("Tábor")) + ", '" + (i % 3 ? "A" : "B") + "', " +
               dm.quoted(kKategorie[i % 3]) + ", " + dm.quoted(bezCasu ? QString() : terc) + ", " +
               dm.quoted(bezCasu ? QString() : cil) + ")";
        if (i % 500 == 0 || i == pocet) {
            db.exec(
                "INSERT INTO druzstvaqx (id_soutez, poradi, nazev_dr, nazev_okresu, tym, kategorie, cas1R, "
                "cas1C) VALUES " +
                sql);
            sql.clear();
        }
    }
}

// ------------------------------------------------------------------ statement by statement

// The panel's operations as single statements on the data module's two statement objects, in
// autocommit, with the rules' own functions for the values.
class PoPrikazech {
public:
    PoPrikazech(Tdm_QX& dm, const MereniKontext& ctx)
        : dm_(dm), ctx_(ctx), soutez_(Tdm_QX::key(ctx.idSoutez)) {}

    int poradi = 1;
    qint64 id_akt = 0;

    void vypocti_celkem(qint64 id) {
        const QList<DruzstvoRadek> r = dm_.readAll<DruzstvoRadek>(
            "SELECT * FROM druzstvaqx WHERE id=" + QByteArray::number(id), &Tdm_QX::druzstvo);
        dm_.exec(dm_.SQLQuery_kat,
                 "UPDATE druzstvaqx SET celkem=" + dm_.quoted(celkemRadku(r.value(0), ctx_)) +
                     " WHERE id=" + QByteArray::number(id));
    }

    QList<VysledekRadek> load_mereni_poradi() {
        QByteArray sql = "SELECT * FROM druzstvaqx WHERE id_soutez=" + soutez_;
        if (!ctx_.kategorie.isEmpty()) sql += " and kategorie=" + dm_.quoted(ctx_.kategorie);
        sql += " and celkem<>\"\" ORDER BY celkem ASC";
        const QList<DruzstvoRadek> radky = dm_.readAll<DruzstvoRadek>(sql, &Tdm_QX::druzstvo);
        QList<std::optional<qint64>> hodnoty;
        for (const DruzstvoRadek& r : radky)
            hodnoty.append(ctiCas(r.celkem));
        const QStringList stitky = stitkyPoradi(hodnoty);
        QList<VysledekRadek> vysledky;
        for (qsizetype k = 0; k < radky.size(); ++k) {
            const DruzstvoRadek& r = radky[k];
            dm_.exec(dm_.SQLQuery_mereni, "UPDATE druzstvaqx SET pozice=" + dm_.quoted(stitky[k]) +
                                              " WHERE id=" + QByteArray::number(r.id));
            vysledky.append(VysledekRadek{stitky[k], r.nazev_dr, r.nazev_okresu, r.tym, r.kategorie,
                                          zobrazCas(r.celkem, ctx_.format), r.id});
        }
        dm_.exec(dm_.SQLQuery_mereni,
                 "UPDATE druzstvaqx SET pozice=\"\" WHERE id_soutez=" + soutez_ + " and celkem=\"\"");
        return vysledky;
    }

    QString load_mereni(int kolik) {
        poradi += kolik;
        const QList<DruzstvoRadek> radky = dm_.load_listina(soutez_.toLongLong(), ctx_.kategorie);
        if (radky.isEmpty()) return QString();
        const DruzstvoRadek& r = radky[std::clamp<qsizetype>(poradi, 1, radky.size()) - 1];
        id_akt = r.id;
        return r.nazev_dr + QStringLiteral(" - ") + r.pozice;
    }

    void zmena_nast() {
        dm_.exec(dm_.SQLQuery_mereni, "UPDATE druzstvaqx SET celkem=\"\" WHERE id_soutez=" + soutez_);
        const QList<qint64> ids = dm_.readAll<qint64>("SELECT * FROM druzstvaqx WHERE id_soutez=" + soutez_,
                                                      [](const SQLQuery& q) { return q.AsInteger("id"); });
        for (qint64 id : ids)
            vypocti_celkem(id);
        load_mereni_poradi();
        load_mereni(0);
    }

    void vstup() {
        load_mereni_poradi();
        load_mereni(0);
        zmena_nast();
    }

    void save_cas(const QString& text) {
        const qsizetype mezera = text.indexOf(u' ');
        dm_.exec(dm_.SQLQuery_kat,
                 "UPDATE druzstvaqx SET cas1R=" + dm_.quoted(mezera < 0 ? QString() : text.left(mezera)) +
                     ", cas1C=" + dm_.quoted(text.mid(mezera + 1)) +
                     " WHERE id=" + QByteArray::number(id_akt));
        vypocti_celkem(id_akt);
        load_mereni_poradi();
        load_mereni(0);
    }

private:
    Tdm_QX& dm_;
    MereniKontext ctx_;
    QByteArray soutez_;
};

// ------------------------------------------------------------------ the service as the panel uses it

struct Sluzbou {
    MereniDataDb data;
    MereniSluzba sluzba{data};
    MereniKontext ctx;
    int poradi = 1;
    qint64 id_akt = 0;

    Sluzbou(Tdm_QX& dm, const MereniKontext& k) : data(dm), ctx(k) {}

    void load_mereni() { id_akt = sluzba.load_mereni(ctx, 0, poradi).id_akt; }

    // TfrmQX::enterMeasurementPanel, then the refresh's zmena_nast.
    void vstup() {
        sluzba.load_mereni_poradi(ctx);
        load_mereni();
        sluzba.zmena_nast(ctx);
        load_mereni();
    }

    void save_cas(const QString& text) {
        sluzba.save_cas(ctx, id_akt, text);
        load_mereni();
    }
};

// ------------------------------------------------------------------ measuring

struct Cislo {
    double nejlepsi = 0, median = 0;
    qint64 prikazu = 0; // statements of one run
};

qint64 dotazu(Tdm_QX& dm) {
    const QList<qint64> v = dm.readAll<qint64>("SHOW SESSION STATUS LIKE 'Questions'",
                                               [](const SQLQuery& q) { return q.AsInteger("Value"); });
    return v.value(0);
}

// Runs `priprava` (not measured) and `prace` `opakovani` times.
Cislo mer(Tdm_QX& dm, int opakovani, const std::function<void()>& priprava,
          const std::function<void()>& prace) {
    std::vector<double> ms;
    Cislo c;
    for (int i = 0; i < opakovani; ++i) {
        if (priprava) priprava();
        const qint64 pred = dotazu(dm);
        QElapsedTimer t;
        t.start();
        prace();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
        c.prikazu = dotazu(dm) - pred - 1; // without the counter's own statement
    }
    std::sort(ms.begin(), ms.end());
    c.nejlepsi = ms.front();
    c.median = ms[ms.size() / 2];
    return c;
}

// poradi, celkem and pozice of every row, in start order.
QStringList ulozeno(TestDb& db) {
    QStringList out;
    for (const QByteArray& r : db.column("SELECT CONCAT(poradi, ' ', celkem, ' ', pozice) FROM druzstvaqx "
                                         "ORDER BY CAST(poradi AS UNSIGNED)"))
        out << QString::fromUtf8(r);
    return out;
}

void radek(int tymu, const char* co, const Cislo& s, const Cislo& p) {
    std::printf("%6d  %-30s %8.1f / %8.1f %7lld   %9.1f / %9.1f %7lld   %6.1fx\n", tymu, co, s.nejlepsi,
                s.median, (long long)s.prikazu, p.nejlepsi, p.median, (long long)p.prikazu,
                p.median / s.median);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int opakovani = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QString why;
    if (!TestDb::serverAnswers(&why)) {
        std::fprintf(stderr, "bench_mereni: no MariaDB server (set MYSQL_UNIX_PORT): %s\n", qPrintable(why));
        return 1;
    }

    try {
        TestDb db("bench_mereni");
        Tdm_QX dm;
        db.exec("INSERT INTO soutezeqx (nazev_souteze, datum) VALUES ('Benchmark', '20240512')");
        const QByteArray soutez = db.value("SELECT id FROM soutezeqx");

        MereniKontext ctx;
        ctx.idSoutez = QString::fromLatin1(soutez);
        ctx.nast = 10;
        ctx.verze = 466;

        std::printf(
            "measurement panel on the database: one attack, first phase, all categories, version 466;\n"
            "%d repetitions; ms best / median and statements of one run\n\n",
            opakovani);
        std::printf("%6s  %-30s %28s   %30s   %7s\n", "teams", "", "service", "statement by statement",
                    "ratio");
        for (int tymu : {50, 500, 2000}) {
            const int uprostred = tymu / 2;
            const auto zastarale = [&] {
                db.exec("UPDATE druzstvaqx SET celkem='', pozice='' WHERE id_soutez=" + soutez);
            };

            vytvor(db, dm, soutez, tymu);
            Sluzbou s(dm, ctx);
            s.poradi = uprostred;
            s.vstup(); // warm-up
            const Cislo sVstup = mer(dm, opakovani, zastarale, [&] { s.vstup(); });
            const Cislo sKlid = mer(dm, opakovani, nullptr, [&] { s.vstup(); });
            const Cislo sUlozeni = mer(
                dm, opakovani, [&] { s.save_cas(QString()); }, [&] { s.save_cas(kUlozeny); });
            const QStringList poSluzbe = ulozeno(db);

            vytvor(db, dm, soutez, tymu);
            PoPrikazech p(dm, ctx);
            p.poradi = uprostred;
            p.vstup(); // warm-up
            const Cislo pVstup = mer(dm, opakovani, zastarale, [&] { p.vstup(); });
            const Cislo pKlid = mer(dm, opakovani, nullptr, [&] { p.vstup(); });
            const Cislo pUlozeni = mer(
                dm, opakovani, [&] { p.save_cas(QString()); }, [&] { p.save_cas(kUlozeny); });
            const QStringList poPrikazech = ulozeno(db);

            radek(tymu, "entry, all results stale", sVstup, pVstup);
            radek(tymu, "entry, nothing changed", sKlid, pKlid);
            radek(tymu, "save, time to placing shown", sUlozeni, pUlozeni);
            const qsizetype umisteno =
                db.value("SELECT COUNT(*) FROM druzstvaqx WHERE pozice<>''").toLongLong();
            std::printf("%6s  same stored values: %s (%lld rows, %lld placed)\n\n", "",
                        poSluzbe == poPrikazech ? "yes" : "no", (long long)poSluzbe.size(),
                        (long long)umisteno);
        }
    } catch (const DbError& e) {
        std::fprintf(stderr, "bench_mereni: %s\n", qPrintable(e.text()));
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_mereni: %s\n", e.what());
        return 1;
    }
    return 0;
}
