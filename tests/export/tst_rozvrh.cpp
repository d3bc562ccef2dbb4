// Layout of the exported start list and results list: the drawing operations of every page, read
// back as a printer would see them (the grey header band, its titles and separators, the white row
// rectangles and their texts), without a PDF writer or an application.

#include "export/Rozvrh.h"

#include <QTest>

#include <algorithm>

using namespace qx;

Q_DECLARE_METATYPE(qx::MereniKontext)

namespace {

using Druh = Kresba::Druh;

MereniKontext kontext(uint8_t nast, Kolo kolo, bool mezicasy, bool stafeta, const QString& kategorie) {
    MereniKontext k;
    k.nast = nast;
    k.kolo = kolo;
    k.mezicasy = mezicasy;
    k.stafetaExport = stafeta;
    k.kategorie = kategorie;
    return k;
}

SoutezHlavicka soutez() {
    return {QStringLiteral("Memoriál Jana Nováka"), QStringLiteral("12.05.2024"), QStringLiteral("9:00"),
            QStringLiteral("Horní Maršov"), QStringLiteral("Trutnov")};
}

DruzstvoRadek druzstvo(int i) {
    DruzstvoRadek r;
    r.id = i;
    r.poradi = QString::number(i);
    r.nazev_dr = QStringLiteral("Řečany nad Labem %1").arg(i);
    r.tym = QStringLiteral("A");
    r.kategorie = QStringLiteral("muži");
    r.cas1R = QStringLiteral("17,53L");
    r.cas1C = QStringLiteral("18,01");
    r.celkem = QStringLiteral("018,01");
    r.pozice = QString::number(i) + u'.';
    return r;
}

ExportVstup vstup(Pohled pohled, const MereniKontext& k, int radku = 1) {
    ExportVstup v;
    v.pohled = pohled;
    v.kontext = k;
    v.soutez = soutez();
    for (int i = 1; i <= radku; ++i)
        v.radky.append(druzstvo(i));
    return v;
}

QList<Kresba> druhu(const Stranka& s, Druh d) {
    QList<Kresba> out;
    for (const Kresba& k : s)
        if (k.druh == d) out.append(k);
    return out;
}

// The header band: the one grey rectangle of a page.
Kresba pas(const Stranka& s) {
    const QList<Kresba> r = druhu(s, Druh::Obdelnik);
    const auto it = std::find_if(r.begin(), r.end(), [](const Kresba& k) { return k.seda; });
    return it == r.end() ? Kresba{} : *it;
}

int pocetPasu(const Stranka& s) {
    const QList<Kresba> r = druhu(s, Druh::Obdelnik);
    return int(std::count_if(r.begin(), r.end(), [](const Kresba& k) { return k.seda; }));
}

QList<Kresba> radky(const Stranka& s) {
    QList<Kresba> out;
    for (const Kresba& k : druhu(s, Druh::Obdelnik))
        if (!k.seda) out.append(k);
    return out;
}

// Texts whose line starts at y, left to right.
QList<Kresba> textyNa(const Stranka& s, int y) {
    QList<Kresba> out;
    for (const Kresba& k : druhu(s, Druh::Text))
        if (k.y == y) out.append(k);
    std::sort(out.begin(), out.end(), [](const Kresba& a, const Kresba& b) { return a.x < b.x; });
    return out;
}

// x of the vertical lines that start at y, left to right; every one must be 20 long.
QList<int> oddelovaceNa(const Stranka& s, int y) {
    QList<int> out;
    for (const Kresba& k : druhu(s, Druh::Cara)) {
        if (k.y != y) continue;
        if (k.x2 != k.x || k.y2 != y + 20) return {-1};
        out.append(k.x);
    }
    std::sort(out.begin(), out.end());
    return out;
}

QStringList textyZ(const QList<Kresba>& texty) {
    QStringList out;
    for (const Kresba& k : texty)
        out.append(k.text);
    return out;
}

// The cell of row `radek` (1-based) under the `vyskyt`-th column titled `titulek`; nullopt when the
// cell is empty.
std::optional<Kresba> bunka(const Stranka& s, const QString& titulek, int vyskyt = 1, int radek = 1) {
    const Kresba p = pas(s);
    int n = 0;
    for (const Kresba& t : textyNa(s, p.y + 2)) {
        if (t.text != titulek || ++n != vyskyt) continue;
        for (const Kresba& c : textyNa(s, p.y + 20 * radek + 2))
            if (c.x == t.x) return c;
        return std::nullopt;
    }
    return std::nullopt;
}

// A square of modules, dark around its edge, inside with no regular pattern to hide a misplaced
// row or column.
QList<QList<bool>> matice(int strana) {
    QList<QList<bool>> m;
    for (int y = 0; y < strana; ++y) {
        QList<bool> radek;
        for (int x = 0; x < strana; ++x)
            radek.append(x == 0 || y == 0 || x == strana - 1 || y == strana - 1 ||
                         (x * x * 7 + y * 13 + x * y) % 5 < 2);
        m.append(radek);
    }
    return m;
}

const QString kTitulkyStartovky[] = {QStringLiteral("Poř."), QStringLiteral("Název SDH"),
                                     QStringLiteral("Tým"), QStringLiteral("Kat.")};

} // namespace

