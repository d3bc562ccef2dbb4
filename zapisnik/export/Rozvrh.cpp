#include "export/Rozvrh.h"

#include "measurement/Casy.h"

#include <QRect>

#include <algorithm>

namespace qx {

namespace rozvrh {

QString autorskyRadek() {
    return QStringLiteral("Zpracováno programem Časomíry QX");
}
QString zapatiLeve() {
    return QStringLiteral("Časomíry QX – časomíra a výsledky hasičského sportu");
}
QString zapatiPrave() {
    return QStringLiteral("svobodný software");
}
QString soutezNenalezena() {
    return QStringLiteral("Soutěž nebyla nalezena");
}

} // namespace rozvrh

using namespace rozvrh;

namespace {

// Font sizes and character widths of the header lines.
constexpr int kPismo = 10;
constexpr int kPismoSoutez = 16;
constexpr int kPismoMisto = 11;
constexpr int kZnakSoutez = 10;
constexpr int kZnakMisto = 7;

// Widths of the results table's columns.
constexpr int kSirkaPoradi = 30;
constexpr int kSirkaNazev = 170;
constexpr int kSirkaCasu = 50;
constexpr int kSirkaCelkem = 60;

} // namespace

Tabulka tabulka(Pohled pohled, const MereniKontext& k) {
    Tabulka t;
    const bool bezKategorie = k.kategorie.isEmpty();
    auto pridej = [&t](int sirka, const QString& titulek, Sloupec::Obsah obsah, int odsazeni = kOdsazeni,
                       int mezicas = 0) {
        Sloupec s;
        s.offset = t.sloupce.isEmpty() ? 0 : t.sloupce.last().offset + t.sloupce.last().sirka;
        s.sirka = sirka;
        s.odsazeni = odsazeni;
        s.titulek = titulek;
        s.obsah = obsah;
        s.mezicas = mezicas;
        t.sloupce.append(s);
    };

    if (pohled == Pohled::Listina) {
        t.sirka = 400 + (bezKategorie ? 50 : 0);
        pridej(50, QStringLiteral("Poř."), Sloupec::Obsah::Poradi);
        pridej(300, QStringLiteral("Název SDH"), Sloupec::Obsah::Nazev);
        pridej(50, QStringLiteral("Tým"), Sloupec::Obsah::Tym);
        if (bezKategorie) pridej(50, QStringLiteral("Kat."), Sloupec::Obsah::Kategorie);
        return t;
    }

    const bool utok = !jeStafeta(k.nast); // the attack: low four bits above 4
    const bool druhe = k.kolo == Kolo::Druhe;
    const bool stafeta = k.stafetaExport;
    const bool mezicasy = utok && !druhe && k.mezicasy && !stafeta;

    int a = 0;
    if (utok) {
        a = 50;
        if (mezicasy) a += 200;
        if (stafeta) a += 50;
        if (druhe) a += 150;
    }
    t.sirka = 320 + (bezKategorie ? 50 : 0) + (stafeta ? 100 : 0) + a + 50;

    pridej(kSirkaPoradi, QStringLiteral("Poř."), Sloupec::Obsah::Poradi, 3);
    pridej(kSirkaNazev, QStringLiteral("Název SDH"), Sloupec::Obsah::Nazev);
    pridej(kSirkaCasu, QStringLiteral("Tým"), Sloupec::Obsah::Tym);
    if (bezKategorie) pridej(kSirkaCasu, QStringLiteral("Kat."), Sloupec::Obsah::Kategorie);
    if (stafeta) {
        pridej(kSirkaCasu, QStringLiteral("St. 1"), Sloupec::Obsah::Stafeta1);
        pridej(kSirkaCasu, QStringLiteral("St. 2"), Sloupec::Obsah::Stafeta2);
    }
    if (mezicasy) {
        for (int i = 0; i < 4; ++i)
            pridej(kSirkaCasu, k.mezicasTitulky.value(i), Sloupec::Obsah::Mezicas, kOdsazeni, i);
    }
    if (utok) {
        pridej(kSirkaCasu, QStringLiteral("1. terč"), Sloupec::Obsah::Terc1R);
        if (druhe || stafeta) pridej(kSirkaCasu, QStringLiteral("2. terč"), Sloupec::Obsah::Cas1C);
        if (druhe) {
            pridej(kSirkaCasu, QStringLiteral("1. terč"), Sloupec::Obsah::Terc2R);
            pridej(kSirkaCasu, QStringLiteral("2. terč"), Sloupec::Obsah::Cas2C);
        }
    }
    pridej(kSirkaCelkem, QStringLiteral("Výsl. čas"), Sloupec::Obsah::Celkem);
    // "Umístění" takes the rest of the band: 60, or 110 in the second phase of an attack with the
    // relay export on, whose band counts the second-target column twice.
    const int zbytek = t.sirka - (t.sloupce.last().offset + t.sloupce.last().sirka);
    pridej(zbytek, QStringLiteral("Umístění"), Sloupec::Obsah::Pozice, 6);
    return t;
}

QString tiskCasu(QStringView stored, int format) {
    if (stored.isEmpty()) return QString();
    QStringView text = stored;
    if (format != 1) {
        // Cut on the stored digits, so that no rounding of a longer fraction can lift the second
        // decimal.
        const qsizetype carka = text.indexOf(u',');
        if (carka >= 0 && text.size() > carka + 3) text = text.left(carka + 3);
    }
    const std::optional<qint64> t = ctiCas(text);
    return t ? orizniCas(*t, format) : stored.toString();
}

QString tiskTerce(QStringView stored, int format) {
    if (stored.size() < 2) return stored.toString();
    const QChar draha = stored.back();
    const QStringView cislo = stored.first(stored.size() - 1);
    if (!draha.isLetter() || !ctiCas(cislo)) return stored.toString();
    return tiskCasu(cislo, format) + draha;
}

int preskrtnutaStafeta(QStringView cas1S, QStringView cas2S) {
    const std::optional<qint64> a = ctiCas(cas1S);
    const std::optional<qint64> b = ctiCas(cas2S);
    if (!a || !b || *a == *b) return 0;
    return *a > *b ? 1 : 2;
}

namespace {

class Sazba {
public:
    explicit Sazba(const ExportVstup& vstup)
        : m_vstup(vstup), m_kontext(vstup.kontext), m_tabulka(tabulka(vstup.pohled, vstup.kontext)) {}

