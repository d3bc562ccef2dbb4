#include "measurement/Poradi.h"

#include "measurement/Casy.h"

#include <algorithm>

namespace qx {

namespace {

QStringView bezMezerNaKonci(QStringView s) {
    while (!s.isEmpty() && s.back() == u' ')
        s.chop(1);
    return s;
}

} // namespace

QStringList stitkyPoradi(const QList<std::optional<qint64>>& hodnoty) {
    QStringList stitky;
    stitky.reserve(hodnoty.size());
    std::optional<qint64> predchozi = 0;
    for (qsizetype k = 0; k < hodnoty.size(); ++k) {
        const std::optional<qint64>& h = hodnoty[k];
        // The first row starts the list even at a result of 0: it has no label to share.
        if (k > 0 && h && predchozi && *h == *predchozi)
            stitky.append(stitky.back());
        else
            stitky.append(QString::number(k + 1) + u'.');
        predchozi = h;
    }
    return stitky;
}

bool celkemPred(QStringView a, QStringView b) {
    return bezMezerNaKonci(a).compare(bezMezerNaKonci(b), Qt::CaseSensitive) < 0;
}

bool stejnaKategorie(QStringView a, QStringView b) {
    return bezMezerNaKonci(a).compare(bezMezerNaKonci(b), Qt::CaseInsensitive) == 0;
}

Zarazeni zaradit(const QList<DruzstvoRadek>& radky, const QString& kategorie) {
    Zarazeni z;
    z.pozice.reserve(radky.size());
    for (qsizetype i = 0; i < radky.size(); ++i) {
        const DruzstvoRadek& r = radky[i];
        if (bezMezerNaKonci(r.celkem).isEmpty()) { // the database's celkem="" ignores trailing spaces
            z.pozice.append(QString());
            continue;
        }
        z.pozice.append(r.pozice);
        if (kategorie.isEmpty() || stejnaKategorie(r.kategorie, kategorie)) z.serazene.append(i);
    }
    std::stable_sort(z.serazene.begin(), z.serazene.end(),
                     [&](qsizetype a, qsizetype b) { return celkemPred(radky[a].celkem, radky[b].celkem); });
    QList<std::optional<qint64>> hodnoty;
    hodnoty.reserve(z.serazene.size());
    for (qsizetype i : z.serazene)
        hodnoty.append(ctiCas(radky[i].celkem));
    const QStringList stitky = stitkyPoradi(hodnoty);
    for (qsizetype k = 0; k < z.serazene.size(); ++k)
        z.pozice[z.serazene[k]] = stitky[k];
    return z;
}

} // namespace qx
