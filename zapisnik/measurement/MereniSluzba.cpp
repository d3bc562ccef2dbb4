#include "measurement/MereniSluzba.h"

#include "measurement/Casy.h"
#include "measurement/Kontrola.h"
#include "measurement/Poradi.h"
#include "measurement/Vypocet.h"

#include <QHash>

namespace qx {

namespace {

QString popisDruzstva(const DruzstvoRadek& r) {
    return r.nazev_dr + QStringLiteral(" (") + r.tym + QStringLiteral(") - ") + r.kategorie;
}

// The change of row `id` in the batch, added when the row has none yet.
ZmenaVysledku& zmenaRadku(QList<ZmenaVysledku>& zmeny, qint64 id) {
    for (ZmenaVysledku& z : zmeny) {
        if (z.id == id) return z;
    }
    zmeny.append(ZmenaVysledku{id, std::nullopt, std::nullopt});
    return zmeny.back();
}

// Sets row r's result to `celkem`, noting a change in the batch; records a team whose stored
// time cannot be read.
void prepocti(DruzstvoRadek& r, const MereniKontext& ctx, QList<ZmenaVysledku>& zmeny,
              QList<ChybnyCas>& chybne) {
    const QStringList spatne = chybneCasy(r, ctx);
    if (!spatne.isEmpty()) chybne.append(ChybnyCas{r.id, popisDruzstva(r), spatne});
    const QString celkem = celkemRadku(r, ctx);
    if (celkem != r.celkem) {
        zmenaRadku(zmeny, r.id).celkem = celkem;
        r.celkem = celkem;
    }
}

// The records of rows `puvodni` becoming rows `nove` (the same rows in the same order) with the
// batch applied: row `idVlastni` under `vlastni`, every other row as a recomputation.
QList<ZaznamZmeny> zaznamyZmen(const QList<DruzstvoRadek>& puvodni, const QList<DruzstvoRadek>& nove,
                               const QList<ZmenaVysledku>& zmeny, qint64 idVlastni = 0,
                               Pricina vlastni = Pricina::Prepocet) {
    QHash<qint64, const ZmenaVysledku*> podleId;
    for (const ZmenaVysledku& z : zmeny)
        podleId.insert(z.id, &z);
    QList<ZaznamZmeny> zaznamy;
    for (qsizetype i = 0; i < puvodni.size() && i < nove.size(); ++i) {
        DruzstvoRadek po = nove[i];
        if (const ZmenaVysledku* z = podleId.value(po.id)) po = sVysledkem(po, *z);
        zaznamy += rozdilRadku(puvodni[i], po, po.id == idVlastni ? vlastni : Pricina::Prepocet);
    }
    return zaznamy;
}

} // namespace

QString zpravaChybnychCasu(const QList<ChybnyCas>& chybne) {
    if (chybne.isEmpty()) return QString();
    QString zprava = QStringLiteral("Tato družstva zůstala bez výsledku, protože jejich uložený čas není "
                                    "číslo s desetinnou čárkou:");
    for (const ChybnyCas& c : chybne) {
        QStringList texty;
        for (const QString& t : c.texty)
            texty.append(QStringLiteral("„") + t + QStringLiteral("“"));
        zprava += u'\n' + c.druzstvo + QStringLiteral(": ") + texty.join(QStringLiteral(", "));
    }
    return zprava;
}

MereniPohled MereniSluzba::load_mereni(const MereniKontext& ctx, int kolik, int& poradi) {
    poradi += kolik;
    const QList<DruzstvoRadek> radky = data_.listina(ctx.idSoutez, ctx.kategorie);
    const qsizetype pocet = radky.size();
    MereniPohled v;
    // Row numbers from 1: the current row is `poradi`, at most the last row, at least the first.
    qsizetype akt = 1;
    while (akt < poradi && akt < pocet)
        ++akt;
    if (pocet > 0) {
        const DruzstvoRadek& r = radky[akt - 1];
        v.id_akt = r.id;
        v.lbl_mereni_tym = popisDruzstva(r);
        if (!r.pozice.isEmpty()) v.lbl_mereni_poradi = r.pozice + QStringLiteral(" místo");
        if (jeUtok(ctx.nast))
            v.cas = ctx.kolo == Kolo::Prvni ? r.cas1R + u' ' + r.cas1C : r.cas2R + u' ' + r.cas2C;
        else
            v.cas = ctx.kolo == Kolo::Prvni ? r.cas1S : r.cas2S;
        v.mezicasy = {r.M1, r.M2, r.M3, r.M4};
        v.radek = r;
    }
    if (pocet > poradi) v.lbl_mereni_pripravi = QStringLiteral("Připraví se: ");
    v.prevEnabled = poradi != 1;
    v.nextEnabled = poradi != pocet;
    for (qsizetype i = akt; i < pocet && i < akt + 3; ++i) {
        if (i > akt) v.lbl_mereni_pripravi += QStringLiteral(", ");
        v.lbl_mereni_pripravi += radky[i].nazev_dr + QStringLiteral(" - ") + radky[i].kategorie;
    }
    v.actualRadek1 = v.lbl_mereni_tym;
    if (!v.lbl_mereni_poradi.isEmpty()) v.actualRadek1 += QStringLiteral(" - ") + v.lbl_mereni_poradi;
    v.actualRadek2 = v.lbl_mereni_pripravi;
    return v;
}

QList<VysledekRadek> MereniSluzba::seradit(const MereniKontext& ctx, const QList<DruzstvoRadek>& radky,
                                           QList<ZmenaVysledku>& zmeny) {
    const Zarazeni z = zaradit(radky, ctx.kategorie);
    for (qsizetype i = 0; i < radky.size(); ++i) {
        if (z.pozice[i] != radky[i].pozice) zmenaRadku(zmeny, radky[i].id).pozice = z.pozice[i];
    }
    QList<VysledekRadek> vysledky;
    vysledky.reserve(z.serazene.size());
    for (qsizetype i : z.serazene) {
        const DruzstvoRadek& r = radky[i];
        vysledky.append(VysledekRadek{z.pozice[i], r.nazev_dr, r.nazev_okresu, r.tym, r.kategorie,
                                      zobrazCas(r.celkem, ctx.format), r.id});
    }
    return vysledky;
}

void MereniSluzba::zapisVysledky(const QList<DruzstvoRadek>& puvodni, const QList<ZmenaVysledku>& zmeny) {
    if (zmeny.isEmpty()) return;
    const QList<ZaznamZmeny> zaznamy = zaznamyZmen(puvodni, puvodni, zmeny);
    data_.sHistorii(zaznamy, [&] { data_.zapisVysledky(zmeny); });
}

// Every operation below reads, computes and writes inside one unit of work of the competition:
// two computers recomputing at once queue one after the other, and neither writes placings
// computed from rows the other has changed meanwhile.

QList<VysledekRadek> MereniSluzba::load_mereni_poradi(const MereniKontext& ctx) {
    QList<VysledekRadek> vysledky;
    data_.transakce(ctx.idSoutez, [&] {
        const QList<DruzstvoRadek> radky = data_.druzstvaSouteze(ctx.idSoutez);
        QList<ZmenaVysledku> zmeny;
        vysledky = seradit(ctx, radky, zmeny);
        zapisVysledky(radky, zmeny);
    });
    return vysledky;
}

QList<VysledekRadek> MereniSluzba::vysledky(const MereniKontext& ctx) {
    QList<ZmenaVysledku> zmeny;
    return seradit(ctx, data_.druzstvaSouteze(ctx.idSoutez), zmeny);
}

Prepocet MereniSluzba::zmena_nast(const MereniKontext& ctx) {
    Prepocet p;
    data_.transakce(ctx.idSoutez, [&] {
        p = Prepocet{};
        const QList<DruzstvoRadek> puvodni = data_.druzstvaSouteze(ctx.idSoutez);
        QList<DruzstvoRadek> radky = puvodni;
        QList<ZmenaVysledku> zmeny;
        for (DruzstvoRadek& r : radky)
            prepocti(r, ctx, zmeny, p.chybne);
        p.vysledky = seradit(ctx, radky, zmeny);
        zapisVysledky(puvodni, zmeny);
    });
    return p;
}

Prepocet MereniSluzba::save_cas(const MereniKontext& ctx, qint64 id_akt, const QString& text, Pricina pricina,
                                const std::optional<DruzstvoRadek>& videno) {
    Prepocet p;
    data_.transakce(ctx.idSoutez, [&] {
        p = Prepocet{};
        // The rows are read first: the new time, the team's result and the new placings are
        // worked out on them, and everything is written at once with the history of the old
        // values.
        const QList<DruzstvoRadek> puvodni = data_.druzstvaSouteze(ctx.idSoutez);
        QList<DruzstvoRadek> radky = puvodni;
        const bool utok = jeUtok(ctx.nast);
        const qsizetype mezera = text.indexOf(u' ');
        const QString terc = mezera < 0 ? QString() : text.left(mezera);
        const QString cas = zaPrvniMezerou(text).toString();
        QList<ZmenaVysledku> zmeny;
        for (DruzstvoRadek& r : radky) {
            if (r.id != id_akt) continue;
            if (utok) {
                (ctx.kolo == Kolo::Prvni ? r.cas1R : r.cas2R) = terc;
                (ctx.kolo == Kolo::Prvni ? r.cas1C : r.cas2C) = cas;
            } else {
                (ctx.kolo == Kolo::Prvni ? r.cas1S : r.cas2S) = cas;
            }
            prepocti(r, ctx, zmeny, p.chybne);
        }
        p.vysledky = seradit(ctx, radky, zmeny);
        const QList<ZaznamZmeny> zaznamy = zaznamyZmen(puvodni, radky, zmeny, id_akt, pricina);
        data_.sHistorii(zaznamy, [&] {
            // With the row as the operator saw it, the time is stored only over the one seen.
            if (utok && videno)
                data_.ulozUtok(*videno, ctx.kolo, terc, cas);
            else if (utok)
                data_.ulozUtok(id_akt, ctx.kolo, terc, cas);
            else if (videno)
                data_.ulozStafetu(*videno, ctx.kolo, cas);
            else
                data_.ulozStafetu(id_akt, ctx.kolo, cas);
            if (!zmeny.isEmpty()) data_.zapisVysledky(zmeny);
        });
    });
    return p;
}

void MereniSluzba::ulozMezicasy(qint64 id, const std::array<QString, 4>& mezicasy,
                                const std::optional<DruzstvoRadek>& videno) {
    QList<ZaznamZmeny> zaznamy;
    if (const std::optional<DruzstvoRadek> stary = data_.druzstvo(id)) {
        DruzstvoRadek novy = *stary;
        novy.M1 = mezicasy[0];
        novy.M2 = mezicasy[1];
        novy.M3 = mezicasy[2];
        novy.M4 = mezicasy[3];
        zaznamy = rozdilRadku(*stary, novy, Pricina::Rucne);
    }
    data_.sHistorii(zaznamy, [&] {
        if (videno)
            data_.ulozMezicasy(*videno, mezicasy);
        else
            data_.ulozMezicasy(id, mezicasy);
    });
}

} // namespace qx
