// The results server's snapshot and the pages, JSON and update events rendered from it.

#include "web/Snimek.h"
#include "web/Stranky.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace qx;

namespace {

DruzstvoRadek druzstvo(qint64 id, const QString& poradi, const QString& nazev, const QString& kat) {
    DruzstvoRadek r;
    r.id = id;
    r.poradi = poradi;
    r.nazev_dr = nazev;
    r.nazev_okresu = QStringLiteral("Okres ") + nazev;
    r.tym = QStringLiteral("A");
    r.kategorie = kat;
    return r;
}

VysledekRadek vysledek(qint64 id, const QString& pozice, const QString& nazev, const QString& kat,
                       const QString& cas) {
    return VysledekRadek{pozice, nazev, QStringLiteral("Okres ") + nazev, QStringLiteral("A"), kat, cas, id};
}

const QString kZlyNazev = QStringLiteral("<script>alert('x')</script>&\"Hasiči\"");

// Six teams in start order, the fourth on the base; the grid ranks muži and ženy together.
VstupSnimku vstup() {
    VstupSnimku v;
    v.soutez = QStringLiteral("Pohár starosty");
    v.listina = {druzstvo(11, QStringLiteral("1"), QStringLiteral("Lhota"), QStringLiteral("muži")),
                 druzstvo(12, QStringLiteral("2"), QStringLiteral("Bor"), QStringLiteral("ženy")),
                 druzstvo(13, QStringLiteral("3"), QStringLiteral("Dub"), QStringLiteral("muži")),
                 druzstvo(14, QStringLiteral("4"), QStringLiteral("Les"), QStringLiteral("muži")),
                 druzstvo(15, QStringLiteral("5"), QStringLiteral("Háj"), QStringLiteral("ženy")),
                 druzstvo(16, QStringLiteral("6"), QStringLiteral("Ves"), QStringLiteral("muži")),
                 druzstvo(17, QStringLiteral("7"), QStringLiteral("Mez"), QStringLiteral("muži"))};
    v.vysledky = {vysledek(13, QStringLiteral("1."), QStringLiteral("Dub"), QStringLiteral("muži"),
                           QStringLiteral("16,20")),
                  vysledek(12, QStringLiteral("1."), QStringLiteral("Bor"), QStringLiteral("ženy"),
                           QStringLiteral("18,01")),
                  vysledek(11, QStringLiteral("2."), QStringLiteral("Lhota"), QStringLiteral("muži"),
                           QStringLiteral("NP")),
                  vysledek(14, QString(), QStringLiteral("Les"), QStringLiteral("muži"), QString())};
    v.idAkt = 14;
    v.radek1 = QStringLiteral("Les (A) - muži");
    v.radek2 = QStringLiteral("Připraví se: Háj - ženy, Ves - muži, Mez - muži");
    v.aktualniTym = QStringLiteral("Les (A) - muži");
    v.prijateCasy = {QStringLiteral("15,30L 17,53"), QStringLiteral("NP 19,02")};
    // Saved in the order Lhota, Dub, Bor (not their start order).
    v.ulozene = {12, 13, 11};
    return v;
}

} // namespace

class TstWebStranky : public QObject {
    Q_OBJECT
private slots:
    void escapovani_data();
    void escapovani();
    void snimek();
    void snimekBezAktualnihoTymu();
    void posledniUlozene_data();
    void posledniUlozene();
    void stranky_data();
    void stranky();
    void zlaJmenaNikdeNezustanouSyrova();
    void json();
    void udalost();
    void cesty();
};

void TstWebStranky::escapovani_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("html");
    QTest::newRow("obyčejný") << QStringLiteral("SDH Lhota") << QStringLiteral("SDH Lhota");
    QTest::newRow("značka") << QStringLiteral("<b>") << QStringLiteral("&lt;b&gt;");
    QTest::newRow("ampersand napřed") << QStringLiteral("&lt;") << QStringLiteral("&amp;lt;");
    QTest::newRow("uvozovky") << QStringLiteral("a\"b'c") << QStringLiteral("a&quot;b&#39;c");
    QTest::newRow("čeština") << QStringLiteral("Žďár") << QStringLiteral("Žďár");
}

void TstWebStranky::escapovani() {
    QFETCH(QString, text);
    QFETCH(QString, html);
    QCOMPARE(escapujHtml(text), html);
}

