#pragma once

// The history of stored values: which columns of a start-list row are watched, the records that
// tell one row's old form from its new one, and the texts the history window and the --audit
// command show. Qt Core only.

#include "data/RadekZmeny.h"
#include "data/Radky.h"
#include "measurement/MereniData.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace qx {

// The watched columns in the table's order: cas1R, cas1C, cas2R, cas2C, cas1S, cas2S, celkem,
// pozice, M1 .. M4.
const QStringList& sledovaneSloupce();

// The stored value of a watched column of a row (empty for a column that is not watched).
QString hodnotaSloupce(const DruzstvoRadek& r, const QString& sloupec);

// One record for every watched column whose value differs between `stary` and `novy`, in the
// order of sledovaneSloupce(); none when nothing changed. The ids come from `stary`.
QList<ZaznamZmeny> rozdilRadku(const DruzstvoRadek& stary, const DruzstvoRadek& novy, Pricina pricina);

// The row with the result and placing of a batch entry applied.
DruzstvoRadek sVysledkem(DruzstvoRadek r, const ZmenaVysledku& z);

// The operator's caption of a column ("1. kolo – čas", "Výsledek", ...); the name itself for
// one that is not watched.
QString titulekSloupce(const QString& sloupec);
// The cause in Czech ("uložení času", "přepočet", "ruční zadání").
QString textPriciny(Pricina p);

// The cells of one row of the history window: time, column, old value, new value, cause,
// computer. An empty value shows as "—".
QStringList bunkyZmeny(const ZaznamZmeny& z);

// The trail of a competition as text for the --audit command: a header line, then one line per
// record, fields separated by tabs (time, team, column, its caption, old, new, cause, computer);
// values are printed as stored, tabs and line breaks in them as spaces.
QString vypisZmen(const QList<ZaznamZmeny>& zaznamy);

} // namespace qx
