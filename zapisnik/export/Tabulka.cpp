#include "export/Tabulka.h"

#include "measurement/Casy.h"

namespace qx {

namespace {

int desetinnych(int format) {
    return format == 1 ? 3 : 2;
}

// A stored time as the number the display shows (cut to its decimals, never rounded); a text
// that is not a time stays a text, an empty one an empty cell.
Bunka casBunka(const QString& stored, int format) {
    if (stored.trimmed().isEmpty()) return Bunka{};
    const std::optional<qint64> t = ctiCas(stored);
    if (!t) return Bunka{stored, std::nullopt, 0};
    const QString zobrazeny = orizniCas(*t, format);
    QString tecka = zobrazeny;
    tecka.replace(u',', u'.');
    return Bunka{zobrazeny, tecka.toDouble(), desetinnych(format)};
}

Bunka poradiBunka(const QString& text) {
    QString t = text.trimmed();
    if (t.endsWith(u'.')) t.chop(1);
    bool ok = false;
    const int n = t.toInt(&ok);
    if (!ok) return Bunka{text, std::nullopt, 0};
    return Bunka{QString::number(n), double(n), 0};
}

Bunka text(const QString& t) {
    return Bunka{t, std::nullopt, 0};
}

QString csvPole(const QString& t) {
    const bool uvozovky = t.contains(u';') || t.contains(u'"') || t.contains(u'\n') || t.contains(u'\r') ||
                          (!t.isEmpty() && (t.front().isSpace() || t.back().isSpace()));
    if (!uvozovky) return t;
    QString v = t;
    v.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + v + u'"';
}

} // namespace

TabulkaExportu tabulkaExportu(const ExportVstup& vstup) {
    TabulkaExportu t;
    const MereniKontext& k = vstup.kontext;
    const int f = k.format;
    const bool prvni = k.kolo == Kolo::Prvni;
    if (vstup.pohled == Pohled::Listina) {
        t.list = QStringLiteral("Startovní listina");
        t.zahlavi = {QStringLiteral("Pořadí"), QStringLiteral("SDH"), QStringLiteral("Okres"),
                     QStringLiteral("Tým"), QStringLiteral("Kategorie")};
        for (const DruzstvoRadek& r : vstup.radky)
            t.radky.append({poradiBunka(r.poradi), text(r.nazev_dr), text(r.nazev_okresu), text(r.tym),
                            text(r.kategorie)});
        return t;
    }
    t.list = QStringLiteral("Výsledky");
    t.zahlavi = {QStringLiteral("Umístění"), QStringLiteral("SDH"), QStringLiteral("Okres"),
                 QStringLiteral("Tým"), QStringLiteral("Kategorie")};
    const bool stafeta = k.stafetaExport || jeStafeta(k.nast);
    if (stafeta) {
        t.zahlavi << QStringLiteral("1. pokus") << QStringLiteral("2. pokus");
    } else {
        t.zahlavi << QStringLiteral("1. kolo terč") << QStringLiteral("1. kolo čas");
        if (!prvni) t.zahlavi << QStringLiteral("2. kolo terč") << QStringLiteral("2. kolo čas");
    }
    t.zahlavi << QStringLiteral("Výsledek");
    for (const DruzstvoRadek& r : vstup.radky) {
        QList<Bunka> radek{poradiBunka(r.pozice), text(r.nazev_dr), text(r.nazev_okresu), text(r.tym),
                           text(r.kategorie)};
        if (stafeta) {
            radek << casBunka(r.cas1S, f) << casBunka(r.cas2S, f);
        } else {
            radek << text(tiskTerce(r.cas1R, f)) << casBunka(r.cas1C, f);
            if (!prvni) radek << text(tiskTerce(r.cas2R, f)) << casBunka(r.cas2C, f);
        }
        radek << casBunka(r.celkem, f);
        t.radky.append(radek);
    }
    return t;
}

QByteArray csvTabulky(const TabulkaExportu& t) {
    QString out;
    QStringList zahlavi;
    for (const QString& z : t.zahlavi)
        zahlavi.append(csvPole(z));
    out += zahlavi.join(u';') + QStringLiteral("\r\n");
    for (const QList<Bunka>& radek : t.radky) {
        QStringList pole;
        for (const Bunka& b : radek)
            pole.append(b.cislo ? b.text : csvPole(b.text));
        out += pole.join(u';') + QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

} // namespace qx