class TstRozvrh : public QObject {
    Q_OBJECT
private slots:
    void startovka_data();
    void startovka();
    void vysledky_data();
    void vysledky();
    void bunkyVysledku_data();
    void bunkyVysledku();
    void stafetaPreskrtnuti_data();
    void stafetaPreskrtnuti();
    void bunkyStartovky();
    void zahlavi_data();
    void zahlavi();
    void strankovani_data();
    void strankovani();
    void radkyPodPasem();
    void qrKod_data();
    void qrKod();
};

// The start list's band: width, place and columns with and without a chosen category.
void TstRozvrh::startovka_data() {
    QTest::addColumn<QString>("kategorie");
    QTest::addColumn<int>("levy");
    QTest::addColumn<int>("pravy");
    QTest::addColumn<int>("top");
    QTest::addColumn<QList<int>>("offsety");
    QTest::newRow("všechny kategorie") << QString() << 165 << 615 << 115 << QList<int>{0, 50, 350, 400};
    QTest::newRow("kategorie ženy") << QStringLiteral("ženy") << 190 << 590 << 140 << QList<int>{0, 50, 350};
}

void TstRozvrh::startovka() {
    QFETCH(QString, kategorie);
    QFETCH(int, levy);
    QFETCH(int, pravy);
    QFETCH(int, top);
    QFETCH(QList<int>, offsety);
    const QList<Stranka> s =
        rozvrhni(vstup(Pohled::Listina, kontext(10, Kolo::Prvni, true, true, kategorie)));
    QCOMPARE(s.size(), 1);
    const Kresba p = pas(s[0]);
    QCOMPARE(pocetPasu(s[0]), 1);
    QCOMPARE(p.x, levy);
    QCOMPARE(p.x2, pravy);
    QCOMPARE(p.y, top);
    QCOMPARE(p.y2, top + 22);

    QList<int> cary;
    for (int o : offsety.mid(1))
        cary.append(levy + o);
    QCOMPARE(oddelovaceNa(s[0], top), cary);
    const QList<Kresba> titulky = textyNa(s[0], top + 2);
    QCOMPARE(titulky.size(), offsety.size());
    for (int i = 0; i < offsety.size(); ++i) {
        QCOMPARE(titulky[i].text, kTitulkyStartovky[i]);
        QCOMPARE(titulky[i].x, levy + offsety[i] + 5);
        QVERIFY(titulky[i].tucne);
        QCOMPARE(titulky[i].velikost, 10);
    }
}

