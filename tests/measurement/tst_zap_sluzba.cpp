// The measurement service over an in-memory start list: the current team and the next teams,
// storing a time into the columns of the mode and phase, recomputing and ranking with only the
// changed values written in one batch, and a bad stored time that leaves only its team without a
// result.
#include "measurement/MereniSluzba.h"

#include <QTest>

#include <algorithm>
#include <stdexcept>

using qx::DruzstvoRadek;
using qx::Kolo;
using qx::MereniKontext;
using qx::ZmenaVysledku;

namespace qx {
// Failure messages name the values of a batch.
char* toString(const ZmenaVysledku& z) {
    const QString t = QString("{%1, %2, %3}")
                          .arg(z.id)
                          .arg(z.celkem ? '"' + *z.celkem + '"' : QString("-"))
                          .arg(z.pozice ? '"' + *z.pozice + '"' : QString("-"));
    return QTest::toString(t);
}
} // namespace qx

namespace {

// A batch in the order of ids: the order of its writes does not matter.
QList<ZmenaVysledku> podleId(QList<ZmenaVysledku> davka) {
    std::sort(davka.begin(), davka.end(), [](const auto& a, const auto& b) { return a.id < b.id; });
    return davka;
}

// The start-list table of one or more competitions, kept in memory, with a history that behaves
// like one transaction: the records of a write are kept only when the write succeeds.
class PametData : public qx::MereniData {
public:
    QList<DruzstvoRadek> tabulka;
    QList<QList<ZmenaVysledku>> davky; // every batch written
    int cteniSouteze = 0;
    QList<qx::ZaznamZmeny> historie; // every record kept
    int zapisyMimoHistorii = 0;      // writes that ran outside sHistorii
    bool vHistorii = false;
    bool selzeDavka = false; // zapisVysledky throws

    void sHistorii(const QList<qx::ZaznamZmeny>& zaznamy, const std::function<void()>& zapis) override {
        const QList<DruzstvoRadek> pred = tabulka;
        vHistorii = true;
        try {
            zapis();
        } catch (...) {
            vHistorii = false;
            tabulka = pred;
            throw;
        }
        vHistorii = false;
        historie += zaznamy;
    }
    std::optional<DruzstvoRadek> druzstvo(qint64 id) override {
        for (const DruzstvoRadek& r : tabulka) {
            if (r.id == id) return r;
        }
        return std::nullopt;
    }
    void zapis() {
        if (!vHistorii) ++zapisyMimoHistorii;
    }

    // CAST(poradi as unsigned): the leading digits, 0 without any.
    static qint64 cislo(const QString& poradi) {
        qint64 n = 0;
        for (QChar c : poradi) {
            if (!c.isDigit()) break;
            n = n * 10 + c.digitValue();
        }
        return n;
    }

    QList<DruzstvoRadek> listina(const QString& idSoutez, const QString& kategorie) override {
        QList<DruzstvoRadek> l;
        for (const DruzstvoRadek& r : tabulka) {
            if (QString::number(r.id_soutez) == idSoutez &&
                (kategorie.isEmpty() || r.kategorie.compare(kategorie, Qt::CaseInsensitive) == 0))
                l.append(r);
        }
        std::stable_sort(l.begin(), l.end(), [](const DruzstvoRadek& a, const DruzstvoRadek& b) {
            return cislo(a.poradi) < cislo(b.poradi);
        });
        return l;
    }
    QList<DruzstvoRadek> druzstvaSouteze(const QString& idSoutez) override {
        ++cteniSouteze;
        QList<DruzstvoRadek> l;
        for (const DruzstvoRadek& r : tabulka) {
            if (QString::number(r.id_soutez) == idSoutez) l.append(r);
        }
        return l;
    }
    void zapisVysledky(const QList<ZmenaVysledku>& zmeny) override {
        zapis();
        if (selzeDavka) throw std::runtime_error("write failed");
        davky.append(zmeny);
        for (const ZmenaVysledku& z : zmeny) {
            DruzstvoRadek& r = radek(z.id);
            if (z.celkem) r.celkem = *z.celkem;
            if (z.pozice) r.pozice = *z.pozice;
        }
    }
    void ulozUtok(qint64 id, Kolo kolo, const QString& terc, const QString& cas) override {
        zapis();
        DruzstvoRadek& r = radek(id);
        (kolo == Kolo::Prvni ? r.cas1R : r.cas2R) = terc;
        (kolo == Kolo::Prvni ? r.cas1C : r.cas2C) = cas;
    }
    void ulozStafetu(qint64 id, Kolo kolo, const QString& cas) override {
        zapis();
        DruzstvoRadek& r = radek(id);
        (kolo == Kolo::Prvni ? r.cas1S : r.cas2S) = cas;
    }
    void ulozMezicasy(qint64 id, const std::array<QString, 4>& m) override {
        zapis();
        DruzstvoRadek& r = radek(id);
        r.M1 = m[0];
        r.M2 = m[1];
        r.M3 = m[2];
        r.M4 = m[3];
    }