void TstWebStranky::snimek() {
    const Snimek s = sestavSnimek(vstup());
    // Categories in the order of their first result; a row without a result is left out.
    QCOMPARE(s.kategorie.size(), 2);
    QCOMPARE(s.kategorie[0].nazev, QStringLiteral("muži"));
    QCOMPARE(s.kategorie[0].vysledky.size(), 2);
    QCOMPARE(s.kategorie[0].vysledky[0].nazev_dr, QStringLiteral("Dub"));
    QCOMPARE(s.kategorie[0].vysledky[1].nazev_dr, QStringLiteral("Lhota"));
    QCOMPARE(s.kategorie[1].nazev, QStringLiteral("ženy"));
    QCOMPARE(s.startovka.size(), 7);
    QCOMPARE(s.startovka[3].nazev_dr, QStringLiteral("Les"));
    // The next three after the current team, not more.
    QCOMPARE(s.dalsi.size(), 3);
    QCOMPARE(s.dalsi[0].nazev_dr, QStringLiteral("Háj"));
    QCOMPARE(s.dalsi[2].nazev_dr, QStringLiteral("Mez"));
    // The saved results, the newest first.
    QCOMPARE(s.posledni.size(), 3);
    QCOMPARE(s.posledni[0].nazev_dr, QStringLiteral("Bor"));
    QCOMPARE(s.posledni[1].nazev_dr, QStringLiteral("Dub"));
    QCOMPARE(s.posledni[2].nazev_dr, QStringLiteral("Lhota"));
    QCOMPARE(s.prijateCasy, vstup().prijateCasy);
}

void TstWebStranky::snimekBezAktualnihoTymu() {
    VstupSnimku v = vstup();
    v.idAkt = 999;
    const Snimek s = sestavSnimek(v);
    QVERIFY(s.dalsi.isEmpty());
    // The last results do not depend on who is on the base.
    QCOMPARE(s.posledni.size(), 3);
    QCOMPARE(s.startovka.size(), 7);
}

void TstWebStranky::posledniUlozene_data() {
    QTest::addColumn<QList<qint64>>("ulozeni"); // in the order of saving
    QTest::addColumn<QStringList>("posledni");  // "placing name result", the newest first
    QTest::newRow("pořadí ukládání, ne startu")
        << QList<qint64>{13, 11, 12}
        << QStringList{QStringLiteral("1. Bor 18,01"), QStringLiteral("2. Lhota NP"),
                       QStringLiteral("1. Dub 16,20")};
    QTest::newRow("tým za aktuálním")
        << QList<qint64>{11, 16}
        << QStringList{QStringLiteral("3. Ves 17,00"), QStringLiteral("2. Lhota NP")};
    QTest::newRow("opravený čas jednou, nejnovější")
        << QList<qint64>{11, 12, 11}
        << QStringList{QStringLiteral("2. Lhota NP"), QStringLiteral("1. Bor 18,01")};
    QTest::newRow("jen pět nejnovějších")
        << QList<qint64>{11, 12, 13, 15, 16, 17}
        << QStringList{QStringLiteral("4. Mez 21,40"), QStringLiteral("3. Ves 17,00"),
                       QStringLiteral("2. Háj 19,90"), QStringLiteral("1. Dub 16,20"),
                       QStringLiteral("1. Bor 18,01")};
    QTest::newRow("smazaný výsledek se vynechá")
        << QList<qint64>{12, 14} << QStringList{QStringLiteral("1. Bor 18,01")};
    QTest::newRow("tým mimo tabulku se vynechá")
        << QList<qint64>{11, 99, 15, 16, 17, 13, 12, 98}
        << QStringList{QStringLiteral("1. Bor 18,01"), QStringLiteral("1. Dub 16,20"),
                       QStringLiteral("4. Mez 21,40"), QStringLiteral("3. Ves 17,00"),
                       QStringLiteral("2. Háj 19,90")};
    QTest::newRow("nic neuloženo") << QList<qint64>{} << QStringList{};
}