// The results band for every discipline, phase and export option.
void TstRozvrh::vysledky_data() {
    QTest::addColumn<MereniKontext>("k");
    QTest::addColumn<int>("sirka");
    QTest::addColumn<QStringList>("titulky");
    QTest::addColumn<QList<int>>("offsety");
    const QString poradi = QStringLiteral("Poř."), nazev = QStringLiteral("Název SDH"),
                  tym = QStringLiteral("Tým"), kat = QStringLiteral("Kat."), t1 = QStringLiteral("1. terč"),
                  t2 = QStringLiteral("2. terč"), s1 = QStringLiteral("St. 1"), s2 = QStringLiteral("St. 2"),
                  vysl = QStringLiteral("Výsl. čas"), um = QStringLiteral("Umístění");
    const QString zeny = QStringLiteral("ženy");

    QTest::newRow("útok, 1. kolo, mezičasy Ano")
        << kontext(10, Kolo::Prvni, true, false, {}) << 670
        << QStringList{poradi, nazev, tym, kat, "Koš", "Voda", "Vys.", "Tla.", t1, vysl, um}
        << QList<int>{0, 30, 200, 250, 300, 350, 400, 450, 500, 550, 610};
    QTest::newRow("útok, 1. kolo, mezičasy Ne")
        << kontext(10, Kolo::Prvni, false, false, {}) << 470
        << QStringList{poradi, nazev, tym, kat, t1, vysl, um} << QList<int>{0, 30, 200, 250, 300, 350, 410};
    QTest::newRow("výchozí nast 170 se tiskne jako útok")
        << kontext(170, Kolo::Prvni, false, false, {}) << 470
        << QStringList{poradi, nazev, tym, kat, t1, vysl, um} << QList<int>{0, 30, 200, 250, 300, 350, 410};
    QTest::newRow("útok, 2. kolo, kategorie") << kontext(12, Kolo::Druhe, false, false, zeny) << 570
                                              << QStringList{poradi, nazev, tym, t1, t2, t1, t2, vysl, um}
                                              << QList<int>{0, 30, 200, 250, 300, 350, 400, 450, 510};
    QTest::newRow("útok, 2. kolo, mezičasy Ano se netisknou")
        << kontext(12, Kolo::Druhe, true, false, zeny) << 570
        << QStringList{poradi, nazev, tym, t1, t2, t1, t2, vysl, um}
        << QList<int>{0, 30, 200, 250, 300, 350, 400, 450, 510};
    QTest::newRow("útok, 1. kolo, štafeta vypne mezičasy")
        << kontext(10, Kolo::Prvni, true, true, {}) << 620
        << QStringList{poradi, nazev, tym, kat, s1, s2, t1, t2, vysl, um}
        << QList<int>{0, 30, 200, 250, 300, 350, 400, 450, 500, 560};
    // The band counts the second target twice: "Umístění" is 110 wide.
    QTest::newRow("útok, 2. kolo, štafeta")
        << kontext(12, Kolo::Druhe, false, true, {}) << 770
        << QStringList{poradi, nazev, tym, kat, s1, s2, t1, t2, t1, t2, vysl, um}
        << QList<int>{0, 30, 200, 250, 300, 350, 400, 450, 500, 550, 600, 660};
    QTest::newRow("běh na 4 dráhách")
        << kontext(4, Kolo::Prvni, true, false, {}) << 420 << QStringList{poradi, nazev, tym, kat, vysl, um}
        << QList<int>{0, 30, 200, 250, 300, 360};
    QTest::newRow("běh na 1 dráze, kategorie")
        << kontext(1, Kolo::Druhe, false, false, zeny) << 370 << QStringList{poradi, nazev, tym, vysl, um}
        << QList<int>{0, 30, 200, 250, 310};
    QTest::newRow("běh, štafeta, kategorie")
        << kontext(2, Kolo::Prvni, false, true, zeny) << 470
        << QStringList{poradi, nazev, tym, s1, s2, vysl, um} << QList<int>{0, 30, 200, 250, 300, 350, 410};

    MereniKontext vlastni = kontext(10, Kolo::Prvni, true, false, zeny);
    vlastni.mezicasTitulky = QStringList{"Rozděl.", "Savice", "Proud", "Terč"};
    QTest::newRow("vlastní názvy mezičasů")
        << vlastni << 620
        << QStringList{poradi, nazev, tym, "Rozděl.", "Savice", "Proud", "Terč", t1, vysl, um}
        << QList<int>{0, 30, 200, 250, 300, 350, 400, 450, 500, 560};
}

void TstRozvrh::vysledky() {
    QFETCH(MereniKontext, k);
    QFETCH(int, sirka);
    QFETCH(QStringList, titulky);
    QFETCH(QList<int>, offsety);
    const QList<Stranka> s = rozvrhni(vstup(Pohled::Mereni, k));
    QCOMPARE(s.size(), 1);
    const Kresba p = pas(s[0]);
    QCOMPARE(p.x, 390 - sirka / 2);
    QCOMPARE(p.x2, 390 + sirka / 2);
    QCOMPARE(p.y, k.kategorie.isEmpty() ? 115 : 140);

    QList<int> cary;
    for (int o : offsety.mid(1))
        cary.append(p.x + o);
    QCOMPARE(oddelovaceNa(s[0], p.y), cary);

    const QList<Kresba> t = textyNa(s[0], p.y + 2);
    QCOMPARE(textyZ(t), titulky);
    for (int i = 0; i < t.size(); ++i) {
        // "Poř." starts 3 right of its column, "Umístění" 6, every other title 5.
        const int odsazeni = i == 0 ? 3 : i == t.size() - 1 ? 6 : 5;
        QCOMPARE(t[i].x - p.x - offsety[i], odsazeni);
        QVERIFY(t[i].tucne);
    }
    // The row's cells start where their titles do.
    const QList<Kresba> r = radky(s[0]);
    QCOMPARE(r.size(), 1);
    QCOMPARE(oddelovaceNa(s[0], r[0].y), cary);
    QCOMPARE(bunka(s[0], QStringLiteral("Poř.")).value_or(Kresba{}).text, QStringLiteral("1."));
    QCOMPARE(bunka(s[0], QStringLiteral("Umístění")).value_or(Kresba{}).text, QStringLiteral("1."));
}