    DruzstvoRadek& radek(qint64 id) {
        for (DruzstvoRadek& r : tabulka) {
            if (r.id == id) return r;
        }
        qFatal("no row %lld", id);
    }
    DruzstvoRadek& pridej(qint64 id, const QString& poradi, const QString& nazev, const QString& kategorie,
                          qint64 soutez = 7) {
        DruzstvoRadek r;
        r.id = id;
        r.id_soutez = soutez;
        r.poradi = poradi;
        r.nazev_dr = nazev;
        r.nazev_okresu = QStringLiteral("Tábor");
        r.tym = QStringLiteral("A");
        r.kategorie = kategorie;
        tabulka.append(r);
        return tabulka.back();
    }
};

MereniKontext kontext(int nast = 10, Kolo kolo = Kolo::Prvni, const QString& kategorie = QString()) {
    MereniKontext ctx;
    ctx.idSoutez = QStringLiteral("7");
    ctx.kategorie = kategorie;
    ctx.nast = uint8_t(nast);
    ctx.verze = 454;
    ctx.kolo = kolo;
    return ctx;
}

// Five teams in start order 1..5 (stored out of order; categories muži, muži, ženy, muži, ženy),
// and a team of another competition.
void petTymu(PametData& d) {
    d.pridej(13, "3", "Chýnov", "ženy");
    d.pridej(11, "1", "Lhota", "muži");
    d.pridej(15, "5", "Radenín", "ženy");
    d.pridej(12, "2", "Planá", "muži");
    d.pridej(14, "4", "Sezimovo Ústí", "muži");
    d.pridej(21, "1", "Jinde", "muži", 8);
}

} // namespace

class TestSluzba : public QObject {
    Q_OBJECT
private slots:
    void aktualni_data();
    void aktualni();
    void prazdnaListina();
    void pohledTymu_data();
    void pohledTymu();
    void ulozeniCasu_data();
    void ulozeniCasu();
    void ulozeniPoradi();
    void prepocetJedenZapis();
    void prepocetJenZmeny();
    void prepocetKategorie();
    void chybnyCas();
    void poradiJenZmeny();
    void mezicasy();
    void historieUlozeni_data();
    void historieUlozeni();
    void historiePrepoctu();
    void historieMezicasu();
    void selhaniBezHistorie();
};