void TstWebStranky::posledniUlozene() {
    QFETCH(QList<qint64>, ulozeni);
    QFETCH(QStringList, posledni);
    VstupSnimku v = vstup();
    // After the later saves the grid has re-ranked: Ves 17,00 is third among muži.
    v.vysledky = {vysledek(13, QStringLiteral("1."), QStringLiteral("Dub"), QStringLiteral("muži"),
                           QStringLiteral("16,20")),
                  vysledek(12, QStringLiteral("1."), QStringLiteral("Bor"), QStringLiteral("ženy"),
                           QStringLiteral("18,01")),
                  vysledek(15, QStringLiteral("2."), QStringLiteral("Háj"), QStringLiteral("ženy"),
                           QStringLiteral("19,90")),
                  vysledek(11, QStringLiteral("2."), QStringLiteral("Lhota"), QStringLiteral("muži"),
                           QStringLiteral("NP")),
                  vysledek(16, QStringLiteral("3."), QStringLiteral("Ves"), QStringLiteral("muži"),
                           QStringLiteral("17,00")),
                  vysledek(17, QStringLiteral("4."), QStringLiteral("Mez"), QStringLiteral("muži"),
                           QStringLiteral("21,40")),
                  vysledek(14, QString(), QStringLiteral("Les"), QStringLiteral("muži"), QString())};
    UlozeneCasy zaznam;
    for (const qint64 id : ulozeni)
        zaznam.zaznamenej(id);
    v.ulozene = zaznam.idcka();
    const Snimek s = sestavSnimek(v);
    QStringList videno;
    for (const SnimekVysledek& r : s.posledni)
        videno << r.pozice + u' ' + r.nazev_dr + u' ' + r.cas;
    QCOMPARE(videno, posledni);
    // The speaker's page lists them in that order.
    const QString html = obsahStranky(Stranka::Hlasatel, s);
    qsizetype od = html.indexOf(QStringLiteral("Poslední výsledky"));
    QVERIFY(od > 0);
    for (const SnimekVysledek& r : s.posledni) {
        const qsizetype i = html.indexOf(QStringLiteral("<b>") + r.cas + QStringLiteral("</b>"), od);
        QVERIFY2(i > od, qPrintable(r.nazev_dr));
        od = i;
    }
    if (posledni.isEmpty()) QVERIFY(html.contains(QStringLiteral("Zatím žádné")));
}

void TstWebStranky::stranky_data() {
    QTest::addColumn<int>("stranka");
    QTest::addColumn<QStringList>("obsahuje");
    QTest::newRow("výsledky") << int(Stranka::Vysledky)
                              << QStringList{QStringLiteral("Na základně se připravuje"),
                                             QStringLiteral("Les (A) - muži"), QStringLiteral("16,20"),
                                             QStringLiteral("Okres Dub"), QStringLiteral("<h2>ženy</h2>")};
    QTest::newRow("startovka") << int(Stranka::Startovka)
                               << QStringList{QStringLiteral("Startovní listina"), QStringLiteral("Mez"),
                                              QStringLiteral("Okres Ves")};
    QTest::newRow("hlasatel") << int(Stranka::Hlasatel)
                              << QStringList{QStringLiteral("15,30L 17,53"), QStringLiteral("NP 19,02"),
                                             QStringLiteral("Poslední výsledky"),
                                             QStringLiteral("Háj (A) - ženy")};
}

void TstWebStranky::stranky() {
    QFETCH(int, stranka);
    QFETCH(QStringList, obsahuje);
    const Snimek s = sestavSnimek(vstup());
    const QString html = QString::fromUtf8(qx::stranka(Stranka(stranka), s));
    for (const QString& t : obsahuje)
        QVERIFY2(html.contains(t), qPrintable(t));
    // The page holds its changing part whole, so the first view needs no update.
    QVERIFY(html.contains(obsahStranky(Stranka(stranka), s)));
    QVERIFY(html.contains(QStringLiteral("name=\"viewport\" content=\"width=device-width")));
    QVERIFY(html.contains(QStringLiteral("lang=\"cs\"")));
    // Nothing from elsewhere: no absolute address, no file to load.
    QVERIFY(!html.contains(QStringLiteral("http:")));
    QVERIFY(!html.contains(QStringLiteral("https:")));
    QVERIFY(!html.contains(QStringLiteral("src=")));
    QVERIFY(!html.contains(QStringLiteral("<link")));
    QVERIFY(html.contains(QStringLiteral("/udalosti?stranka=")));
    // The script's Czech messages arrive as written (the page is UTF-8 throughout).
    QVERIFY(html.contains(QStringLiteral("'Stránka se obnovuje sama.'")));
    QVERIFY(html.contains(QStringLiteral("'Spojení přerušeno, připojuji znovu…'")));
}

void TstWebStranky::zlaJmenaNikdeNezustanouSyrova() {
    VstupSnimku v = vstup();
    v.soutez = kZlyNazev;
    v.listina[3].nazev_dr = kZlyNazev;
    v.listina[4].kategorie = kZlyNazev;
    v.vysledky[0].nazev_dr = kZlyNazev;
    v.vysledky[1].kategorie = kZlyNazev;
    v.vysledky[2].cas = kZlyNazev;
    v.radek1 = kZlyNazev;
    v.aktualniTym = kZlyNazev;
    v.prijateCasy = {kZlyNazev};
    const Snimek s = sestavSnimek(v);
    for (Stranka st : {Stranka::Vysledky, Stranka::Startovka, Stranka::Hlasatel}) {
        const QString html = QString::fromUtf8(stranka(st, s));
        QVERIFY(!html.contains(QStringLiteral("<script>alert")));
        QVERIFY(!html.contains(QStringLiteral("'x'")));
        QVERIFY(html.contains(escapujHtml(kZlyNazev)));
        QVERIFY(!QString::fromUtf8(sseUdalost(st, s)).contains(QStringLiteral("<script>")));
    }
    // JSON carries the text as it is: a string value, read back unchanged.
    const QJsonObject o = QJsonDocument::fromJson(vysledkyJson(s)).object();
    QCOMPARE(o[QStringLiteral("soutez")].toString(), kZlyNazev);
}