// Printed time texts: cut, never rounded, with "setiny"; three decimals with "tisíciny"; target
// times keep their lane letter; anything else as stored.
void TstRozvrh::bunkyVysledku_data() {
    QTest::addColumn<QString>("pole");
    QTest::addColumn<QString>("ulozeno");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("titulek");
    QTest::addColumn<int>("vyskyt");
    QTest::addColumn<QString>("vytisteno");

    QTest::newRow("výsledek, setiny") << "celkem"
                                      << "017,529" << 0 << "Výsl. čas" << 1 << "17,52";
    QTest::newRow("výsledek, tisíciny") << "celkem"
                                        << "017,529" << 1 << "Výsl. čas" << 1 << "17,529";
    QTest::newRow("výsledek 16,06 zůstane") << "celkem"
                                            << "016,06" << 0 << "Výsl. čas" << 1 << "16,06";
    QTest::newRow("setiny z tisícin") << "celkem"
                                      << "018,019" << 0 << "Výsl. čas" << 1 << "18,01";
    QTest::newRow("čtyři desetiny, setiny: oříznout číslice")
        << "celkem"
        << "17,5299" << 0 << "Výsl. čas" << 1 << "17,52";
    QTest::newRow("čtyři desetiny, tisíciny") << "celkem"
                                              << "17,5299" << 1 << "Výsl. čas" << 1 << "17,530";
    QTest::newRow("setiny doplní nulu") << "celkem"
                                        << "018,1" << 0 << "Výsl. čas" << 1 << "18,10";
    QTest::newRow("1. terč, 1. kolo") << "cas1R"
                                      << "15,3L" << 0 << "1. terč" << 1 << "15,30L";
    QTest::newRow("1. terč, tisíciny") << "cas1R"
                                       << "15,3L" << 1 << "1. terč" << 1 << "15,300L";
    QTest::newRow("1. terč oříznutý") << "cas1R"
                                      << "17,529P" << 0 << "1. terč" << 1 << "17,52P";
    QTest::newRow("1. terč NP") << "cas1R"
                                << "NP" << 0 << "1. terč" << 1 << "NP";
    QTest::newRow("1. terč bez písmene") << "cas1R"
                                         << "17,53" << 0 << "1. terč" << 1 << "17,53";
    QTest::newRow("1. terč jen písmeno") << "cas1R"
                                         << "L" << 0 << "1. terč" << 1 << "L";
    QTest::newRow("1. terč prázdný") << "cas1R"
                                     << "" << 0 << "1. terč" << 1 << "";
    QTest::newRow("2. terč, 1. kolo") << "cas1C"
                                      << "18,019" << 0 << "2. terč" << 1 << "18,01";
    QTest::newRow("1. terč, 2. kolo") << "cas2R"
                                      << "16,2P" << 0 << "1. terč" << 2 << "16,20P";
    QTest::newRow("2. terč, 2. kolo") << "cas2C"
                                      << "19,999" << 0 << "2. terč" << 2 << "19,99";
    QTest::newRow("2. terč, 2. kolo, tisíciny") << "cas2C"
                                                << "19,9" << 1 << "2. terč" << 2 << "19,900";
    QTest::newRow("neplatný čas beze změny") << "cas2C"
                                             << "N" << 0 << "2. terč" << 2 << "N";
    QTest::newRow("štafeta 1") << "cas1S"
                               << "21,456" << 0 << "St. 1" << 1 << "21,45";
    QTest::newRow("mezičas Koš") << "M1"
                                 << "5,129" << 0 << "Koš" << 1 << "5,12";
    QTest::newRow("mezičas Tla.") << "M4"
                                  << "12,5" << 1 << "Tla." << 1 << "12,500";
    QTest::newRow("mezičas prázdný") << "M2"
                                     << "" << 0 << "Voda" << 1 << "";
}