    QList<Stranka> sazej() {
        zahlavi();
        zahlaviTabulky();
        radky();
        zapati();
        return m_stranky;
    }

private:
    // A new drawing on the current page, at (x, y) and (x2, y2).
    Kresba& kresba(Kresba::Druh druh, int x, int y, int x2 = 0, int y2 = 0) {
        m_stranky.last().append(Kresba{druh, x, y, x2, y2});
        return m_stranky.last().last();
    }
    void text(int x, int y, const QString& text, int velikost, bool tucne, bool preskrtnute = false) {
        Kresba& k = kresba(Kresba::Druh::Text, x, y);
        k.text = text;
        k.velikost = velikost;
        k.tucne = tucne;
        k.preskrtnute = preskrtnute;
    }
    void cara(int x, int y, int x2, int y2) { kresba(Kresba::Druh::Cara, x, y, x2, y2); }
    void obdelnik(int x, int y, int x2, int y2, bool seda) {
        kresba(Kresba::Druh::Obdelnik, x, y, x2, y2).seda = seda;
    }
    void vypln(int x, int y, int x2, int y2) { kresba(Kresba::Druh::Vypln, x, y, x2, y2); }
    // A header line centred on x 390 by its length in characters and a fixed character width.
    void naStred(const QString& radek, int sirkaZnaku, int velikost, bool tucne) {
        const int x = kStred - int(radek.size() / 2) * sirkaZnaku;
        text(x, m_top, radek, velikost, tucne);
        // Where the line may reach: one character more than its estimated width, a point is 4/3
        // units high.
        m_radkyHlavicky.append(
            QRect(x, m_top, (int(radek.size()) + 1) * sirkaZnaku, (velikost * 4 + 2) / 3 + 1));
    }

    // The QR code at the top right, one fill for each run of dark modules in a row.
    void qrKod() {
        const QList<QList<bool>>& q = m_vstup.qr;
        if (q.isEmpty()) return;
        const int strana = int(q.size()) * kQrModul;
        if (kQrY + strana + kQrTiche > m_top + kPodHlavickou) return; // it would reach the table
        int levy = kPoradatelKonec - strana;
        for (const QRect& r : m_radkyHlavicky)
            if (r.top() < kQrY + strana + kQrTiche && r.bottom() > kQrY - kQrTiche)
                levy = std::max(levy, r.right() + 1 + kQrTiche);
        if (levy + strana > kQrPravyOkraj) return;
        for (qsizetype y = 0; y < q.size(); ++y) {
            const QList<bool>& radek = q[y];
            for (qsizetype x = 0; x < radek.size();) {
                if (!radek[x]) {
                    ++x;
                    continue;
                }
                qsizetype konec = x;
                while (konec < radek.size() && radek[konec])
                    ++konec;
                vypln(levy + int(x) * kQrModul, kQrY + int(y) * kQrModul, levy + int(konec) * kQrModul,
                      kQrY + int(y + 1) * kQrModul);
                x = konec;
            }
        }
    }