void TstWebStranky::json() {
    Snimek s = sestavSnimek(vstup());
    s.verze = 7;
    QJsonParseError chyba;
    const QJsonDocument d = QJsonDocument::fromJson(vysledkyJson(s), &chyba);
    QCOMPARE(chyba.error, QJsonParseError::NoError);
    const QJsonObject o = d.object();
    QCOMPARE(o[QStringLiteral("verze")].toInt(), 7);
    QCOMPARE(o[QStringLiteral("soutez")].toString(), QStringLiteral("Pohár starosty"));
    QCOMPARE(o[QStringLiteral("desetinna_mista")].toInt(), 2);
    QCOMPARE(o[QStringLiteral("pripravuje")].toObject()[QStringLiteral("radek1")].toString(),
             QStringLiteral("Les (A) - muži"));
    const QJsonArray kat = o[QStringLiteral("kategorie")].toArray();
    QCOMPARE(kat.size(), 2);
    const QJsonArray muzi = kat[0].toObject()[QStringLiteral("vysledky")].toArray();
    const QJsonObject prvni = muzi[0].toObject();
    QCOMPARE(prvni[QStringLiteral("umisteni")].toInt(), 1);
    QCOMPARE(prvni[QStringLiteral("pozice")].toString(), QStringLiteral("1."));
    QCOMPARE(prvni[QStringLiteral("sdh")].toString(), QStringLiteral("Dub"));
    QCOMPARE(prvni[QStringLiteral("vysledek")].toString(), QStringLiteral("16,20"));
    QCOMPARE(prvni[QStringLiteral("cas")].toDouble(), 16.2);
    // A result that is not a number keeps its text and has no number.
    QVERIFY(muzi[1].toObject()[QStringLiteral("cas")].isNull());
    QCOMPARE(muzi[1].toObject()[QStringLiteral("vysledek")].toString(), QStringLiteral("NP"));
    QCOMPARE(o[QStringLiteral("startovka")].toArray().size(), 7);
    const QJsonObject h = o[QStringLiteral("hlasatel")].toObject();
    QCOMPARE(h[QStringLiteral("prijate_casy")].toArray().size(), 2);
    QCOMPARE(h[QStringLiteral("dalsi")].toArray().size(), 3);
    QCOMPARE(h[QStringLiteral("posledni")].toArray().size(), 3);
}

void TstWebStranky::udalost() {
    VstupSnimku v = vstup();
    v.radek1 = QStringLiteral("řádek\r\ndruhý\ntřetí");
    Snimek s = sestavSnimek(v);
    s.verze = 42;
    const QByteArray e = sseUdalost(Stranka::Vysledky, s);
    QVERIFY(e.startsWith("id: 42\n"));
    QVERIFY(e.endsWith("\n\n"));
    QVERIFY(!e.contains('\r'));
    const QList<QByteArray> radky = e.chopped(2).split('\n');
    QString data;
    for (qsizetype i = 1; i < radky.size(); ++i) {
        QVERIFY2(radky[i].startsWith("data: "), radky[i].constData());
        data += (i > 1 ? QStringLiteral("\n") : QString()) + QString::fromUtf8(radky[i].mid(6));
    }
    // What the browser puts together is the page's changing part (carriage return as a space).
    QCOMPARE(data, obsahStranky(Stranka::Vysledky, s).replace(u'\r', u' '));
}

void TstWebStranky::cesty() {
    for (Stranka s : {Stranka::Vysledky, Stranka::Startovka, Stranka::Hlasatel}) {
        QCOMPARE(strankaCesty(cestaStranky(s)), s);
        QCOMPARE(strankaJmena(jmenoStranky(s)), s);
    }
    QCOMPARE(strankaCesty(QStringLiteral("/admin")), std::nullopt);
    QCOMPARE(strankaJmena(QStringLiteral("../")), std::nullopt);
}

QTEST_GUILESS_MAIN(TstWebStranky)
#include "tst_web_stranky.moc"