void TstRozvrh::bunkyVysledku() {
    QFETCH(QString, pole);
    QFETCH(QString, ulozeno);
    QFETCH(int, format);
    QFETCH(QString, titulek);
    QFETCH(int, vyskyt);
    QFETCH(QString, vytisteno);

    // Splits are printed in the first phase without the relay export; every other time column
    // exists in the second phase with it.
    const bool mezicas = pole.startsWith(u'M');
    MereniKontext k =
        mezicas ? kontext(10, Kolo::Prvni, true, false, {}) : kontext(12, Kolo::Druhe, false, true, {});
    k.format = format;
    ExportVstup v = vstup(Pohled::Mereni, k);
    DruzstvoRadek& r = v.radky[0];
    QString* cile[] = {&r.celkem, &r.cas1R, &r.cas1C, &r.cas2R, &r.cas2C, &r.cas1S, &r.M1, &r.M2, &r.M4};
    const char* jmena[] = {"celkem", "cas1R", "cas1C", "cas2R", "cas2C", "cas1S", "M1", "M2", "M4"};
    for (int i = 0; i < 9; ++i)
        if (pole == QLatin1String(jmena[i])) *cile[i] = ulozeno;

    const Stranka s = rozvrhni(v).first();
    const std::optional<Kresba> c = bunka(s, titulek, vyskyt);
    QCOMPARE(c ? c->text : QString(), vytisteno);
    if (c) {
        QCOMPARE(c->tucne, titulek == QStringLiteral("Výsl. čas"));
        QVERIFY(!c->preskrtnute);
        QCOMPARE(c->velikost, 10);
    }
}

// The slower relay run is struck through, in its own cell only; equal runs and a lone run are
// plain.
void TstRozvrh::stafetaPreskrtnuti_data() {
    QTest::addColumn<QString>("cas1S");
    QTest::addColumn<QString>("cas2S");
    QTest::addColumn<bool>("preskrtnout1");
    QTest::addColumn<bool>("preskrtnout2");
    QTest::newRow("první pomalejší") << "18,20"
                                     << "17,95" << true << false;
    QTest::newRow("druhý pomalejší") << "17,95"
                                     << "18,20" << false << true;
    QTest::newRow("jen první") << "18,20"
                               << "" << false << false;
    QTest::newRow("jen druhý") << ""
                               << "18,20" << false << false;
    QTest::newRow("stejné") << "18,20"
                            << "18,2" << false << false;
    QTest::newRow("liší se až tisícinou") << "18,201"
                                          << "18,200" << true << false;
    QTest::newRow("druhý není číslo") << "18,20"
                                      << "NP" << false << false;
}

void TstRozvrh::stafetaPreskrtnuti() {
    QFETCH(QString, cas1S);
    QFETCH(QString, cas2S);
    QFETCH(bool, preskrtnout1);
    QFETCH(bool, preskrtnout2);
    ExportVstup v = vstup(Pohled::Mereni, kontext(3, Kolo::Prvni, false, true, {}));
    v.radky[0].cas1S = cas1S;
    v.radky[0].cas2S = cas2S;
    const Stranka s = rozvrhni(v).first();
    const std::optional<Kresba> b1 = bunka(s, QStringLiteral("St. 1"));
    const std::optional<Kresba> b2 = bunka(s, QStringLiteral("St. 2"));
    QCOMPARE(b1.has_value(), !cas1S.isEmpty());
    QCOMPARE(b2.has_value(), !cas2S.isEmpty());
    if (b1) QCOMPARE(b1->preskrtnute, preskrtnout1);
    if (b2) QCOMPARE(b2->preskrtnute, preskrtnout2);
    int preskrtnutych = 0;
    for (const Kresba& k : s)
        preskrtnutych += k.preskrtnute ? 1 : 0;
    QCOMPARE(preskrtnutych, int(preskrtnout1) + int(preskrtnout2));
}

void TstRozvrh::bunkyStartovky() {
    ExportVstup v = vstup(Pohled::Listina, kontext(10, Kolo::Prvni, false, false, {}), 2);
    v.radky[1].poradi = QStringLiteral("12");
    v.radky[1].nazev_dr = QStringLiteral("Žďár nad Sázavou");
    v.radky[1].tym = QStringLiteral("B");
    v.radky[1].kategorie = QStringLiteral("ženy");
    const Stranka s = rozvrhni(v).first();
    const Kresba p = pas(s);
    const QList<Kresba> druhy = textyNa(s, p.y + 40 + 2);
    QCOMPARE(textyZ(druhy), (QStringList{"12.", "Žďár nad Sázavou", "B", "ženy"}));
    // "Poř." of the start list starts 5 right of its column, like the others.
    QCOMPARE(druhy[0].x, p.x + 5);
    for (const Kresba& k : druhy) {
        QVERIFY(!k.tucne);
        QVERIFY(!k.preskrtnute);
        QCOMPARE(k.velikost, 10);
    }
}

