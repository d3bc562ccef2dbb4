#include "measurement/Zmeny.h"

namespace qx {

const QStringList& sledovaneSloupce() {
    static const QStringList sloupce{
        QStringLiteral("cas1R"), QStringLiteral("cas1C"), QStringLiteral("cas2R"),  QStringLiteral("cas2C"),
        QStringLiteral("cas1S"), QStringLiteral("cas2S"), QStringLiteral("celkem"), QStringLiteral("pozice"),
        QStringLiteral("M1"),    QStringLiteral("M2"),    QStringLiteral("M3"),     QStringLiteral("M4")};
    return sloupce;
}

QString hodnotaSloupce(const DruzstvoRadek& r, const QString& s) {
    if (s == u"cas1R") return r.cas1R;
    if (s == u"cas1C") return r.cas1C;
    if (s == u"cas2R") return r.cas2R;
    if (s == u"cas2C") return r.cas2C;
    if (s == u"cas1S") return r.cas1S;
    if (s == u"cas2S") return r.cas2S;
    if (s == u"celkem") return r.celkem;
    if (s == u"pozice") return r.pozice;
    if (s == u"M1") return r.M1;
    if (s == u"M2") return r.M2;
    if (s == u"M3") return r.M3;
    if (s == u"M4") return r.M4;
    return {};
}

QList<ZaznamZmeny> rozdilRadku(const DruzstvoRadek& stary, const DruzstvoRadek& novy, Pricina pricina) {
    QList<ZaznamZmeny> zaznamy;
    for (const QString& s : sledovaneSloupce()) {
        const QString a = hodnotaSloupce(stary, s);
        const QString b = hodnotaSloupce(novy, s);
        if (a == b) continue;
        ZaznamZmeny z;
        z.id_soutez = stary.id_soutez;
        z.id_druzstva = stary.id;
        z.sloupec = s;
        z.stara = a;
        z.nova = b;
        z.pricina = pricina;
        zaznamy.append(z);
    }
    return zaznamy;
}

DruzstvoRadek sVysledkem(DruzstvoRadek r, const ZmenaVysledku& z) {
    if (z.celkem) r.celkem = *z.celkem;
    if (z.pozice) r.pozice = *z.pozice;
    return r;
}

QString titulekSloupce(const QString& s) {
    if (s == u"cas1R") return QStringLiteral("1. kolo – terč");
    if (s == u"cas1C") return QStringLiteral("1. kolo – čas");
    if (s == u"cas2R") return QStringLiteral("2. kolo – terč");
    if (s == u"cas2C") return QStringLiteral("2. kolo – čas");
    if (s == u"cas1S") return QStringLiteral("1. kolo – štafeta");
    if (s == u"cas2S") return QStringLiteral("2. kolo – štafeta");
    if (s == u"celkem") return QStringLiteral("Výsledek");
    if (s == u"pozice") return QStringLiteral("Pořadí");
    if (s.size() == 2 && s[0] == u'M' && s[1] >= u'1' && s[1] <= u'4')
        return QStringLiteral("Mezičas ") + s[1];
    return s;
}

QString textPriciny(Pricina p) {
    switch (p) {
    case Pricina::Ulozeni:
        return QStringLiteral("uložení času");
    case Pricina::Prepocet:
        return QStringLiteral("přepočet");
    case Pricina::Rucne:
        break;
    }
    return QStringLiteral("ruční zadání");
}

namespace {

QString casZmeny(const ZaznamZmeny& z) {
    return z.cas.isValid() ? z.cas.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")) : QString();
}

QString naRadek(QString t) {
    for (QChar& c : t) {
        if (c == u'\t' || c == u'\n' || c == u'\r') c = u' ';
    }
    return t;
}

} // namespace

QStringList bunkyZmeny(const ZaznamZmeny& z) {
    const auto hodnota = [](const QString& v) { return v.isEmpty() ? QStringLiteral("—") : v; };
    return {casZmeny(z),     titulekSloupce(z.sloupec), hodnota(z.stara),
            hodnota(z.nova), textPriciny(z.pricina),    z.pocitac};
}

QString vypisZmen(const QList<ZaznamZmeny>& zaznamy) {
    QString out = QStringLiteral("Čas\tDružstvo\tSloupec\tPopis\tPůvodně\tNově\tPříčina\tPočítač\n");
    for (const ZaznamZmeny& z : zaznamy) {
        const QString druzstvo =
            z.druzstvo.isEmpty() ? QStringLiteral("(družstvo %1 smazáno)").arg(z.id_druzstva) : z.druzstvo;
        const QStringList pole{casZmeny(z),
                               druzstvo,
                               z.sloupec,
                               titulekSloupce(z.sloupec),
                               z.stara,
                               z.nova,
                               textPriciny(z.pricina),
                               z.pocitac};
        QStringList cista;
        for (const QString& p : pole)
            cista << naRadek(p);
        out += cista.join(u'\t') + u'\n';
    }
    return out;
}

} // namespace qx