void TestSluzba::aktualni_data() {
    QTest::addColumn<QString>("kategorie");
    QTest::addColumn<int>("poradi");
    QTest::addColumn<int>("kolik");
    QTest::addColumn<int>("poradiPo");
    QTest::addColumn<qint64>("id");
    QTest::addColumn<QString>("pripravi");
    QTest::addColumn<bool>("prev");
    QTest::addColumn<bool>("next");

    QTest::newRow("first") << "" << 1 << 0 << 1 << qint64(11)
                           << "Připraví se: Planá - muži, Chýnov - ženy, Sezimovo Ústí - muži" << false
                           << true;
    QTest::newRow("second") << "" << 2 << 0 << 2 << qint64(12)
                            << "Připraví se: Chýnov - ženy, Sezimovo Ústí - muži, Radenín - ženy" << true
                            << true;
    QTest::newRow("fourth") << "" << 4 << 0 << 4 << qint64(14) << "Připraví se: Radenín - ženy" << true
                            << true;
    QTest::newRow("last") << "" << 5 << 0 << 5 << qint64(15) << "" << true << false;
    QTest::newRow("next") << "" << 1 << 1 << 2 << qint64(12)
                          << "Připraví se: Chýnov - ženy, Sezimovo Ústí - muži, Radenín - ženy" << true
                          << true;
    QTest::newRow("previous") << "" << 2 << -1 << 1 << qint64(11)
                              << "Připraví se: Planá - muži, Chýnov - ženy, Sezimovo Ústí - muži" << false
                              << true;
    QTest::newRow("beyond the end shows the last") << "" << 6 << 1 << 7 << qint64(15) << "" << true << true;
    QTest::newRow("category with fewer teams than poradi")
        << "ženy" << 4 << 0 << 4 << qint64(15) << "" << true << true;
    QTest::newRow("category, first") << "muži" << 1 << 0 << 1 << qint64(11)
                                     << "Připraví se: Planá - muži, Sezimovo Ústí - muži" << false << true;
    QTest::newRow("category, at its end") << "muži" << 3 << 0 << 3 << qint64(14) << "" << true << false;
}

void TestSluzba::aktualni() {
    QFETCH(QString, kategorie);
    QFETCH(int, poradi);
    QFETCH(int, kolik);
    QFETCH(int, poradiPo);
    QFETCH(qint64, id);
    QFETCH(QString, pripravi);
    QFETCH(bool, prev);
    QFETCH(bool, next);

    PametData d;
    petTymu(d);
    qx::MereniSluzba s(d);
    const qx::MereniPohled v = s.load_mereni(kontext(10, Kolo::Prvni, kategorie), kolik, poradi);
    QCOMPARE(poradi, poradiPo);
    QCOMPARE(v.id_akt, id);
    QCOMPARE(v.lbl_mereni_tym, d.radek(id).nazev_dr + " (A) - " + d.radek(id).kategorie);
    QCOMPARE(v.lbl_mereni_pripravi, pripravi);
    QCOMPARE(v.actualRadek2, pripravi);
    QCOMPARE(v.prevEnabled, prev);
    QCOMPARE(v.nextEnabled, next);
}

// A competition (or category) without teams: no current team, nothing for the timer console.
void TestSluzba::prazdnaListina() {
    PametData d;
    petTymu(d);
    qx::MereniSluzba s(d);
    int poradi = 2;
    const qx::MereniPohled v = s.load_mereni(kontext(10, Kolo::Prvni, "dorost"), 0, poradi);
    QCOMPARE(v.id_akt, qint64(0));
    QCOMPARE(v.lbl_mereni_tym, QString());
    QCOMPARE(v.lbl_mereni_poradi, QString());
    QCOMPARE(v.cas, QString());
    QCOMPARE(v.lbl_mereni_pripravi, QString());
    QCOMPARE(v.actualRadek1, QString());
    QCOMPARE(v.actualRadek2, QString());
    QCOMPARE(poradi, 2);
}

// The current team's labels, time box and splits by mode and phase.
void TestSluzba::pohledTymu_data() {
    QTest::addColumn<int>("nast");
    QTest::addColumn<Kolo>("kolo");
    QTest::addColumn<QString>("pozice");
    QTest::addColumn<QStringList>("casy"); // cas1R, cas1C, cas2R, cas2C, cas1S, cas2S
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("misto");
    QTest::addColumn<QString>("radek1");

    const QStringList vse{"17,53L", "18,01", "NP", "17,90", "19,20", "18,70"};
    const QString tym = "Lhota (A) - muži";
    QTest::newRow("attack, 1st") << 10 << Kolo::Prvni << "2." << vse << "17,53L 18,01"
                                 << "2. místo" << tym + " - 2. místo";
    QTest::newRow("attack, 2nd") << 12 << Kolo::Druhe << "2." << vse << "NP 17,90"
                                 << "2. místo" << tym + " - 2. místo";
    QTest::newRow("relay, 1st") << 1 << Kolo::Prvni << "" << vse << "19,20"
                                << "" << tym;
    QTest::newRow("relay, 2nd") << 4 << Kolo::Druhe << "" << vse << "18,70"
                                << "" << tym;
    QTest::newRow("attack without a time") << 10 << Kolo::Prvni << "" << QStringList(6) << " "
                                           << "" << tym;
    QTest::newRow("start-up mode is an attack") << 170 << Kolo::Prvni << "" << QStringList(6) << " "
                                                << "" << tym;
    QTest::newRow("relay without a time") << 2 << Kolo::Prvni << "" << QStringList(6) << ""
                                          << "" << tym;
}