// The page header: credit line, organiser, competition, place and category lines, each centred by
// its length in characters.
void TstRozvrh::zahlavi_data() {
    QTest::addColumn<QString>("poradatel");
    QTest::addColumn<QString>("kategorie");
    QTest::addColumn<bool>("nalezena");
    QTest::addColumn<int>("horniPas");
    QTest::newRow("bez kategorie") << QStringLiteral("SDH Malá Úpa") << QString() << true << 115;
    QTest::newRow("s kategorií") << QStringLiteral("SDH Malá Úpa") << QStringLiteral("ženy") << true << 140;
    QTest::newRow("bez pořadatele") << QString() << QString() << true << 115;
    QTest::newRow("soutěž nenalezena")
        << QStringLiteral("SDH Malá Úpa") << QStringLiteral("ženy") << false << 140;
}

void TstRozvrh::zahlavi() {
    QFETCH(QString, poradatel);
    QFETCH(QString, kategorie);
    QFETCH(bool, nalezena);
    QFETCH(int, horniPas);
    MereniKontext k = kontext(10, Kolo::Prvni, false, false, kategorie);
    k.poradatel = poradatel;
    ExportVstup v = vstup(Pohled::Mereni, k);
    if (!nalezena) v.soutez.reset();
    const Stranka s = rozvrhni(v).first();

    const QList<Kresba> nahore = textyNa(s, 20);
    QCOMPARE(nahore.size(), poradatel.isEmpty() ? 1 : 2);
    QCOMPARE(nahore[0].x, 20);
    QCOMPARE(nahore[0].text, rozvrh::autorskyRadek());
    if (!poradatel.isEmpty()) {
        QCOMPARE(nahore[1].text, poradatel);
        QCOMPARE(nahore[1].x, 700 - 6 * 12);
    }
    for (const Kresba& t : nahore) {
        QCOMPARE(t.velikost, 10);
        QVERIFY(t.tucne);
    }

    const QList<Kresba> soutezRadek = textyNa(s, 50);
    QCOMPARE(soutezRadek.size(), 1);
    QCOMPARE(soutezRadek[0].velikost, 16);
    QVERIFY(soutezRadek[0].tucne);
    const QList<Kresba> misto = textyNa(s, 75);
    if (nalezena) {
        // 39 characters: 390 - (39 div 2) × 10.
        QCOMPARE(soutezRadek[0].text, QStringLiteral("Memoriál Jana Nováka - 12.05.2024, 9:00"));
        QCOMPARE(soutezRadek[0].x, 390 - 19 * 10);
        // 22 characters: 390 - 11 × 7.
        QCOMPARE(misto.size(), 1);
        QCOMPARE(misto[0].text, QStringLiteral("Horní Maršov - Trutnov"));
        QCOMPARE(misto[0].x, 390 - 11 * 7);
        QCOMPARE(misto[0].velikost, 11);
        QVERIFY(!misto[0].tucne);
    } else {
        QCOMPARE(soutezRadek[0].text, rozvrh::soutezNenalezena());
        QCOMPARE(soutezRadek[0].x, 390 - 11 * 10); // 22 characters
        QVERIFY(misto.isEmpty());
    }

    const QList<Kresba> kat = textyNa(s, 100);
    if (kategorie.isEmpty()) {
        QVERIFY(kat.isEmpty());
    } else {
        // "kategorie -  ženy", 17 characters: 390 - 8 × 10.
        QCOMPARE(kat.size(), 1);
        QCOMPARE(kat[0].text, QStringLiteral("kategorie -  ženy"));
        QCOMPARE(kat[0].x, 390 - 8 * 10);
        QCOMPARE(kat[0].velikost, 16);
        QVERIFY(kat[0].tucne);
    }
    QCOMPARE(pas(s).y, horniPas);

    const QList<Kresba> zapati = textyNa(s, 1080);
    QCOMPARE(zapati.size(), 2);
    QCOMPARE(zapati[0].x, 20);
    QCOMPARE(zapati[1].x, 660);
    for (const Kresba& t : zapati) {
        QVERIFY(!t.text.isEmpty());
        QCOMPARE(t.velikost, 10);
        QVERIFY(!t.tucne);
    }
}

