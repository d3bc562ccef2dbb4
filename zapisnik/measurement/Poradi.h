#pragma once

// Placings ("pozice"): the teams with a result ranked by their stored result text, as the
// database orders it, with equal results sharing a placing (1., 2., 2., 4.).

#include "data/Radky.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QtGlobal>

#include <optional>

namespace qx {

// Labels for results in ranking order: row k (from 1) gets "k."; a row whose value equals the
// previous row's value takes the previous row's label. nullopt (a result that is not a number)
// equals nothing. {17000, 17500, 17500, 18000} → "1.", "2.", "2.", "4.".
QStringList stitkyPoradi(const QList<std::optional<qint64>>& hodnoty);

// The text order of stored results as the database's ORDER BY celkem ASC gives it: character by
// character, trailing spaces ignored. For results of one width this is the order of their values;
// for mixed widths it is not ("0018,010" comes before "017,50", "1000,00" before "999,99").
bool celkemPred(QStringView a, QStringView b);

// Whether a row belongs to the chosen category as the database compares it: letter case and
// trailing spaces do not count, accents do.
bool stejnaKategorie(QStringView a, QStringView b);

struct Zarazeni {
    QList<qsizetype> serazene; // indexes of the ranked rows into the input, in ranking order
    QStringList pozice;        // the placing of every input row after ranking, in input order
};

// Ranks the rows of one competition by their `celkem`. The rows with a result, of the chosen
// category when `kategorie` is not empty, are ordered by celkemPred (equal texts keep the input
// order) and labelled by stitkyPoradi. Rows of other categories keep their placings; rows without
// a result (of any category; a result of blanks counts as none) get an empty placing.
Zarazeni zaradit(const QList<DruzstvoRadek>& radky, const QString& kategorie);

} // namespace qx
