#include "web/Snimek.h"

#include "measurement/Casy.h"

namespace qx {

namespace {

SnimekStart startovni(const DruzstvoRadek& r) {
    return SnimekStart{r.poradi, r.nazev_dr, r.nazev_okresu, r.tym, r.kategorie};
}

} // namespace

Snimek sestavSnimek(const VstupSnimku& v) {
    Snimek s;
    s.soutez = v.soutez;
    s.format = v.format;
    s.radek1 = v.radek1;
    s.radek2 = v.radek2;
    s.aktualniTym = v.aktualniTym;
    s.aktualniUmisteni = v.aktualniUmisteni;
    s.prijateCasy = v.prijateCasy;

    // Categories in the order of their first result in the grid; the grid's order within each.
    for (const VysledekRadek& r : v.vysledky) {
        if (r.cas.isEmpty()) continue; // no result yet: not on the results page
        auto k = std::find_if(s.kategorie.begin(), s.kategorie.end(),
                              [&](const SnimekKategorie& x) { return x.nazev == r.kategorie; });
        if (k == s.kategorie.end()) {
            s.kategorie.append(SnimekKategorie{r.kategorie, {}});
            k = s.kategorie.end() - 1;
        }
        k->vysledky.append(
            SnimekVysledek{r.pozice, r.nazev_dr, r.nazev_okresu, r.tym, r.kategorie, r.cas, r.id});
    }

    qsizetype akt = -1;
    for (qsizetype i = 0; i < v.listina.size(); ++i) {
        s.startovka.append(startovni(v.listina[i]));
        if (v.listina[i].id == v.idAkt) akt = i;
    }
    if (akt >= 0) {
        for (qsizetype i = akt + 1; i < v.listina.size() && s.dalsi.size() < 3; ++i)
            s.dalsi.append(startovni(v.listina[i]));
    }
    // The last saved results as the grid shows them now (placings after re-ranking); a team no
    // longer in the grid or without a result is skipped.
    for (const qint64 id : v.ulozene) {
        if (s.posledni.size() == 5) break;
        const auto r = std::find_if(v.vysledky.begin(), v.vysledky.end(),
                                    [&](const VysledekRadek& x) { return x.id == id; });
        if (r != v.vysledky.end() && !r->cas.isEmpty())
            s.posledni.append(
                SnimekVysledek{r->pozice, r->nazev_dr, r->nazev_okresu, r->tym, r->kategorie, r->cas, r->id});
    }
    return s;
}

void UlozeneCasy::zaznamenej(qint64 id) {
    idcka_.removeAll(id);
    idcka_.prepend(id);
    if (idcka_.size() > kPamet) idcka_.resize(kPamet);
}

std::optional<double> casJakoCislo(const QString& cas) {
    const std::optional<qint64> t = ctiCas(cas);
    if (!t) return std::nullopt;
    return double(*t) / 1000.0;
}

std::optional<int> poziceJakoCislo(const QString& pozice) {
    QString t = pozice.trimmed();
    if (t.endsWith(u'.')) t.chop(1);
    bool ok = false;
    const int n = t.toInt(&ok);
    if (!ok || n <= 0) return std::nullopt;
    return n;
}

} // namespace qx