// Page breaks: 45 rows to a page, a new page only when more rows follow; every page has the
// header, the band and the footer.
void TstRozvrh::strankovani_data() {
    QTest::addColumn<int>("pohled");
    QTest::addColumn<QString>("kategorie");
    QTest::addColumn<int>("radku");
    QTest::addColumn<QList<int>>("naStrane");
    const int listina = int(Pohled::Listina), mereni = int(Pohled::Mereni);
    QTest::newRow("prázdný seznam") << mereni << QString() << 0 << QList<int>{0};
    QTest::newRow("prázdná startovka s kategorií") << listina << QStringLiteral("ženy") << 0 << QList<int>{0};
    QTest::newRow("1 řádek") << listina << QString() << 1 << QList<int>{1};
    QTest::newRow("45 řádků") << mereni << QString() << 45 << QList<int>{45};
    QTest::newRow("46 řádků") << mereni << QString() << 46 << QList<int>{45, 1};
    QTest::newRow("46 řádků s kategorií") << listina << QStringLiteral("ženy") << 46 << QList<int>{45, 1};
    QTest::newRow("90 řádků") << mereni << QString() << 90 << QList<int>{45, 45};
    QTest::newRow("91 řádků") << listina << QString() << 91 << QList<int>{45, 45, 1};
    QTest::newRow("1000 řádků") << mereni << QString() << 1000
                                << QList<int>{45, 45, 45, 45, 45, 45, 45, 45, 45, 45, 45, 45,
                                              45, 45, 45, 45, 45, 45, 45, 45, 45, 45, 10};
}

void TstRozvrh::strankovani() {
    QFETCH(int, pohled);
    QFETCH(QString, kategorie);
    QFETCH(int, radku);
    QFETCH(QList<int>, naStrane);
    const ExportVstup v = vstup(Pohled(pohled), kontext(10, Kolo::Prvni, true, false, kategorie), radku);
    const QList<Stranka> stranky = rozvrhni(v);
    QCOMPARE(stranky.size(), naStrane.size());

    const int horniPas = kategorie.isEmpty() ? 115 : 140;
    int dalsi = 1; // the entry expected in the next row
    for (int i = 0; i < stranky.size(); ++i) {
        const Stranka& s = stranky[i];
        QCOMPARE(textyNa(s, 20).first().text, rozvrh::autorskyRadek());
        QCOMPARE(textyNa(s, 50).size(), 1);
        QCOMPARE(textyNa(s, 75).size(), 1);
        QCOMPARE(textyNa(s, 100).size(), kategorie.isEmpty() ? 0 : 1);
        QCOMPARE(pocetPasu(s), 1);
        QCOMPARE(pas(s).y, horniPas);
        QCOMPARE(textyNa(s, horniPas + 2).first().text, QStringLiteral("Poř."));
        QCOMPARE(textyNa(s, 1080).size(), 2);

        const QList<Kresba> r = radky(s);
        QCOMPARE(r.size(), naStrane[i]);
        for (int j = 0; j < r.size(); ++j, ++dalsi) {
            QCOMPARE(r[j].y, horniPas + 20 * (j + 1));
            QCOMPARE(textyNa(s, r[j].y + 2).first().text, QString::number(dalsi) + u'.');
        }
    }
    QCOMPARE(dalsi, radku + 1);
}

// Rows: a white rectangle 22 high across the band every 20 units, overlapping the next by 2, with
// the band's separators 20 long.
void TstRozvrh::radkyPodPasem() {
    const QList<Stranka> s = rozvrhni(vstup(Pohled::Mereni, kontext(10, Kolo::Prvni, true, false, {}), 3));
    const Kresba p = pas(s[0]);
    const QList<Kresba> r = radky(s[0]);
    QCOMPARE(r.size(), 3);
    const QList<int> cary = oddelovaceNa(s[0], p.y);
    QCOMPARE(cary.size(), 10);
    for (int j = 0; j < 3; ++j) {
        QCOMPARE(r[j].x, p.x);
        QCOMPARE(r[j].x2, p.x2);
        QCOMPARE(r[j].y, p.y + 20 * (j + 1));
        QCOMPARE(r[j].y2, r[j].y + 22);
        QCOMPARE(oddelovaceNa(s[0], r[j].y), cary);
        QCOMPARE(textyNa(s[0], r[j].y + 2).size(), 7); // no splits stored: their cells stay empty
    }
    // The band is drawn before its titles, a row's rectangle before its texts, so no fill covers a
    // text.
    int posledniObdelnik = -1;
    for (const Kresba& k : s[0]) {
        if (k.druh == Druh::Obdelnik) posledniObdelnik = k.y;
        if (k.druh == Druh::Text && k.y > p.y && k.y < 1080) QCOMPARE(k.y, posledniObdelnik + 2);
    }
}