void TestSluzba::pohledTymu() {
    QFETCH(int, nast);
    QFETCH(Kolo, kolo);
    QFETCH(QString, pozice);
    QFETCH(QStringList, casy);
    QFETCH(QString, box);
    QFETCH(QString, misto);
    QFETCH(QString, radek1);

    PametData d;
    petTymu(d);
    DruzstvoRadek& r = d.radek(11);
    r.pozice = pozice;
    r.cas1R = casy[0];
    r.cas1C = casy[1];
    r.cas2R = casy[2];
    r.cas2C = casy[3];
    r.cas1S = casy[4];
    r.cas2S = casy[5];
    r.M1 = "4,20";
    r.M2 = "10,00";
    r.M3 = "";
    r.M4 = "5,50";
    qx::MereniSluzba s(d);
    int poradi = 1;
    const qx::MereniPohled v = s.load_mereni(kontext(nast, kolo), 0, poradi);
    QCOMPARE(v.cas, box);
    QCOMPARE(v.lbl_mereni_poradi, misto);
    QCOMPARE(v.actualRadek1, radek1);
    QCOMPARE(v.mezicasy, (std::array<QString, 4>{"4,20", "10,00", "", "5,50"}));
}

// Saving the time box for team 12, which has every column filled before: the columns of the
// mode and phase get the entry's parts, the others stay; the team's new result and placing.
void TestSluzba::ulozeniCasu_data() {
    QTest::addColumn<int>("nast");
    QTest::addColumn<Kolo>("kolo");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("casy"); // cas1R, cas1C, cas2R, cas2C, cas1S, cas2S after
    QTest::addColumn<QString>("celkem");
    QTest::addColumn<QString>("pozice");
    QTest::addColumn<QString>("pozice11");

    // Before: 1st attack 16,00 (NP), 2nd attack 19,00, relay 0,10 and 0,20; team 11 has 016,50.
    QTest::newRow("attack, 1st") << 10 << Kolo::Prvni << "17,53L 18,01"
                                 << QStringList{"17,53L", "18,01", "P", "19,00", "0,10", "0,20"} << "018,11"
                                 << "2."
                                 << "1.";
    QTest::newRow("attack, 2nd") << 10 << Kolo::Druhe << "17,53L 18,01"
                                 << QStringList{"NP", "16,00", "17,53L", "18,01", "0,10", "0,20"} << "016,10"
                                 << "1."
                                 << "2.";
    QTest::newRow("attack NP") << 12 << Kolo::Prvni << "NP 15,00"
                               << QStringList{"NP", "15,00", "P", "19,00", "0,10", "0,20"} << "015,10"
                               << "1."
                               << "2.";
    QTest::newRow("attack, empty box")
        << 10 << Kolo::Prvni << "" << QStringList{"", "", "P", "19,00", "0,10", "0,20"} << ""
        << ""
        << "1.";
    QTest::newRow("attack, the view of a team without time")
        << 10 << Kolo::Prvni << " " << QStringList{"", "", "P", "19,00", "0,10", "0,20"} << ""
        << ""
        << "1.";
    QTest::newRow("attack, bare time")
        << 10 << Kolo::Prvni << "18,01" << QStringList{"", "18,01", "P", "19,00", "0,10", "0,20"} << "018,11"
        << "2."
        << "1.";
    QTest::newRow("relay with lane") << 2 << Kolo::Prvni << "2 19,07"
                                     << QStringList{"NP", "16,00", "P", "19,00", "19,07", "0,20"} << "000,20"
                                     << "1."
                                     << "2.";
    QTest::newRow("relay typed") << 2 << Kolo::Druhe << "19,07"
                                 << QStringList{"NP", "16,00", "P", "19,00", "0,10", "19,07"} << "000,10"
                                 << "1."
                                 << "2.";
    QTest::newRow("relay, empty box")
        << 1 << Kolo::Prvni << "" << QStringList{"NP", "16,00", "P", "19,00", "", "0,20"} << "000,20"
        << "1."
        << "2.";
}