    void zahlavi() {
        m_stranky.append(Stranka());
        m_radkyHlavicky.clear();
        m_top = 20;
        text(20, m_top, autorskyRadek(), kPismo, true);
        const QString& poradatel = m_kontext.poradatel;
        if (!poradatel.isEmpty())
            text(kPoradatelKonec - kPoradatelZnak * int(poradatel.size()), m_top, poradatel, kPismo, true);

        m_top += 30;
        if (m_vstup.soutez) {
            const SoutezHlavicka& s = *m_vstup.soutez;
            naStred(s.nazev + QStringLiteral(" - ") + s.datum + QStringLiteral(", ") + s.cas, kZnakSoutez,
                    kPismoSoutez, true);
        } else {
            naStred(soutezNenalezena(), kZnakSoutez, kPismoSoutez, true);
        }
        // Without a competition the place line stays empty, so the table keeps its place.
        m_top += 25;
        if (m_vstup.soutez)
            naStred(m_vstup.soutez->misto + QStringLiteral(" - ") + m_vstup.soutez->okres, kZnakMisto,
                    kPismoMisto, false);

        if (!m_kontext.kategorie.isEmpty()) {
            m_top += 25;
            naStred(QStringLiteral("kategorie -  ") + m_kontext.kategorie, kZnakSoutez, kPismoSoutez, true);
        }
        qrKod();
    }

    void zahlaviTabulky() {
        m_top += kPodHlavickou;
        const int l = m_tabulka.levy();
        obdelnik(l, m_top, m_tabulka.pravy(), m_top + kVyskaPasu, true);
        for (qsizetype i = 0; i < m_tabulka.sloupce.size(); ++i) {
            const Sloupec& s = m_tabulka.sloupce[i];
            if (i > 0) cara(l + s.offset, m_top, l + s.offset, m_top + kVyskaCary);
            text(l + s.offset + s.odsazeni, m_top + 2, s.titulek, kPismo, true);
        }
    }

    void zapati() {
        text(kZapatiLeveX, kZapatiY, zapatiLeve(), kPismo, false);
        text(kZapatiPraveX, kZapatiY, zapatiPrave(), kPismo, false);
    }

    void radky() {
        const QList<DruzstvoRadek>& radky = m_vstup.radky;
        int k = 0;
        for (qsizetype i = 0; i < radky.size(); ++i) {
            ++k;
            radek(radky[i], m_top + kRozestupRadku * k);
            if (k == kRadkuNaStranu && i + 1 < radky.size()) {
                zapati();
                zahlavi();
                zahlaviTabulky();
                k = 0;
            }
        }
    }

    void radek(const DruzstvoRadek& r, int y) {
        const int l = m_tabulka.levy();
        obdelnik(l, y, m_tabulka.pravy(), y + kVyskaPasu, false);
        const int format = m_kontext.format;
        const bool vysledky = m_vstup.pohled == Pohled::Mereni;
        const int pomalejsi = vysledky && m_kontext.stafetaExport ? preskrtnutaStafeta(r.cas1S, r.cas2S) : 0;
        for (qsizetype i = 0; i < m_tabulka.sloupce.size(); ++i) {
            const Sloupec& s = m_tabulka.sloupce[i];
            if (i > 0) cara(l + s.offset, y, l + s.offset, y + kVyskaCary);
            QString bunka;
            bool tucne = false;
            bool preskrtnute = false;
            switch (s.obsah) {
            case Sloupec::Obsah::Poradi:
                bunka = r.poradi + u'.';
                break;
            case Sloupec::Obsah::Nazev:
                bunka = r.nazev_dr;
                break;
            case Sloupec::Obsah::Tym:
                bunka = r.tym;
                break;
            case Sloupec::Obsah::Kategorie:
                bunka = r.kategorie;
                break;
            case Sloupec::Obsah::Stafeta1:
                bunka = tiskCasu(r.cas1S, format);
                preskrtnute = pomalejsi == 1;
                break;
            case Sloupec::Obsah::Stafeta2:
                bunka = tiskCasu(r.cas2S, format);
                preskrtnute = pomalejsi == 2;
                break;
            case Sloupec::Obsah::Mezicas: {
                const QString* m[] = {&r.M1, &r.M2, &r.M3, &r.M4};
                bunka = tiskCasu(*m[s.mezicas], format);
                break;
            }
            case Sloupec::Obsah::Terc1R:
                bunka = tiskTerce(r.cas1R, format);
                break;
            case Sloupec::Obsah::Cas1C:
                bunka = tiskCasu(r.cas1C, format);
                break;
            case Sloupec::Obsah::Terc2R:
                bunka = tiskTerce(r.cas2R, format);
                break;
            case Sloupec::Obsah::Cas2C:
                bunka = tiskCasu(r.cas2C, format);
                break;
            case Sloupec::Obsah::Celkem:
                bunka = tiskCasu(r.celkem, format);
                tucne = true;
                break;
            case Sloupec::Obsah::Pozice:
                bunka = r.pozice;
                break;
            }
            if (!bunka.isEmpty()) text(l + s.offset + s.odsazeni, y + 2, bunka, kPismo, tucne, preskrtnute);
        }
    }

    const ExportVstup& m_vstup;
    const MereniKontext& m_kontext;
    const Tabulka m_tabulka;
    QList<Stranka> m_stranky;
    QList<QRect> m_radkyHlavicky; // the header lines of the current page
    int m_top = 0;
};

} // namespace

QList<Stranka> rozvrhni(const ExportVstup& vstup) {
    return Sazba(vstup).sazej();
}

} // namespace qx