void TstRozvrh::qrKod_data() {
    QTest::addColumn<QString>("nazev");     // the competition's name
    QTest::addColumn<QString>("kategorie"); // empty: all categories (the band at 115, else 140)
    QTest::addColumn<int>("strana");        // modules per side
    QTest::addColumn<int>("kde");           // 0 left out, 1 at the organiser's end, 2 moved right
    const QString kratky = QStringLiteral("Memoriál Jana Nováka");
    const QString dlouhy = QStringLiteral("Memoriál Jana Nováka a Josefa Dvořáka st.");
    const QString prilis = QStringLiteral("Velká cena Podkrkonoší, memoriál Jana Nováka a Josefa Dvořáka");
    QTest::newRow("adresa IPv4") << kratky << QString() << 29 << 1;
    QTest::newRow("krátká adresa") << kratky << QString() << 25 << 1;
    QTest::newRow("s kategorií") << kratky << QStringLiteral("muži") << 29 << 1;
    QTest::newRow("dlouhý název: doprava") << dlouhy << QString() << 29 << 2;
    QTest::newRow("dlouhý název s kategorií") << dlouhy << QStringLiteral("ženy") << 25 << 2;
    QTest::newRow("příliš dlouhý název: bez kódu") << prilis << QString() << 25 << 0;
    QTest::newRow("zasáhl by tabulku: bez kódu") << kratky << QString() << 37 << 0;
    QTest::newRow("pod kategorií je místo") << kratky << QStringLiteral("muži") << 37 << 1;
}

// The code is printed whole at the top right of every page, below the organiser's name, clear of
// the header lines and of the table; everything else on the page stays as without it.
void TstRozvrh::qrKod() {
    QFETCH(QString, nazev);
    QFETCH(QString, kategorie);
    QFETCH(int, strana);
    QFETCH(int, kde);
    MereniKontext k = kontext(10, Kolo::Prvni, false, false, kategorie);
    k.poradatel = QStringLiteral("SDH Horní Maršov");
    ExportVstup bez = vstup(Pohled::Listina, k, 46);
    bez.soutez->nazev = nazev;
    ExportVstup s = bez;
    s.qr = matice(strana);
    const QList<Stranka> stranky = rozvrhni(s);
    const QList<Stranka> bezKodu = rozvrhni(bez);
    QCOMPARE(stranky.size(), 2);
    QCOMPARE(bezKodu.size(), 2);
    const int velikost = strana * rozvrh::kQrModul;
    for (qsizetype i = 0; i < stranky.size(); ++i) {
        Stranka ostatni = stranky[i];
        ostatni.removeIf([](const Kresba& x) { return x.druh == Druh::Vypln; });
        QVERIFY(ostatni == bezKodu[i]);
        const QList<Kresba> vyplne = druhu(stranky[i], Druh::Vypln);
        if (kde == 0) {
            QVERIFY(vyplne.isEmpty());
            continue;
        }
        QVERIFY(!vyplne.isEmpty());
        int levy = INT_MAX, horni = INT_MAX, pravy = INT_MIN, dolni = INT_MIN;
        for (const Kresba& v : vyplne) {
            levy = std::min(levy, v.x);
            horni = std::min(horni, v.y);
            pravy = std::max(pravy, v.x2);
            dolni = std::max(dolni, v.y2);
        }
        // The edge of the matrix is dark: the fills span the whole code.
        QCOMPARE(pravy - levy, velikost);
        QCOMPARE(dolni - horni, velikost);
        // The fills read back module by module give the matrix, each module once.
        QList<QList<bool>> zpet(strana, QList<bool>(strana, false));
        for (const Kresba& v : vyplne) {
            QCOMPARE((v.x - levy) % rozvrh::kQrModul, 0);
            QCOMPARE(v.y2 - v.y, rozvrh::kQrModul);
            QVERIFY(v.x2 > v.x);
            for (int x = (v.x - levy) / rozvrh::kQrModul; x < (v.x2 - levy) / rozvrh::kQrModul; ++x) {
                QVERIFY(!zpet[(v.y - horni) / rozvrh::kQrModul][x]);
                zpet[(v.y - horni) / rozvrh::kQrModul][x] = true;
            }
        }
        QVERIFY(zpet == s.qr);
        // Below the organiser's name (10 pt at y 20), above the table's band with its quiet zone.
        QVERIFY(horni - rozvrh::kQrTiche >= 20 + 14);
        QVERIFY(dolni + rozvrh::kQrTiche <= pas(stranky[i]).y);
        QVERIFY(pravy <= rozvrh::kQrPravyOkraj);
        if (kde == 1)
            QCOMPARE(pravy, rozvrh::kPoradatelKonec);
        else
            QVERIFY(pravy > rozvrh::kPoradatelKonec);
        // Clear of the competition line, 16 pt with characters up to 10 units wide.
        const QList<Kresba> soutez = textyNa(stranky[i], 50);
        QCOMPARE(soutez.size(), 1);
        QVERIFY(soutez[0].x + 10 * soutez[0].text.size() + rozvrh::kQrTiche <= levy);
    }
}
QTEST_APPLESS_MAIN(TstRozvrh)
#include "tst_rozvrh.moc"