void TestSluzba::ulozeniCasu() {
    QFETCH(int, nast);
    QFETCH(Kolo, kolo);
    QFETCH(QString, text);
    QFETCH(QStringList, casy);
    QFETCH(QString, celkem);
    QFETCH(QString, pozice);
    QFETCH(QString, pozice11);

    PametData d;
    petTymu(d);
    DruzstvoRadek& r = d.radek(12);
    r.cas1R = "NP";
    r.cas1C = "16,00";
    r.cas2R = "P";
    r.cas2C = "19,00";
    r.cas1S = "0,10";
    r.cas2S = "0,20";
    r.celkem = "016,10";
    r.pozice = "1.";
    d.radek(11).cas1C = "16,50";
    d.radek(11).celkem = "016,50";
    d.radek(11).pozice = "2.";
    qx::MereniSluzba s(d);
    const qx::Prepocet p = s.save_cas(kontext(nast, kolo), 12, text);

    const DruzstvoRadek& po = d.radek(12);
    QCOMPARE((QStringList{po.cas1R, po.cas1C, po.cas2R, po.cas2C, po.cas1S, po.cas2S}), casy);
    QCOMPARE(po.celkem, celkem);
    QCOMPARE(po.pozice, pozice);
    QVERIFY(p.chybne.isEmpty());
    // Team 11 keeps its stored result and is ranked with it.
    QCOMPARE(d.radek(11).celkem, QString("016,50"));
    QCOMPARE(d.radek(11).pozice, pozice11);
    QCOMPARE(p.vysledky.size(), celkem.isEmpty() ? 1 : 2);
}

// After a save the results grid shows every placed team of the competition with its result in
// display form; teams without a result are not in it and have no placing.
void TestSluzba::ulozeniPoradi() {
    PametData d;
    petTymu(d);
    d.radek(11).cas1C = "17,00";
    d.radek(13).cas1C = "17,50";
    d.radek(14).cas1C = "18,00";
    d.radek(15).pozice = "3."; // an old placing of a team without a time
    qx::MereniSluzba s(d);
    const MereniKontext ctx = kontext();
    s.zmena_nast(ctx);
    d.davky.clear();

    const qx::Prepocet p = s.save_cas(ctx, 12, "17,53L 17,50");
    const QList<qx::VysledekRadek> ocekavane{
        {"1.", "Lhota", "Tábor", "A", "muži", "17,00", 11},
        {"2.", "Chýnov", "Tábor", "A", "ženy", "17,50", 13},
        {"2.", "Planá", "Tábor", "A", "muži", "17,50", 12},
        {"4.", "Sezimovo Ústí", "Tábor", "A", "muži", "18,00", 14},
    };
    QCOMPARE(p.vysledky, ocekavane);
    QCOMPARE(d.radek(15).pozice, QString());
    QCOMPARE(d.radek(21).pozice, QString()); // the other competition is untouched
    // One batch: team 12's result and placing, team 14's placing moved from 3. to 4.
    QCOMPARE(d.davky.size(), 1);
    QCOMPARE(podleId(d.davky[0]),
             (QList<ZmenaVysledku>{{12, QString("017,50"), QString("2.")}, {14, {}, QString("4.")}}));
}

// zmena_nast reads the competition once and writes one batch.
void TestSluzba::prepocetJedenZapis() {
    PametData d;
    petTymu(d);
    d.radek(11).cas1C = "18,00";
    d.radek(12).cas1C = "17,00";
    d.radek(14).cas1C = "17,00";
    d.radek(21).cas1C = "10,00";
    qx::MereniSluzba s(d);
    const qx::Prepocet p = s.zmena_nast(kontext());
    QCOMPARE(d.cteniSouteze, 1);
    QCOMPARE(d.davky.size(), 1);
    QCOMPARE(d.radek(11).celkem, QString("018,00"));
    QCOMPARE(d.radek(11).pozice, QString("3."));
    QCOMPARE(d.radek(12).pozice, QString("1."));
    QCOMPARE(d.radek(14).pozice, QString("1."));
    QCOMPARE(d.radek(21).celkem, QString()); // another competition
    QCOMPARE(p.vysledky.size(), 3);
    QVERIFY(p.chybne.isEmpty());
}

// Only values that change are written: a second recomputation writes nothing; after one time
// changes, only the values that differ.
void TestSluzba::prepocetJenZmeny() {
    PametData d;
    petTymu(d);
    d.radek(11).cas1C = "18,00";
    d.radek(12).cas1C = "17,00";
    d.radek(13).cas1C = "17,50";
    qx::MereniSluzba s(d);
    const MereniKontext ctx = kontext();
    s.zmena_nast(ctx);
    d.davky.clear();

    s.zmena_nast(ctx);
    QCOMPARE(d.davky.size(), 0);

    d.radek(11).cas1C = "16,00"; // Lhota moves from 3. to 1.
    s.zmena_nast(ctx);
    QCOMPARE(d.davky.size(), 1);
    QCOMPARE(podleId(d.davky[0]),
             (QList<ZmenaVysledku>{
                 {11, QString("016,00"), QString("1.")}, {12, {}, QString("2.")}, {13, {}, QString("3.")}}));

    // A result that changes width (the version changed) is rewritten; the placings stay.
    d.davky.clear();
    MereniKontext tisiciny = ctx;
    tisiciny.verze = 466;
    s.zmena_nast(tisiciny);
    QCOMPARE(d.davky.size(), 1);
    QCOMPARE(podleId(d.davky[0]),
             (QList<ZmenaVysledku>{
                 {11, QString("016,000"), {}}, {12, QString("017,000"), {}}, {13, QString("017,500"), {}}}));
}

// With a category chosen, every result of the competition is recomputed but only that category
// is ranked: the other category's teams keep their placings, even those whose result changed,
// and lose them only when they lose their result.
void TestSluzba::prepocetKategorie() {
    PametData d;
    petTymu(d);
    d.radek(11).cas1C = "18,00";
    d.radek(12).cas1C = "17,00";
    d.radek(13).cas1C = "16,00"; // ženy, stored under an older computation
    d.radek(13).celkem = "020,00";
    d.radek(13).pozice = "2.";
    d.radek(15).celkem = "015,00"; // ženy, its time has been cleared since
    d.radek(15).pozice = "1.";
    qx::MereniSluzba s(d);
    const qx::Prepocet p = s.zmena_nast(kontext(10, Kolo::Prvni, "muži"));

    QCOMPARE(d.radek(11).pozice, QString("2."));
    QCOMPARE(d.radek(12).pozice, QString("1."));
    QCOMPARE(d.radek(14).pozice, QString());
    QCOMPARE(d.radek(13).celkem, QString("016,00"));
    QCOMPARE(d.radek(13).pozice, QString("2."));
    QCOMPARE(d.radek(15).celkem, QString());
    QCOMPARE(d.radek(15).pozice, QString());
    QCOMPARE(p.vysledky.size(), 2);
}

// A stored time that is not a number with a decimal comma leaves only its team without a result;
// the others are computed and ranked, and the team comes back for one message.
void TestSluzba::chybnyCas() {
    PametData d;
    petTymu(d);
    d.radek(11).cas1C = "18,00";
    d.radek(12).cas1C = "17.00";
    d.radek(12).celkem = "017,00";
    d.radek(12).pozice = "1.";
    d.radek(13).cas1C = "17,50";
    d.radek(14).cas1C = "16,00";
    d.radek(14).cas1S = "abc";
    qx::MereniSluzba s(d);
    const qx::Prepocet p = s.zmena_nast(kontext());

    QCOMPARE(d.radek(12).celkem, QString());
    QCOMPARE(d.radek(12).pozice, QString());
    QCOMPARE(d.radek(14).celkem, QString());
    QCOMPARE(d.radek(13).pozice, QString("1."));
    QCOMPARE(d.radek(11).pozice, QString("2."));
    QCOMPARE(p.vysledky.size(), 2);
    QCOMPARE(p.chybne, (QList<qx::ChybnyCas>{{12, "Planá (A) - muži", {"17.00"}},
                                             {14, "Sezimovo Ústí (A) - muži", {"abc"}}}));
    const QString zprava = qx::zpravaChybnychCasu(p.chybne);
    QVERIFY(zprava.contains("Planá (A) - muži: „17.00“"));
    QVERIFY(zprava.contains("Sezimovo Ústí (A) - muži: „abc“"));
    QCOMPARE(qx::zpravaChybnychCasu({}), QString());

    // Saving a time for a team whose other stored time is bad reports it too.
    const qx::Prepocet u = s.save_cas(kontext(), 14, "NP 15,00");
    QCOMPARE(u.chybne, (QList<qx::ChybnyCas>{{14, "Sezimovo Ústí (A) - muži", {"abc"}}}));
    QCOMPARE(d.radek(14).celkem, QString());
}

// load_mereni_poradi ranks by the stored results, writes only changed placings and shows the
// results in the chosen display form.
void TestSluzba::poradiJenZmeny() {
    PametData d;
    petTymu(d);
    d.radek(11).celkem = "0016,069";
    d.radek(11).pozice = "1.";
    d.radek(12).celkem = "016,06";
    d.radek(12).pozice = "1.";
    d.radek(13).pozice = "4.";
    qx::MereniSluzba s(d);
    MereniKontext ctx = kontext();

    const QList<qx::VysledekRadek> setiny = s.load_mereni_poradi(ctx);
    QCOMPARE(setiny.size(), 2);
    QCOMPARE(setiny[0].cas, QString("16,06")); // 0016,069 cut, and first in text order
    QCOMPARE(setiny[0].id, qint64(11));
    QCOMPARE(setiny[1].cas, QString("16,06"));
    QCOMPARE(setiny[1].pozice, QString("2."));
    QCOMPARE(d.davky.size(), 1);
    QCOMPARE(podleId(d.davky[0]), (QList<ZmenaVysledku>{{12, {}, QString("2.")}, {13, {}, QString()}}));

    d.davky.clear();
    ctx.format = 1;
    const QList<qx::VysledekRadek> tisiciny = s.load_mereni_poradi(ctx);
    QCOMPARE(tisiciny[0].cas, QString("16,069"));
    QCOMPARE(tisiciny[1].cas, QString("16,060"));
    QCOMPARE(d.davky.size(), 0);
}

void TestSluzba::mezicasy() {
    PametData d;
    petTymu(d);
    qx::MereniSluzba s(d);
    s.ulozMezicasy(13, {"4,20", "M 10,00", "", "5,50"});
    const DruzstvoRadek& r = d.radek(13);
    QCOMPARE((QStringList{r.M1, r.M2, r.M3, r.M4}), (QStringList{"4,20", "M 10,00", "", "5,50"}));
    QVERIFY(d.davky.isEmpty());
}

namespace {

// The records as "team column old>new cause", in the order they were made.
QStringList zaznamy(const QList<qx::ZaznamZmeny>& h) {
    QStringList out;
    for (const qx::ZaznamZmeny& z : h)
        out << QString("%1 %2 %3>%4 %5")
                   .arg(z.id_druzstva)
                   .arg(z.sloupec, z.stara, z.nova, qx::pricinaKod(z.pricina));
    return out;
}

// Teams 11, 13 and 14 with times 17,00, 17,50 and 18,00 already ranked 1., 2., 3.; team 12 has no
// time. The history is empty.
void seradenaTrojice(PametData& d, qx::MereniSluzba& s) {
    petTymu(d);
    d.radek(11).cas1C = "17,00";
    d.radek(13).cas1C = "17,50";
    d.radek(14).cas1C = "18,00";
    s.zmena_nast(kontext());
    d.historie.clear();
}

} // namespace

// Saving a time records the team's own changed columns under the cause given (a received entry
// or a typed text) and the placings it moved for other teams as a recomputation; saving the same
// time again records nothing. Every write runs inside the history's transaction.
void TestSluzba::historieUlozeni_data() {
    QTest::addColumn<qx::Pricina>("pricina");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("ocekavane");
    QTest::newRow("received entry") << qx::Pricina::Ulozeni << "17,53L 17,50"
                                    << QStringList{"12 cas1R >17,53L ulozeni", "12 cas1C >17,50 ulozeni",
                                                   "12 celkem >017,50 ulozeni", "12 pozice >2. ulozeni",
                                                   "14 pozice 3.>4. prepocet"};
    QTest::newRow("typed") << qx::Pricina::Rucne << "16,90"
                           << QStringList{"12 cas1C >16,90 rucne",    "12 celkem >016,90 rucne",
                                          "12 pozice >1. rucne",      "11 pozice 1.>2. prepocet",
                                          "13 pozice 2.>3. prepocet", "14 pozice 3.>4. prepocet"};
}

void TestSluzba::historieUlozeni() {
    QFETCH(qx::Pricina, pricina);
    QFETCH(QString, text);
    QFETCH(QStringList, ocekavane);
    PametData d;
    qx::MereniSluzba s(d);
    seradenaTrojice(d, s);

    s.save_cas(kontext(), 12, text, pricina);
    QStringList zapsane = zaznamy(d.historie);
    // Other teams' records come in table order; compare them as a set.
    std::sort(zapsane.begin(), zapsane.end());
    std::sort(ocekavane.begin(), ocekavane.end());
    QCOMPARE(zapsane, ocekavane);
    for (const qx::ZaznamZmeny& z : d.historie)
        QCOMPARE(z.id_soutez, qint64(7));

    d.historie.clear();
    s.save_cas(kontext(), 12, text, pricina);
    QCOMPARE(zaznamy(d.historie), QStringList());
    QCOMPARE(d.zapisyMimoHistorii, 0);
}

// A recomputation records every result and placing it changes as such, and nothing when nothing
// changes.
void TestSluzba::historiePrepoctu() {
    PametData d;
    petTymu(d);
    d.radek(11).cas1C = "18,00";
    d.radek(12).cas1C = "17,00";
    d.radek(12).celkem = "099,00"; // stored under an older computation
    d.radek(15).pozice = "1.";     // a placing without a result
    qx::MereniSluzba s(d);
    s.zmena_nast(kontext());
    // In the table's order (13, 11, 15, 12, 14), each row's columns in the table's order.
    QCOMPARE(zaznamy(d.historie),
             (QStringList{"11 celkem >018,00 prepocet", "11 pozice >2. prepocet", "15 pozice 1.> prepocet",
                          "12 celkem 099,00>017,00 prepocet", "12 pozice >1. prepocet"}));

    d.historie.clear();
    s.zmena_nast(kontext());
    s.load_mereni_poradi(kontext());
    QCOMPARE(d.historie.size(), 0);

    d.radek(11).celkem = "016,00"; // ranked from the stored results: Lhota moves up
    s.load_mereni_poradi(kontext());
    QCOMPARE(zaznamy(d.historie), (QStringList{"11 pozice 2.>1. prepocet", "12 pozice 1.>2. prepocet"}));
    QCOMPARE(d.zapisyMimoHistorii, 0);
}

// Saved splits are recorded as a manual change, only the fields that changed.
void TestSluzba::historieMezicasu() {
    PametData d;
    petTymu(d);
    d.radek(13).M1 = "4,20";
    d.radek(13).M3 = "7,00";
    qx::MereniSluzba s(d);
    s.ulozMezicasy(13, {"4,20", "10,00", "", ""});
    QCOMPARE(zaznamy(d.historie), (QStringList{"13 M2 >10,00 rucne", "13 M3 7,00> rucne"}));
    QCOMPARE(d.zapisyMimoHistorii, 0);
}

// A save whose results batch fails takes its time back and records nothing: the time, the result
// and the placings are written in one go with their records.
void TestSluzba::selhaniBezHistorie() {
    PametData d;
    qx::MereniSluzba s(d);
    seradenaTrojice(d, s);
    d.selzeDavka = true;
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, s.save_cas(kontext(), 12, "17,53L 16,00"));
    QCOMPARE(d.historie.size(), 0);
    QCOMPARE(d.radek(12).cas1C, QString());
    QCOMPARE(d.radek(12).cas1R, QString());
    QCOMPARE(d.radek(11).pozice, QString("1."));
}

QTEST_APPLESS_MAIN(TestSluzba)
#include "tst_zap_sluzba.moc"
